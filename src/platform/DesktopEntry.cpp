#include "platform/DesktopEntry.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"

#include <vector>

namespace pirela {

namespace {

constexpr std::string_view kEntryGroup = "[Desktop Entry]";

std::string_view TrimmedSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsGroupHeader(std::string_view line) {
    return !line.empty() && line.front() == '[';
}

// The string escapes of a value: \s \n \t \r \\; any other backslash stays as it is.
std::string UnescapeValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\'; out += value[i]; break;
        }
    }
    return out;
}

// A key line of the entry group: key and raw value, or none for comments and other lines.
std::optional<std::pair<std::string_view, std::string_view>> KeyLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{TrimmedSpaces(line.substr(0, equals)), TrimmedSpaces(line.substr(equals + 1))};
}

void Take(std::string& field, std::string_view raw) {
    if (field.empty()) {
        field = UnescapeValue(raw);
    }
}

// Inside a quoted argument a backslash escapes these characters only.
bool IsQuotedEscape(char c) {
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// The Exec quoting of one argument: double quotes, the reserved characters escaped, and "%"
// doubled because it starts a field code.
std::string QuoteExecArgument(std::string_view argument) {
    std::string out = "\"";
    for (char c : argument) {
        if (IsQuotedEscape(c)) {
            out += '\\';
        }
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    return out + "\"";
}

} // namespace

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text) {
    std::optional<DesktopEntry> entry;
    for (std::string_view line : LinesOf(text)) {
        line = TrimmedSpaces(line);
        if (IsGroupHeader(line)) {
            if (entry) {
                break;
            }
            if (line == kEntryGroup) {
                entry.emplace();
            }
            continue;
        }
        const auto key = entry ? KeyLine(line) : std::nullopt;
        if (!key) {
            continue;
        }
        if (key->first == "Type") {
            Take(entry->type, key->second);
        } else if (key->first == "Name") {
            Take(entry->name, key->second);
        } else if (key->first == "Exec") {
            Take(entry->exec, key->second);
        } else if (key->first == "Name[ja]") {
            Take(entry->japaneseName, key->second);
        } else if (key->first == "Categories") {
            Take(entry->categories, key->second);
        } else if (key->first == "Hidden") {
            entry->hidden = key->second == "true";
        }
    }
    return entry;
}

std::optional<std::string> ExecProgram(std::string_view exec) {
    exec = TrimmedSpaces(exec);
    std::string program;
    bool quoted = false;
    std::size_t i = 0;
    for (; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted && c == '\\' && i + 1 < exec.size() && IsQuotedEscape(exec[i + 1])) {
            program += exec[++i];
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ' ') {
            break;
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            program += exec[++i];
        } else {
            program += c;
        }
    }
    if (quoted || program.empty()) {
        return std::nullopt;
    }
    return program;
}

std::string EscapeDesktopValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    // Spaces at either end would be taken for the space around "=" or trailing blanks.
    if (!out.empty() && out.back() == ' ') {
        out.replace(out.size() - 1, 1, "\\s");
    }
    if (!out.empty() && out.front() == ' ') {
        out.replace(0, 1, "\\s");
    }
    return out;
}

std::string ComposeLauncher(std::string_view name, std::string_view programPath) {
    return std::string(kEntryGroup) + "\n"
           "Type=Application\n"
           "Name=" + EscapeDesktopValue(name) + "\n"
           "Exec=" + EscapeDesktopValue(QuoteExecArgument(programPath)) + " %f\n"
           "Path=" + EscapeDesktopValue(FolderOf(programPath)) + "\n"
           "Icon=pirela\n"
           "MimeType=image/bmp;image/jpeg;image/png;\n"
           "Categories=Graphics;Viewer;\n"
           "Terminal=false\n";
}

std::string WithLauncherName(std::string_view text, std::string_view name) {
    std::string out;
    bool inEntry = false;
    bool named = false;
    for (std::string_view line : LinesOf(text)) {
        const std::string_view trimmed = TrimmedSpaces(line);
        if (IsGroupHeader(trimmed)) {
            inEntry = trimmed == kEntryGroup;
        }
        const auto key = inEntry ? KeyLine(trimmed) : std::nullopt;
        if (key && key->first == "Name" && !named) {
            out += "Name=" + EscapeDesktopValue(name) + "\n";
            named = true;
            continue;
        }
        out += std::string(line) + "\n";
    }
    return out;
}

} // namespace pirela
