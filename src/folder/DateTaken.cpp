#include "folder/DateTaken.h"

#include <unistd.h>

#include <array>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace pirela {

namespace {

// --- Bytes by position ---

// Where the bytes come from: a file read by position, or a block in memory.
class Bytes {
public:
    virtual ~Bytes() = default;
    // Exactly n bytes at pos, or false.
    virtual bool Read(std::uint64_t pos, void* to, std::size_t n) const = 0;
    virtual std::uint64_t Size() const = 0;
};

class MemoryBytes final : public Bytes {
public:
    MemoryBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Read(std::uint64_t pos, void* to, std::size_t n) const override {
        if (pos > size_ || n > size_ - pos) {
            return false;
        }
        std::memcpy(to, data_ + pos, n);
        return true;
    }
    std::uint64_t Size() const override { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// The file's first bytes are read once (every format's header and most JPEGs' EXIF lie there);
// what lies further is read where it is, a few bytes at a time.
class FileBytes final : public Bytes {
public:
    explicit FileBytes(int descriptor) : descriptor_(descriptor) {
        size_ = static_cast<std::uint64_t>(std::max<off_t>(0, ::lseek(descriptor, 0, SEEK_END)));
        head_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHead)));
        if (!ReadAt(0, head_.data(), head_.size())) {
            head_.clear();
            size_ = 0;
        }
    }
    bool Read(std::uint64_t pos, void* to, std::size_t n) const override {
        if (pos > size_ || n > size_ - pos) {
            return false;
        }
        if (pos + n <= head_.size()) {
            std::memcpy(to, head_.data() + pos, n);
            return true;
        }
        return ReadAt(pos, to, n);
    }
    std::uint64_t Size() const override { return size_; }

private:
    static constexpr std::uint64_t kHead = 16 * 1024;

    bool ReadAt(std::uint64_t pos, void* to, std::size_t n) const {
        auto* bytes = static_cast<char*>(to);
        while (n > 0) {
            const ssize_t got = ::pread(descriptor_, bytes, n, static_cast<off_t>(pos));
            if (got <= 0) {
                return false;
            }
            bytes += got;
            pos += static_cast<std::uint64_t>(got);
            n -= static_cast<std::size_t>(got);
        }
        return true;
    }

    int descriptor_;
    std::uint64_t size_ = 0;
    std::vector<char> head_;
};

// A stretch of the bytes, read relative to its start and never past its end.
class Window {
public:
    Window(const Bytes& bytes, std::uint64_t start, std::uint64_t length)
        : bytes_(bytes), start_(start),
          length_(start > bytes.Size() ? 0 : std::min(length, bytes.Size() - start)) {}

    std::uint64_t Length() const { return length_; }
    bool Read(std::uint64_t pos, void* to, std::size_t n) const {
        return pos <= length_ && n <= length_ - pos && bytes_.Read(start_ + pos, to, n);
    }
    std::optional<std::uint32_t> Big32(std::uint64_t pos) const {
        std::uint8_t b[4];
        if (!Read(pos, b, 4)) {
            return std::nullopt;
        }
        return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
    }
    std::optional<std::uint64_t> Big64(std::uint64_t pos) const {
        const auto high = Big32(pos);
        const auto low = Big32(pos + 4);
        if (!high || !low) {
            return std::nullopt;
        }
        return std::uint64_t(*high) << 32 | *low;
    }
    std::optional<std::uint16_t> Big16(std::uint64_t pos) const {
        std::uint8_t b[2];
        return Read(pos, b, 2) ? std::optional<std::uint16_t>(std::uint16_t(b[0] << 8 | b[1]))
                               : std::nullopt;
    }
    // A big-endian number of 0, 2, 4 or 8 bytes (0 bytes: zero).
    std::optional<std::uint64_t> Big(std::uint64_t pos, int bytes) const {
        switch (bytes) {
        case 0:
            return 0;
        case 2:
            return Big16(pos);
        case 4:
            return Big32(pos);
        case 8:
            return Big64(pos);
        default:
            return std::nullopt;
        }
    }
    bool Starts(std::uint64_t pos, std::string_view text) const {
        std::array<char, 16> got{};
        return text.size() <= got.size() && Read(pos, got.data(), text.size()) &&
               std::memcmp(got.data(), text.data(), text.size()) == 0;
    }
    Window Part(std::uint64_t pos, std::uint64_t length) const {
        return Window(bytes_, start_ + std::min(pos, length_),
                      pos > length_ ? 0 : std::min(length, length_ - pos));
    }

private:
    const Bytes& bytes_;
    std::uint64_t start_;
    std::uint64_t length_;
};

