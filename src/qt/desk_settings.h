#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "app/desk_choices.h"

namespace sondrix {

class CMainWindow;
class CSondrixDlg;

// What the window keeps between runs, in a settings file of the XDG
// configuration folder (~/.config/sondrix/sondrix.conf): the window's place
// and size, its splitter and panel, the port, baud rate and tracer option,
// and the last folder of each kind of file dialog. A damaged file is moved
// aside (to the same name with ".damaged") and one that cannot be read or
// written is left as it is; each costs one line on standard error, never
// the run.
class CDeskSettings final : private IDeskStore {
  public:
    // The application's organisation and name must be set. With `reset`,
    // everything stored before is forgotten.
    explicit CDeskSettings(bool reset);

    // Puts the stored place, size, splitter and panel back on the window,
    // and the stored choices on the pages, where they still fit.
    void Restore(CMainWindow& window, CSondrixDlg& dialog) const;
    // Takes the window's state and the pages' choices, to be saved.
    void Keep(const CMainWindow& window, const CSondrixDlg& dialog);

    // The folder a file dialog of this kind ("open-bmp", "save-pcapng")
    // showed last, or empty.
    QString Folder(const QString& kind) const;
    void KeepFolder(const QString& kind, const QString& folder);

    // Writes the file; false, with its line on standard error, when it
    // cannot.
    bool Save();

    // The pages' choices alone, as stored and as to be stored.
    SDeskChoices Choices() const;
    void KeepChoices(const SDeskChoices& choices);

  private:
    std::string Value(const std::string& key) const override;
    void SetValue(const std::string& key, const std::string& value) override;
    void Remove(const std::string& key) override;

    std::unique_ptr<QSettings> m_settings;
};

}  // namespace sondrix
