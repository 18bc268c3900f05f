#include "image/BmpReader.h"

#include "image/CFile.h"
#include "image/DecodeProgress.h"

#include <algorithm>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace pirela {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kLargestHeaderBytes = 124;
// The largest header, its masks and a full colour table, with room to spare.
constexpr std::size_t kMaxDescriptionBytes = 4096;

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool ReadExactly(std::FILE* file, void* buffer, std::size_t bytes) {
    return std::fread(buffer, 1, bytes, file) == bytes;
}

bool SkipExactly(std::FILE* file, std::size_t bytes) {
    std::uint8_t discard[4096];
    while (bytes > 0) {
        const std::size_t chunk = std::min(bytes, sizeof discard);
        if (!ReadExactly(file, discard, chunk)) {
            return false;
        }
        bytes -= chunk;
    }
    return true;
}

// The description block between the file header and the pixels, understood.
struct Description {
    BitmapInfoHeader header;
    std::vector<RgbQuad> colourTable;
    Bitmap::ColourMasks masks{};
};

bool IsKnownHeaderSize(std::uint32_t size) {
    return size == kCoreHeaderBytes || size == kInfoHeaderBytes || size == 52 || size == 56 ||
           size == 108 || size == kLargestHeaderBytes;
}

// Reads the colour table of entryBytes-sized entries (4, or 3 for core headers) at offset.
std::optional<std::vector<RgbQuad>> ReadColourTable(const std::vector<std::uint8_t>& block,
                                                    std::size_t offset, std::size_t entries,
                                                    std::size_t entryBytes) {
    if (offset > block.size() || entries > (block.size() - offset) / entryBytes) {
        return std::nullopt;
    }
    std::vector<RgbQuad> table(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t* entry = block.data() + offset + i * entryBytes;
        table[i] = RgbQuad{entry[0], entry[1], entry[2], 0};
    }
    return table;
}

std::optional<Description> ParseCoreHeader(const std::vector<std::uint8_t>& block) {
    Description d;
    d.header.width = Le16(block.data() + 4);
    d.header.height = Le16(block.data() + 6);
    d.header.planes = Le16(block.data() + 8);
    d.header.bitCount = Le16(block.data() + 10);
    if (d.header.bitCount <= 8) {
        auto table = ReadColourTable(block, kCoreHeaderBytes, std::size_t{1} << d.header.bitCount, 3);
        if (!table) {
            return std::nullopt;
        }
        d.colourTable = std::move(*table);
    }
    return d;
}

std::optional<Description> ParseInfoHeader(const std::vector<std::uint8_t>& block,
                                           std::uint32_t headerSize) {
    const std::uint8_t* h = block.data();
    Description d;
    d.header.width = static_cast<std::int32_t>(Le32(h + 4));
    d.header.height = static_cast<std::int32_t>(Le32(h + 8));
    d.header.planes = Le16(h + 12);
    d.header.bitCount = Le16(h + 14);
    d.header.compression = Le32(h + 16);
    d.header.sizeImage = Le32(h + 20);
    d.header.xPelsPerMeter = static_cast<std::int32_t>(Le32(h + 24));
    d.header.yPelsPerMeter = static_cast<std::int32_t>(Le32(h + 28));
    d.header.clrUsed = Le32(h + 32);
    d.header.clrImportant = Le32(h + 36);

    std::size_t tableOffset = headerSize;
    if (d.header.compression == kBiBitfields) {
        // The 40-byte header is followed by three masks; larger headers hold them inside.
        const std::size_t masksAt = kInfoHeaderBytes;
        if (headerSize == kInfoHeaderBytes) {
            tableOffset += 12;
        }
        if (block.size() < masksAt + 12) {
            return std::nullopt;
        }
        d.masks = {Le32(h + masksAt), Le32(h + masksAt + 4), Le32(h + masksAt + 8)};
    }
    if (d.header.bitCount > 0 && d.header.bitCount <= 8) {
        const std::size_t largest = std::size_t{1} << d.header.bitCount;
        const std::size_t entries = d.header.clrUsed == 0 ? largest : d.header.clrUsed;
        if (entries > largest) {
            return std::nullopt;
        }
        auto table = ReadColourTable(block, tableOffset, entries, 4);
        if (!table) {
            return std::nullopt;
        }
        d.colourTable = std::move(*table);
    }
    return d;
}

std::optional<Description> ParseDescription(const std::vector<std::uint8_t>& block) {
    if (block.size() < 4) {
        return std::nullopt;
    }
    const std::uint32_t headerSize = Le32(block.data());
    if (!IsKnownHeaderSize(headerSize) || block.size() < headerSize) {
        return std::nullopt;
    }
    auto description =
        headerSize == kCoreHeaderBytes ? ParseCoreHeader(block) : ParseInfoHeader(block, headerSize);
    if (description && description->header.planes != 1) {
        return std::nullopt;
    }
    return description;
}

