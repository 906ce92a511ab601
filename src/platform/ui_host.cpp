#include "platform/ui_host.h"

namespace sondrix {

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