// --- The EXIF block: a TIFF header and its directories ---

constexpr std::uint16_t kExifPointer = 0x8769;
constexpr std::uint16_t kDateTimeOriginal = 0x9003;
constexpr std::uint16_t kOffsetTimeOriginal = 0x9011;
constexpr std::uint16_t kAscii = 2;
constexpr std::uint16_t kLong = 4;
// Directories hold a few dozen entries; a count beyond this is damage, never read through.
constexpr std::uint16_t kMostEntries = 1000;

class Tiff {
public:
    explicit Tiff(const Window& block) : block_(block) {
        std::uint8_t order[2] = {};
        block_.Read(0, order, 2);
        little_ = order[0] == 'I' && order[1] == 'I';
        valid_ = little_ || (order[0] == 'M' && order[1] == 'M');
    }

    std::optional<std::int64_t> DateTaken() const {
        if (!valid_) {
            return std::nullopt;
        }
        // 42, or the magic numbers of Olympus (ORF) and Panasonic (RW2) raw files.
        const auto magic = U16(2);
        const auto first = U32(4);
        if (!magic || (*magic != 42 && *magic != 0x4F52 && *magic != 0x5352 && *magic != 0x55) ||
            !first) {
            return std::nullopt;
        }
        const auto exif = Entry(*first, kExifPointer);
        if (!exif || exif->type != kLong) {
            // A CR3's CMT2 box is the EXIF directory itself, behind its own header.
            return DateIn(*first);
        }
        return DateIn(exif->value);
    }

private:
    struct Found {
        std::uint16_t type;
        std::uint32_t count;
        std::uint32_t value; // the value itself when it fits in four bytes, else where it lies
        std::uint64_t at;    // where the entry's value field lies
    };

    std::optional<std::int64_t> DateIn(std::uint32_t directory) const {
        const auto date = Text(Entry(directory, kDateTimeOriginal));
        if (!date) {
            return std::nullopt;
        }
        const auto offset = Text(Entry(directory, kOffsetTimeOriginal));
        return ExifTimeToSeconds(*date, offset.value_or(std::string()));
    }

    std::optional<Found> Entry(std::uint32_t directory, std::uint16_t tag) const {
        const auto count = U16(directory);
        if (!count || *count > kMostEntries) {
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < *count; ++i) {
            const std::uint64_t at = std::uint64_t(directory) + 2 + 12 * i;
            const auto entryTag = U16(at);
            if (!entryTag) {
                return std::nullopt;
            }
            if (*entryTag != tag) {
                continue;
            }
            const auto type = U16(at + 2);
            const auto values = U32(at + 4);
            const auto value = U32(at + 8);
            if (!type || !values || !value) {
                return std::nullopt;
            }
            return Found{*type, *values, *value, at + 8};
        }
        return std::nullopt;
    }

    // An ASCII entry's text up to its first NUL.
    std::optional<std::string> Text(const std::optional<Found>& entry) const {
        if (!entry || entry->type != kAscii || entry->count == 0 || entry->count > 64) {
            return std::nullopt;
        }
        std::string text(entry->count, '\0');
        const std::uint64_t where = entry->count <= 4 ? entry->at : entry->value;
        if (!block_.Read(where, text.data(), text.size())) {
            return std::nullopt;
        }
        text.resize(std::strlen(text.c_str()));
        return text;
    }

