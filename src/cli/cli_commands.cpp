#include "cli/cli_commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/packet_tracer.h"
#include "cli/cli_user_commands.h"
#include "link/command_table.h"
#include "link/packet_parser.h"
#include "platform/byte_reader.h"
#include "platform/native_file.h"
#include "ui/strings.h"
#include "ui/strings_database.h"
#include "ui/strings_extra.h"

namespace sondrix {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(int status, const std::string& message) {
    throw SCliFailure{status, message};
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsDecimal(const std::string& text) {
    return !text.empty() && text.size() <= 18 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A count the window shows as text; 0 when it shows none.
int64_t Decimal(const std::string& text) {
    return IsDecimal(text) ? std::stoll(text) : 0;
}

std::string Extension(const std::string& path) {
    const std::string extension = Utf8FromPath(PathFromUtf8(path).extension());
    return Lower(extension.empty() ? extension : extension.substr(1));
}

void NeedArguments(const SCliOptions& options, size_t low, size_t high, const char* usage) {
    if (options.arguments.size() < low || options.arguments.size() > high) {
        Fail(kCliUsage, std::string("usage: sondrix-cli ") + usage);
    }
}

void NeedReadable(const std::string& path) {
    std::error_code error;
    const fs::path native = PathFromUtf8(path);
    if (!fs::is_regular_file(native, error)) {
        Fail(kCliFileError,
             "cannot read " + path + ": " +
                 (fs::exists(native, error) ? "not a regular file" : "no such file"));
    }
    std::ifstream file(native, std::ios::binary);
    if (!file) {
        Fail(kCliFileError, "cannot read " + path + ": permission denied");
    }
}

void NeedWritableFolder(const std::string& path) {
    std::error_code error;
    const fs::path folder = PathFromUtf8(path).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        Fail(kCliFileError,
             "cannot write " + path + ": the folder " + Utf8FromPath(folder) + " does not exist");
    }
}

// Runs `action`; a stop-icon box it leads to is a file failure.
template <typename Action>
void AsFileStep(Action action) {
    try {
        action();
    } catch (SCliFailure& failure) {
        if (failure.status == kCliModuleError) {
            failure.status = kCliFileError;
        }
        throw;
    }
}

// ---- the option table: every option the Configuration page shows ----

// What a value of the option is: a number typed into an edit, a choice of a
// combo, or a check box (on or off), which sends as it is clicked.
enum class EOptionValue { Number, Choice, Flag };

struct SOptionControl {
    const char* name;
    int control;
    int setButton;  // 0 for a check box
    EOptionValue value;
};

constexpr std::array<SOptionControl, 24> kOptionControls = {{
    {"gain", CSystemDlg::kGain, CSystemDlg::kSetGain, EOptionValue::Number},
    {"brightness", CSystemDlg::kBrightness, CSystemDlg::kSetBrightness, EOptionValue::Number},
    {"contrast", CSystemDlg::kContrast, CSystemDlg::kSetContrast, EOptionValue::Number},
    {"lfd", CSystemDlg::kLfd, CSystemDlg::kSetLfd, EOptionValue::Number},
    {"verify-level", CSystemDlg::kVerificationLevel, CSystemDlg::kSetVerificationLevel,
     EOptionValue::Number},
    {"identify-level", CSystemDlg::kIdentificationLevel, CSystemDlg::kSetIdentificationLevel,
     EOptionValue::Number},
    {"register-quality", CSystemDlg::kRegisterQuality, CSystemDlg::kSetRegisterQuality,
     EOptionValue::Number},
    {"verify-quality", CSystemDlg::kVerifyQuality, CSystemDlg::kSetVerifyQuality,
     EOptionValue::Number},
    {"capture-period", CSystemDlg::kCapturePeriod, CSystemDlg::kSetCapturePeriod,
     EOptionValue::Number},
    {"relay-time", CSystemDlg::kRelayTime, CSystemDlg::kSetRelayTime, EOptionValue::Number},
    {"identify-timeout", CSystemDlg::kIdentifyTimeout, CSystemDlg::kSetIdentifyTimeout,
     EOptionValue::Number},
    {"site-code", CSystemDlg::kSiteCode, CSystemDlg::kSetSiteCode, EOptionValue::Number},
    {"id-length", CSystemDlg::kIdLength, CSystemDlg::kSetIdLength, EOptionValue::Number},
    {"adaptive-count", CSystemDlg::kAdaptiveCount, CSystemDlg::kSetAdaptiveCount,
     EOptionValue::Number},
    {"protocol", CSystemDlg::kProtocol, CSystemDlg::kSetProtocol, EOptionValue::Choice},
    {"channel0", CSystemDlg::kChannel0, CSystemDlg::kSetChannel0, EOptionValue::Choice},
    {"channel1", CSystemDlg::kChannel1, CSystemDlg::kSetChannel1, EOptionValue::Choice},
    {"template-count", CSystemDlg::kTemplateCount, CSystemDlg::kSetTemplateCount,
     EOptionValue::Choice},
    {"emulation-mode", CSystemDlg::kEmulationMode, CSystemDlg::kSetEmulationMode,
     EOptionValue::Choice},
    {"latent", CSystemDlg::kLatent, 0, EOptionValue::Flag},
    {"adaptive-capture", CSystemDlg::kAdaptiveCapture, 0, EOptionValue::Flag},
    {"full-rotate", CSystemDlg::kFullRotate, 0, EOptionValue::Flag},
    {"relay", CSystemDlg::kRelay, 0, EOptionValue::Flag},
    {"log", CSystemDlg::kLog, 0, EOptionValue::Flag},
}};

const SOptionControl* FindOptionControl(const std::string& name) {
    const auto* found = std::find_if(kOptionControls.begin(), kOptionControls.end(),
                                     [&](const SOptionControl& o) { return name == o.name; });
    return found == kOptionControls.end() ? nullptr : found;
}

// A check box's state is a flag, a number typed into an edit a number, a
// choice of a combo its text.
CCliReport::SField ControlField(const SControl& control) {
    switch (control.kind) {
        case EControlKind::CheckBox:
            return {"value", control.checked ? "true" : "false", true};
        case EControlKind::Combo:
            return {"value", control.selection >= 0 &&
                                     static_cast<size_t>(control.selection) < control.items.size()
                                 ? control.items[static_cast<size_t>(control.selection)]
                                 : std::string()};
        default:
            return {"value", control.text, IsDecimal(control.text)};
    }
}

// ---- the commands ----

void Info(CCliSession& session, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    CImageDlg& page = dlg.imageDlg;
    page.Click(CImageDlg::kStatus);
    session.Settle("reading the status");
    report.Add("model", page.Text(CImageDlg::kDeviceName));
    report.AddNumber("series", dlg.moduleSeries);
    report.Add("firmware", page.Text(CImageDlg::kFwVersion));
    report.AddNumber("users", Decimal(page.Text(CImageDlg::kUserCounts)));
    report.Add("status", page.Text(CImageDlg::kInfoStatus));
    report.Add("port", dlg.portName);
    report.Add("device", dlg.PacketManager().port.DevicePath());
    report.AddFlag("low_latency", dlg.PacketManager().port.LowLatency());
    report.AddNumber("baud", dlg.baudRate);
}

void Capture(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    CImageDlg& page = dlg.imageDlg;
    const std::string quality = LoadString(IDS_IMAGE_QUALITY);
    const std::string qualityPrefix = quality.substr(0, quality.find('%'));
    session.MarkBoxes();
    page.Click(CImageDlg::kCapture);
    session.WaitFor(
        [&] {
            return dlg.transferBusy == 0 &&
                   dlg.Text(CSondrixDlg::kMessageLine).rfind(qualityPrefix, 0) == 0;
        },
        "capturing");
    session.MarkBoxes();
    session.Ui().QueueFiles({options.output});
    AsFileStep([&] {
        page.Click(CImageDlg::kSave);
        session.WaitForBox("saving the image");
    });
    report.Add("file", options.output);
    report.AddNumber("width", page.imageWidth);
    report.AddNumber("height", page.imageHeight);
    report.AddNumber("quality", dlg.systemManagement.lastImageQuality);
}

void Users(CCliSession& session, CCliReport& report) {
    session.OpenDataBase();
    const CListData& list = session.Dlg().dbDlg.List(CDbDlg::kList);
    report.AddNumber("count", static_cast<int64_t>(list.RowCount()));
    report.SetRowsName("users");
    for (size_t row = 0; row < list.RowCount(); ++row) {
        const auto& cells = list.Row(row).cells;
        report.AddRow({{"id", cells.at(CDbDlg::kColumnId)},
                       {"authority", cells.at(CDbDlg::kColumnAuthority)}});
    }
}

void Backup(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    session.OpenDataBase();
    dlg.dbDlg.SetRecordFolder(options.arguments.at(0));
    session.SetPacketObserver([&](const STracedPacket&) {
        session.ShowCount("backup", dlg.dbManagement.recordsDownloaded,
                          dlg.dbManagement.recordsToDownload, "records");
    });
    session.MarkBoxes();
    session.Ui().QueuePopupClicks({CPopupRadioDlg::kAll}, true);
    dlg.dbDlg.Click(CDbDlg::kDownload);
    try {
        session.WaitForBox("downloading the records");
    } catch (SCliFailure& failure) {
        // The run's closing box says how many record files were not written.
        if (dlg.dbDlg.recordsNotSaved > 0 &&
            failure.message.rfind(dlg.dbDlg.NotSavedSummary(), 0) == 0) {
            failure.status = kCliFileError;
        } else {
            // A run stopped part-way says what it kept.
            failure.message +=
                " (" + dlg.dbDlg.SavedSummary(dlg.dbManagement.recordsToDownload) + ")";
        }
        throw;
    }
    session.SetPacketObserver({});
    report.Add("folder", options.arguments.at(0));
    report.AddNumber("records", dlg.dbManagement.recordsDownloaded);
}

void Restore(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    CDbDlg& page = dlg.dbDlg;
    session.OpenDataBase();
    page.Select(CDbDlg::kListType, CDbDlg::kListHost);
    session.Ui().QueueFiles(options.arguments);
    AsFileStep([&] {
        page.Click(CDbDlg::kOpen);
        session.WaitFor([] { return true; }, "reading the records");
    });
    if (page.hostRows.empty()) {
        Fail(kCliFileError, "no record could be read from the files given");
    }
    page.SetCheck(CDbDlg::kSelectAll, false);
    page.Click(CDbDlg::kSelectAll);
    session.MarkBoxes();
    page.Click(CDbDlg::kUpload);
    session.WaitForBox("uploading the records");
    session.Settle("counting the users");
    report.AddNumber("records", page.rowsUploaded);
    report.AddNumber("users", Decimal(dlg.imageDlg.Text(CImageDlg::kUserCounts)));
}

void Log(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    static constexpr std::array<std::pair<const char*, int>, 5> kChoices = {{
        {"all", CUserDlg::kLogAll},
        {"unread", CUserDlg::kLogOldestUnread},
        {"last", CUserDlg::kLogLastWritten},
        {"oldest-to-last", CUserDlg::kLogOldestToLast},
        {"nth", CUserDlg::kLogNthPrevious},
    }};
    const auto* choice = std::find_if(kChoices.begin(), kChoices.end(),
                                      [&](const auto& c) { return options.logOption == c.first; });
    CUserDlg& page = session.Dlg().userDlg;
    session.EnterMaster();
    session.OpenTab(CSondrixDlg::kTabExtra);
    page.Click(choice->second);
    if (choice->second == CUserDlg::kLogNthPrevious) {
        page.Type(CUserDlg::kLogN, std::to_string(options.logCount));
    }
    session.MarkBoxes();
    session.Ui().QueueAnswer(EAnswer::Yes);
    session.Ui().QueueFiles({options.output});
    page.Click(CUserDlg::kLogDownload);
    session.WaitForBox("downloading the log");
    report.Add("file", options.output);
    report.AddNumber("bytes", static_cast<int64_t>(page.logFile.BytesWritten()));
}

constexpr const char* kTimeUsage = "usage: sondrix-cli time get | time set [YYYY-MM-DD HH:MM:SS]";

// "YYYY-MM-DD HH:MM:SS" (one word or two) into the six manual fields; what is
// wrong with it (the window's own words for a value out of range), or empty.
std::string ParseTime(const std::vector<std::string>& words, std::array<std::string, 6>& fields) {
    std::string text;
    for (size_t i = 1; i < words.size(); ++i) {
        text += (i == 1 ? "" : " ") + words[i];
    }
    std::array<int, 6> values = {};
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%*[ T]%2d:%2d:%2d%c", &values[0], &values[1],
                    &values[2], &values[3], &values[4], &values[5], &tail) != 6) {
        return kTimeUsage;
    }
    if (std::string range = CUserDlg::ManualTimeError(values); !range.empty()) {
        return "time set " + text + ": " + range;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        char field[8];
        std::snprintf(field, sizeof field, i == 0 ? "%04d" : "%02d", values[i]);
        fields[i] = field;
    }
    return {};
}

