#include "cli/cli_commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/packet_tracer.h"
#include "cli/cli_status.h"
#include "device/log_download.h"
#include "files/bcd_time.h"
#include "link/command_table.h"
#include "link/packet_parser.h"
#include "link/result_codes.h"
#include "platform/byte_reader.h"
#include "platform/local_time.h"
#include "platform/native_file.h"
#include "platform/system_serial.h"

namespace sondrix {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Extension(const std::string& path) {
    const std::string extension = Utf8FromPath(PathFromUtf8(path).extension());
    return Lower(extension.empty() ? extension : extension.substr(1));
}

void NeedReadable(const std::string& path) {
    std::error_code error;
    const fs::path native = PathFromUtf8(path);
    if (!fs::is_regular_file(native, error)) {
        CliFail(kCliFileError,
                "cannot read " + path + ": " +
                    (fs::exists(native, error) ? "not a regular file" : "no such file"));
    }
    std::ifstream file(native, std::ios::binary);
    if (!file) {
        CliFail(kCliFileError, "cannot read " + path + ": permission denied");
    }
}

void NeedWritableFolder(const std::string& path) {
    std::error_code error;
    const fs::path folder = PathFromUtf8(path).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        CliFail(kCliFileError, "cannot write " + path + ": the folder " + Utf8FromPath(folder) +
                                   " does not exist");
    }
}

void CheckNothing(const SCliOptions& options) {
    NeedArguments(options, 0, 0, options.command.c_str());
}

// ---- info, status, cancel ----

void Info(CModule& module, const SCliOptions&, CCliReport& report) {
    const SModuleInfo info = module.Info();
    report.Add("model", info.model);
    report.AddNumber("series", info.series);
    report.Add("firmware", info.firmwareText);
    report.AddNumber("users", info.users);
    report.Add("status", info.statusText);
    report.Add("port", info.port);
    report.Add("device", info.device);
    if (SystemWords().lowLatency) {
        report.AddFlag("low_latency", info.lowLatency);
    }
    report.AddNumber("baud", info.baud);
}

void Status(CModule& module, const SCliOptions&, CCliReport& report) {
    module.Status();
    report.Add("status", module.Info().statusText);
}

void Cancel(CModule& module, const SCliOptions&, CCliReport& report) {
    const uint32_t result = module.CancelModule();
    report.Add("result", ResultText(result));
}

// ---- capture ----

void CheckCapture(const SCliOptions& options) {
    NeedArguments(options, 0, 0, "capture -o FILE.raw|FILE.bmp|FILE.wsq");
    const std::string extension = Extension(options.output);
    if (extension != "raw" && extension != "bmp" && extension != "wsq") {
        CliFail(kCliUsage, "capture needs -o FILE ending in .raw, .bmp or .wsq");
    }
    NeedWritableFolder(options.output);
}

void Capture(CModule& module, const SCliOptions& options, CCliReport& report) {
    const SImage image = module.Capture();
    image.Save(PathFromUtf8(options.output), options.quiet ? nullptr : stderr);
    report.Add("file", options.output);
    report.AddNumber("width", image.width);
    report.AddNumber("height", image.height);
    report.AddNumber("quality", image.quality);
}

// ---- backup, restore ----

void CheckBackup(const SCliOptions& options) {
    NeedArguments(options, 1, 1, "backup DIR");
    CModule::MakeFolder(PathFromUtf8(options.arguments[0]));
}

void Backup(CModule& module, const SCliOptions& options, CCliReport& report) {
    const SBackup backup = module.Backup(PathFromUtf8(options.arguments.at(0)));
    report.Add("folder", options.arguments.at(0));
    report.AddNumber("records", backup.records);
}

void CheckRestore(const SCliOptions& options) {
    NeedArguments(options, 1, SIZE_MAX, "restore FILE...");
    std::for_each(options.arguments.begin(), options.arguments.end(), NeedReadable);
}

void Restore(CModule& module, const SCliOptions& options, CCliReport& report) {
    std::vector<fs::path> files;
    for (const std::string& file : options.arguments) {
        files.push_back(PathFromUtf8(file));
    }
    const SRestore restore = module.Restore(files);
    report.AddNumber("records", restore.records);
    report.AddNumber("users", restore.users);
}

// ---- log ----

void CheckLog(const SCliOptions& options) {
    NeedArguments(options, 0, 0, "log -o FILE [--option all|unread|last|oldest-to-last|nth N]");
    if (options.output.empty()) {
        CliFail(kCliUsage, "log needs -o FILE");
    }
    if (!CModule::LogChoice(options.logOption)) {
        CliFail(kCliUsage, "unknown log option " + options.logOption +
                               " (all, unread, last, oldest-to-last or nth N)");
    }
    NeedWritableFolder(options.output);
}

