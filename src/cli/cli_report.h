#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace sondrix {

// What a command found, printed plainly ("name: value" lines, then one line
// per row with its cells separated by tabs) or as one JSON object:
//
//   {"version": 1, "command": "info", "exit": 0, "model": "HLX-M18", "series": 5, ...}
//
// Every object carries the schema's "version", the "command" (null when the
// command line named none) and the exit status ("exit"); a failure adds "error"
// with the message and nothing else. Counts, sizes, rates and indexes are
// JSON numbers, yes/no answers booleans, everything else strings.
class CCliReport {
  public:
    static constexpr int kSchemaVersion = 1;

    struct SField {
        std::string name;
        std::string value;
        bool literal = false;  // a number or boolean, written unquoted in JSON
    };
    using Fields = std::vector<SField>;

    void Add(const std::string& name, const std::string& value) {
        m_fields.push_back({name, value});
    }
    void AddNumber(const std::string& name, int64_t value) {
        m_fields.push_back({name, std::to_string(value), true});
    }
    void AddFlag(const std::string& name, bool value) {
        m_fields.push_back({name, value ? "true" : "false", true});
    }
    // Rows of a table (users, options) under one name.
    void SetRowsName(const std::string& name) { m_rowsName = name; }
    void AddRow(Fields row) { m_rows.push_back(std::move(row)); }

    void Print(std::ostream& out, bool json, const std::string& command) const;
    // The JSON object of a failure.
    static void PrintError(std::ostream& out, const std::string& command, int status,
                           const std::string& message);

  private:
    Fields m_fields;
    std::string m_rowsName;
    std::vector<Fields> m_rows;
};

// The JSON string literal of a text.
std::string JsonString(const std::string& text);

}  // namespace sondrix
