#include "platform/ui_host.h"

#include <cctype>

namespace sondrix {

std::string DefaultSuffix(const std::string& extension) {
    const size_t start = extension.find_first_not_of("*.");
    return start == std::string::npos ? std::string() : extension.substr(start);
}

std::string FileDialogKind(const SFileDialog& request) {
    std::string type = DefaultSuffix(request.defaultExtension);
    if (type.empty()) {
        // The first pattern of the list: "Text|*.txt|" gives "txt".
        const size_t bar = request.filter.find('|');
        if (bar != std::string::npos) {
            const std::string patterns = request.filter.substr(bar + 1);
            type = DefaultSuffix(patterns.substr(0, patterns.find_first_of(";|")));
        }
    }
    for (char& c : type) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return (request.save ? "save-" : "open-") + type;
}

const char* IconName(EIcon icon) {
    switch (icon) {
        case EIcon::Information:
            return "information";
        case EIcon::Stop:
            return "stop";
        case EIcon::Question:
            return "question";
        case EIcon::Warning:
            return "warning";
        case EIcon::None:
            break;
    }
    return "none";
}

const char* ButtonsName(EButtons buttons) {
    switch (buttons) {
        case EButtons::OkCancel:
            return "ok-cancel";
        case EButtons::YesNo:
            return "yes-no";
        case EButtons::Ok:
            break;
    }
    return "ok";
}

const char* AnswerName(EAnswer answer) {
    switch (answer) {
        case EAnswer::Cancel:
            return "cancel";
        case EAnswer::Yes:
            return "yes";
        case EAnswer::No:
            return "no";
        case EAnswer::Ok:
            break;
    }
    return "ok";
}

}  // namespace sondrix
