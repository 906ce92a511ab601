#include "ui/user_dlg.h"

#include <algorithm>
#include <cstdio>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/local_time.h"
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

// The six manual time fields: the edit with its label and width, its text
// and value on the page, the text shown when it is left empty and the range
// it must lie in. The day's upper bound depends on the month and is checked
// on its own.
struct SManualField {
    int id;
    int label;
    size_t width;
    std::string CUserDlg::*text;
    int CUserDlg::*value;
    int inputText;
    int wrongText;
    int low;
    int high;
};

const std::array<SManualField, 6> kManualFields = {{
    {CUserDlg::kYear, IDS_EXTRA_YEAR, 4, &CUserDlg::yearText, &CUserDlg::year, IDS_EXTRA_INPUT_YEAR,
     IDS_EXTRA_WRONG_YEAR, 2000, 2100},
    {CUserDlg::kMonth, IDS_EXTRA_MONTH, 2, &CUserDlg::monthText, &CUserDlg::month,
     IDS_EXTRA_INPUT_MONTH, IDS_EXTRA_WRONG_MONTH, 1, 12},
    {CUserDlg::kDay, IDS_EXTRA_DAY, 2, &CUserDlg::dayText, &CUserDlg::day, IDS_EXTRA_INPUT_DAY,
     IDS_EXTRA_WRONG_DAY, 1, 31},
    {CUserDlg::kHour, IDS_EXTRA_HOUR, 2, &CUserDlg::hourText, &CUserDlg::hour, IDS_EXTRA_INPUT_HOUR,
     IDS_EXTRA_WRONG_HOUR, 0, 23},
    {CUserDlg::kMinute, IDS_EXTRA_MIN, 2, &CUserDlg::minuteText, &CUserDlg::minute,
     IDS_EXTRA_INPUT_MINUTE, IDS_EXTRA_WRONG_MINUTE, 0, 59},
    {CUserDlg::kSecond, IDS_EXTRA_SEC, 2, &CUserDlg::secondText, &CUserDlg::second,
     IDS_EXTRA_INPUT_SECOND, IDS_EXTRA_WRONG_SECOND, 0, 59},
}};

// The custom data edits that hold numbers, with the value each one keeps.
struct SNumberField {
    int id;
    int32_t CUserDlg::*value;
};

constexpr std::array<SNumberField, 3> kNumberFields = {{
    {CUserDlg::kReadAddress, &CUserDlg::readAddress},
    {CUserDlg::kReadSize, &CUserDlg::readSize},
    {CUserDlg::kWriteAddress, &CUserDlg::writeAddress},
}};

const SNumberField* FindNumberField(int id) {
    const auto* found = std::find_if(kNumberFields.begin(), kNumberFields.end(),
                                     [id](const SNumberField& f) { return f.id == id; });
    return found == kNumberFields.end() ? nullptr : found;
}

