#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace sondrix {

// The line rate at which a module last answered on each port, kept per user
// in a small file beside the window's settings, so that the next connection
// on that port tries it first and a known module answers at once.
class CRateMemory {
  public:
    // Reads `file`; a file that is missing or unreadable remembers nothing.
    explicit CRateMemory(std::filesystem::path file);
    // The file of this user ("rates" in the settings folder); empty when the
    // settings folder is not known.
    static std::filesystem::path UserFile();

    // The rate remembered for the device, 0 when none is.
    uint32_t Rate(const std::string& device) const;
    // Remembers the rate and writes the file whole; false (with the reason)
    // when it cannot be written, which only costs the next connection time.
    bool Remember(const std::string& device, uint32_t rate, std::string& error);

  private:
    std::filesystem::path m_file;
    std::map<std::string, uint32_t> m_rates;
};

}  // namespace sondrix
