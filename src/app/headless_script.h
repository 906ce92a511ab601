#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/ui_host.h"

namespace sondrix {

// What a headless script acts on besides the tab pages.
constexpr const char* kWindowTarget = "window";  // the main window's own controls
constexpr const char* kPopupTarget = "popup";    // the modeless popup that is open

enum class EScriptOp {
    Click,
    Press,
    Type,
    Select,
    Check,
    Tab,
    Row,
    Answer,
    Popup,
    PopupChoose,
    File,
    FileCancel,
    WaitMessage,
    WaitBox,
    Sleep,
    Expect,
};

enum class EExpectField { Text, Enabled, Checked, Visible, Selection };

struct SScriptTarget {
    enum class EKind { Page, Window, Popup };
    EKind kind = EKind::Window;
    int page = -1;  // the tab of a page
    std::string name;
};

// One command of a headless script, checked and with its arguments decoded.
struct SScriptCommand {
    int line = 0;
    std::string source;  // the line as written, for the log
    EScriptOp op = EScriptOp::Click;
    SScriptTarget target;
    int id = 0;
    // select: the choice; row: the row; tab: the tab; expect selection: the value
    int number = 0;
    // check, row, expect enabled|checked|visible: on or off; popup: OK or Cancel
    bool on = false;
    EAnswer answer = EAnswer::Ok;
    EExpectField field = EExpectField::Text;
    std::string text;
    std::vector<int> ids;            // popup-choose
    std::vector<std::string> paths;  // file
    uint32_t ms = 0;                 // sleep, and the time-out of a wait
};

// Wait time-out when a wait does not give one.
constexpr uint32_t kDefaultWaitMs = 5000;

// Reads a whole script. `pageNames` are the tab pages in tab order. Returns
// one message per malformed line ("line 3: ..."), empty when the script is
// sound; `commands` then holds every command in order.
std::vector<std::string> ParseScript(std::istream& script,
                                     const std::vector<std::string>& pageNames,
                                     std::vector<SScriptCommand>& commands);

}  // namespace sondrix
