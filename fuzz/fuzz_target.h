#pragma once

// Shared pieces of the fuzz targets. Each target defines
// LLVMFuzzerTestOneInput; libFuzzer drives it in the fuzz build, and
// replay_main.cpp feeds it the stored corpus in the normal test build.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace sondrix::fuzz {

// The input written to a scratch file of this process whose name ends in
// `suffix` (the readers pick or check the format by the name); removed again
// when the object goes away.
class CScratchFile {
  public:
    CScratchFile(const uint8_t* data, size_t size, const std::string& suffix);
    ~CScratchFile();
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

// Stops the program with a report when an invariant of the code under test
// does not hold; libFuzzer records the input as a crash.
[[noreturn]] void Fail(const char* what);
inline void Require(bool condition, const char* what) {
    if (!condition) {
        Fail(what);
    }
}

}  // namespace sondrix::fuzz
