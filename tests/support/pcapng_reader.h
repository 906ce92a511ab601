#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace sondrix::test {

// A small reader of the pcapng files the program writes (little-endian
// sections, enhanced packet blocks), strict enough to catch a malformed block.
struct SPcapngPacket {
    uint32_t interface = 0;
    uint64_t timeUs = 0;
    uint32_t flags = 0;
    std::vector<uint8_t> bytes;
};

struct SPcapng {
    std::vector<uint16_t> linkTypes;  // one per interface
    std::vector<SPcapngPacket> packets;
};

inline uint32_t LE(const std::vector<uint8_t>& b, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | b.at(at + static_cast<size_t>(i));
    }
    return value;
}

// Empty on success, else what is wrong with the file.
inline std::string ReadPcapng(const std::string& path, SPcapng& out) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)), {});
    size_t at = 0;
    bool section = false;
    while (at < b.size()) {
        if (b.size() - at < 12) {
            return "short block at " + std::to_string(at);
        }
        const uint32_t type = LE(b, at, 4);
        const uint32_t length = LE(b, at + 4, 4);
        if (length < 12 || length % 4 != 0 || length > b.size() - at ||
            LE(b, at + length - 4, 4) != length) {
            return "bad block length at " + std::to_string(at);
        }
        const size_t body = at + 8;
        if (type == 0x0A0D0D0A) {
            if (LE(b, body, 4) != 0x1A2B3C4D || LE(b, body + 4, 2) != 1) {
                return "bad section header";
            }
            section = true;
        } else if (!section) {
            return "no section header first";
        } else if (type == 1) {
            out.linkTypes.push_back(static_cast<uint16_t>(LE(b, body, 2)));
        } else if (type == 6) {
            SPcapngPacket packet;
            packet.interface = LE(b, body, 4);
            if (packet.interface >= out.linkTypes.size()) {
                return "packet of an undescribed interface";
            }
            packet.timeUs = (uint64_t{LE(b, body + 4, 4)} << 32) | LE(b, body + 8, 4);
            const uint32_t captured = LE(b, body + 12, 4);
            if (captured != LE(b, body + 16, 4) || body + 20 + captured > at + length - 4) {
                return "bad packet lengths";
            }
            packet.bytes.assign(b.begin() + static_cast<std::ptrdiff_t>(body + 20),
                                b.begin() + static_cast<std::ptrdiff_t>(body + 20 + captured));
            size_t option = body + 20 + (captured + 3) / 4 * 4;
            while (option + 4 <= at + length - 4) {
                const uint32_t code = LE(b, option, 2);
                const uint32_t size = LE(b, option + 2, 2);
                if (code == 0) {
                    break;
                }
                if (code == 2 && size == 4) {
                    packet.flags = LE(b, option + 4, 4);
                }
                option += 4 + (size + 3) / 4 * 4;
            }
            out.packets.push_back(std::move(packet));
        }
        at += length;
    }
    return section ? std::string() : "empty file";
}

// The lines of a text trace, each split at its tabs.
inline std::vector<std::vector<std::string>> ReadTextTrace(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');) {
            cells.push_back(cell);
        }
        if (!line.empty() && line.back() == '\t') {
            cells.emplace_back();
        }
        lines.push_back(std::move(cells));
    }
    return lines;
}

}  // namespace sondrix::test
