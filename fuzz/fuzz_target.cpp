#include "fuzz_target.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace sondrix::fuzz {

CScratchFile::CScratchFile(const uint8_t* data, size_t size, const std::string& suffix)
    : m_path(std::filesystem::temp_directory_path() /
             ("sondrix-fuzz-" + std::to_string(getpid()) + suffix)) {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        Fail("cannot write the scratch file");
    }
}

CScratchFile::~CScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

void Fail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace sondrix::fuzz
