#pragma once

namespace sondrix {

// Outcome of every host-file operation of this library. The pages turn these
// values into their message texts; each function documents which ones it returns.
enum class EFileStatus {
    Ok,
    NotFound,      // the file does not exist; a multi-file load stops at this file
    NotSupported,  // the name ends neither in "rec" nor in "mrc"
    MrcIgnored,    // a multi-record file: recognised, nothing is read from it
    Invalid,       // record size or marker not accepted for the connected module
    BadTime,       // the registration time is impossible, usually a wrong ID length
    TooBig,        // the file is larger than the caller allows
    UnsafeName,    // a record ID that cannot serve as a file name
    SizeChanged,   // the file changed size while it was read
    IoError,       // opening, reading, writing, renaming or closing failed
};

}  // namespace sondrix
