#include "ui/strings_extra.h"

namespace sondrix {

std::span<const SStringEntry> ExtraStrings() {
    static constexpr SStringEntry kTable[] = {
        {IDS_EXTRA_NUMERAL_ONLY, "Please input the numeral character only."},
        {IDS_EXTRA_GPIO_VALUE, "The value of selected GPIO is \"%d\""},
        {IDS_EXTRA_OPTION_SET, "Set system option succeeded!!"},
        {IDS_EXTRA_READ_CUSTOM_FAILED, "Read custom data failed!!"},
        {IDS_EXTRA_WRITE_CUSTOM_SUCCEEDED, "Write custom data succeeded!!"},
        {IDS_EXTRA_WRITE_CUSTOM_FAILED, "Write custom data failed!!"},
        {IDS_EXTRA_DELETE_CUSTOM_SUCCEEDED, "Delete custom block succeeded!!"},
        {IDS_EXTRA_DELETE_CUSTOM_FAILED, "Delete custom block failed!!"},
        {IDS_EXTRA_BAD_TIME_ANSWER, "The module's time answer is too short to read!!"},
        {IDS_EXTRA_INPUT_YEAR, "Input Year!!! (Range: 2000 ~ 2100)"},
        {IDS_EXTRA_INPUT_MONTH, "Input Month!!! (Range: 1 ~ 12)"},
        {IDS_EXTRA_INPUT_DAY, "Input Day!!! (Range: 1 ~ 31)"},
        {IDS_EXTRA_INPUT_HOUR, "Input Hour!!! (Range: 0 ~ 23)"},
        {IDS_EXTRA_INPUT_MINUTE, "Input Minute!!! (Range: 0 ~ 59)"},
        {IDS_EXTRA_INPUT_SECOND, "Input Second!!! (Range: 0 ~ 59)"},
        {IDS_EXTRA_WRONG_YEAR, "Wrong Year!!! (Range: 2000 ~ 2100)"},
        {IDS_EXTRA_WRONG_MONTH, "Wrong Month!!! (Range: 1 ~ 12)"},
        {IDS_EXTRA_WRONG_DAY, "Wrong Day!!! (Range: 1 ~ %d)"},
        {IDS_EXTRA_WRONG_HOUR, "Wrong Hour!!! (Range: 0 ~ 23)"},
        {IDS_EXTRA_WRONG_MINUTE, "Wrong Minute!!! (Range: 0 ~ 59)"},
        {IDS_EXTRA_WRONG_SECOND, "Wrong Second!!! (Range: 0 ~ 59)"},
        {IDS_EXTRA_SAVE_LOG_QUESTION, "Save log data as a file?"},
        {IDS_EXTRA_LOG_DEFAULT_EXTENSION, "*.LOG"},
        {IDS_EXTRA_LOG_FILTER, "LOG files(*.log)|*.log|All files|*.*|"},
        {IDS_EXTRA_DELETE_LOG_QUESTION, "Are you sure to delete all log data?"},
        {IDS_EXTRA_LOGS_NOT_EXISTED, "Logs are not existed!!"},
        {IDS_EXTRA_GET_LOG_FAILED, "Get log data failed!!"},
        {IDS_EXTRA_LOG_SAVED, "Log data were saved successfully!!"},
        {IDS_EXTRA_LOG_NOT_WRITTEN, "Cannot write the log file; the download was stopped: "},
        {IDS_EXTRA_LOG_DELETED, "Log data were deleted successfully!!"},
        {IDS_EXTRA_DELETE_LOG_FAILED, "Delete log data failed!!"},
    };
    return kTable;
}

}  // namespace sondrix
