#include "cli/cli_report.h"

#include <cstdio>
#include <ostream>

namespace sondrix {

namespace {

void PrintObject(std::ostream& out, const CCliReport::Fields& fields, bool open) {
    if (open) {
        out << '{';
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        out << (i == 0 ? "" : ", ") << JsonString(fields[i].first) << ": "
            << JsonString(fields[i].second);
    }
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

void CCliReport::Print(std::ostream& out, bool json) const {
    if (!json) {
        for (const auto& [name, value] : m_fields) {
            out << name << ": " << value << '\n';
        }
        for (const Fields& row : m_rows) {
            for (size_t i = 0; i < row.size(); ++i) {
                out << (i == 0 ? "" : "\t") << row[i].second;
            }
            out << '\n';
        }
        return;
    }
    PrintObject(out, m_fields, true);
    if (!m_rowsName.empty()) {
        out << (m_fields.empty() ? "" : ", ") << JsonString(m_rowsName) << ": [";
        for (size_t i = 0; i < m_rows.size(); ++i) {
            out << (i == 0 ? "" : ", ");
            PrintObject(out, m_rows[i], true);
            out << '}';
        }
        out << ']';
    }
    out << "}\n";
}

}  // namespace sondrix