void Log(CModule& module, const SCliOptions& options, CCliReport& report) {
    const uint32_t choice = *CModule::LogChoice(options.logOption);
    const SLogDownload log =
        module.Log(PathFromUtf8(options.output), choice,
                   choice == CLogDownload::kNthPrevious ? options.logCount : 0);
    report.Add("file", options.output);
    report.AddNumber("records", log.records);
    report.AddNumber("bytes", static_cast<int64_t>(log.bytes));
}

// ---- time ----

constexpr const char* kTimeUsage = "usage: sondrix-cli time get | time set [YYYY-MM-DD HH:MM:SS]";

// "YYYY-MM-DD HH:MM:SS" (one word or two) as the module's clock bytes; what
// is wrong with it, or empty.
std::string ParseTime(const std::vector<std::string>& words, std::array<uint8_t, 7>& bcd) {
    std::string text;
    for (size_t i = 1; i < words.size(); ++i) {
        text += (i == 1 ? "" : " ") + words[i];
    }
    SBcdTime time;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%*[ T]%2d:%2d:%2d%c", &time.year, &time.month,
                    &time.day, &time.hour, &time.minute, &time.second, &tail) != 6) {
        return kTimeUsage;
    }
    if (std::string range = CModule::TimeError(time.year, time.month, time.day, time.hour,
                                               time.minute, time.second);
        !range.empty()) {
        return "time set " + text + ": " + range;
    }
    bcd = time.ToBytes();
    return {};
}

void CheckTime(const SCliOptions& options) {
    NeedArguments(options, 1, 3, "time get | time set [YYYY-MM-DD HH:MM:SS]");
    const std::vector<std::string>& args = options.arguments;
    std::array<uint8_t, 7> bcd{};
    if (args[0] == "set" && args.size() > 1) {
        if (const std::string error = ParseTime(args, bcd); !error.empty()) {
            CliFail(kCliUsage, error);
        }
    } else if (args[0] != "set" && (args[0] != "get" || args.size() != 1)) {
        CliFail(kCliUsage, kTimeUsage);
    }
}

void Time(CModule& module, const SCliOptions& options, CCliReport& report) {
    if (options.arguments.at(0) == "set") {
        std::array<uint8_t, 7> bcd{};
        if (options.arguments.size() > 1) {
            ParseTime(options.arguments, bcd);
        } else {
            // Without a value: this computer's time, as a connection sets it.
            bcd = SBcdTime::FromTm(LocalTime(std::time(nullptr))).ToBytes();
        }
        module.SetTime(bcd);
    }
    const std::array<uint8_t, 7> bcd = module.Time();
    CByteReader reader(bcd.data(), bcd.size());
    SBcdTime time;
    SBcdTime::Read(reader, time);
    report.Add("time", time.ToString());
}

// ---- options ----

void CheckOptions(const SCliOptions& options) {
    NeedArguments(options, 1, 3, "options get | options set NAME VALUE");
    const std::vector<std::string>& args = options.arguments;
    const bool good =
        (args[0] == "get" && args.size() == 1) || (args[0] == "set" && args.size() == 3);
    if (!good) {
        CliFail(kCliUsage, "usage: sondrix-cli options get | options set NAME VALUE");
    }
    if (args[0] == "set") {
        const std::vector<std::string> names = CModule::OptionNames();
        if (std::find(names.begin(), names.end(), args[1]) == names.end()) {
            CliFail(kCliUsage, "unknown option " + args[1] + " (see options get)");
        }
        if (const std::string why = CModule::OptionValueError(args[1], args[2]); !why.empty()) {
            CliFail(kCliUsage, why);
        }
    }
}

void ReportOptions(const std::vector<SOptionValue>& values, CCliReport& report) {
    report.SetRowsName("options");
    for (const SOptionValue& value : values) {
        CCliReport::SField field{"value", value.text, value.kind != SOptionValue::EKind::Choice};
        if (value.kind == SOptionValue::EKind::Flag) {
            field.value = value.value != 0 ? "true" : "false";
        }
        report.AddRow({{"name", value.name}, field});
    }
}

void Options(CModule& module, const SCliOptions& options, CCliReport& report) {
    const std::vector<std::string>& args = options.arguments;
    ReportOptions(args[0] == "set" ? module.SetOption(args[1], args[2]) : module.Options(), report);
}

// ---- firmware ----

void CheckFirmware(const SCliOptions& options) {
    NeedArguments(options, 1, 1, "firmware FILE");
    NeedReadable(options.arguments[0]);
}

void Firmware(CModule& module, const SCliOptions& options, CCliReport& report) {
    const std::string result = module.UpdateFirmware(PathFromUtf8(options.arguments.at(0)));
    report.Add("file", options.arguments.at(0));
    report.Add("result", result);
}

// ---- send ----

