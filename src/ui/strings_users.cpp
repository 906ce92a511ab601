#include "ui/strings_users.h"

#include <cstdarg>
#include <cstdio>

namespace sondrix {

std::span<const SStringEntry> UserStrings() {
    static constexpr SStringEntry kTable[] = {
        {IDS_MASTER_INFO_REGISTERED,
         "Any master information has been registered!!\nPlease try master authentication in "
         "\"Authentication&User\" tab."},
        {IDS_VERIFY_SUCCEEDED, "Verification Succeeded!!!"},
        {IDS_INDEX_SUFFIX, " (Index : %d)"},
        {IDS_VERIFY_FAILED, "Verification Failed!!!"},
        {IDS_IDENTIFY_SUCCEEDED, "Identification Succeeded!!!"},
        {IDS_ID_INDEX_SUFFIX, " (ID : %s, Index : %d)"},
        {IDS_IDENTIFY_FAILED, "Identification Failed!!!"},
        {IDS_INSTANT_MATCH_SUCCEEDED, "Instant Matching succeeded!!"},
        {IDS_INSTANT_MATCH_FAILED, "Instant Matching failed!!"},
        {IDS_TEMPLATE_SAVED, "The template was saved as %s."},
        {IDS_TEMPLATE_NOT_SAVED, "The template could not be saved as %s."},
        {IDS_GET_TEMPLATE_FAILED, "Get template failed!!!"},
        {IDS_INSTANT_VERIFY_SUCCEEDED, "Instant Verification succeeded!!"},
        {IDS_INSTANT_VERIFY_FAILED, "Instant Verification failed!!"},
        {IDS_INSTANT_IDENTIFY_SUCCEEDED, "Instant Identification succeeded!!"},
        {IDS_INSTANT_IDENTIFY_FAILED, "Instant Identification failed!!"},
        {IDS_AUTO_ON_SUCCEEDED, "Auto Identify configure succeeded!!!"},
        {IDS_AUTO_ON_FAILED, "Auto Identify configure failed!!!"},
        {IDS_AUTO_ON_BLOCKS_CONNECTION,
         "Beacuse of the Auto-On, cannot make connection. Please reboot."},
        {IDS_AUTO_IDENTIFY_SUCCEEDED, "Auto Identification succeeded!!!"},
        {IDS_AUTO_IDENTIFY_FAILED, "Auto Identification failed!!!"},
        {IDS_AUTO_CAPTURE_FAIL, "Capture Fail"},
        {IDS_AUTO_EXTRACT_FAIL, "Extract Fail"},
        {IDS_AUTO_TIMING, "\r\nCapture time = %dms, 1:N time = %dms"},
        {IDS_RESULT_CAPTION, "Result"},
        {IDS_NUMERAL_ONLY, "Please input the numeral character only."},
        {IDS_SURE_TO_DELETE, "Are you sure to delete?"},
        {IDS_SIZE_TOO_BIG, "Size is too big\r\nNot supported"},
        {IDS_MIN_FILTER, "MIN files(*.min)|*.min|"},
        {IDS_MIN_FILTER_ALL, "MIN files(*.min)|*.min|All files|*.*|"},
        {IDS_MIN_EXTENSION, "*.MIN"},
        {IDS_EMPTY_TEMPLATE_FILE, "The template file is empty."},
        {IDS_ENTER_MASTER_SUCCEEDED, "Enter master mode succeeded!!"},
        {IDS_ENTER_MASTER_FAILED, "Enter master mode failed!!"},
        {IDS_LEAVE_MASTER_SUCCEEDED, "Leave master mode succeeded!!"},
        {IDS_LEAVE_MASTER_FAILED, "Leave master mode failed!!"},
        {IDS_FIRST_FINGER, "First finger register!"},
        {IDS_LIFT_FINGER, "Lift your fingertip!"},
        {IDS_SECOND_FINGER, "Second finger register!"},
        {IDS_MORE_FINGER, "Would you like register more finger?"},
        {IDS_MAX_FINGERS,
         "Maximum fingerprint count exceeded!!\nEntered fingerprints will be saved "
         "automatically."},
        {IDS_CONTINUE_REGISTRATION, "Do you want to register current account continuously?"},
        {IDS_ID_TOO_SHORT, "Plz check length of ID.\r\nThe length of ID need to be 4 or more"},
        {IDS_REGISTER_SUCCEEDED, "Register succeeded!!"},
        {IDS_REGISTER_FAILED, "Register failed!!"},
        {IDS_INPUT_AUTHORITY, "Input Authority. (Master: 1, User: 0)"},
        {IDS_INPUT_NEW_PASSWORD, "Input new password."},
        {IDS_INPUT_SECURITY_LEVEL, "Input User Security Level. (1~9)"},
        {IDS_TEMPLATE_MODE_REFUSED, "This function cannot be used in %d template mode."},
        {IDS_AUTHORITY_MODIFIED, "Authority modification succeeded!!"},
        {IDS_PASSWORD_MODIFIED, "Password modification succeeded!!"},
        {IDS_TEMPLATE_MODIFIED, "Template modification succeeded!!"},
        {IDS_SECURITY_LEVEL_MODIFIED, "User Security Level modification succeeded!!"},
        {IDS_MODIFICATION_FAILED, "Modification failed!!"},
    };
    return kTable;
}

std::string FormatUserString(int id, ...) {
    const std::string& format = LoadString(id);
    std::va_list args;
    va_start(args, id);
    std::va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format.c_str(), sizing);
    va_end(sizing);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format.c_str(), args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

}  // namespace sondrix