    std::optional<std::uint16_t> U16(std::uint64_t pos) const {
        std::uint8_t b[2];
        if (!block_.Read(pos, b, 2)) {
            return std::nullopt;
        }
        return little_ ? std::uint16_t(b[1] << 8 | b[0]) : std::uint16_t(b[0] << 8 | b[1]);
    }
    std::optional<std::uint32_t> U32(std::uint64_t pos) const {
        std::uint8_t b[4];
        if (!block_.Read(pos, b, 4)) {
            return std::nullopt;
        }
        return little_ ? std::uint32_t(b[3]) << 24 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[1]) << 8 | b[0]
                       : std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
    }

    Window block_;
    bool little_ = true;
    bool valid_ = false;
};

// --- Where each format keeps the block ---

// The block after an optional "Exif\0\0" (PNG and WebP writers differ on it).
std::optional<std::int64_t> DateOfBlock(const Window& block) {
    const bool named = block.Starts(0, std::string_view("Exif\0\0", 6));
    return Tiff(block.Part(named ? 6 : 0, block.Length())).DateTaken();
}

std::optional<std::int64_t> DateInJpeg(const Window& file) {
    // Segments up to the picture's data; the EXIF block is nearly always the first.
    std::uint64_t pos = 2;
    for (int segments = 0; segments < 64; ++segments) {
        std::uint8_t marker[2];
        const auto length = file.Big16(pos + 2);
        if (!file.Read(pos, marker, 2) || marker[0] != 0xFF || !length || *length < 2 ||
            marker[1] == 0xDA) {
            return std::nullopt;
        }
        if (marker[1] == 0xE1 && file.Starts(pos + 4, std::string_view("Exif\0\0", 6))) {
            return Tiff(file.Part(pos + 10, *length - 8u)).DateTaken();
        }
        pos += 2 + *length;
    }
    return std::nullopt;
}

std::optional<std::int64_t> DateInPng(const Window& file) {
    std::uint64_t pos = 8;
    for (int chunks = 0; chunks < 1000; ++chunks) {
        const auto length = file.Big32(pos);
        if (!length || file.Starts(pos + 4, "IDAT") || file.Starts(pos + 4, "IEND")) {
            return std::nullopt;
        }
        if (file.Starts(pos + 4, "eXIf")) {
            return DateOfBlock(file.Part(pos + 8, *length));
        }
        pos += 12 + std::uint64_t(*length);
    }
    return std::nullopt;
}

std::optional<std::int64_t> DateInWebp(const Window& file) {
    std::uint64_t pos = 12;
    for (int chunks = 0; chunks < 1000; ++chunks) {
        std::uint8_t size[4];
        if (!file.Read(pos + 4, size, 4)) {
            return std::nullopt;
        }
        const std::uint64_t length = std::uint32_t(size[3]) << 24 | std::uint32_t(size[2]) << 16 |
                                     std::uint32_t(size[1]) << 8 | size[0];
        if (file.Starts(pos, "EXIF")) {
            return DateOfBlock(file.Part(pos + 8, length));
        }
        pos += 8 + length + (length & 1);
    }
    return std::nullopt;
}

// An ISO base media file (HEIF, CR3): boxes of a 32-bit size (1: a 64-bit size follows, 0: to
// the end) and a four-letter type.
struct Box {
    std::uint64_t start = 0;  // of its content
    std::uint64_t length = 0; // of its content
};

std::optional<Box> FindBox(const Window& within, std::string_view type, std::uint64_t from = 0) {
    std::uint64_t pos = from;
    for (int boxes = 0; boxes < 1000 && pos + 8 <= within.Length(); ++boxes) {
        const auto size32 = within.Big32(pos);
        if (!size32) {
            return std::nullopt;
        }
        std::uint64_t header = 8;
        std::uint64_t size = *size32;
        if (size == 1) {
            const auto size64 = within.Big64(pos + 8);
            if (!size64) {
                return std::nullopt;
            }
            size = *size64;
            header = 16;
        } else if (size == 0) {
            size = within.Length() - pos;
        }
        if (size < header || size > within.Length() - pos) {
            return std::nullopt;
        }
        if (within.Starts(pos + 4, type)) {
            return Box{pos + header, size - header};
        }
        pos += size;
    }
    return std::nullopt;
}