// The Packet Creator's fields of `send`: COMMAND [PARAM1 [PARAM2 [DATA]]],
// or one whole packet from its start byte on (its checksums, if given, are
// made again on sending).
struct SSendFields {
    std::array<uint32_t, 4> header{};  // command, param1, param2, error code
    std::vector<uint8_t> data;
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

bool IsHex(const std::string& digits) {
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::vector<uint8_t> HexBytes(const std::string& digits) {
    std::vector<uint8_t> bytes(digits.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    }
    return bytes;
}

bool ParseSend(const std::vector<std::string>& args, SSendFields& fields) {
    const std::string digits = HexDigits(args);
    if (!IsHex(digits)) {
        return false;
    }
    const bool wholePacket =
        args.size() == 1 && digits.size() >= 2 * 21 && digits.compare(0, 2, "7e") == 0;
    if (!wholePacket) {
        if (args.size() > 4) {
            return false;
        }
        for (size_t i = 0; i < args.size() && i < 3; ++i) {
            if (args[i].size() > 8 || !IsHex(args[i])) {
                return false;
            }
            fields.header[i] = static_cast<uint32_t>(std::stoul(args[i], nullptr, 16));
        }
        if (args.size() == 4) {
            const std::string data = HexDigits({args[3]});
            if (data.size() % 2 != 0 || !IsHex(data)) {
                return false;
            }
            fields.data = HexBytes(data);
        }
        return true;
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    const std::vector<uint8_t> bytes = HexBytes(digits);
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
    fields.header = {values[0], values[1], values[2], values[4]};
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(reader.Position());
    fields.data.assign(first, first + static_cast<std::ptrdiff_t>(dataSize));
    return true;
}

void CheckSend(const SCliOptions& options) {
    SSendFields fields;
    if (options.arguments.empty() || !ParseSend(options.arguments, fields)) {
        CliFail(kCliUsage,
                "usage: sondrix-cli send COMMAND [PARAM1 [PARAM2 [DATA]]] (hexadecimal, "
                "at most 8 digits a field) or send 7E... (a whole packet)");
    }
}

void Send(CModule& module, const SCliOptions& options, CCliReport& report) {
    SSendFields fields;
    ParseSend(options.arguments, fields);
    const STracedPacket answer = module.SendRaw(fields.header[0], fields.header[1],
                                                fields.header[2], fields.header[3], fields.data);
    CPacketParser parser;
    size_t used = 0;
    parser.Feed(answer.bytes.data(), answer.bytes.size(), used);
    const CPacket& packet = parser.rxPacket;
    const std::vector<std::string> cells = CPacketTracer::RowCells(packet, 1);
    static const char* kNames[] = {"dir", "command", "param1", "param2", "data size", "err code"};
    for (size_t i = 0; i < std::size(kNames); ++i) {
        report.Add(kNames[i], cells[i]);
    }
    report.Add("data", HexText(packet.data, std::min<size_t>(packet.dataSize, CPacket::kMaxData)));
    report.Add("packet", HexText(answer.bytes.data(), answer.bytes.size()));
}

void CheckInfo(const SCliOptions& options) {
    NeedArguments(options, 0, 0, options.command.c_str());
}

void Users(CModule& module, const SCliOptions&, CCliReport& report) {
    const std::vector<SUser> users = module.Users();
    report.AddNumber("count", static_cast<int64_t>(users.size()));
    report.SetRowsName("users");
    for (const SUser& user : users) {
        report.AddRow({{"id", user.id}, {"authority", user.master ? "MASTER" : "USER"}});
    }
}

constexpr std::array<SCliCommand, 12> kCommands = {{
    {"info", CheckInfo, Info},
    {"status", CheckNothing, Status},
    {"cancel", CheckNothing, Cancel},
    {"capture", CheckCapture, Capture},
    {"users", CheckNothing, Users},
    {"backup", CheckBackup, Backup},
    {"restore", CheckRestore, Restore},
    {"log", CheckLog, Log},
    {"time", CheckTime, Time},
    {"options", CheckOptions, Options},
    {"firmware", CheckFirmware, Firmware},
    {"send", CheckSend, Send},
}};

}  // namespace

void CliFail(int status, const std::string& message) {
    throw SCliFailure{status, message};
}

void NeedArguments(const SCliOptions& options, size_t low, size_t high, const char* usage) {
    if (options.arguments.size() < low || options.arguments.size() > high) {
        CliFail(kCliUsage, std::string("usage: sondrix-cli ") + usage);
    }
}

const SCliCommand* FindCliCommand(const std::string& name) {
    const auto* found = std::find_if(kCommands.begin(), kCommands.end(),
                                     [&](const SCliCommand& c) { return name == c.name; });
    return found == kCommands.end() ? FindCliUserCommand(name) : found;
}

}  // namespace sondrix
