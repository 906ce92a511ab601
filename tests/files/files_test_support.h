#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/record_context.h"

namespace sondrix::test {

using Bytes = std::vector<uint8_t>;

inline SRecordContext Extended(size_t idFieldLength = 11) {
    return {.layout = ERecordLayout::Extended, .idFieldLength = idFieldLength};
}
inline constexpr SRecordContext kSeries2Tm2{
    .layout = ERecordLayout::Legacy, .templateMode2 = true, .series2OrEmulation2 = true};
inline constexpr SRecordContext kLegacyTm2{.layout = ERecordLayout::Legacy, .templateMode2 = true};
inline constexpr SRecordContext kLegacyOther{.layout = ERecordLayout::Legacy};

struct STime {
    int year, month, day, hour, minute, second;
};
inline constexpr STime kSomeTime{2016, 3, 7, 14, 5, 9};

inline void Put(Bytes& bytes, size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<long>(offset));
}

inline void PutTime(Bytes& bytes, size_t offset, const STime& t) {
    const int fields[] = {t.year / 100, t.year % 100, t.month, t.day, t.hour, t.minute, t.second};
    for (const int field : fields) {
        bytes[offset++] = static_cast<uint8_t>(((field / 10) << 4) | (field % 10));
    }
}

// Marker, authority at 4, ID at 5 in a field of `idField` bytes, then 24 bytes, then the time.
inline Bytes MarkedRecord(size_t size, uint8_t marker, size_t idField, const std::string& id,
                          const STime& time = kSomeTime) {
    Bytes bytes(size, 0);
    bytes[0] = marker;
    Put(bytes, 5, id);
    PutTime(bytes, idField + 29, time);
    return bytes;
}

// Authority at 0, ID at 1, time eight bytes before the end.
inline Bytes OldRecord(size_t size, const std::string& id, bool master = false) {
    Bytes bytes(size, 0);
    bytes[0] = master ? 1 : 0;
    Put(bytes, 1, id);
    PutTime(bytes, size - 8, kSomeTime);
    return bytes;
}

// A fresh folder under the system's temporary folder, removed with its contents.
class CTempFolder {
  public:
    // A new folder of a random name, made only by this test (create_directory
    // fails on a name that is taken), on every system the tests run on.
    CTempFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   ("sondrix-files-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                m_path = candidate;
            }
        }
        if (m_path.empty()) {
            throw std::runtime_error("cannot create a temporary folder");
        }
    }
    ~CTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

inline std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace sondrix::test
