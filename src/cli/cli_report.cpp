#include "cli/cli_report.h"

#include <cstdio>
#include <ostream>

namespace sondrix {

namespace {

void PrintFields(std::ostream& out, const CCliReport::Fields& fields, bool leadingComma) {
    for (size_t i = 0; i < fields.size(); ++i) {
        out << (i == 0 && !leadingComma ? "" : ", ") << JsonString(fields[i].name) << ": "
            << (fields[i].literal ? fields[i].value : JsonString(fields[i].value));
    }
}

// The keys every object begins with.
void PrintHead(std::ostream& out, const std::string& command, int status) {
    out << "{\"version\": " << CCliReport::kSchemaVersion
        << ", \"command\": " << (command.empty() ? "null" : JsonString(command))
        << ", \"exit\": " << status;
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

void CCliReport::Print(std::ostream& out, bool json, const std::string& command) const {
    if (!json) {
        for (const SField& field : m_fields) {
            out << field.name << ": " << field.value << '\n';
        }
        for (const Fields& row : m_rows) {
            for (size_t i = 0; i < row.size(); ++i) {
                out << (i == 0 ? "" : "\t") << row[i].value;
            }
            out << '\n';
        }
        return;
    }
    PrintHead(out, command, 0);
    PrintFields(out, m_fields, true);
    if (!m_rowsName.empty()) {
        out << ", " << JsonString(m_rowsName) << ": [";
        for (size_t i = 0; i < m_rows.size(); ++i) {
            out << (i == 0 ? "{" : ", {");
            PrintFields(out, m_rows[i], false);
            out << '}';
        }
        out << ']';
    }
    out << "}\n";
}

void CCliReport::PrintError(std::ostream& out, const std::string& command, int status,
                            const std::string& message) {
    PrintHead(out, command, status);
    out << ", \"error\": " << JsonString(message) << "}\n";
}

}  // namespace sondrix
