#include "image/PngReader.h"

#include "image/CFile.h"

#include <png.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace pirela {

namespace {

constexpr double kScreenGamma = 2.2;
constexpr double kGammaWithoutChunk = 0.5;
constexpr std::size_t kSignatureBytes = 4;

// What libpng may allocate for one ancillary chunk (text, colour profile) and how many such
// chunks it keeps. A chunk that claims to be gigabytes long is a lie in a file of kilobytes;
// without a limit libpng would try to allocate it before noticing.
constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;
constexpr png_uint_32 kMaxCachedChunks = 1000;

// No single allocation of libpng's own may exceed this (its largest real need is a row); a
// request beyond it fails as out of memory, which ends the decode with none.
constexpr png_alloc_size_t kMaxLibraryAllocation = 256 * 1024 * 1024;

png_voidp LimitedMalloc(png_structp, png_alloc_size_t size) {
    return size > kMaxLibraryAllocation ? nullptr : std::malloc(size);
}

void LibraryFree(png_structp, png_voidp memory) {
    std::free(memory);
}

struct Decode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    double fileGamma = kGammaWithoutChunk;
    std::shared_ptr<const ColourDescription> colour;
    std::unique_ptr<Bitmap> bitmap;
};

// Asks libpng for the one layout each kind of file becomes, and tells whether it has alpha.
bool RequestOutputLayout(png_structp png, png_infop info) {
    const int colourType = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) {
        png_set_strip_16(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    const bool hasRgbSamples = colourType == PNG_COLOR_TYPE_RGB ||
                               colourType == PNG_COLOR_TYPE_RGB_ALPHA ||
                               colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
    if (hasRgbSamples) {
        png_set_bgr(png); // the bitmap's blue-green-red order, alpha (if any) last
    }
    return (colourType & PNG_COLOR_MASK_ALPHA) != 0;
}

// What the file says about its colours beyond a gamma: an embedded profile (iCCP), that it is
// sRGB, or primaries (cHRM, taken with the gamma beside it); none when it says nothing more.
std::shared_ptr<const ColourDescription> ColourOf(png_structp png, png_infop info) {
    auto colour = std::make_shared<ColourDescription>();
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileBytes = 0;
    int intent = 0;
    double fileGamma = 0;
    Chromaticities xy;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &profileBytes) != 0 &&
        profile != nullptr && profileBytes > 0) {
        colour->icc.assign(profile, profile + profileBytes);
    } else if (png_get_sRGB(png, info, &intent) != 0) {
        colour->srgb = true;
    } else if (png_get_gAMA(png, info, &fileGamma) != 0 && fileGamma > 0 &&
               png_get_cHRM(png, info, &xy.whiteX, &xy.whiteY, &xy.redX, &xy.redY, &xy.greenX,
                            &xy.greenY, &xy.blueX, &xy.blueY) != 0) {
        colour->primaries = xy;
        colour->transfer = TransferCurve::Gamma;
        colour->gamma = 1 / fileGamma;
    } else {
        return nullptr;
    }
    return colour;
}

// The file's gamma (its gAMA, else 0.5), asked of libpng for the samples it decodes. A file
// that describes its colours more fully keeps its samples as stored: the description says how
// to show them.
double RequestGamma(png_structp png, png_infop info, bool described) {
    if (described) {
        return 1 / kScreenGamma; // no correction, also for the palette
    }
    double fileGamma = kGammaWithoutChunk;
    png_get_gAMA(png, info, &fileGamma);
    png_set_gamma(png, kScreenGamma, fileGamma);
    return fileGamma;
}

// The gamma correction of 8-bit samples, as libpng makes it for grey and RGB rows: PNG gammas
// are counted in hundred-thousandths, and a correction within 5 % of none is skipped. The
// palette needs it from us: libpng leaves the palette as the file has it (whether or not a
// transparency chunk follows), and a palette file must show the colours its RGB twin shows.
std::array<std::uint8_t, 256> GammaTable(double fileGamma) {
    constexpr double kUnits = 100000;
    const double file = std::floor(fileGamma * kUnits + 0.5);
    const double screen = std::floor(kScreenGamma * kUnits + 0.5);
    const double correction = std::floor(file * screen / kUnits + 0.5) / kUnits;
    const double exponent = std::floor(kUnits * kUnits / file / screen * kUnits + 0.5) / kUnits;
    std::array<std::uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        const bool corrected = std::abs(correction - 1) > 0.05 && value > 0 && value < 255;
        table[value] = static_cast<std::uint8_t>(
            corrected ? std::floor(255 * std::pow(value / 255.0, exponent) + 0.5) : value);
    }
    return table;
}

