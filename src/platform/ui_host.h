#pragma once

#include <string>
#include <vector>

namespace sondrix {

class CDialogModel;

enum class EIcon { None, Information, Stop, Question, Warning };
enum class EButtons { Ok, OkCancel, YesNo };
enum class EAnswer { Ok, Cancel, Yes, No };

// A file dialog request. `filter` uses the "Text|pattern|Text|pattern|" form.
struct SFileDialog {
    bool save = false;
    std::string filter;
    std::string defaultExtension;
    bool multiSelect = false;
    bool overwritePrompt = false;
    bool mustExist = false;
    std::string folder;  // where the dialog opens; empty: wherever the toolkit likes
};

struct SScreenSize {
    int width = 1920;
    int height = 1080;
};

// Every interaction the program starts with the person. The Qt front end shows
// real dialogs; tests and the headless driver answer from a script.
class IUiHost {
  public:
    virtual ~IUiHost() = default;

    virtual EAnswer MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                               const std::string& caption) = 0;
    EAnswer MessageBox(const std::string& text, EIcon icon = EIcon::None,
                       EButtons buttons = EButtons::Ok) {
        return MessageBox(text, icon, buttons, std::string());
    }
    // The chosen paths; empty when the person cancelled.
    virtual std::vector<std::string> FileDialog(const SFileDialog& request) = 0;
    virtual void OpenUrl(const std::string& address) = 0;
    // Runs a popup until one of its handlers ends it; returns its result
    // (IDOK, IDCANCEL); a popup closed by the window manager returns IDCANCEL.
    virtual int RunModal(CDialogModel& dialog) = 0;
    // Shows a popup that stays open while the program goes on; it is closed
    // with CloseModeless (by the program or after its own Cancel).
    virtual void ShowModeless(CDialogModel& dialog) = 0;
    virtual void CloseModeless(CDialogModel& dialog) = 0;
    virtual SScreenSize ScreenSize() const = 0;
};

// The suffix a typed name without one gets: "*.RAW" gives "RAW".
std::string DefaultSuffix(const std::string& extension);
// Which file dialog this is, for remembering its folder: open or save, and
// the kind of file ("save-pcapng", "open-rec").
std::string FileDialogKind(const SFileDialog& request);

const char* IconName(EIcon icon);
const char* ButtonsName(EButtons buttons);
const char* AnswerName(EAnswer answer);

}  // namespace sondrix
