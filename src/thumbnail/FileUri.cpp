#include "thumbnail/FileUri.h"

#include <vector>

namespace pirela {

namespace {

bool StandsUnescaped(unsigned char byte) {
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= '0' && byte <= '9')) {
        return true;
    }
    constexpr std::string_view kAllowed = "-_.!~*'()/:@&=+$,";
    return byte != 0 && kAllowed.find(static_cast<char>(byte)) != std::string_view::npos;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char character : bytes) {
        const auto byte = static_cast<unsigned char>(character);
        if (StandsUnescaped(byte)) {
            out += character;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
}

} // namespace

std::string CanonicalAbsolutePath(std::string_view path, std::string_view currentFolder) {
    std::string joined;
    if (path.empty() || path.front() != '/') {
        joined.assign(currentFolder);
        joined += '/';
    }
    joined += path;
    std::vector<std::string_view> parts;
    std::string_view rest = joined;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    std::string canonical;
    for (const std::string_view part : parts) {
        canonical += '/';
        canonical += part;
    }
    return canonical.empty() ? "/" : canonical;
}

std::string FileUri(std::string_view absolutePath) {
    std::string uri = "file://";
    AppendEscaped(uri, absolutePath);
    return uri;
}

std::string RelativeFileUri(std::string_view fileName) {
    std::string uri = "./";
    AppendEscaped(uri, fileName);
    return uri;
}

} // namespace pirela
