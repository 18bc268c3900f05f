#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Small text rules shared by the whole core. Texts are UTF-8; every rule here looks at ASCII
// bytes only, which is safe because an ASCII byte never occurs inside a multi-byte character.
namespace pirela {

// Lower-cases the ASCII letters and leaves every other byte as it is.
std::string FoldAsciiCase(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Whether the text holds a carriage return or a line feed, which no one-line value (a line of
// the settings file) can hold.
bool HasLineBreak(std::string_view text);

// The text's lines, without their line feeds; a last line feed ends the last line.
std::vector<std::string_view> LinesOf(std::string_view text);

// Removes spaces and tabs from both ends.
std::string_view TrimBlanks(std::string_view text);

// Reads a signed decimal integer the way the C library's atoi reads it: leading white space,
// an optional sign, then the leading digits; no digits gives 0. Values beyond the range of int
// are held at INT_MIN or INT_MAX instead of wrapping.
int ParseLeadingInt(std::string_view text);

// The number in decimal with a comma between each group of three digits: "100,000".
std::string GroupedDigits(long long value);

// The longest prefix of text that is at most maxBytes long and does not end inside a UTF-8
// multi-byte character.
std::string_view TruncateUtf8(std::string_view text, std::size_t maxBytes);

} // namespace pirela