void Time(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CUserDlg& page = session.Dlg().userDlg;
    session.EnterMaster();
    session.OpenTab(CSondrixDlg::kTabExtra);
    if (options.arguments.at(0) == "set") {
        std::array<std::string, 6> fields;
        if (options.arguments.size() > 1) {
            ParseTime(options.arguments, fields);
            if (!page.IsChecked(CUserDlg::kManualInput)) {
                page.Click(CUserDlg::kManualInput);
            }
            for (size_t i = 0; i < fields.size(); ++i) {
                page.Type(CUserDlg::kManualEdits[i], fields[i]);
            }
        }
        session.MarkBoxes();
        page.Click(CUserDlg::kSetTime);
        session.WaitForBox("setting the time");
    }
    page.Click(CUserDlg::kGetTime);
    session.Settle("reading the time");
    report.Add("time", page.Text(CUserDlg::kModuleTime));
}

void ReportOptions(CCliSession& session, CCliReport& report) {
    const CSystemDlg& page = session.Dlg().systemDlg;
    report.SetRowsName("options");
    for (const SOptionControl& option : kOptionControls) {
        const SControl& control = page.Control(option.control);
        if (control.visible) {
            report.AddRow({{"name", option.name}, ControlField(control)});
        }
    }
}

void Options(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    CSondrixDlg& dlg = session.Dlg();
    CSystemDlg& page = dlg.systemDlg;
    session.EnterMaster();
    session.OpenTab(CSondrixDlg::kTabConfiguration);
    session.WaitFor([&] { return dlg.transferBusy == 0; }, "reading the options");
    session.Settle("reading the options");
    if (options.arguments.at(0) == "set") {
        const std::string& name = options.arguments.at(1);
        const std::string& value = options.arguments.at(2);
        const SOptionControl& option = *FindOptionControl(name);
        const SControl& control = page.Control(option.control);
        const int button = option.setButton == 0 ? option.control : option.setButton;
        if (!control.visible || !control.enabled || !page.IsEnabled(button)) {
            Fail(kCliModuleError, "the option " + name + " cannot be set on this module");
        }
        if (control.kind == EControlKind::CheckBox) {
            if (control.checked != (value == "on" || value == "true")) {
                page.Click(option.control);
            }
        } else if (control.kind == EControlKind::Combo) {
            const auto item = std::find(control.items.begin(), control.items.end(), value);
            if (item == control.items.end()) {
                std::string choices;
                for (const std::string& text : control.items) {
                    choices += (choices.empty() ? "" : ", ") + text;
                }
                Fail(kCliUsage, "the option " + name + " is one of: " + choices);
            }
            page.Select(option.control, static_cast<int>(item - control.items.begin()));
            page.Click(button);
        } else {
            page.Type(option.control, value);
            page.Click(button);
        }
        session.Settle("setting " + name);
    }
    ReportOptions(session, report);
}

