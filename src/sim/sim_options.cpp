#include "sim/sim_options.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "link/line_rates.h"

namespace sondrix {

namespace {

bool ParseNumber(const std::string& text, int base, uint32_t& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        first += 2;
    }
    const auto [end, ec] = std::from_chars(first, last, out, base);
    return ec == std::errc() && end == last && first != last;
}

// "1.24" -> 0x0124 (major in the high byte, two hex digits of minor), or "0x0124".
bool ParseFirmware(const std::string& text, uint32_t& out) {
    const auto dot = text.find('.');
    if (dot == std::string::npos) {
        return ParseNumber(text, 16, out) && out <= 0xFFFF;
    }
    uint32_t major = 0;
    uint32_t minor = 0;
    if (!ParseNumber(text.substr(0, dot), 16, major) ||
        !ParseNumber(text.substr(dot + 1), 16, minor) || major > 0xFF || minor > 0xFF) {
        return false;
    }
    out = (major << 8) | minor;
    return true;
}

// "PERSON:FINGER", a person's number and one of their ten fingers (0..9).
bool ParseFinger(const std::string& text, SFinger& finger) {
    const auto colon = text.find(':');
    uint32_t person = 0;
    uint32_t index = 0;
    if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 10, person) ||
        !ParseNumber(text.substr(colon + 1), 10, index) || index >= kFingersPerPerson) {
        return false;
    }
    finger = SFinger{person, static_cast<uint8_t>(index)};
    return true;
}

}  // namespace

bool ParseSimOptions(std::vector<std::string>& args, SSimConfig& config, std::string& error) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool known = option == "--model" || option == "--baud" || option == "--firmware" ||
                           option == "--users" || option == "--finger" || option == "--fingers";
        if (!known) {
            rest.push_back(option);
            continue;
        }
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        uint32_t number = 0;
        if (option == "--model") {
            const SModelInfo* model = FindModelByName(value);
            if (!model) {
                error = "unknown model \"" + value + "\" (try HLX-M18, HLX-M28, HLX-M06 ...)";
                return false;
            }
            config.modelCode = model->code;
        } else if (option == "--baud") {
            if (!ParseNumber(value, 10, number) || !IsLineRate(number)) {
                error = "--baud must be one of " + LineRatesText();
                return false;
            }
            config.baudRate = number;
        } else if (option == "--firmware") {
            if (!ParseFirmware(value, number)) {
                error = "--firmware expects a version such as 1.24 or 0x0124";
                return false;
            }
            config.firmwareVersion = number;
        } else if (option == "--finger" || option == "--fingers") {
            config.fingers.clear();
            for (size_t start = 0; start <= value.size();) {
                const size_t comma = std::min(value.find(',', start), value.size());
                SFinger finger;
                if (!ParseFinger(value.substr(start, comma - start), finger) ||
                    (option == "--finger" && comma != value.size())) {
                    error = option + " expects PERSON:FINGER" +
                            (option == "--fingers" ? ",PERSON:FINGER,..." : "") +
                            " with FINGER from 0 to 9, e.g. 7:1";
                    return false;
                }
                config.fingers.push_back(finger);
                start = comma + 1;
            }
        } else {
            if (!ParseNumber(value, 10, number)) {
                error = "--users expects a count";
                return false;
            }
            config.userCount = number;
        }
    }
    args = std::move(rest);
    return true;
}

std::string SimOptionsHelp() {
    return "  --model NAME       model of the simulated module (default HLX-M18)\n"
           "  --baud RATE        its line speed: 9600, 14400, 19200, 38400, 57600 or 115200\n"
           "                     (default 115200)\n"
           "  --firmware VER     firmware version it reports, e.g. 1.24 (default 3.01)\n"
           "  --users COUNT      number of enrolled users it reports (default 0)\n"
           "  --finger P:F       the finger on its sensor: person P's finger F (0..9)\n"
           "                     (default 1:0)\n"
           "  --fingers P:F,...  the fingers put on the sensor one scan after another\n"
           "                     (the last one stays), e.g. for the steps of an enrolment\n";
}

}  // namespace sondrix
