#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace sondrix {

// What a command found, printed plainly ("name: value" lines, then one line
// per row with its cells separated by tabs) or as one JSON object.
class CCliReport {
  public:
    using Fields = std::vector<std::pair<std::string, std::string>>;

    void Add(const std::string& name, const std::string& value) {
        m_fields.emplace_back(name, value);
    }
    // Rows of a table (users, options) under one name.
    void SetRowsName(const std::string& name) { m_rowsName = name; }
    void AddRow(Fields row) { m_rows.push_back(std::move(row)); }

    void Print(std::ostream& out, bool json) const;

  private:
    Fields m_fields;
    std::string m_rowsName;
    std::vector<Fields> m_rows;
};

// The JSON string literal of a text.
std::string JsonString(const std::string& text);

}  // namespace sondrix