void Firmware(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    session.MarkBoxes();
    session.Ui().QueueFiles({options.arguments.at(0)});
    session.Dlg().basicDlg.Click(CBasicDlg::kFirmwareUpdate);
    const CScriptedUiHost::SBox& box = session.WaitForBox("updating the firmware");
    report.Add("file", options.arguments.at(0));
    report.Add("result", box.text);
}

// The Packet Creator's fields of `send`: COMMAND [PARAM1 [PARAM2 [DATA]]],
// or one whole packet from its start byte on (its checksums, if given, are
// made again on sending).
struct SSendFields {
    std::array<std::string, 4> header;  // command, param1, param2, error code
    std::string data;
};

std::string HexDigits(const std::vector<std::string>& words) {
    std::string digits;
    for (const std::string& word : words) {
        for (const char c : word) {
            if (c != ' ' && c != ':') {
                digits += c;
            }
        }
    }
    return Lower(digits);
}

bool ParseSend(const std::vector<std::string>& args, SSendFields& fields) {
    const std::string digits = HexDigits(args);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return false;
    }
    const bool wholePacket =
        args.size() == 1 && digits.size() >= 2 * 21 && digits.compare(0, 2, "7e") == 0;
    if (!wholePacket) {
        if (args.size() > 4) {
            return false;
        }
        for (size_t i = 0; i < args.size() && i < 3; ++i) {
            if (args[i].size() > 8) {
                return false;
            }
            fields.header[i] = args[i];
        }
        fields.data = args.size() == 4 ? args[3] : std::string();
        return true;
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    std::vector<uint8_t> bytes(digits.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    }
    CByteReader reader(bytes.data(), bytes.size());
    uint8_t start = 0;
    uint32_t values[5] = {};
    reader.U8(start);
    for (uint32_t& value : values) {
        if (!reader.U32BE(value)) {
            return false;
        }
    }
    // What follows the header: its checksum (optional), the payload, the payload checksum.
    size_t rest = reader.Remaining();
    const size_t dataSize = values[3];
    if (rest >= 4 && rest != dataSize && rest != dataSize + 4) {
        reader.Skip(4);
        rest -= 4;
    }
    if (rest != dataSize && rest != dataSize + 4) {
        return false;
    }
    char text[16];
    const size_t order[4] = {0, 1, 2, 4};
    for (size_t i = 0; i < 4; ++i) {
        std::snprintf(text, sizeof text, "%x", values[order[i]]);
        fields.header[i] = text;
    }
    fields.data = HexText(bytes.data() + reader.Position(), dataSize);
    return true;
}

