#include "trash/TrashInfo.h"

#include "common/AsciiText.h"

#include <climits>

namespace pirela {

namespace {

bool StaysAsItIs(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
           byte == '~' || byte == '/';
}

std::string LocalTimeText(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

} // namespace

std::string EscapeUriPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (StaysAsItIs(byte)) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        }
    }
    return escaped;
}

std::string TrashInfoText(std::string_view originalPath, std::time_t deleted) {
    return "[Trash Info]\nPath=" + EscapeUriPath(originalPath) +
           "\nDeletionDate=" + LocalTimeText(deleted) + "\n";
}

std::string TrashEntryName(std::string_view fileName, int attempt) {
    const std::size_t dot = fileName.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > 0;
    std::string_view stem = hasExtension ? fileName.substr(0, dot) : fileName;
    std::string tail = attempt > 1 ? "." + std::to_string(attempt) : std::string();
    if (hasExtension) {
        tail += fileName.substr(dot);
    }
    const std::size_t room = NAME_MAX - kTrashInfoSuffix.size();
    if (stem.size() + tail.size() > room) {
        // A very long extension is cut too; the record keeps the whole original path.
        tail = std::string(TruncateUtf8(tail, room / 2));
        stem = TruncateUtf8(stem, room - tail.size());
    }
    return std::string(stem) + tail;
}

} // namespace pirela
