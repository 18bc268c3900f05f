#include "thumbnail/JpegLayout.h"

#include <cstring>

namespace pirela {

namespace {

constexpr int kMarkerStart = 0xFF;
constexpr int kStartOfImage = 0xD8;
constexpr int kEndOfImage = 0xD9;
constexpr int kStartOfScan = 0xDA;
constexpr int kApp1 = 0xE1;
// A file whose frame header is not among its first segments is no camera's: give up.
constexpr int kMaxSegments = 1024;
constexpr unsigned char kExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};

// Markers that carry no length: the start of the picture, restart markers, and TEM.
bool StandsAlone(int marker) {
    return marker == kStartOfImage || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The frame headers, which give the picture's size: every SOFn but DHT, JPG and DAC.
bool IsFrameHeader(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The next marker's code, past any fill bytes; -1 at the end of the file.
int NextMarker(std::FILE* file) {
    int byte = std::fgetc(file);
    while (byte != EOF && byte != kMarkerStart) {
        byte = std::fgetc(file); // stray bytes between segments, as some writers leave
    }
    while (byte == kMarkerStart) {
        byte = std::fgetc(file);
    }
    return byte;
}

int ReadBigEndian16(std::FILE* file) {
    const int high = std::fgetc(file);
    const int low = std::fgetc(file);
    return high == EOF || low == EOF ? -1 : high << 8 | low;
}

bool ReadExif(std::FILE* file, int payload, JpegLayout& layout) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(payload));
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return false;
    }
    if (layout.exif.empty() && bytes.size() > sizeof kExifSignature &&
        std::memcmp(bytes.data(), kExifSignature, sizeof kExifSignature) == 0) {
        layout.exif = std::move(bytes);
    }
    return true;
}

bool ReadFrameSize(std::FILE* file, int payload, JpegLayout& layout) {
    if (payload < 5 || std::fgetc(file) == EOF) { // the sample precision
        return false;
    }
    layout.height = ReadBigEndian16(file);
    layout.width = ReadBigEndian16(file);
    return layout.width > 0 && layout.height > 0;
}

} // namespace

std::optional<JpegLayout> ReadJpegLayout(std::FILE* file) {
    if (std::fgetc(file) != kMarkerStart || std::fgetc(file) != kStartOfImage) {
        return std::nullopt;
    }
    JpegLayout layout;
    for (int segment = 0; segment < kMaxSegments; ++segment) {
        const int marker = NextMarker(file);
        if (marker == EOF || marker == kEndOfImage || marker == kStartOfScan) {
            return std::nullopt;
        }
        if (StandsAlone(marker)) {
            continue;
        }
        const int length = ReadBigEndian16(file);
        if (length < 2) {
            return std::nullopt;
        }
        const int payload = length - 2;
        if (IsFrameHeader(marker)) {
            return ReadFrameSize(file, payload, layout) ? std::optional(std::move(layout))
                                                        : std::nullopt;
        }
        const bool read = marker == kApp1 ? ReadExif(file, payload, layout)
                                          : std::fseek(file, payload, SEEK_CUR) == 0;
        if (!read) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace pirela
