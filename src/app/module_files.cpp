// CModule: records, the log, the options, firmware and image files.
#include <algorithm>
#include <charconv>
#include <system_error>

#include "app/module.h"
#include "app/module_internal.h"
#include "app/sondrix_dlg.h"
#include "files/format_code.h"
#include "files/record_file.h"
#include "imaging/image_file.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "link/result_codes.h"
#include "platform/native_file.h"
#include "ui/strings.h"
#include "ui/strings_database.h"
#include "ui/strings_image_files.h"
#include "ui/strings_users.h"

namespace sondrix {

namespace {

using EKind = SOutcome::EKind;

// The download format of a backup: the module's own ("Dravik Format").
constexpr int kBackupFormatChoice = 1;

// Options by the names programs use, in the order they are listed.
struct SOptionName {
    const char* name;
    uint32_t option;
    SOptionValue::EKind kind;
};

// The LFD level's number depends on the model; this one stands for both.
constexpr uint32_t kLfdOption = kOptionLfdLevel;
// The template count is set with a command of its own and read as the template mode.
constexpr uint32_t kTemplateCountOption = kOptionTemplateMode;

constexpr std::array<SOptionName, 24> kOptionNames = {{
    {"gain", kOptionGain, SOptionValue::EKind::Number},
    {"brightness", kOptionBrightness, SOptionValue::EKind::Number},
    {"contrast", kOptionContrast, SOptionValue::EKind::Number},
    {"lfd", kLfdOption, SOptionValue::EKind::Number},
    {"verify-level", kOptionVerifyLevel, SOptionValue::EKind::Number},
    {"identify-level", kOptionIdentifyLevel, SOptionValue::EKind::Number},
    {"register-quality", kOptionRegisterQuality, SOptionValue::EKind::Number},
    {"verify-quality", kOptionVerifyQuality, SOptionValue::EKind::Number},
    {"capture-period", kOptionCapturePeriod, SOptionValue::EKind::Number},
    {"relay-time", kOptionRelayTime, SOptionValue::EKind::Number},
    {"identify-timeout", kOptionIdentifyTimeout, SOptionValue::EKind::Number},
    {"site-code", kOptionSiteCode, SOptionValue::EKind::Number},
    {"id-length", kOptionIdLength, SOptionValue::EKind::Number},
    {"adaptive-count", kOptionAdaptiveCount, SOptionValue::EKind::Number},
    {"protocol", kOptionWiegandProtocol, SOptionValue::EKind::Choice},
    {"channel0", kOptionChannel0Baud, SOptionValue::EKind::Choice},
    {"channel1", kOptionChannel1Baud, SOptionValue::EKind::Choice},
    {"template-count", kTemplateCountOption, SOptionValue::EKind::Choice},
    {"emulation-mode", kOptionEmulationMode, SOptionValue::EKind::Choice},
    {"latent", kOptionLatent, SOptionValue::EKind::Flag},
    {"adaptive-capture", kOptionAdaptiveCapture, SOptionValue::EKind::Flag},
    {"full-rotate", kOptionFullRotate, SOptionValue::EKind::Flag},
    {"relay", kOptionRelay, SOptionValue::EKind::Flag},
    {"log", kOptionLog, SOptionValue::EKind::Flag},
}};

// A choice: the value the module holds and the text the window shows for it.
struct SChoice {
    uint32_t option;
    uint32_t value;
    int text;  // string id; 0: the value in decimal
};

// Serial channels number their rates 0 (115200 bps) to 5 (14400 bps).
constexpr std::array<SChoice, 20> kChoices = {{
    {kOptionWiegandProtocol, 0, IDS_PROTOCOL_NOT_USED},
    {kOptionWiegandProtocol, 1, IDS_PROTOCOL_26BIT},
    {kOptionWiegandProtocol, 2, IDS_PROTOCOL_34BIT},
    {kOptionChannel0Baud, 0, IDS_BAUD_115200},
    {kOptionChannel0Baud, 1, IDS_BAUD_57600},
    {kOptionChannel0Baud, 2, IDS_BAUD_38400},
    {kOptionChannel0Baud, 3, IDS_BAUD_19200},
    {kOptionChannel0Baud, 4, IDS_BAUD_9600},
    {kOptionChannel0Baud, 5, IDS_BAUD_14400},
    {kOptionChannel1Baud, 0, IDS_BAUD_115200},
    {kOptionChannel1Baud, 1, IDS_BAUD_57600},
    {kOptionChannel1Baud, 2, IDS_BAUD_38400},
    {kOptionChannel1Baud, 3, IDS_BAUD_19200},
    {kOptionChannel1Baud, 4, IDS_BAUD_9600},
    {kOptionChannel1Baud, 5, IDS_BAUD_14400},
    {kTemplateCountOption, 1, IDS_TEMPLATES_1},
    {kTemplateCountOption, 2, IDS_TEMPLATES_2},
    {kTemplateCountOption, 4, IDS_TEMPLATES_4},
    {kOptionEmulationMode, 0xFF, IDS_EMULATION_NOT_USED},
    {kOptionEmulationMode, 1, IDS_EMULATION_SA},
}};
constexpr SChoice kEmulationSb = {kOptionEmulationMode, 2, IDS_EMULATION_SB};

template <typename Visit>
void EachChoice(uint32_t option, Visit visit) {
    for (const SChoice& choice : kChoices) {
        if (choice.option == option) {
            visit(choice);
        }
    }
    if (option == kOptionEmulationMode) {
        visit(kEmulationSb);
    }
}

bool ParseDecimal(const std::string& text, int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// How `value` of an option reads: the number, on/off, or the choice's text.
std::string OptionText(const SOptionName& name, uint32_t value) {
    if (name.kind == SOptionValue::EKind::Flag) {
        return value != 0 ? "on" : "off";
    }
    std::string text = std::to_string(value);
    EachChoice(name.option, [&](const SChoice& choice) {
        if (choice.value == value) {
            text = LoadString(choice.text);
        }
    });
    return text;
}

// The value `text` names for an option, or nothing: a number, on/off for a
// flag, or a choice by its value or its text.
std::optional<uint32_t> OptionValueOf(const SOptionName& name, const std::string& text) {
    int64_t number = 0;
    switch (name.kind) {
        case SOptionValue::EKind::Flag:
            if (text == "on" || text == "true" || text == "1") {
                return 1;
            }
            if (text == "off" || text == "false" || text == "0") {
                return 0;
            }
            return std::nullopt;
        case SOptionValue::EKind::Number:
            if (ParseDecimal(text, number) && number >= 0 && number <= UINT32_MAX) {
                return static_cast<uint32_t>(number);
            }
            return std::nullopt;
        case SOptionValue::EKind::Choice: {
            std::optional<uint32_t> found;
            EachChoice(name.option, [&](const SChoice& choice) {
                const std::string& shown = LoadString(choice.text);
                // "57600 bps" or "57600" for a rate, the choice's own text otherwise.
                if (shown == text || shown.substr(0, shown.find(' ')) == text) {
                    found = choice.value;
                }
            });
            return found;
        }
    }
    return std::nullopt;
}

std::string ChoicesOf(const SOptionName& name) {
    if (name.kind == SOptionValue::EKind::Flag) {
        return "on or off";
    }
    if (name.kind == SOptionValue::EKind::Number) {
        return "a number";
    }
    std::string choices = "one of: ";
    bool first = true;
    EachChoice(name.option, [&](const SChoice& choice) {
        choices += (first ? "" : ", ") + LoadString(choice.text);
        first = false;
    });
    return choices;
}

const SOptionName* FindOptionName(const std::string& name) {
    const auto* found = std::find_if(kOptionNames.begin(), kOptionNames.end(),
                                     [&](const SOptionName& o) { return name == o.name; });
    return found == kOptionNames.end() ? nullptr : found;
}

}  // namespace

void SImage::Save(const std::filesystem::path& path, std::FILE* diagnostics) const {
    const std::string shown = Utf8FromPath(path);
    std::string reason;
    const ImageFileStatus status = WriteImageFile(shown, pixels.data(), pixels.size(), width,
                                                  height, {}, diagnostics, &reason);
    switch (status) {
        case ImageFileStatus::Ok:
            return;
        case ImageFileStatus::InvalidFile:
            throw CModuleError(EFailure::Usage, "cannot write " + shown +
                                                    ": the name ends in none of .raw, .bmp, .wsq");
        case ImageFileStatus::CodecError:
            throw CModuleError(EFailure::File,
                               "cannot write " + shown + ": " + LoadString(IDS_IMAGE_ERROR));
        case ImageFileStatus::NotSupported:
            throw CModuleError(EFailure::File, "cannot write " + shown + ": " +
                                                   LoadString(IDS_FILE_SIZE_NOT_SUPPORTED));
        default:
            // The file that was there is left as it was.
            throw CModuleError(EFailure::File, "cannot write " + shown + ": " + reason);
    }
}

void CModule::MakeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::error_code kind;
    if (!std::filesystem::is_directory(folder, kind)) {
        throw CModuleError(EFailure::File, "cannot use the folder " + Utf8FromPath(folder) + ": " +
                                               (error ? error.message() : "not a folder"));
    }
}

SBackup CModule::Backup(const std::filesystem::path& folder) {
    MakeFolder(folder);
    EnterMaster();
    ReadTemplateMode();
    const std::optional<uint8_t> code =
        DownloadFormatCode(m_dlg->dbDlg.RecordContext(), kBackupFormatChoice);
    Begin();
    m_dlg->records.DownloadAll(code.value_or(0), folder);
    SBackup backup;
    const auto saved = [&] {
        backup.records = 0;
        backup.files.clear();
        for (const COutcomes::SRecorded& recorded : m_outcomes->list) {
            if (recorded.outcome.kind == EKind::RecordSaved) {
                ++backup.records;
                backup.files.emplace_back(PathFromUtf8(recorded.outcome.path));
            }
        }
    };
    try {
        Await("downloading the records",
              [&] {
                  const SOutcome* done = m_outcomes->Find(EKind::TransferDone);
                  return done != nullptr && done->command == CMD_DOWNLOAD_RECORD;
              },
              {"backup", "records"});
    } catch (const CModuleError& error) {
        // Whatever stopped the run (a signal too), the person learns what
        // was saved before.
        saved();
        throw error.Saying("; " + std::to_string(backup.records) + " record" +
                           (backup.records == 1 ? "" : "s") + " saved in " + Utf8FromPath(folder));
    }
    Settle();
    saved();
    return backup;
}

SRestore CModule::Restore(const std::vector<std::filesystem::path>& files) {
    EnterMaster();
    ReadTemplateMode();
    // Every file is read before anything is sent: one that cannot be, ends
    // the work with nothing uploaded.
    const SRecordContext context = m_dlg->dbDlg.RecordContext();
    std::vector<SHostRecordRow> records;
    for (const std::filesystem::path& file : files) {
        SHostRecordRow row;
        const EFileStatus status = LoadRecordFile(file, context, row);
        if (status != EFileStatus::Ok) {
            Throw(EFailure::File,
                  "cannot restore " + Utf8FromPath(file) + ": " +
                      (status == EFileStatus::NotFound ? "no such file"
                                                       : "not a record file of this module"));
        }
        records.push_back(std::move(row));
    }
    Begin();
    m_dlg->records.Upload(std::move(records), [this] { return !m_cancel; });
    SRestore restore;
    try {
        Await("uploading the records",
              [&] { return m_outcomes->Find(EKind::UserCount) != nullptr; },
              {"restore", "records"});
    } catch (const CModuleError& error) {
        const SOutcome* refused = m_outcomes->Find(EKind::RecordRefused);
        if (refused == nullptr || error.Signal() > 0) {
            throw;
        }
        const int uploaded = m_dlg->records.recordsTried - m_dlg->records.recordsNotSaved;
        throw CModuleError(EFailure::Module,
                           "the module refused " + refused->path + " (" + refused->text + "); " +
                               std::to_string(uploaded) + " of " + std::to_string(files.size()) +
                               " records were uploaded and nothing more was sent",
                           error.Result());
    }
    Settle();
    restore.records = m_dlg->records.recordsTried;
    restore.users = m_outcomes->users;
    return restore;
}

SLogDownload CModule::Log(const std::filesystem::path& path, uint32_t option, uint32_t n) {
    EnterMaster();
    ReadTemplateMode();
    Begin();
    m_dlg->logDownload.Start(Utf8FromPath(path), option, n);
    Await("downloading the log", [&] { return m_outcomes->Find(EKind::LogSaved) != nullptr; },
          {"log", "pages"});
    Settle();
    return {path, m_outcomes->Find(EKind::LogSaved)->count, m_dlg->logDownload.file.BytesWritten()};
}

std::optional<uint32_t> CModule::LogChoice(const std::string& name) {
    struct SLogChoice {
        const char* name;
        uint32_t option;
    };
    static constexpr std::array<SLogChoice, 5> kLogChoices = {{
        {"all", CLogDownload::kAll},
        {"unread", CLogDownload::kOldestUnread},
        {"last", CLogDownload::kLastWritten},
        {"oldest-to-last", CLogDownload::kOldestUnreadToLast},
        {"nth", CLogDownload::kNthPrevious},
    }};
    const auto* choice = std::find_if(kLogChoices.begin(), kLogChoices.end(),
                                      [&](const SLogChoice& c) { return name == c.name; });
    return choice == kLogChoices.end() ? std::nullopt : std::optional(choice->option);
}

std::vector<std::string> CModule::OptionNames() {
    std::vector<std::string> names;
    for (const SOptionName& name : kOptionNames) {
        names.emplace_back(name.name);
    }
    return names;
}

std::string CModule::OptionValueError(const std::string& name, const std::string& value) {
    const SOptionName* option = FindOptionName(name);
    if (option == nullptr) {
        return "unknown option " + name;
    }
    return OptionValueOf(*option, value) ? std::string()
                                         : "the option " + name + " is " + ChoicesOf(*option);
}

std::vector<SOptionValue> CModule::ReadOptions() {
    Begin();
    m_dlg->systemDlg.GetSystemInfo();
    Await("reading the options", [&] { return m_outcomes->Find(EKind::OptionsRead) != nullptr; });
    Settle();
    const CSystemDlg& page = m_dlg->systemDlg;
    std::vector<SOptionValue> values;
    for (const SOptionName& name : kOptionNames) {
        const uint32_t option = name.option == kLfdOption ? page.LfdOption() : name.option;
        // Options the module holds: the read asked for them.
        if (option >= CSystemDlg::kOptionSlots || !page.optionHeld.test(option)) {
            continue;
        }
        // The emulation mode is the module's fact, read at every connection.
        const uint32_t value =
            option == kOptionEmulationMode ? m_dlg->emulationMode : page.Option(option);
        values.push_back({name.name, option, name.kind, value, OptionText(name, value)});
    }
    return values;
}

std::vector<SOptionValue> CModule::Options() {
    EnterMaster();
    return ReadOptions();
}

std::vector<SOptionValue> CModule::SetOption(const std::string& name, const std::string& text) {
    const SOptionName* option = FindOptionName(name);
    if (option == nullptr) {
        Throw(EFailure::Usage, "unknown option " + name);
    }
    const std::optional<uint32_t> value = OptionValueOf(*option, text);
    if (!value) {
        Throw(EFailure::Usage, "the option " + name + " is " + ChoicesOf(*option));
    }
    EnterMaster();
    const std::vector<SOptionValue> before = ReadOptions();
    const auto held = std::find_if(before.begin(), before.end(),
                                   [&](const SOptionValue& v) { return v.name == name; });
    if (held == before.end()) {
        Throw(EFailure::Module, "the option " + name + " cannot be set on this module");
    }
    Begin();
    if (option->option == kTemplateCountOption) {
        m_dlg->configuration.SendTemplateCount(*value);
    } else {
        m_dlg->configuration.SendOption(held->option, *value);
    }
    Await("setting " + name, [&] { return m_outcomes->Find(EKind::OptionSet) != nullptr; });
    Settle();
    return ReadOptions();
}

std::string CModule::UpdateFirmware(const std::filesystem::path& file) {
    NeedConnection();
    Begin();
    m_cancelTellsModule = false;
    m_dlg->firmware.Start(Utf8FromPath(file), false, [this] { return !m_cancel; });
    try {
        Await("updating the firmware",
              [&] { return m_outcomes->Find(EKind::FirmwareDone) != nullptr; },
              {"firmware", "chunks"});
    } catch (...) {
        // A transfer given up leaves no popup or busy flag behind.
        m_cancelTellsModule = true;
        m_dlg->popupProgress.Destroy();
        m_dlg->transferBusy = 0;
        throw;
    }
    m_cancelTellsModule = true;
    Settle();
    return m_outcomes->Find(EKind::FirmwareDone)->text;
}

}  // namespace sondrix
