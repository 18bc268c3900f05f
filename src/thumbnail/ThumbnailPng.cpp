#include "thumbnail/ThumbnailPng.h"

#include "image/CFile.h"
#include "image/PixelRowConverter.h"
#include "image/StraightAlpha.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>
#include <png.h>
#include <string_view>
#include <vector>

namespace pirela {

namespace {

// Thumbnails are small; a larger picture is not one, and is refused before its memory is had.
constexpr png_uint_32 kMaxSide = 2048;
// What libpng may allocate for one text chunk and how many ancillary chunks it keeps: a
// compressed text that unpacks to gigabytes must not be unpacked.
constexpr png_alloc_size_t kMaxChunkBytes = 1024 * 1024;
constexpr png_uint_32 kMaxCachedChunks = 64;
// No single allocation of libpng's own may exceed this (a row, a text chunk, zlib's window): a
// chunk claiming gigabytes in a file of a few hundred bytes is refused before it is allocated.
constexpr png_alloc_size_t kMaxLibraryAllocation = 4 * 1024 * 1024;
// Writing: the fastest zlib level, since a thumbnail is made once and read many times by
// programs for which a few more bytes cost nothing, and rows filtered by their left neighbour,
// which suits photographs.
constexpr int kCompressionLevel = 1;

constexpr std::string_view kUriKey = "Thumb::URI";
constexpr std::string_view kMTimeKey = "Thumb::MTime";
constexpr std::string_view kSizeKey = "Thumb::Size";
constexpr std::string_view kMimeTypeKey = "Thumb::Mimetype";
constexpr std::string_view kWidthKey = "Thumb::Image::Width";
constexpr std::string_view kHeightKey = "Thumb::Image::Height";
constexpr std::string_view kSoftwareKey = "Software";

// Another program's thumbnail may carry chunks libpng warns about; a thumbnail is no place to
// report them. Errors end the read or write through libpng's jump.
void IgnoreWarning(png_structp, png_const_charp) {}

[[noreturn]] void FailQuietly(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

png_voidp LimitedMalloc(png_structp, png_alloc_size_t size) {
    return size > kMaxLibraryAllocation ? nullptr : std::malloc(size);
}

void LibraryFree(png_structp, png_voidp memory) {
    std::free(memory);
}

std::optional<std::int64_t> DecimalNumber(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

int Dimension(std::string_view text) {
    const std::optional<std::int64_t> value = DecimalNumber(text);
    return value && *value > 0 && *value <= 0x7FFFFFFF ? static_cast<int>(*value) : 0;
}

void TakeField(ThumbnailFields& fields, std::string_view key, std::string_view value) {
    if (key == kUriKey) {
        fields.uri = value;
    } else if (key == kMTimeKey) {
        fields.mtime = DecimalNumber(value);
    } else if (key == kSizeKey) {
        const std::optional<std::int64_t> size = DecimalNumber(value);
        fields.size = size && *size >= 0 ? size : std::nullopt;
    } else if (key == kMimeTypeKey) {
        fields.mimeType = value;
    } else if (key == kWidthKey) {
        fields.imageWidth = Dimension(value);
    } else if (key == kHeightKey) {
        fields.imageHeight = Dimension(value);
    } else if (key == kSoftwareKey) {
        fields.software = value;
    }
}

ThumbnailFields FieldsOf(png_structp png, png_infop info) {
    ThumbnailFields fields;
    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        TakeField(fields, texts[i].key, texts[i].text != nullptr ? texts[i].text : "");
    }
    return fields;
}

struct Read {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ThumbnailImage image;
};

// Every kind of PNG becomes 8-bit blue-green-red-alpha, which on this machine is 0xAARRGGBB.
void RequestBgra(png_structp png, png_infop info) {
    const int colourType = png_get_color_type(png, info);
    png_set_expand(png); // palette to RGB, grey below 8 bits to 8, transparency to alpha
    png_set_strip_16(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

// Colours multiplied by their alpha, as the picture keeps them; a picture whose every pixel
// is opaque keeps no alpha.
void PremultiplyIfTranslucent(ScaledPicture& picture) {
    for (const std::uint32_t pixel : picture.pixels) {
        if (pixel >> 24 != 0xFF) {
            picture.hasAlpha = true;
            break;
        }
    }
    if (picture.hasAlpha) {
        for (std::uint32_t& pixel : picture.pixels) {
            pixel = Premultiply(pixel);
        }
    }
}

// Holds no C++ object of its own, because libpng's error jump skips this frame's cleanup.
bool RunRead(Read& read, std::FILE* file) {
    png_structp png = read.png;
    png_infop info = read.info;
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxCachedChunks);
    png_read_info(png, info);
    RequestBgra(png, info);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    ScaledPicture& picture = read.image.picture;
    picture.width = static_cast<int>(png_get_image_width(png, info));
    picture.height = static_cast<int>(png_get_image_height(png, info));
    if (png_get_rowbytes(png, info) != std::size_t(picture.width) * 4) {
        return false;
    }
    picture.pixels.resize(std::size_t(picture.width) * std::size_t(picture.height));
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < picture.height; ++y) {
            png_read_row(png,
                         reinterpret_cast<png_bytep>(picture.pixels.data() +
                                                     std::size_t(y) * std::size_t(picture.width)),
                         nullptr);
        }
    }
    png_read_end(png, info); // the text chunks that follow the picture data
    read.image.fields = FieldsOf(png, info);
    return true;
}

struct Write {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_text> texts;
    std::vector<std::string> values;
    std::vector<std::uint8_t> row;
};

void AddText(Write& write, std::string_view key, std::string value) {
    write.values.push_back(std::move(value));
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>(key.data()); // the keys above end with their zero
    write.texts.push_back(text);
}

void PrepareTexts(Write& write, const ThumbnailFields& fields) {
    const auto add = [&write](std::string_view key, std::string value) {
        AddText(write, key, std::move(value));
    };
    add(kUriKey, fields.uri);
    if (fields.mtime) {
        add(kMTimeKey, std::to_string(*fields.mtime));
    }
    if (fields.size) {
        add(kSizeKey, std::to_string(*fields.size));
    }
    if (!fields.mimeType.empty()) {
        add(kMimeTypeKey, fields.mimeType);
    }
    if (fields.imageWidth > 0) {
        add(kWidthKey, std::to_string(fields.imageWidth));
    }
    if (fields.imageHeight > 0) {
        add(kHeightKey, std::to_string(fields.imageHeight));
    }
    if (!fields.software.empty()) {
        add(kSoftwareKey, fields.software);
    }
    // The values are all in place now, so their addresses hold.
    for (std::size_t i = 0; i < write.texts.size(); ++i) {
        write.texts[i].text = write.values[i].data();
        write.texts[i].text_length = write.values[i].size();
    }
}

// Holds no C++ object of its own, because libpng's error jump skips this frame's cleanup.
bool RunWrite(Write& write, std::FILE* file, const ScaledPicture& picture) {
    png_structp png = write.png;
    png_infop info = write.info;
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, kCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_text(png, info, write.texts.data(), static_cast<int>(write.texts.size()));
    png_write_info(png, info);
    png_set_bgr(png);
    const std::size_t width = static_cast<std::size_t>(picture.width);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint32_t* pixels = picture.pixels.data() + std::size_t(y) * width;
        std::memcpy(write.row.data(), pixels, width * 4);
        if (picture.hasAlpha) {
            UnpremultiplyRow(write.row.data(), picture.width);
        }
        png_write_row(png, write.row.data());
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::optional<ThumbnailImage> ReadThumbnailPng(std::FILE* file) {
    Read read;
    read.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, FailQuietly,
                                        IgnoreWarning, nullptr, LimitedMalloc, LibraryFree);
    if (read.png == nullptr) {
        return std::nullopt;
    }
    read.info = png_create_info_struct(read.png);
    bool done = false;
    try {
        done = read.info != nullptr && RunRead(read, file);
    } catch (const std::bad_alloc&) {
        // the picture's memory could not be had; libpng's structures are freed below
    }
    png_destroy_read_struct(&read.png, read.info ? &read.info : nullptr, nullptr);
    if (!done) {
        return std::nullopt;
    }
    PremultiplyIfTranslucent(read.image.picture);
    return std::move(read.image);
}

std::optional<ThumbnailImage> ReadThumbnailPngFile(const std::filesystem::path& path) {
    const CFile file = OpenForReading(path);
    return file ? ReadThumbnailPng(file.get()) : std::nullopt;
}

bool WriteThumbnailPng(std::FILE* file, const ScaledPicture& picture,
                       const ThumbnailFields& fields) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height)) {
        return false;
    }
    Write write;
    PrepareTexts(write, fields);
    write.row.resize(std::size_t(picture.width) * 4);
    write.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailQuietly, IgnoreWarning);
    if (write.png == nullptr) {
        return false;
    }
    write.info = png_create_info_struct(write.png);
    const bool written = write.info != nullptr && RunWrite(write, file, picture);
    png_destroy_write_struct(&write.png, write.info ? &write.info : nullptr);
    return written;
}

} // namespace pirela
