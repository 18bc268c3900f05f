#include "journal/JournalRecord.h"

#include <sys/random.h>
#include <zlib.h>

#include <charconv>
#include <chrono>
#include <cstdio>

namespace pirela {

namespace {

constexpr std::string_view kVersion = "P1";
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsName(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!IsNameCharacter(c)) {
            return false;
        }
    }
    return true;
}

bool StandsForItself(unsigned char c) {
    return c > ' ' && c < 0x7F && c != '%' && c != '=';
}

void AppendEscaped(std::string& out, std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (StandsForItself(byte)) {
            out += c;
        } else {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        }
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string value;
    value.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '%') {
            if (!StandsForItself(static_cast<unsigned char>(c))) {
                return std::nullopt;
            }
            value += c;
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        const auto byte = static_cast<unsigned char>(high << 4 | low);
        // One way only to write each byte: a record reads back exactly as it was written.
        if (high < 0 || low < 0 || StandsForItself(byte)) {
            return std::nullopt;
        }
        value += static_cast<char>(byte);
        i += 2;
    }
    return value;
}

std::uint32_t CheckSum(std::string_view text) {
    return static_cast<std::uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

// Splits off the text up to the next blank; the rest follows it.
std::string_view NextToken(std::string_view& rest) {
    const std::size_t blank = rest.find(' ');
    const std::string_view token = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return token;
}

} // namespace

std::optional<std::string_view> JournalRecord::Field(std::string_view key) const {
    for (const auto& [name, value] : fields) {
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

JournalRecord& JournalRecord::Add(std::string key, std::string value) {
    fields.emplace_back(std::move(key), std::move(value));
    return *this;
}

std::string EncodeJournalRecord(const JournalRecord& record) {
    std::string body = record.operation + ' ' + record.type + ' ' + std::to_string(record.time);
    for (const auto& [key, value] : record.fields) {
        body += ' ';
        body += key;
        body += '=';
        AppendEscaped(body, value);
    }
    char sum[9];
    std::snprintf(sum, sizeof sum, "%08x", CheckSum(body));
    return std::string(kVersion) + ' ' + sum + ' ' + body + '\n';
}

namespace {

bool IsLowerHex(std::string_view text) {
    for (const char c : text) {
        if (HexValue(c) < 0) {
            return false;
        }
    }
    return true;
}

// Whether the text is the number as the encoder writes it: no sign but '-', no leading zero,
// no "-0". Another spelling of the same number is not a record this program wrote.
bool IsCanonicalNumber(std::string_view text, std::int64_t& value) {
    const char* end = text.data() + text.size();
    return !text.empty() && std::from_chars(text.data(), end, value).ptr == end &&
           std::to_string(value) == text;
}

// The line after its check sum, when the sum is right and written as the encoder writes it
// (eight lower-case hexadecimal digits); none otherwise.
std::optional<std::string_view> CheckedBody(std::string_view line) {
    std::string_view rest = line;
    if (NextToken(rest) != kVersion) {
        return std::nullopt;
    }
    const std::string_view sum = NextToken(rest);
    std::uint32_t expected = 0;
    if (sum.size() != 8 || !IsLowerHex(sum) ||
        std::from_chars(sum.data(), sum.data() + sum.size(), expected, 16).ptr !=
            sum.data() + sum.size() ||
        CheckSum(rest) != expected) {
        return std::nullopt;
    }
    return rest;
}

} // namespace

bool IsWholeJournalRecord(std::string_view line) {
    return CheckedBody(line).has_value();
}

std::optional<JournalRecord> DecodeJournalRecord(std::string_view line) {
    const std::optional<std::string_view> body = CheckedBody(line);
    if (!body) {
        return std::nullopt;
    }
    std::string_view rest = *body;
    JournalRecord record;
    record.operation = NextToken(rest);
    record.type = NextToken(rest);
    const std::string_view time = NextToken(rest);
    if (!IsName(record.operation) || !IsName(record.type) ||
        !IsCanonicalNumber(time, record.time)) {
        return std::nullopt;
    }
    // Exactly one blank between the parts and none at the end, as the encoder writes them.
    if (body->back() == ' ') {
        return std::nullopt;
    }
    while (!rest.empty()) {
        const std::string_view field = NextToken(rest);
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos || !IsName(field.substr(0, equals))) {
            return std::nullopt;
        }
        auto value = Unescaped(field.substr(equals + 1));
        if (!value) {
            return std::nullopt;
        }
        record.fields.emplace_back(std::string(field.substr(0, equals)), std::move(*value));
    }
    return record;
}

std::pair<std::string_view, std::string_view> PeekJournalRecord(std::string_view line) {
    std::string_view rest = line;
    if (NextToken(rest) != kVersion) {
        return {};
    }
    NextToken(rest); // the check sum
    const std::string_view operation = NextToken(rest);
    const std::string_view type = NextToken(rest);
    if (operation.empty() || type.empty()) {
        return {};
    }
    return {operation, type};
}

std::string NewJournalOperationId() {
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // No random source: the clock in nanoseconds is as good between two instances.
        random = static_cast<std::uint64_t>(
            std::chrono::steady_clock::now().time_since_epoch().count() ^
            std::chrono::system_clock::now().time_since_epoch().count());
    }
    std::string id(16, '0');
    for (int i = 15; i >= 0; --i) {
        id[static_cast<std::size_t>(i)] = kHexDigits[random & 0xF];
        random >>= 4;
    }
    return id;
}

} // namespace pirela