void Send(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    SSendFields fields;
    ParseSend(options.arguments, fields);
    CAboutDlg& page = session.Dlg().aboutDlg;
    session.OpenTab(CSondrixDlg::kTabAbout);
    const int edits[4] = {CAboutDlg::kCommand, CAboutDlg::kParam1, CAboutDlg::kParam2,
                          CAboutDlg::kErrorCode};
    for (size_t i = 0; i < 4; ++i) {
        page.Type(edits[i], fields.header[i]);
    }
    page.Type(CAboutDlg::kData, fields.data);
    const uint64_t before = session.AnswersSeen();
    page.Click(CAboutDlg::kSend);
    session.WaitFor([&] { return session.AnswersSeen() > before; }, "waiting for the answer");
    CPacketParser parser;
    size_t used = 0;
    const std::vector<uint8_t>& bytes = session.LastAnswer().bytes;
    parser.Feed(bytes.data(), bytes.size(), used);
    const CPacket& answer = parser.rxPacket;
    const std::vector<std::string> cells = CPacketTracer::RowCells(answer, 1);
    static const char* kNames[] = {"dir", "command", "param1", "param2", "data size", "err code"};
    for (size_t i = 0; i < std::size(kNames); ++i) {
        report.Add(kNames[i], cells[i]);
    }
    report.Add("data", HexText(answer.data, std::min<size_t>(answer.dataSize, CPacket::kMaxData)));
    report.Add("packet", HexText(bytes.data(), bytes.size()));
}

}  // namespace

