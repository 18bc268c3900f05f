#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pirela {

// A settings file of the classic INI kind, held line by line. Reading follows the old profile
// rules: sections and keys match without ASCII case, blanks around keys and values are dropped,
// a value in matching quotes loses its quotes, and values are cut to 4095 bytes. The first of
// two equal sections or keys wins. Writing changes only the lines of the values it sets, so
// every other section, key, comment and blank line survives a save untouched.
class IniFile {
public:
    static constexpr std::size_t kMaxValueBytes = 4095;

    static IniFile Parse(std::string_view text);

    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    // The value read as atoi reads it ("12abc" is 12, "abc" is 0); none when the key is absent.
    std::optional<int> GetInt(std::string_view section, std::string_view key) const;

    // Replaces the value of the first matching key, or adds the key at the end of its section,
    // or adds the section at the end of the file. A value that would not read back as written
    // (blanks at either end, or enclosed in quotes) is written inside double quotes. A value
    // with a line break cannot be held by one line; it is written as empty rather than let it
    // split into lines that other readers would take as keys.
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int value);

    std::string Serialize() const;

private:
    struct Section {
        std::string header; // the header line as read; empty for the lines before any section
        std::vector<std::string> lines;
        std::unordered_map<std::string, std::size_t> firstLineOfKey; // folded key -> line
    };

    const std::string* FindValueLine(std::string_view section, std::string_view key) const;
    Section& SectionForWriting(std::string_view section);
    static void IndexLine(Section& section, std::size_t lineIndex);

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> firstSectionNamed_; // folded name -> index
    bool startsWithBom_ = false;
};

} // namespace pirela