// The colour table of a grey or palette image below 16 bits: an even grey ramp, or the
// palette, gamma-corrected, in blue-green-red order with entries beyond the palette black.
std::vector<RgbQuad> ColourTableFor(const Decode& decode, int depth) {
    png_structp png = decode.png;
    png_infop info = decode.info;
    const std::size_t entries = std::size_t{1} << depth;
    std::vector<RgbQuad> table(entries);
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        const auto gamma = GammaTable(decode.fileGamma);
        for (int i = 0; i < count && static_cast<std::size_t>(i) < entries; ++i) {
            table[i] = RgbQuad{gamma[palette[i].blue], gamma[palette[i].green],
                               gamma[palette[i].red], 0};
        }
        return table;
    }
    for (std::size_t k = 0; k < entries; ++k) {
        const auto level = static_cast<std::uint8_t>(k * 255 / (entries - 1));
        table[k] = RgbQuad{level, level, level, 0};
    }
    return table;
}

bool MakeBitmap(Decode& decode, bool hasAlpha) {
    png_structp png = decode.png;
    png_infop info = decode.info;
    const int depth = png_get_bit_depth(png, info) * png_get_channels(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return false;
    }
    BitmapInfoHeader header;
    header.width = static_cast<std::int32_t>(width);
    header.height = static_cast<std::int32_t>(height);
    header.bitCount = static_cast<std::uint16_t>(depth);
    decode.bitmap =
        Bitmap::Create(header, depth < 16 ? ColourTableFor(decode, depth) : std::vector<RgbQuad>{});
    if (!decode.bitmap || png_get_rowbytes(png, info) > decode.bitmap->Stride()) {
        return false;
    }
    decode.bitmap->SetHasAlpha(hasAlpha);
    decode.bitmap->SetColour(decode.colour);
    return true;
}

// Every pass of the image, each row straight into its place in the bitmap. Rows are handed
// over one at a time rather than as a table of row addresses, which for a tall image of one
// pixel a row would take eight times the pixels' own memory.
// False when asked to stop. Only the last pass leaves rows final.
bool ReadRows(png_structp png, int passes, Bitmap& bitmap, DecodeProgress* progress) {
    constexpr int kRowsPerReport = 16;
    for (int pass = 0; pass < passes; ++pass) {
        const bool lastPass = pass == passes - 1;
        for (int y = 0; y < bitmap.Height(); ++y) {
            png_read_row(png, bitmap.PictureRow(y), nullptr);
            if (progress && (y + 1) % kRowsPerReport == 0) {
                if (progress->StopRequested()) {
                    return false;
                }
                if (lastPass) {
                    progress->RowsFinished(y + 1);
                }
            }
        }
    }
    return true;
}

// Runs the whole decode, rows straight into the bitmap; false when libpng gave up. Holds no
// C++ object of its own, because libpng's error jump skips this frame's cleanup.
bool RunDecode(Decode& decode, std::FILE* file, DecodeProgress* progress) {
    png_structp png = decode.png;
    png_infop info = decode.info;
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxCachedChunks);
    png_set_sig_bytes(png, kSignatureBytes);
    png_read_info(png, info);
    decode.colour = ColourOf(png, info);
    decode.fileGamma = RequestGamma(png, info, decode.colour != nullptr);
    const bool hasAlpha = RequestOutputLayout(png, info);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (!MakeBitmap(decode, hasAlpha)) {
        return false;
    }
    if (progress) {
        progress->Started(*decode.bitmap);
    }
    return ReadRows(png, passes, *decode.bitmap, progress);
}

bool HasPngSignature(std::FILE* file) {
    png_byte signature[kSignatureBytes];
    return std::fread(signature, 1, kSignatureBytes, file) == kSignatureBytes &&
           png_sig_cmp(signature, 0, kSignatureBytes) == 0;
}

} // namespace

std::unique_ptr<Bitmap> ReadPngStream(std::FILE* file) {
    return ReadPngStream(file, nullptr);
}

std::unique_ptr<Bitmap> ReadPngStream(std::FILE* file, DecodeProgress* progress) {
    if (!HasPngSignature(file)) {
        return nullptr;
    }
    Decode decode;
    decode.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr,
                                          nullptr, LimitedMalloc, LibraryFree);
    if (decode.png == nullptr) {
        return nullptr;
    }
    decode.info = png_create_info_struct(decode.png);
    bool decoded = false;
    try {
        decoded = decode.info != nullptr && RunDecode(decode, file, progress);
    } catch (const std::bad_alloc&) {
        // the colour table could not be had; the structures below are freed all the same
    }
    png_destroy_read_struct(&decode.png, decode.info ? &decode.info : nullptr, nullptr);
    if (progress) {
        return progress->Outcome(decoded, std::move(decode.bitmap));
    }
    return decoded ? std::move(decode.bitmap) : nullptr;
}

std::unique_ptr<Bitmap> ReadPngFile(const std::filesystem::path& path) {
    const CFile file = OpenForReading(path);
    return file ? ReadPngStream(file.get()) : nullptr;
}

} // namespace pirela
