#include "ui/user_dlg.h"

#include "ui/strings.h"

namespace sondrix {

namespace {

std::vector<std::string> Texts(int first, int last) {
    std::vector<std::string> texts;
    for (int id = first; id <= last; ++id) {
        texts.push_back(LoadString(id));
    }
    return texts;
}

// The combos take runs of consecutive string ids.
static_assert(IDS_GPIO_PORT_7 - IDS_GPIO_PORT_0 == 7);
static_assert(IDS_GPIO_DISABLE_PIN - IDS_GPIO_INPUT_NORMAL + 1 == CUserDlg::kGpioFunctionCount);
static_assert(IDS_GPIO_TEST_LOW - IDS_GPIO_TEST_READ == 2);
static_assert(IDS_TRACER_DISABLED - IDS_TRACER_STANDARD == 2);

struct SManualEdit {
    int id;
    int label;
    size_t limit;
};

constexpr std::array<SManualEdit, 6> kManualRows = {{
    {CUserDlg::kYear, IDS_EXTRA_YEAR, 4},
    {CUserDlg::kMonth, IDS_EXTRA_MONTH, 2},
    {CUserDlg::kDay, IDS_EXTRA_DAY, 2},
    {CUserDlg::kHour, IDS_EXTRA_HOUR, 2},
    {CUserDlg::kMinute, IDS_EXTRA_MIN, 2},
    {CUserDlg::kSecond, IDS_EXTRA_SEC, 2},
}};

}  // namespace

CUserDlg::CUserDlg(CSondrixDlg& main) : CPageBase(main, "extra", "Extra Functions") {
    const std::string address = LoadString(IDS_EXTRA_ADDRESS);
    const std::string size = LoadString(IDS_EXTRA_SIZE);
    const std::string data = LoadString(IDS_EXTRA_DATA);

    const std::string read = LoadString(IDS_EXTRA_GROUP_READ);
    AddEdit(kReadAddress, address, read).text = "0";
    AddEdit(kReadSize, size, read).text = "0";
    AddEdit(kReadData, data, read).readOnly = true;
    AddButton(kReadButton, LoadString(IDS_EXTRA_READ_DATA), read, LoadString(IDS_TIP_READ_CUSTOM));

    const std::string write = LoadString(IDS_EXTRA_GROUP_WRITE);
    AddEdit(kWriteAddress, address, write).text = "0";
    SControl& writeSizeEdit = AddEdit(kWriteSize, size, write);
    writeSizeEdit.text = "0";
    writeSizeEdit.readOnly = true;
    AddEdit(kWriteData, data, write, kWriteDataLimit);
    AddButton(kWriteButton, LoadString(IDS_EXTRA_WRITE_DATA), write,
              LoadString(IDS_TIP_WRITE_CUSTOM));

    const std::string custom = LoadString(IDS_EXTRA_GROUP_CUSTOM);
    AddButton(kDeleteCustom, LoadString(IDS_EXTRA_DELETE_CUSTOM), custom,
              LoadString(IDS_TIP_DELETE_CUSTOM));
    AddStatic(kMaxDataSizeNote, {}, custom, LoadString(IDS_EXTRA_MAX_DATA_SIZE));

    const std::string time = LoadString(IDS_EXTRA_GROUP_TIME);
    AddStatic(kModuleTime, LoadString(IDS_EXTRA_MODULE_TIME), time);
    AddStatic(kPcTime, LoadString(IDS_EXTRA_PC_TIME), time);
    AddCheck(kManualInput, LoadString(IDS_EXTRA_MANUAL_INPUT), time);
    for (const SManualEdit& row : kManualRows) {
        AddEdit(row.id, LoadString(row.label), time, row.limit).enabled = false;
    }
    AddButton(kGetTime, LoadString(IDS_EXTRA_GET_TIME), time, LoadString(IDS_TIP_GET_TIME));
    AddButton(kSetTime, LoadString(IDS_EXTRA_SET_TIME), time, LoadString(IDS_TIP_SET_TIME));

    const std::string port = LoadString(IDS_LABEL_PORT);
    const std::string function = LoadString(IDS_LABEL_FUNCTION);
    const std::string gpioConfig = LoadString(IDS_EXTRA_GROUP_GPIO_CONFIG);
    AddCombo(kGpioConfigPort, port, gpioConfig, Texts(IDS_GPIO_PORT_0, IDS_GPIO_PORT_7));
    AddCombo(kGpioConfigFunction, function, gpioConfig,
             Texts(IDS_GPIO_INPUT_NORMAL, IDS_GPIO_DISABLE_PIN));
    AddButton(kGpioConfigSet, LoadString(IDS_SET), gpioConfig);
    const std::string gpioTest = LoadString(IDS_EXTRA_GROUP_GPIO_TEST);
    AddCombo(kGpioTestPort, port, gpioTest, Texts(IDS_GPIO_PORT_0, IDS_GPIO_PORT_7));
    AddCombo(kGpioTestFunction, function, gpioTest, Texts(IDS_GPIO_TEST_READ, IDS_GPIO_TEST_LOW));
    AddButton(kGpioTestSet, LoadString(IDS_SET), gpioTest);

    AddCombo(kTracerOption, {}, LoadString(IDS_EXTRA_GROUP_TRACER),
             Texts(IDS_TRACER_STANDARD, IDS_TRACER_DISABLED));

    const std::string log = LoadString(IDS_EXTRA_GROUP_LOG);
    AddRadio(kLogAll, LoadString(IDS_LOG_ALL), log).checked = true;
    AddRadio(kLogOldestUnread, LoadString(IDS_LOG_OLDEST_UNREAD), log);
    AddRadio(kLogLastWritten, LoadString(IDS_LOG_LAST_WRITTEN), log);
    AddRadio(kLogOldestToLast, LoadString(IDS_LOG_OLDEST_TO_LAST), log);
    AddRadio(kLogNthPrevious, LoadString(IDS_LOG_NTH_PREVIOUS), log);
    AddEdit(kLogN, LoadString(IDS_LOG_N), log, kLogNLimit).enabled = false;
    AddButton(kLogDownload, LoadString(IDS_DOWNLOAD), log, LoadString(IDS_TIP_DOWNLOAD_SELECTED));
    AddButton(kLogDeleteAll, LoadString(IDS_DELETE_ALL), log, LoadString(IDS_TIP_DELETE_LOGS));

    AddButton(kStatus, LoadString(IDS_STATUS), {}, LoadString(IDS_TIP_STATUS));
    AddButton(kCancel, LoadString(IDS_CANCEL), {}, LoadString(IDS_TIP_CANCEL));
}

void CUserDlg::OnSelChange(int id) {
    if (id == kTracerOption) {
        m_tracerMode = Selection(kTracerOption);
    }
}

}  // namespace sondrix
