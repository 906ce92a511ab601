#include "app/headless_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <istream>
#include <limits>
#include <string_view>

namespace sondrix {

namespace {

struct SSyntax {
    std::string_view name;
    EScriptOp op;
    std::string_view usage;  // quoted in the message about a malformed line
};

constexpr std::array kSyntax = {
    SSyntax{"click", EScriptOp::Click, "click PAGE ID"},
    SSyntax{"press", EScriptOp::Press, "press PAGE ID"},
    SSyntax{"type", EScriptOp::Type, "type PAGE ID TEXT..."},
    SSyntax{"select", EScriptOp::Select, "select PAGE ID INDEX"},
    SSyntax{"check", EScriptOp::Check, "check PAGE ID on|off"},
    SSyntax{"tab", EScriptOp::Tab, "tab N|NAME"},
    SSyntax{"row", EScriptOp::Row, "row PAGE ID ROW on|off"},
    SSyntax{"answer", EScriptOp::Answer, "answer yes|no|ok|cancel"},
    SSyntax{"popup", EScriptOp::Popup, "popup ok [TEXT...] or popup cancel"},
    SSyntax{"popup-choose", EScriptOp::PopupChoose, "popup-choose ID... ok|cancel"},
    SSyntax{"file", EScriptOp::File, "file PATH..."},
    SSyntax{"file-cancel", EScriptOp::FileCancel, "file-cancel"},
    SSyntax{"wait-message", EScriptOp::WaitMessage, "wait-message TEXT... [within MS]"},
    SSyntax{"wait-box", EScriptOp::WaitBox, "wait-box TEXT... [within MS]"},
    SSyntax{"sleep", EScriptOp::Sleep, "sleep MS"},
    SSyntax{"expect", EScriptOp::Expect,
            "expect PAGE ID text|enabled|checked|visible|selection VALUE"},
};

struct SAnswerWord {
    std::string_view word;
    EAnswer answer;
};

constexpr std::array kAnswerWords = {SAnswerWord{"yes", EAnswer::Yes},
                                     SAnswerWord{"no", EAnswer::No}, SAnswerWord{"ok", EAnswer::Ok},
                                     SAnswerWord{"cancel", EAnswer::Cancel}};

struct SFieldWord {
    std::string_view word;
    EExpectField field;
};

constexpr std::array kFieldWords = {
    SFieldWord{"text", EExpectField::Text}, SFieldWord{"enabled", EExpectField::Enabled},
    SFieldWord{"checked", EExpectField::Checked}, SFieldWord{"visible", EExpectField::Visible},
    SFieldWord{"selection", EExpectField::Selection}};

// Carriage returns count as blanks, so that scripts with DOS line ends read the same.
constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Thrown by the readers below with what is wrong with the line.
struct SLineError {
    std::string reason;
};

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

// Reads a trimmed line word by word; the rest of the line keeps its inner blanks.
class CWords {
  public:
    explicit CWords(std::string_view line) : m_rest(line) {}

    std::string_view Next() {
        m_rest = Trim(m_rest);
        const std::string_view word = m_rest.substr(0, m_rest.find_first_of(kBlanks));
        m_rest.remove_prefix(word.size());
        return word;
    }
    std::string_view Rest() { return Trim(m_rest); }
    std::string_view Required(std::string_view what) {
        const std::string_view word = Next();
        if (word.empty()) {
            throw SLineError{"missing " + std::string(what)};
        }
        return word;
    }
    void End() {
        const std::string_view extra = Next();
        if (!extra.empty()) {
            throw SLineError{"unexpected " + Quoted(extra)};
        }
    }

  private:
    std::string_view m_rest;
};

int Number(std::string_view word, std::string_view what, int64_t lowest, int64_t highest) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < lowest ||
        value > highest) {
        throw SLineError{Quoted(word) + " is not a valid " + std::string(what)};
    }
    return static_cast<int>(value);
}

constexpr int64_t kIntMax = std::numeric_limits<int>::max();