// The Exif item of a HEIF file: its id from the item infos, its place from the item locations.
class HeifExif {
public:
    explicit HeifExif(const Window& file) : file_(file) {}

    std::optional<std::int64_t> DateTaken() const {
        const auto meta = FindBox(file_, "meta");
        if (!meta) {
            return std::nullopt;
        }
        const Window content = file_.Part(meta->start + 4, meta->length - std::min<std::uint64_t>(4, meta->length));
        const auto infos = FindBox(content, "iinf");
        const auto locations = FindBox(content, "iloc");
        if (!infos || !locations) {
            return std::nullopt;
        }
        const auto item = ExifItem(content.Part(infos->start, infos->length));
        if (!item) {
            return std::nullopt;
        }
        const auto place = Location(content.Part(locations->start, locations->length), *item);
        if (!place) {
            return std::nullopt;
        }
        // The item begins with the offset of the TIFF header from the item's fifth byte.
        const Window data = file_.Part(place->start, place->length);
        const auto skip = data.Big32(0);
        if (!skip || *skip > data.Length() - std::min<std::uint64_t>(4, data.Length())) {
            return std::nullopt;
        }
        return DateOfBlock(data.Part(4 + std::uint64_t(*skip), data.Length()));
    }

private:
    std::optional<std::uint64_t> ExifItem(const Window& infos) const {
        std::uint8_t version = 0;
        if (!infos.Read(0, &version, 1)) {
            return std::nullopt;
        }
        const std::uint64_t countSize = version == 0 ? 2 : 4;
        std::uint64_t pos = 4 + countSize;
        for (int entries = 0; entries < 10000; ++entries) {
            const auto entry = FindBox(infos, "infe", pos);
            if (!entry) {
                return std::nullopt;
            }
            std::uint8_t entryVersion = 0;
            infos.Read(entry->start, &entryVersion, 1);
            if (entryVersion >= 2) {
                const bool wide = entryVersion >= 3;
                const auto id = infos.Big(entry->start + 4, wide ? 4 : 2);
                const std::uint64_t typeAt = entry->start + 4 + (wide ? 4 : 2) + 2;
                if (id && infos.Starts(typeAt, "Exif")) {
                    return id;
                }
            }
            pos = entry->start + entry->length;
        }
        return std::nullopt;
    }

    // The first extent of the item, when it lies in the file itself (construction method 0).
    std::optional<Box> Location(const Window& locations, std::uint64_t item) const {
        std::uint8_t head[4];
        if (!locations.Read(0, head, 1) || !locations.Read(4, head + 1, 2)) {
            return std::nullopt;
        }
        const int version = head[0];
        const int offsetSize = head[1] >> 4;
        const int lengthSize = head[1] & 15;
        const int baseSize = head[2] >> 4;
        const int indexSize = version >= 1 ? head[2] & 15 : 0;
        const int idSize = version < 2 ? 2 : 4;
        std::uint64_t pos = 6;
        const auto count = locations.Big(pos, idSize);
        pos += idSize;
        if (!count) {
            return std::nullopt;
        }
        for (std::uint64_t i = 0; i < *count && i < 10000; ++i) {
            const auto id = locations.Big(pos, idSize);
            pos += idSize;
            std::uint16_t method = 0;
            if (version >= 1) {
                method = locations.Big16(pos).value_or(0xFFFF) & 15;
                pos += 2;
            }
            pos += 2; // data reference index
            const auto base = locations.Big(pos, baseSize);
            pos += baseSize;
            const auto extents = locations.Big16(pos);
            pos += 2;
            if (!id || !base || !extents) {
                return std::nullopt;
            }
            if (*id == item) {
                pos += indexSize;
                const auto offset = locations.Big(pos, offsetSize);
                const auto length = locations.Big(pos + offsetSize, lengthSize);
                if (method != 0 || *extents == 0 || !offset || !length) {
                    return std::nullopt;
                }
                return Box{*base + *offset, *length};
            }
            pos += std::uint64_t(*extents) * (indexSize + offsetSize + lengthSize);
        }
        return std::nullopt;
    }

    Window file_;
};

