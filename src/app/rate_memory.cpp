#include "app/rate_memory.h"

#include <charconv>
#include <fstream>
#include <span>

#include "platform/native_file.h"
#include "platform/replacing_file.h"
#include "platform/writable_folder.h"

namespace sondrix {

namespace {

// Ports a file may remember: more means the file is not ours.
constexpr size_t kMostPorts = 256;

}  // namespace

CRateMemory::CRateMemory(std::filesystem::path file) : m_file(std::move(file)) {
    if (m_file.empty()) {
        return;
    }
    // One line a port: the rate, a tab, the device.
    std::ifstream in(m_file);
    std::string line;
    while (m_rates.size() < kMostPorts && std::getline(in, line)) {
        const size_t tab = line.find('\t');
        uint32_t rate = 0;
        if (tab == std::string::npos || tab + 1 >= line.size() ||
            std::from_chars(line.data(), line.data() + tab, rate).ptr != line.data() + tab) {
            continue;
        }
        m_rates[line.substr(tab + 1)] = rate;
    }
}

std::filesystem::path CRateMemory::UserFile() {
    std::string error;
    const std::optional<std::filesystem::path> folder = UserSettingsFolder(error);
    return folder ? *folder / "rates" : std::filesystem::path();
}

uint32_t CRateMemory::Rate(const std::string& device) const {
    const auto found = m_rates.find(device);
    return found == m_rates.end() ? 0 : found->second;
}

bool CRateMemory::Remember(const std::string& device, uint32_t rate, std::string& error) {
    if (m_file.empty() || device.empty() || device.find('\n') != std::string::npos ||
        Rate(device) == rate) {
        return true;
    }
    m_rates[device] = rate;
    if (!CreateFolder(m_file.parent_path(), error)) {
        return false;
    }
    std::string text;
    for (const auto& [port, known] : m_rates) {
        text += std::to_string(known) + "\t" + port + "\n";
    }
    CReplacingFile file(m_file);
    const std::span bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (!file.Open() || !file.Write(bytes) || !file.Commit()) {
        error = file.Error();
        return false;
    }
    return true;
}

}  // namespace sondrix