void CheckCliCommand(const SCliOptions& options) {
    const std::string& command = options.command;
    if (const SCliUserCommand* user = FindCliUserCommand(command)) {
        user->check(options);
    }
    const std::vector<std::string>& args = options.arguments;
    if (command == "info" || command == "users") {
        NeedArguments(options, 0, 0, command == "info" ? "info" : "users");
    } else if (command == "capture") {
        NeedArguments(options, 0, 0, "capture -o FILE.raw|FILE.bmp|FILE.wsq");
        const std::string extension = Extension(options.output);
        if (extension != "raw" && extension != "bmp" && extension != "wsq") {
            Fail(kCliUsage, "capture needs -o FILE ending in .raw, .bmp or .wsq");
        }
        NeedWritableFolder(options.output);
    } else if (command == "backup") {
        NeedArguments(options, 1, 1, "backup DIR");
        std::error_code error;
        fs::create_directories(args[0], error);
        // The first failure is the reason (a read-only file system, not a missing folder).
        if (!error && !fs::is_directory(args[0], error) && !error) {
            error = std::make_error_code(std::errc::not_a_directory);
        }
        if (error) {
            Fail(kCliFileError, "cannot use the folder " + args[0] + ": " + error.message());
        }
    } else if (command == "restore") {
        NeedArguments(options, 1, SIZE_MAX, "restore FILE...");
        std::for_each(args.begin(), args.end(), NeedReadable);
    } else if (command == "log") {
        NeedArguments(options, 0, 0, "log -o FILE [--option all|unread|last|oldest-to-last|nth N]");
        if (options.output.empty()) {
            Fail(kCliUsage, "log needs -o FILE");
        }
        const std::string& option = options.logOption;
        if (option != "all" && option != "unread" && option != "last" &&
            option != "oldest-to-last" && option != "nth") {
            Fail(kCliUsage,
                 "unknown log option " + option + " (all, unread, last, oldest-to-last or nth N)");
        }
        NeedWritableFolder(options.output);
    } else if (command == "time") {
        NeedArguments(options, 1, 3, "time get | time set [YYYY-MM-DD HH:MM:SS]");
        std::array<std::string, 6> fields;
        if (args[0] == "set" && args.size() > 1) {
            if (const std::string error = ParseTime(args, fields); !error.empty()) {
                Fail(kCliUsage, error);
            }
        } else if (args[0] != "set" && (args[0] != "get" || args.size() != 1)) {
            Fail(kCliUsage, kTimeUsage);
        }
    } else if (command == "options") {
        NeedArguments(options, 1, 3, "options get | options set NAME VALUE");
        const bool good =
            (args[0] == "get" && args.size() == 1) || (args[0] == "set" && args.size() == 3);
        if (!good) {
            Fail(kCliUsage, "usage: sondrix-cli options get | options set NAME VALUE");
        }
        if (args[0] == "set") {
            const SOptionControl* option = FindOptionControl(args[1]);
            if (option == nullptr) {
                Fail(kCliUsage, "unknown option " + args[1] + " (see options get)");
            }
            const std::string& value = args[2];
            if (option->value == EOptionValue::Flag && value != "on" && value != "off" &&
                value != "true" && value != "false") {
                Fail(kCliUsage, "the option " + args[1] + " is on or off");
            }
            if (option->value == EOptionValue::Number && !IsDecimal(value)) {
                Fail(kCliUsage, "the option " + args[1] + " is a number");
            }
        }
    } else if (command == "firmware") {
        NeedArguments(options, 1, 1, "firmware FILE");
        NeedReadable(args[0]);
    } else if (command == "monitor") {
        NeedArguments(options, 0, 0, "monitor [--attach]");
    } else if (command == "send") {
        SSendFields fields;
        if (args.empty() || !ParseSend(args, fields)) {
            Fail(kCliUsage,
                 "usage: sondrix-cli send COMMAND [PARAM1 [PARAM2 [DATA]]] (hexadecimal, "
                 "at most 8 digits a field) or send 7E... (a whole packet)");
        }
    }
}

void RunCliCommand(CCliSession& session, const SCliOptions& options, CCliReport& report) {
    const std::string& command = options.command;
    if (const SCliUserCommand* user = FindCliUserCommand(command)) {
        user->run(session, options, report);
    }
    if (command == "info") {
        Info(session, report);
    } else if (command == "capture") {
        Capture(session, options, report);
    } else if (command == "users") {
        Users(session, report);
    } else if (command == "backup") {
        Backup(session, options, report);
    } else if (command == "restore") {
        Restore(session, options, report);
    } else if (command == "log") {
        Log(session, options, report);
    } else if (command == "time") {
        Time(session, options, report);
    } else if (command == "options") {
        Options(session, options, report);
    } else if (command == "firmware") {
        Firmware(session, options, report);
    } else if (command == "send") {
        Send(session, options, report);
    }
}

}  // namespace sondrix