uint32_t Milliseconds(std::string_view word) {
    return static_cast<uint32_t>(Number(word, "time in ms", 0, kIntMax));
}

bool OnOff(std::string_view word) {
    if (word != "on" && word != "off") {
        throw SLineError{Quoted(word) + " is neither on nor off"};
    }
    return word == "on";
}

bool OkCancel(std::string_view word) {
    if (word != "ok" && word != "cancel") {
        throw SLineError{Quoted(word) + " is neither ok nor cancel"};
    }
    return word == "ok";
}

class CParser {
  public:
    explicit CParser(const std::vector<std::string>& pageNames) : m_pages(pageNames) {}

    void Parse(std::string_view line, SScriptCommand& command) const {
        CWords words(line);
        const std::string_view name = words.Next();
        const auto syntax = std::find_if(kSyntax.begin(), kSyntax.end(),
                                         [&](const SSyntax& s) { return s.name == name; });
        if (syntax == kSyntax.end()) {
            throw SLineError{Quoted(name) + " is not a command (" + CommandNames() + ")"};
        }
        command.op = syntax->op;
        try {
            Arguments(words, command);
        } catch (SLineError& error) {
            error.reason += "; expected: " + std::string(syntax->usage);
            throw;
        }
    }

  private:
    static std::string CommandNames() {
        std::string names;
        for (const SSyntax& s : kSyntax) {
            names += (names.empty() ? "" : ", ") + std::string(s.name);
        }
        return names;
    }

    int PageIndex(std::string_view word) const {
        const auto it = std::find(m_pages.begin(), m_pages.end(), word);
        return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
    }

    SScriptTarget Target(CWords& words) const {
        const std::string_view word = words.Required("PAGE");
        SScriptTarget target;
        target.name = word;
        if (word == kWindowTarget) {
            target.kind = SScriptTarget::EKind::Window;
        } else if (word == kPopupTarget) {
            target.kind = SScriptTarget::EKind::Popup;
        } else {
            target.kind = SScriptTarget::EKind::Page;
            target.page = PageIndex(word);
            if (target.page < 0) {
                std::string known;
                for (const std::string& page : m_pages) {
                    known += page + ", ";
                }
                throw SLineError{Quoted(word) + " is not a page (" + known + kWindowTarget + ", " +
                                 kPopupTarget + ")"};
            }
        }
        return target;
    }

    void TargetAndId(CWords& words, SScriptCommand& command) const {
        command.target = Target(words);
        command.id = Number(words.Required("ID"), "control ID", 0, kIntMax);
    }

    int Tab(std::string_view word) const {
        const int byName = PageIndex(word);
        if (byName >= 0) {
            return byName;
        }
        return Number(word, "tab (a number from 0 or a page name)", 0,
                      static_cast<int64_t>(m_pages.size()) - 1);
    }

    // "TEXT... [within MS]": the text, and the time-out when the line ends with one.
    static void WaitArguments(CWords& words, SScriptCommand& command) {
        std::string_view text = words.Rest();
        command.ms = kDefaultWaitMs;
        const size_t lastBlank = text.find_last_of(kBlanks);
        if (lastBlank != std::string_view::npos) {
            const std::string_view head = Trim(text.substr(0, lastBlank));
            const size_t keywordStart = head.find_last_of(kBlanks);
            const std::string_view keyword =
                keywordStart == std::string_view::npos ? head : head.substr(keywordStart + 1);
            if (keyword == "within") {
                command.ms = Milliseconds(text.substr(lastBlank + 1));
                text = keywordStart == std::string_view::npos ? std::string_view()
                                                              : Trim(head.substr(0, keywordStart));
            }
        }
        if (text.empty()) {
            throw SLineError{"missing TEXT"};
        }
        command.text = text;
    }