// A CR3 keeps the EXIF directory in the CMT2 box of Canon's box inside "moov".
std::optional<std::int64_t> DateInCr3(const Window& file) {
    constexpr std::uint8_t kCanon[16] = {0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0,
                                         0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};
    const auto movie = FindBox(file, "moov");
    if (!movie) {
        return std::nullopt;
    }
    const Window content = file.Part(movie->start, movie->length);
    for (std::uint64_t pos = 0;;) {
        const auto canon = FindBox(content, "uuid", pos);
        if (!canon) {
            return std::nullopt;
        }
        std::uint8_t id[16];
        if (content.Read(canon->start, id, 16) && std::memcmp(id, kCanon, 16) == 0) {
            const Window boxes = content.Part(canon->start + 16, canon->length - std::min<std::uint64_t>(16, canon->length));
            const auto exif = FindBox(boxes, "CMT2");
            return exif ? Tiff(boxes.Part(exif->start, exif->length)).DateTaken() : std::nullopt;
        }
        pos = canon->start + canon->length;
    }
}

std::optional<std::int64_t> DateInFile(const Bytes& bytes) {
    const Window file(bytes, 0, bytes.Size());
    if (file.Starts(0, "\xFF\xD8")) {
        return DateInJpeg(file);
    }
    if (file.Starts(0, "II") || file.Starts(0, "MM")) {
        return Tiff(file).DateTaken();
    }
    if (file.Starts(0, "\x89PNG\r\n\x1A\n")) {
        return DateInPng(file);
    }
    if (file.Starts(0, "RIFF") && file.Starts(8, "WEBP")) {
        return DateInWebp(file);
    }
    if (file.Starts(0, "FUJIFILMCCD-RAW")) {
        // The camera's JPEG, whose place the header gives.
        const auto offset = file.Big32(84);
        const auto length = file.Big32(88);
        return offset && length ? DateInJpeg(file.Part(*offset, *length)) : std::nullopt;
    }
    if (file.Starts(4, "ftypcrx ")) {
        return DateInCr3(file);
    }
    if (file.Starts(4, "ftyp")) {
        return HeifExif(file).DateTaken();
    }
    return std::nullopt;
}

// Digits of a fixed count, or -1.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return -1;
    }
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<std::int64_t> ExifTimeToSeconds(std::string_view dateTime, std::string_view offset) {
    std::tm fields{};
    fields.tm_year = Digits(dateTime, 0, 4) - 1900;
    fields.tm_mon = Digits(dateTime, 5, 2) - 1;
    fields.tm_mday = Digits(dateTime, 8, 2);
    fields.tm_hour = Digits(dateTime, 11, 2);
    fields.tm_min = Digits(dateTime, 14, 2);
    fields.tm_sec = Digits(dateTime, 17, 2);
    if (fields.tm_year < 1 - 1900 || fields.tm_mon < 0 || fields.tm_mon > 11 ||
        fields.tm_mday < 1 || fields.tm_mday > 31 || fields.tm_hour < 0 || fields.tm_hour > 23 ||
        fields.tm_min < 0 || fields.tm_min > 59 || fields.tm_sec < 0 || fields.tm_sec > 60) {
        return std::nullopt;
    }
    const int offsetHours = Digits(offset, 1, 2);
    const int offsetMinutes = Digits(offset, 4, 2);
    if (offset.size() >= 6 && (offset[0] == '+' || offset[0] == '-') && offsetHours >= 0 &&
        offsetHours <= 14 && offsetMinutes >= 0 && offsetMinutes <= 59) {
        const std::int64_t east = (offsetHours * 60 + offsetMinutes) * 60;
        return std::int64_t(::timegm(&fields)) - (offset[0] == '+' ? east : -east);
    }
    fields.tm_isdst = -1; // this computer's time zone, summer time as it was on that day
    return std::int64_t(std::mktime(&fields));
}

std::optional<std::int64_t> DateTakenOfBytes(const std::uint8_t* data, std::size_t size) {
    return DateInFile(MemoryBytes(data, size));
}

std::optional<std::int64_t> ReadDateTaken(int descriptor) {
    return DateInFile(FileBytes(descriptor));
}

} // namespace pirela
