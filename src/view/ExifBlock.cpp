#include "view/ExifBlock.h"

#include "platform/RegularFile.h"
#include "platform/UniqueDescriptor.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace pirela {

namespace {

// A camera writes its EXIF block near the start of the file; a MiB holds it in every format
// looked at here, and reading no further keeps a look at a card's photo cheap. A JPEG's block,
// a segment of at most 64 KiB after the few bytes of JFIF, is in the first 70 KiB.
constexpr std::size_t kLookedAt = 1024 * 1024;
constexpr std::size_t kFirstLook = 70 * 1024;

constexpr std::string_view kExifSignature{"Exif\0\0", 6};
constexpr std::string_view kIntelTiff{"II*\0", 4};
constexpr std::string_view kMotorolaTiff{"MM\0*", 4};

std::string_view View(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

bool StartsWithTiff(std::string_view bytes) {
    return bytes.starts_with(kIntelTiff) || bytes.starts_with(kMotorolaTiff);
}

std::vector<std::uint8_t> Block(std::string_view bytes) {
    return {bytes.begin(), bytes.end()};
}

unsigned BigEndian16(std::string_view bytes, std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 8) | static_cast<unsigned char>(bytes[at + 1]);
}

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The APP1 segment with EXIF, before the first scan.
std::vector<std::uint8_t> FromJpeg(std::string_view bytes) {
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xDA || marker == 0xD9) { // the scan, or the end: no more metadata
            break;
        }
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const std::size_t length = BigEndian16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) {
            break;
        }
        const std::string_view payload = bytes.substr(at + 4, length - 2);
        if (marker == 0xE1 && payload.starts_with(kExifSignature)) {
            return Block(payload);
        }
        at += 2 + length;
    }
    return {};
}

bool IsWebp(std::string_view bytes) {
    return bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP";
}

// Reads up to size bytes at the offset; fewer at the end of the file.
std::string ReadAt(int fd, std::size_t size, std::size_t offset) {
    std::string bytes(size, '\0');
    std::size_t at = 0;
    while (at < size) {
        const ssize_t got = ::pread(fd, bytes.data() + at, size - at, static_cast<off_t>(offset + at));
        if (got <= 0) {
            break;
        }
        at += static_cast<std::size_t>(got);
    }
    bytes.resize(at);
    return bytes;
}

// The RIFF chunk "EXIF" of a WebP file, which comes after the picture: the chunks' headers are
// read one after another, skipping their contents.
std::vector<std::uint8_t> FromWebp(int fd) {
    constexpr int kMostChunks = 64;
    std::size_t at = 12;
    for (int chunk = 0; chunk < kMostChunks; ++chunk) {
        const std::string header = ReadAt(fd, 8, at);
        if (header.size() < 8) {
            break;
        }
        const std::uint32_t length = LittleEndian32(header, 4);
        if (header.starts_with("EXIF")) {
            return length <= kLookedAt ? Block(ReadAt(fd, length, at + 8)) : std::vector<std::uint8_t>{};
        }
        at += 8 + std::size_t{length} + (length % 2); // chunks are padded to an even size
    }
    return {};
}

// The first "Exif\0\0" that a TIFF header follows.
std::vector<std::uint8_t> Searched(std::string_view bytes) {
    for (std::size_t at = bytes.find(kExifSignature); at != std::string_view::npos;
         at = bytes.find(kExifSignature, at + 1)) {
        const std::string_view from = bytes.substr(at);
        if (StartsWithTiff(from.substr(kExifSignature.size()))) {
            return Block(from);
        }
    }
    return {};
}

} // namespace

std::vector<std::uint8_t> FindExifBlock(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = View(data, size);
    if (bytes.starts_with("\xFF\xD8")) {
        return FromJpeg(bytes);
    }
    if (StartsWithTiff(bytes)) {
        // The file is the block: its offsets count from its start, as in a block's TIFF header.
        return Block(std::string(kExifSignature) + std::string(bytes));
    }
    return Searched(bytes);
}

std::vector<std::uint8_t> ReadExifBlock(const std::string& path) {
    const UniqueDescriptor file(OpenRegularFile(path.c_str()));
    if (!file) {
        return {};
    }
    std::string start = ReadAt(file.Get(), kFirstLook, 0);
    if (IsWebp(start)) {
        return FromWebp(file.Get());
    }
    if (start.size() == kFirstLook && !start.starts_with("\xFF\xD8")) {
        start += ReadAt(file.Get(), kLookedAt - kFirstLook, kFirstLook);
    }
    return FindExifBlock(reinterpret_cast<const std::uint8_t*>(start.data()), start.size());
}

} // namespace pirela
