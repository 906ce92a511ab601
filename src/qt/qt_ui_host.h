#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <map>

#include "platform/ui_host.h"

namespace sondrix {

class CDeskSettings;
class CModelDialog;

// The person's side of the program on a Qt desktop: message boxes, file
// dialogs, the web browser and the popups, each a real window over the
// main window. A modeless popup's view is a child of that window and goes
// with it; a popup still open when its model goes must be closed first.
class CQtUiHost : public IUiHost {
  public:
    // Boxes and popups open over this window (the main window).
    void SetParentWidget(QWidget* parent) { m_parent = parent; }
    // File dialogs open in the folder the same kind of dialog showed last,
    // kept here between runs (may be null: the current folder).
    void SetSettings(CDeskSettings* settings) { m_settings = settings; }

    EAnswer MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                       const std::string& caption) override;
    using IUiHost::MessageBox;
    std::vector<std::string> FileDialog(const SFileDialog& request) override;
    void OpenUrl(const std::string& address) override;
    int RunModal(CDialogModel& dialog) override;
    void ShowModeless(CDialogModel& dialog) override;
    void CloseModeless(CDialogModel& dialog) override;
    SScreenSize ScreenSize() const override;

    // The open modeless view of a popup, or null.
    CModelDialog* ModelessView(const CDialogModel& dialog) const;

  private:
    QFont PopupFont() const;

    QPointer<QWidget> m_parent;
    CDeskSettings* m_settings = nullptr;
    std::map<const CDialogModel*, QPointer<CModelDialog>> m_modeless;
};

// The file-type list of a file dialog in Qt's form: "Text|*.a;*.b|" becomes
// "Text (*.a *.b)", a text that already ends in its pattern keeps it, and
// "*.*" (every file) becomes "*".
QStringList QtNameFilters(const std::string& filter);
// The suffix Qt appends to a typed name without one: "*.RAW" gives "RAW".
QString QtDefaultSuffix(const std::string& extension);

}  // namespace sondrix
