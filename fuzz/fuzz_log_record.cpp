// Log records as the module sends them, formatted as .log lines: any bytes
// of any length give one line without a line break.

#include "files/log_record.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line = sondrix::FormatLogLine({data, size});
    sondrix::fuzz::Require(
        line.find('\n') == std::string::npos && line.find('\r') == std::string::npos,
        "a log line with a line break");
    sondrix::fuzz::Require(!line.empty(), "an empty log line");
    return 0;
}
