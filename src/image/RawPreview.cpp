#include "image/RawPreview.h"

#include "image/CFile.h"
#include "image/DescriptorReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <libraw.h>

namespace pirela {

namespace {

// No camera's preview comes near this; a larger length is a damaged or crafted file.
constexpr unsigned kMaxPreviewBytes = 256u << 20;

// libraw reads the file through this stream, by position from the descriptor (through the
// reader's window: libraw parses with reads of two and four bytes).
class DescriptorStream : public LibRaw_abstract_datastream {
public:
    explicit DescriptorStream(int descriptor) : reader_(descriptor) {}

    int valid() override { return reader_.Valid() ? 1 : 0; }

    int read(void* buffer, size_t size, size_t count) override {
        if (size == 0 || count > SIZE_MAX / size) {
            return 0;
        }
        return static_cast<int>(reader_.Read(buffer, size * count) / size);
    }

    int seek(INT64 offset, int whence) override {
        INT64 base = 0;
        if (whence == SEEK_CUR) {
            base = reader_.Position();
        } else if (whence == SEEK_END) {
            base = reader_.Size();
        }
        INT64 position = 0;
        if (__builtin_add_overflow(base, offset, &position) || position < 0) {
            return -1;
        }
        reader_.Seek(std::min<INT64>(position, reader_.Size()));
        return 0;
    }

    INT64 tell() override { return reader_.Position(); }
    INT64 size() override { return reader_.Size(); }

    int get_char() override {
        unsigned char c = 0;
        return reader_.Read(&c, 1) == 1 ? c : -1;
    }

    char* gets(char* line, int size) override {
        if (size <= 0) {
            return nullptr;
        }
        int length = 0;
        while (length < size - 1) {
            const int c = get_char();
            if (c < 0) {
                break;
            }
            line[length++] = static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        line[length] = '\0';
        return length > 0 ? line : nullptr;
    }

    // One number in text, as the parsers of a few formats read them.
    int scanf_one(const char* format, void* value) override {
        char token[32];
        int length = 0;
        int c = get_char();
        while (c >= 0 && std::isspace(c)) {
            c = get_char();
        }
        while (c >= 0 && !std::isspace(c) && length < int(sizeof token) - 1) {
            token[length++] = static_cast<char>(c);
            c = get_char();
        }
        token[length] = '\0';
        return length > 0 ? std::sscanf(token, format, value) : -1;
    }

    int eof() override { return reader_.Position() >= reader_.Size() ? 1 : 0; }
    void* make_jas_stream() override { return nullptr; }

private:
    DescriptorReader reader_;
};

// libraw's flip (bit 4: axes swapped, then bit 2: upside down, bit 1: mirrored) as an
// orientation.
int OrientationOfFlip(int flip) {
    constexpr int kOrientations[] = {1, 2, 4, 3, 5, 8, 6, 7};
    return flip >= 0 && flip < 8 ? kOrientations[flip] : 1;
}

} // namespace

std::optional<RawPreview> ExtractRawPreview(int descriptor) {
    DescriptorStream stream(descriptor);
    if (!stream.valid()) {
        return std::nullopt;
    }
    // Quiet: no messages of its own on the standard error stream.
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPIONS_NO_MEMERR_CALLBACK |
                                        LIBRAW_OPIONS_NO_DATAERR_CALLBACK);
    if (raw->open_datastream(&stream) != LIBRAW_SUCCESS) {
        return std::nullopt;
    }
    // Only a JPEG preview is unpacked: libraw then reads exactly its length into a buffer of
    // that length. Its other kinds of thumbnail (bitmaps, layers) are never asked for, both
    // because they are not what is shown and because libraw 0.20 can write past its own
    // buffer while unpacking a crafted one.
    const libraw_thumbnail_t& thumbnail = raw->imgdata.thumbnail;
    if (!raw->is_jpeg_thumb() || thumbnail.tlength < 4 || thumbnail.tlength > kMaxPreviewBytes ||
        static_cast<INT64>(thumbnail.tlength) > stream.size() ||
        raw->unpack_thumb() != LIBRAW_SUCCESS) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(thumbnail.thumb);
    if (thumbnail.tformat != LIBRAW_THUMBNAIL_JPEG || bytes == nullptr || thumbnail.tlength < 4 ||
        bytes[0] != 0xFF || bytes[1] != 0xD8) {
        return std::nullopt;
    }
    RawPreview preview;
    preview.jpeg.assign(bytes, bytes + thumbnail.tlength);
    preview.orientation = OrientationOfFlip(raw->imgdata.sizes.flip);
    return preview;
}

std::unique_ptr<Bitmap> ReadRawPreviewDescriptor(int descriptor, const JpegReadOptions& options) {
    const std::optional<RawPreview> preview = ExtractRawPreview(descriptor);
    if (!preview) {
        return nullptr;
    }
    const CFile jpeg(
        ::fmemopen(const_cast<std::uint8_t*>(preview->jpeg.data()), preview->jpeg.size(), "rb"));
    if (!jpeg) {
        return nullptr;
    }
    JpegReadOptions turned = options;
    turned.orientation = preview->orientation;
    return ReadJpegStream(jpeg.get(), turned);
}

} // namespace pirela