    void Arguments(CWords& words, SScriptCommand& command) const {
        switch (command.op) {
            case EScriptOp::Click:
            case EScriptOp::Press:
                TargetAndId(words, command);
                words.End();
                break;
            case EScriptOp::Type:
                TargetAndId(words, command);
                command.text = words.Rest();
                break;
            case EScriptOp::Select:
                TargetAndId(words, command);
                command.number = Number(words.Required("INDEX"), "INDEX", 0, kIntMax);
                words.End();
                break;
            case EScriptOp::Check:
                TargetAndId(words, command);
                command.on = OnOff(words.Required("on|off"));
                words.End();
                break;
            case EScriptOp::Tab:
                command.number = Tab(words.Required("N|NAME"));
                words.End();
                break;
            case EScriptOp::Row:
                TargetAndId(words, command);
                command.number = Number(words.Required("ROW"), "ROW", 0, kIntMax);
                command.on = OnOff(words.Required("on|off"));
                words.End();
                break;
            case EScriptOp::Answer: {
                const std::string_view word = words.Required("answer");
                const auto it = std::find_if(kAnswerWords.begin(), kAnswerWords.end(),
                                             [&](const SAnswerWord& a) { return a.word == word; });
                if (it == kAnswerWords.end()) {
                    throw SLineError{Quoted(word) + " is no answer"};
                }
                command.answer = it->answer;
                words.End();
                break;
            }
            case EScriptOp::Popup:
                command.on = OkCancel(words.Required("ok|cancel"));
                if (command.on) {
                    command.text = words.Rest();
                } else {
                    words.End();
                }
                break;
            case EScriptOp::PopupChoose: {
                std::vector<std::string_view> all;
                for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
                    all.push_back(word);
                }
                if (all.size() < 2) {
                    throw SLineError{"missing ID or ok|cancel"};
                }
                command.on = OkCancel(all.back());
                all.pop_back();
                for (std::string_view word : all) {
                    command.ids.push_back(Number(word, "control ID", 0, kIntMax));
                }
                break;
            }
            case EScriptOp::File:
                for (std::string_view path = words.Next(); !path.empty(); path = words.Next()) {
                    command.paths.emplace_back(path);
                }
                if (command.paths.empty()) {
                    throw SLineError{"missing PATH"};
                }
                break;
            case EScriptOp::FileCancel:
                words.End();
                break;
            case EScriptOp::WaitMessage:
            case EScriptOp::WaitBox:
                WaitArguments(words, command);
                break;
            case EScriptOp::Sleep:
                command.ms = Milliseconds(words.Required("MS"));
                words.End();
                break;
            case EScriptOp::Expect:
                ExpectArguments(words, command);
                break;
        }
    }

    void ExpectArguments(CWords& words, SScriptCommand& command) const {
        TargetAndId(words, command);
        const std::string_view word = words.Required("what to check");
        const auto it = std::find_if(kFieldWords.begin(), kFieldWords.end(),
                                     [&](const SFieldWord& f) { return f.word == word; });
        if (it == kFieldWords.end()) {
            throw SLineError{Quoted(word) + " is not a property of a control"};
        }
        command.field = it->field;
        switch (command.field) {
            case EExpectField::Text:
                command.text = words.Rest();
                return;
            case EExpectField::Selection:
                command.number = Number(words.Required("VALUE"), "selection", -1, kIntMax);
                break;
            case EExpectField::Enabled:
            case EExpectField::Checked:
            case EExpectField::Visible:
                command.on = OnOff(words.Required("on|off"));
                break;
        }
        words.End();
    }

    const std::vector<std::string>& m_pages;
};

}  // namespace

std::vector<std::string> ParseScript(std::istream& script,
                                     const std::vector<std::string>& pageNames,
                                     std::vector<SScriptCommand>& commands) {
    const CParser parser(pageNames);
    std::vector<std::string> errors;
    std::string raw;
    for (int number = 1; std::getline(script, raw); ++number) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        SScriptCommand command;
        command.line = number;
        command.source = line;
        try {
            parser.Parse(line, command);
            commands.push_back(std::move(command));
        } catch (const SLineError& error) {
            errors.push_back("line " + std::to_string(number) + ": " + error.reason);
        }
    }
    return errors;
}

}  // namespace sondrix