const SManualField* FindManualField(int id) {
    const auto* found = std::find_if(kManualFields.begin(), kManualFields.end(),
                                     [id](const SManualField& f) { return f.id == id; });
    return found == kManualFields.end() ? nullptr : found;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// The value of a text of decimal digits, held at INT32_MAX so that a long
// run of digits stays out of every range; -1 for anything but digits.
int32_t DecimalValue(const std::string& text) {
    if (text.empty() || !AllDigits(text)) {
        return -1;
    }
    int64_t value = 0;
    for (const char c : text) {
        value = std::min<int64_t>(value * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<int32_t>(value);
}

std::string Padded(int value, size_t width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", static_cast<int>(width), value);
    return text;
}

// The param2 of CMD_SET_GPIO_CONFIG for an entry of the function combo:
// inputs 0..8, outputs 128..136, then "Disable Selected Pin".
uint32_t GpioFunctionCode(int entry) {
    constexpr int kInputs = 9;
    constexpr int kOutputs = 9;
    constexpr uint32_t kOutputBase = 128;
    constexpr uint32_t kDisablePin = 255;
    if (entry < kInputs) {
        return static_cast<uint32_t>(entry);
    }
    if (entry < kInputs + kOutputs) {
        return kOutputBase + static_cast<uint32_t>(entry - kInputs);
    }
    return kDisablePin;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<size_t>(month - 1)];
}

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
    for (const SManualField& field : kManualFields) {
        AddEdit(field.id, LoadString(field.label), time, field.width).enabled = false;
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

// The host time is taken here too, so that a Set Time before the first
// tick sends the time now shown, not an empty one.
void CUserDlg::ShowPage() {
    TakeHostTime();
    FillManualFields(LocalTime(lastHostTime));
    SetSelection(kTracerOption, m_tracerMode);
    SetTimer(kClockTimer, kClockPeriodMs);
}

void CUserDlg::OnTimer(uint32_t id) {
    if (id != kClockTimer) {
        return;
    }
    KillTimer(kClockTimer);
    TakeHostTime();
    SetTimer(kClockTimer, kClockPeriodMs);
}

void CUserDlg::TakeHostTime() {
    lastHostTime = hostClock();
    pcTime = SBcdTime::FromTm(LocalTime(lastHostTime)).ToString();
    SetText(kPcTime, pcTime);
}

void CUserDlg::Reset() {
    SelectLogRadio(kLogAll);
    SetText(kLogN, {});
    logN = 0;
    ClearCustomFields();
    manualInput = 0;
    SetCheck(kManualInput, false);
    for (const SManualField& field : kManualFields) {
        (this->*field.text).clear();
        this->*field.value = 0;
        SetText(field.id, {});
        Enable(field.id, false);
    }
    for (int id : {kManualInput, kGetTime, kSetTime, kGpioConfigPort, kGpioConfigFunction,
                   kGpioConfigSet, kGpioTestPort, kGpioTestFunction, kGpioTestSet}) {
        Enable(id, true);
    }
}

void CUserDlg::ShowModuleTime(const SBcdTime& time) {
    moduleYear = time.year;
    moduleMonth = time.month;
    moduleDay = time.day;
    moduleHour = time.hour;
    moduleMinute = time.minute;
    moduleSecond = time.second;
    moduleTime = time.ToString();
    SetText(kModuleTime, moduleTime);
}

void CUserDlg::ShowCustomData(const uint8_t* bytes, size_t count) {
    readData.clear();
    for (size_t i = 0; i < count; ++i) {
        // A zero byte adds nothing, as a "%c" of it adds nothing to a text.
        if (bytes[i] != 0) {
            readData += static_cast<char>(bytes[i]);
        }
    }
    SetText(kReadData, readData);
}

void CUserDlg::OnCommand(int id) {
    CPacketManagerWnd& packets = Main().PacketManager();
    switch (id) {
        case kReadButton:
            ReadCustomData();
            break;
        case kWriteButton:
            WriteCustomData();
            break;
        case kDeleteCustom:
            DeleteCustomData();
            break;
        case kManualInput:
            OnManualInput();
            break;
        case kGetTime:
            packets.SendCommand(CMD_GET_TIME);
            break;
        case kSetTime:
            SetTime();
            break;
        case kGpioConfigSet:
            SetGpioConfig();
            break;
        case kGpioTestSet:
            GpioTest();
            break;
        case kStatus:
            packets.SendGetStatus();
            break;
        case kCancel:
            packets.SendCommand(CMD_CANCEL);
            break;
        case kLogDownload:
            DownloadLog();
            break;
        case kLogDeleteAll:
            DeleteLogs();
            break;
        default:
            SelectLogRadio(id);
            break;
    }
}

void CUserDlg::OnEditChange(int id) {
    if (FindNumberField(id) != nullptr) {
        OnNumberChange(id);
    } else if (FindManualField(id) != nullptr) {
        OnManualEdit(id);
    } else if (id == kWriteData) {
        writeData = Text(kWriteData);
        // A space typed last is not counted: it is not sent.
        const bool trailingSpace = !writeData.empty() && writeData.back() == ' ';
        writeSize = static_cast<int32_t>(writeData.size() - (trailingSpace ? 1 : 0));
        SetText(kWriteSize, std::to_string(writeSize));
    } else if (id == kLogN) {
        const std::string text = Text(kLogN);
        if (!text.empty() && !IsDigit(text.back())) {
            Refuse(IDS_EXTRA_NUMERAL_ONLY);
            SetText(kLogN, {});
        }
    }
}

void CUserDlg::OnSelChange(int id) {
    if (id == kTracerOption) {
        m_tracerMode = Selection(kTracerOption);
    }
}

void CUserDlg::Refuse(int textId) {
    Main().Ui().MessageBox(LoadString(textId), EIcon::None);
}

// The address and size edits take decimal digits only, as a number edit
// does: a character that is not a digit is refused and the field keeps its
// value; an emptied field reads 0.
void CUserDlg::OnNumberChange(int id) {
    int32_t& value = this->*FindNumberField(id)->value;
    const std::string text = Text(id);
    if (!AllDigits(text)) {
        SetText(id, std::to_string(value));
        return;
    }
    if (text.empty()) {
        SetText(id, "0");
    }
    value = std::max(DecimalValue(text), 0);
}

bool CUserDlg::TakeNumber(int id, int32_t limit) {
    int32_t& value = this->*FindNumberField(id)->value;
    value = std::max(DecimalValue(Text(id)), 0);
    const bool inRange = value <= limit;
    if (!inRange) {
        value = 0;
    }
    if (!inRange || Text(id).empty()) {
        SetText(id, "0");
    }
    return inRange;
}

void CUserDlg::ReadCustomData() {
    TakeNumber(kWriteAddress, kMaxCustomAddress);
    const bool addressOk = TakeNumber(kReadAddress, kMaxCustomAddress);
    const bool sizeOk = TakeNumber(kReadSize, kMaxCustomSize);
    if (!addressOk || !sizeOk) {
        return;
    }
    Main().PacketManager().SendCommand(CMD_READ_CUSTOM_DATA, static_cast<uint32_t>(readAddress),
                                       static_cast<uint32_t>(readSize));
}

void CUserDlg::WriteCustomData() {
    TakeNumber(kReadAddress, kMaxCustomAddress);
    TakeNumber(kReadSize, kMaxCustomSize);
    if (!TakeNumber(kWriteAddress, kMaxCustomAddress) || writeSize == 0) {
        return;
    }
    const std::string bytes = writeData.substr(0, static_cast<size_t>(writeSize));
    Main().PacketManager().SendWriteCustomData(
        static_cast<uint32_t>(writeAddress),
        std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

void CUserDlg::ClearCustomFields() {
    for (const SNumberField& field : kNumberFields) {
        this->*field.value = 0;
        SetText(field.id, "0");
    }
    writeSize = 0;
    SetText(kWriteSize, "0");
    readData.clear();
    writeData.clear();
    SetText(kReadData, {});
    SetText(kWriteData, {});
}

void CUserDlg::DeleteCustomData() {
    ClearCustomFields();
    Main().PacketManager().SendCommand(CMD_DELETE_CUSTOM_DATA);
}

void CUserDlg::FillManualFields(const std::tm& time) {
    const SBcdTime now = SBcdTime::FromTm(time);
    const std::array<int, 6> values = {now.year, now.month,  now.day,
                                       now.hour, now.minute, now.second};
    for (size_t i = 0; i < kManualFields.size(); ++i) {
        const SManualField& field = kManualFields[i];
        this->*field.value = values[i];
        this->*field.text = Padded(values[i], field.width);
        SetText(field.id, this->*field.text);
    }
}

void CUserDlg::OnManualInput() {
    manualInput = IsChecked(kManualInput) ? 1 : 0;
    if (manualInput == 1) {
        FillManualFields(LocalTime(hostClock()));
    }
    for (const SManualField& field : kManualFields) {
        Enable(field.id, manualInput == 1);
    }
}

void CUserDlg::OnManualEdit(int id) {
    const SManualField& field = *FindManualField(id);
    if (const std::string text = Text(id); !text.empty() && !IsDigit(text.back())) {
        Refuse(IDS_EXTRA_NUMERAL_ONLY);
        SetText(id, {});
    }
    this->*field.text = Text(id);
    this->*field.value = DecimalValue(this->*field.text);
}

std::string CUserDlg::ManualTimeError(const std::array<int, 6>& values) {
    for (size_t i = 0; i < kManualFields.size(); ++i) {
        const SManualField& field = kManualFields[i];
        const int value = values[i];
        if (field.id == kDay) {
            const int days = DaysInMonth(values[0], values[1]);
            if (value < 1 || value > days) {
                char text[64];
                std::snprintf(text, sizeof text, LoadString(IDS_EXTRA_WRONG_DAY).c_str(), days);
                return text;
            }
        } else if (value < field.low || value > field.high) {
            return LoadString(field.wrongText);
        }
    }
    return {};
}

bool CUserDlg::ValidateManualTime() {
    auto fail = [this](const std::string& text) {
        Main().Ui().MessageBox(text, EIcon::Stop);
        return false;
    };
    if (yearText.size() != 4) {
        return fail(LoadString(IDS_EXTRA_INPUT_YEAR));
    }
    for (const SManualField& field : kManualFields) {
        if ((this->*field.text).empty()) {
            return fail(LoadString(field.inputText));
        }
    }
    const std::string error = ManualTimeError({year, month, day, hour, minute, second});
    return error.empty() || fail(error);
}

void CUserDlg::SetTime() {
    std::tm time{};
    if (manualInput == 1) {
        if (!ValidateManualTime()) {
            return;
        }
        time.tm_year = year - 1900;
        time.tm_mon = month - 1;
        time.tm_mday = day;
        time.tm_hour = hour;
        time.tm_min = minute;
        time.tm_sec = second;
    } else {
        time = LocalTime(lastHostTime);
    }
    Main().PacketManager().SendSetTime(EncodeBcdTime(time));
}

void CUserDlg::SetGpioConfig() {
    Main().PacketManager().SendSetGpioConfig(static_cast<uint32_t>(Selection(kGpioConfigPort)),
                                             GpioFunctionCode(Selection(kGpioConfigFunction)));
}

void CUserDlg::GpioTest() {
    static constexpr std::array<uint32_t, 3> kActions = {kGpioRead, kGpioHigh, kGpioLow};
    const int action = Selection(kGpioTestFunction);
    if (action < 0 || action >= static_cast<int>(kActions.size())) {
        return;
    }
    Main().PacketManager().SendGpioTest(static_cast<uint32_t>(Selection(kGpioTestPort)),
                                        kActions[static_cast<size_t>(action)]);
}

void CUserDlg::SelectLogRadio(int id) {
    const auto* chosen = std::find_if(kLogRadios.begin(), kLogRadios.end(),
                                      [id](const SLogRadio& r) { return r.id == id; });
    if (chosen == kLogRadios.end()) {
        return;
    }
    for (const SLogRadio& radio : kLogRadios) {
        SetCheck(radio.id, radio.id == id);
    }
    logOption = chosen->option;
    Enable(kLogN, id == kLogNthPrevious);
}

void CUserDlg::DownloadLog() {
    CSondrixDlg& main = Main();
    if (logOption == 0) {
        logN = std::max(DecimalValue(Text(kLogN)), 0);
    }
    if (main.Ui().MessageBox(LoadString(IDS_EXTRA_SAVE_LOG_QUESTION), EIcon::Question,
                             EButtons::YesNo) != EAnswer::Yes) {
        return;
    }
    SFileDialog request;
    request.save = true;
    request.filter = LoadString(IDS_EXTRA_LOG_FILTER);
    request.defaultExtension = LoadString(IDS_EXTRA_LOG_DEFAULT_EXTENSION);
    request.overwritePrompt = true;
    const std::vector<std::string> paths = main.Ui().FileDialog(request);
    if (paths.empty()) {
        return;
    }
    main.logDownload.Start(paths.front(), static_cast<uint32_t>(logOption),
                           static_cast<uint32_t>(logN));
}

void CUserDlg::DeleteLogs() {
    CSondrixDlg& main = Main();
    if (main.Ui().MessageBox(LoadString(IDS_EXTRA_DELETE_LOG_QUESTION), EIcon::Warning,
                             EButtons::YesNo) == EAnswer::Yes) {
        main.PacketManager().SendCommand(CMD_DELETE_LOG_DATA);
    }
}

}  // namespace sondrix