// The bytes the file still holds after the current position, when that can be known (a regular
// file); none for a pipe or a stream in memory.
std::optional<std::uint64_t> BytesLeft(std::FILE* file) {
    struct stat status {};
    const long position = std::ftell(file);
    if (position < 0 || ::fstat(::fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    const auto read = static_cast<std::uint64_t>(position);
    return size > read ? size - read : 0;
}

// The pixel bytes the described bitmap holds: what the file must hold after its headers.
std::uint64_t DeclaredPixelBytes(const BitmapInfoHeader& header) {
    if (header.width <= 0) {
        return 0; // refused as inconsistent when the bitmap is made
    }
    const std::int64_t rows = header.height < 0 ? -std::int64_t{header.height} : header.height;
    return static_cast<std::uint64_t>(BitmapStride(header.bitCount, header.width)) *
           static_cast<std::uint64_t>(rows);
}

// How many pixel bytes to read: the header's image size, or, for an uncompressed file that
// leaves it 0, what the rows need. A top-down file counts its rows by the absolute height.
// Never more than the bitmap holds: the excess of a too-large image size is left unread.
std::size_t PixelBytesToRead(const BitmapInfoHeader& header, const Bitmap& bitmap) {
    std::size_t bytes = header.sizeImage;
    if (bytes == 0 && header.compression == kBiRgb) {
        bytes = bitmap.PixelBytes();
    }
    return std::min(bytes, bitmap.PixelBytes());
}

} // namespace

namespace {

// Reads the pixel bytes in slices, so that a stop request is heard within a slice.
bool ReadPixels(std::FILE* file, std::uint8_t* pixels, std::size_t bytes,
                const DecodeProgress* progress) {
    constexpr std::size_t kSliceBytes = std::size_t{1} << 20;
    for (std::size_t done = 0; done < bytes;) {
        if (progress && progress->StopRequested()) {
            return false;
        }
        const std::size_t slice = std::min(kSliceBytes, bytes - done);
        if (!ReadExactly(file, pixels + done, slice)) {
            return false;
        }
        done += slice;
    }
    return true;
}

// Reads the file into bitmap; false when it cannot be trusted or read. A bitmap made before
// the failure is left in bitmap (the progress may have shown it to others).
bool ReadBitmapFile(std::FILE* file, DecodeProgress* progress, std::unique_ptr<Bitmap>& bitmap) {
    std::uint8_t fileHeader[kFileHeaderBytes];
    if (!ReadExactly(file, fileHeader, sizeof fileHeader) || fileHeader[0] != 'B' ||
        fileHeader[1] != 'M') {
        return false;
    }
    const std::uint32_t pixelOffset = Le32(fileHeader + 10);
    if (pixelOffset <= kFileHeaderBytes) {
        return false;
    }
    // Never allocate for a block the file does not have, nor hold more of it than a header,
    // masks and a full colour table can use: the rest (a gap some writers leave before the
    // pixels) is read past.
    const std::size_t blockBytes = pixelOffset - kFileHeaderBytes;
    if (const auto left = BytesLeft(file); left && *left < blockBytes) {
        return false;
    }
    std::vector<std::uint8_t> block(std::min(blockBytes, kMaxDescriptionBytes));
    if (!ReadExactly(file, block.data(), block.size()) ||
        !SkipExactly(file, blockBytes - block.size())) {
        return false;
    }
    auto description = ParseDescription(block);
    if (!description) {
        return false;
    }
    // A file must hold every pixel its header declares, whatever its image-size field says: a
    // file of a few bytes never gets a bitmap of a gigabyte. Where the length can be asked, this
    // is known before anything is allocated.
    const std::uint64_t declared = DeclaredPixelBytes(description->header);
    const auto left = BytesLeft(file);
    if (left && *left < declared) {
        return false;
    }
    bitmap = Bitmap::Create(description->header, std::move(description->colourTable),
                                 description->masks);
    if (!bitmap || bitmap->BitCount() == 2) {
        return false; // two bits per pixel exist in PNG files, never in bitmap files
    }
    if (progress) {
        progress->Started(*bitmap);
    }
    const std::size_t toRead = PixelBytesToRead(description->header, *bitmap);
    if (!ReadPixels(file, bitmap->Pixels(), toRead, progress) ||
        (!left && !SkipExactly(file, bitmap->PixelBytes() - toRead))) {
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<Bitmap> ReadBmpStream(std::FILE* file, DecodeProgress* progress) {
    std::unique_ptr<Bitmap> bitmap;
    const bool decoded = ReadBitmapFile(file, progress, bitmap);
    if (progress) {
        return progress->Outcome(decoded, std::move(bitmap));
    }
    return decoded ? std::move(bitmap) : nullptr;
}

std::unique_ptr<Bitmap> ReadBmpFile(const std::filesystem::path& path) {
    const CFile file = OpenForReading(path);
    return file ? ReadBmpStream(file.get()) : nullptr;
}

} // namespace pirela
