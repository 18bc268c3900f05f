#include "settings/IniFile.h"

#include "common/AsciiText.h"

#include <string>

namespace pirela {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The section name of a header line, or none when the line is not a header.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return TrimBlanks(line.substr(0, close));
}

std::optional<std::string_view> KeyOfLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(line.substr(0, equals));
}

std::string ValueOfLine(std::string_view line) {
    std::string_view value = TrimBlanks(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(TruncateUtf8(value, IniFile::kMaxValueBytes));
}

std::string EncodeValue(std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        return {};
    }
    value = TruncateUtf8(value, IniFile::kMaxValueBytes);
    const bool wouldBeTrimmed = TrimBlanks(value).size() != value.size();
    const bool wouldBeUnquoted = value.size() >= 2 &&
                                 (value.front() == '"' || value.front() == '\'') &&
                                 value.back() == value.front();
    std::string encoded;
    if (!wouldBeTrimmed && !wouldBeUnquoted) {
        return encoded.assign(value);
    }
    encoded.reserve(value.size() + 2);
    return encoded.append(1, '"').append(value).append(1, '"');
}

} // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
        file.startsWithBom_ = true;
    }
    file.sections_.emplace_back(); // the lines before the first header
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (const auto name = HeaderName(line)) {
            file.firstSectionNamed_.try_emplace(FoldAsciiCase(*name), file.sections_.size());
            file.sections_.push_back(Section{std::string(line), {}, {}});
            continue;
        }
        Section& section = file.sections_.back();
        section.lines.emplace_back(line);
        IndexLine(section, section.lines.size() - 1);
    }
    return file;
}

void IniFile::IndexLine(Section& section, std::size_t lineIndex) {
    if (const auto key = KeyOfLine(section.lines[lineIndex])) {
        section.firstLineOfKey.try_emplace(FoldAsciiCase(*key), lineIndex);
    }
}

const std::string* IniFile::FindValueLine(std::string_view section, std::string_view key) const {
    const auto found = firstSectionNamed_.find(FoldAsciiCase(section));
    if (found == firstSectionNamed_.end()) {
        return nullptr;
    }
    const Section& s = sections_[found->second];
    const auto line = s.firstLineOfKey.find(FoldAsciiCase(key));
    return line == s.firstLineOfKey.end() ? nullptr : &s.lines[line->second];
}

std::optional<std::string> IniFile::GetString(std::string_view section,
                                              std::string_view key) const {
    const std::string* line = FindValueLine(section, key);
    if (line == nullptr) {
        return std::nullopt;
    }
    return ValueOfLine(*line);
}

std::optional<int> IniFile::GetInt(std::string_view section, std::string_view key) const {
    const auto text = GetString(section, key);
    if (!text) {
        return std::nullopt;
    }
    return ParseLeadingInt(*text);
}

IniFile::Section& IniFile::SectionForWriting(std::string_view section) {
    const auto [found, added] =
        firstSectionNamed_.try_emplace(FoldAsciiCase(section), sections_.size());
    if (added) {
        std::string header;
        header.reserve(section.size() + 2);
        header.append(1, '[').append(section).append(1, ']');
        sections_.push_back(Section{std::move(header), {}, {}});
    }
    return sections_[found->second];
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = SectionForWriting(section);
    std::string line(key);
    line.append(1, '=').append(EncodeValue(value));
    const auto existing = s.firstLineOfKey.find(FoldAsciiCase(key));
    if (existing != s.firstLineOfKey.end()) {
        s.lines[existing->second] = line;
        return;
    }
    // New keys go after the section's last non-blank line, so that the blank lines that
    // separate it from the next section stay where they are.
    std::size_t insertAt = s.lines.size();
    while (insertAt > 0 && TrimBlanks(s.lines[insertAt - 1]).empty()) {
        --insertAt;
    }
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    for (auto& entry : s.firstLineOfKey) {
        if (entry.second >= insertAt) {
            ++entry.second;
        }
    }
    IndexLine(s, insertAt);
}

void IniFile::SetInt(std::string_view section, std::string_view key, int value) {
    SetString(section, key, std::to_string(value));
}

std::string IniFile::Serialize() const {
    // A byte-order mark put there by an editor goes back, so that a second one behind it
    // (content, not a mark) is never taken for the mark on the next read.
    std::string text(startsWithBom_ ? kUtf8Bom : std::string_view());
    for (const Section& section : sections_) {
        if (!section.header.empty()) {
            text += section.header;
            text += '\n';
        }
        for (const std::string& line : section.lines) {
            text += line;
            text += '\n';
        }
    }
    return text;
}

} // namespace pirela
