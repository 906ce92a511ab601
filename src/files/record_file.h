#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "files/file_status.h"
#include "files/record_context.h"
#include "platform/native_file.h"

namespace sondrix {

// One row of the DataBase tab's host list: what a loaded record file shows,
// and a private copy of its record bytes (without prefix) for a later upload.
struct SHostRecordRow {
    std::string id;
    std::string authority;  // "MASTER" or "USER"
    std::string time;       // "YYYY-MM-DD hh:mm:ss", empty for records without a time
    std::vector<uint8_t> record;
    std::filesystem::path path;  // the file it was loaded from

    size_t Size() const { return record.size(); }
};

// Loads one picked record file for the connected module. `row` is filled only on Ok.
// NotFound ends the whole selection; NotSupported (name not ending in "rec" or "mrc",
// case included), MrcIgnored, Invalid, BadTime, SizeChanged and IoError skip this file.
EFileStatus LoadRecordFile(const CFilePath& path, const SRecordContext& context,
                           SHostRecordRow& row);

struct SRecordSaveResult {
    EFileStatus status = EFileStatus::IoError;
    std::string id;              // the ID found in the record, safe or not
    std::filesystem::path path;  // the file written, or the one that could not be
    std::string reason;          // the system's reason when it could not be written
};

// Pause between the parts of a file, in milliseconds.
using PauseFunction = std::function<void(int milliseconds)>;

// Saves a downloaded record as "<ID>.rec" in `folder`, replacing a file of that
// name only once the new one is complete; for an HLX-M28 module the prefix goes
// first, followed by a 10 ms pause. Returns Ok, UnsafeName (the ID cannot be a
// file name; nothing is written) or IoError (with the system's reason).
SRecordSaveResult SaveRecordFile(const CFilePath& folder, std::span<const uint8_t> record,
                                 const SRecordContext& context, const PauseFunction& pause = {});

}  // namespace sondrix
