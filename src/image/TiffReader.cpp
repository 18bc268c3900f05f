#include "image/TiffReader.h"

#include "image/DescriptorDecode.h"
#include "image/Orientation.h"
#include "image/OrientedRows.h"
#include "image/StraightAlpha.h"

#include <algorithm>
#include <cstring>
#include <tiffio.h>
#include <vector>

namespace pirela {

namespace {

// --- libtiff's access to the file, through the reader ---

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size < 0) {
        return -1;
    }
    return static_cast<tmsize_t>(
        static_cast<DescriptorReader*>(handle)->Read(buffer, static_cast<std::size_t>(size)));
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    return -1; // never written
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* reader = static_cast<DescriptorReader*>(handle);
    std::int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = reader->Position();
    } else if (whence == SEEK_END) {
        base = reader->Size();
    }
    // A file may name any offset: one past the range of a position is refused, not wrapped.
    std::int64_t position = 0;
    if (__builtin_add_overflow(base, static_cast<std::int64_t>(offset), &position) ||
        !reader->Seek(position)) {
        return static_cast<toff_t>(-1);
    }
    return static_cast<toff_t>(reader->Position());
}

int CloseProc(thandle_t) {
    return 0; // the descriptor is the caller's
}

toff_t SizeProc(thandle_t handle) {
    return static_cast<toff_t>(static_cast<DescriptorReader*>(handle)->Size());
}

int MapProc(thandle_t, void**, toff_t*) {
    return 0; // not mapped: read through the procedures above
}

void UnmapProc(thandle_t, void*, toff_t) {}

// libtiff's messages go nowhere: a file that cannot be read shows the error text, not a
// line on a terminal nobody watches.
int Silence(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct CloseTiff {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct FreeOpenOptions {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

std::unique_ptr<TIFF, CloseTiff> OpenTiff(DescriptorReader& reader) {
    const std::unique_ptr<TIFFOpenOptions, FreeOpenOptions> options(TIFFOpenOptionsAlloc());
    if (!options) {
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kMaxPixelBytes));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Silence, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Silence, nullptr);
    // "m": no memory mapping, every byte through the reader.
    return std::unique_ptr<TIFF, CloseTiff>(
        TIFFClientOpenExt("tiff", "rm", &reader, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                          MapProc, UnmapProc, options.get()));
}

// --- What the first page holds ---

enum class Colour { Grey, GreyInverted, Rgb, Cmyk };

struct Layout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bits = 0;
    std::uint16_t samples = 1;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    Colour colour = Colour::Grey;
    int alphaSample = -1; // the sample holding alpha, or -1
    bool premultiplied = false;
    int orientation = kStoredUpright;
};

template <class Value> Value Field(TIFF* tiff, ttag_t tag, Value fallback) {
    Value value = fallback;
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

// The alpha sample among the extra samples, and whether its colours are premultiplied.
void FindAlpha(TIFF* tiff, int colourSamples, Layout& layout) {
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) != 1 || count == 0 ||
        kinds == nullptr) {
        return;
    }
    if ((kinds[0] == EXTRASAMPLE_ASSOCALPHA || kinds[0] == EXTRASAMPLE_UNASSALPHA) &&
        layout.samples > colourSamples) {
        layout.alphaSample = colourSamples;
        layout.premultiplied = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
    }
}

// Whether the samples are ones this reader converts itself; otherwise libtiff's RGBA
// conversion takes the page.
bool ReadsDirectly(TIFF* tiff, Layout& layout) {
    const auto planar = Field<std::uint16_t>(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    const auto photometric = Field<std::uint16_t>(tiff, TIFFTAG_PHOTOMETRIC, 0xFFFF);
    const bool integer = layout.format == SAMPLEFORMAT_UINT || layout.format == SAMPLEFORMAT_VOID;
    const bool sizes =
        (integer && (layout.bits == 8 || layout.bits == 16)) ||
        (layout.format == SAMPLEFORMAT_IEEEFP && (layout.bits == 32 || layout.bits == 64));
    if (!sizes || (planar != PLANARCONFIG_CONTIG && layout.samples > 1)) {
        return false;
    }
    int colourSamples = 0;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        layout.colour = photometric == PHOTOMETRIC_MINISBLACK ? Colour::Grey : Colour::GreyInverted;
        colourSamples = 1;
        break;
    case PHOTOMETRIC_RGB:
        layout.colour = Colour::Rgb;
        colourSamples = 3;
        break;
    case PHOTOMETRIC_SEPARATED:
        if (Field<std::uint16_t>(tiff, TIFFTAG_INKSET, INKSET_CMYK) != INKSET_CMYK) {
            return false;
        }
        layout.colour = Colour::Cmyk;
        colourSamples = 4;
        break;
    default:
        return false;
    }
    if (layout.samples < colourSamples) {
        return false;
    }
    FindAlpha(tiff, colourSamples, layout);
    return true;
}

// --- Samples to 8 bits ---

inline std::uint8_t To8(std::uint8_t value) {
    return value;
}
inline std::uint8_t To8(std::uint16_t value) {
    return static_cast<std::uint8_t>(value >> 8);
}
template <class Real> inline std::uint8_t To8(Real value) {
    // NaN fails every comparison and lands on 0.
    if (!(value > 0)) {
        return 0;
    }
    return value >= 1 ? 255 : static_cast<std::uint8_t>(value * 255 + Real(0.5));
}

// One stored row of samples into bitmap pixels (blue, green, red, then alpha at 32 bits), for
// one colour layout and one output depth: no decision is left inside the loop over pixels.
template <class Sample, Colour kColour, int kOutBytes>
void ConvertPixels(const Layout& layout, const Sample* in, std::uint8_t* out) {
    const int n = layout.samples;
    const int alpha = layout.alphaSample;
    for (std::uint32_t x = 0; x < layout.width; ++x, in += n, out += kOutBytes) {
        if constexpr (kColour == Colour::Grey || kColour == Colour::GreyInverted) {
            const std::uint8_t grey = To8(in[0]);
            out[0] = out[1] = out[2] = kColour == Colour::Grey ? grey : std::uint8_t(255 - grey);
        } else if constexpr (kColour == Colour::Rgb) {
            out[0] = To8(in[2]);
            out[1] = To8(in[1]);
            out[2] = To8(in[0]);
        } else {
            const int white = 255 - To8(in[3]);
            out[0] = static_cast<std::uint8_t>((255 - To8(in[2])) * white / 255);
            out[1] = static_cast<std::uint8_t>((255 - To8(in[1])) * white / 255);
            out[2] = static_cast<std::uint8_t>((255 - To8(in[0])) * white / 255);
        }
        if constexpr (kOutBytes == 4) {
            out[3] = alpha >= 0 ? To8(in[alpha]) : 255;
        }
    }
}

template <class Sample, Colour kColour>
void ConvertRowTo(const Layout& layout, const Sample* in, std::uint8_t* out, int outBytes) {
    if (outBytes == 4) {
        ConvertPixels<Sample, kColour, 4>(layout, in, out);
    } else {
        ConvertPixels<Sample, kColour, 3>(layout, in, out);
    }
}

template <class Sample>
void ConvertRow(const Layout& layout, const Sample* in, std::uint8_t* out, int outBytes) {
    switch (layout.colour) {
    case Colour::Grey:
        ConvertRowTo<Sample, Colour::Grey>(layout, in, out, outBytes);
        break;
    case Colour::GreyInverted:
        ConvertRowTo<Sample, Colour::GreyInverted>(layout, in, out, outBytes);
        break;
    case Colour::Rgb:
        ConvertRowTo<Sample, Colour::Rgb>(layout, in, out, outBytes);
        break;
    case Colour::Cmyk:
        ConvertRowTo<Sample, Colour::Cmyk>(layout, in, out, outBytes);
        break;
    }
}

// --- The page, band by band ---

// Writes converted stored rows where the orientation puts them and reports the progress.
class BandWriter {
public:
    BandWriter(Bitmap& bitmap, int orientation, const ReadOptions& options)
        : placer_(bitmap, orientation), options_(options), pixelBytes_(bitmap.BitCount() / 8) {
        if (!placer_.InPlace()) {
            rowBytes_ = std::size_t(placer_.StoredWidth()) * pixelBytes_;
        }
    }
    int PixelBytes() const { return pixelBytes_; }

    // Where stored row y of a band starting at `first` is to be converted into.
    std::uint8_t* Row(int first, int y) {
        if (placer_.InPlace()) {
            return placer_.RowTarget(y);
        }
        const std::size_t need = rowBytes_ * std::size_t(y - first + 1);
        if (band_.size() < need) {
            band_.resize(need);
        }
        return band_.data() + rowBytes_ * (y - first);
    }
    void Finish(int first, int count) {
        if (placer_.InPlace()) {
            placer_.FinishInPlace(first, count);
        } else {
            placer_.Place(band_.data(), rowBytes_, first, count);
        }
        options_.RowsFinished(placer_.FinalRowsFromTop(first + count));
    }

private:
    OrientedRows placer_;
    const ReadOptions& options_;
    int pixelBytes_;
    std::size_t rowBytes_ = 0;
    std::vector<std::uint8_t> band_;
};

// Whether a buffer of that many bytes may be had: no more than a bitmap may hold, so that a
// small file declaring a huge strip or tile cannot make us allocate gigabytes.
bool Affordable(std::uint64_t bytes) {
    return bytes > 0 && bytes <= kMaxPixelBytes;
}

// Reads the samples of rows [first, first + rows) into `samples`, scanline after scanline.
bool ReadBand(TIFF* tiff, std::uint32_t first, std::uint32_t rows,
              std::vector<std::uint8_t>& samples, std::vector<std::uint8_t>& tile) {
    const auto scanline = static_cast<std::size_t>(TIFFScanlineSize(tiff));
    if (!Affordable(std::uint64_t{scanline} * rows)) {
        return false;
    }
    samples.resize(scanline * rows);
    if (!TIFFIsTiled(tiff)) {
        const tmsize_t got =
            TIFFReadEncodedStrip(tiff, TIFFComputeStrip(tiff, first, 0), samples.data(),
                                 static_cast<tmsize_t>(samples.size()));
        return got == static_cast<tmsize_t>(samples.size());
    }
    std::uint32_t tileWidth = 0;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
    const auto tileRow = static_cast<std::size_t>(TIFFTileRowSize(tiff));
    const tmsize_t tileSize = TIFFTileSize(tiff);
    if (tileWidth == 0 || tileRow == 0 || tileSize <= 0 ||
        !Affordable(static_cast<std::uint64_t>(tileSize))) {
        return false;
    }
    tile.resize(static_cast<std::size_t>(tileSize));
    for (std::uint32_t x = 0, column = 0; column < scanline; x += tileWidth, column += tileRow) {
        if (TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, x, first, 0, 0), tile.data(),
                                static_cast<tmsize_t>(tile.size())) < 0) {
            return false;
        }
        const std::size_t bytes = std::min(tileRow, scanline - column);
        for (std::uint32_t y = 0; y < rows; ++y) {
            std::memcpy(samples.data() + scanline * y + column, tile.data() + tileRow * y, bytes);
        }
    }
    return true;
}

// The rows a band holds: a strip, or a row of tiles.
std::uint32_t BandHeight(TIFF* tiff, std::uint32_t height) {
    std::uint32_t rows = 0;
    if (TIFFIsTiled(tiff)) {
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &rows);
    } else {
        rows = Field<std::uint32_t>(tiff, TIFFTAG_ROWSPERSTRIP, height);
    }
    return std::clamp<std::uint32_t>(rows, 1, height);
}

template <class Sample>
void ConvertBand(const Layout& layout, const std::vector<std::uint8_t>& samples,
                 std::size_t scanline, int first, int count, BandWriter& writer) {
    for (int y = first; y < first + count; ++y) {
        std::uint8_t* row = writer.Row(first, y);
        ConvertRow(layout, reinterpret_cast<const Sample*>(samples.data() + scanline * (y - first)),
                   row, writer.PixelBytes());
        if (layout.premultiplied) {
            UnpremultiplyRow(row, static_cast<int>(layout.width));
        }
    }
}

bool ReadDirectly(TIFF* tiff, const Layout& layout, BandWriter& writer,
                  const ReadOptions& options) {
    const std::uint32_t band = BandHeight(tiff, layout.height);
    const auto scanline = static_cast<std::size_t>(TIFFScanlineSize(tiff));
    if (scanline < std::size_t(layout.width) * layout.samples * (layout.bits / 8)) {
        return false;
    }
    std::vector<std::uint8_t> samples;
    std::vector<std::uint8_t> tile;
    for (std::uint32_t first = 0; first < layout.height; first += band) {
        if (options.StopRequested()) {
            return false;
        }
        const std::uint32_t rows = std::min(band, layout.height - first);
        if (!ReadBand(tiff, first, rows, samples, tile)) {
            return false;
        }
        const int y = static_cast<int>(first);
        const int count = static_cast<int>(rows);
        switch (layout.bits) {
        case 8:
            ConvertBand<std::uint8_t>(layout, samples, scanline, y, count, writer);
            break;
        case 16:
            ConvertBand<std::uint16_t>(layout, samples, scanline, y, count, writer);
            break;
        case 32:
            ConvertBand<float>(layout, samples, scanline, y, count, writer);
            break;
        default:
            ConvertBand<double>(layout, samples, scanline, y, count, writer);
            break;
        }
        writer.Finish(y, count);
    }
    return true;
}

struct EndRgba {
    void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

// libtiff's own conversion to packed red, green, blue, alpha (alpha premultiplied), a band at
// a time, rows in the order stored.
bool ReadThroughRgba(TIFF* tiff, const Layout& layout, BandWriter& writer,
                     const ReadOptions& options) {
    char message[1024];
    TIFFRGBAImage image{};
    if (TIFFRGBAImageBegin(&image, tiff, 0, message) != 1) {
        return false;
    }
    const std::unique_ptr<TIFFRGBAImage, EndRgba> end(&image);
    // The same orientation as the file's: libtiff then neither turns nor mirrors, and the
    // turn is ours.
    image.req_orientation = image.orientation;
    const std::uint32_t band = BandHeight(tiff, layout.height);
    if (!Affordable(std::uint64_t{layout.width} * band * 4)) {
        return false;
    }
    std::vector<std::uint32_t> raster(std::size_t(layout.width) * band);
    for (std::uint32_t first = 0; first < layout.height; first += band) {
        if (options.StopRequested()) {
            return false;
        }
        const std::uint32_t rows = std::min(band, layout.height - first);
        image.row_offset = static_cast<int>(first);
        if (TIFFRGBAImageGet(&image, raster.data(), layout.width, rows) != 1) {
            return false;
        }
        const int y0 = static_cast<int>(first);
        for (int y = y0; y < y0 + static_cast<int>(rows); ++y) {
            const std::uint32_t* in = raster.data() + std::size_t(layout.width) * (y - y0);
            std::uint8_t* out = writer.Row(y0, y);
            for (std::uint32_t x = 0; x < layout.width; ++x, out += writer.PixelBytes()) {
                out[0] = static_cast<std::uint8_t>(TIFFGetB(in[x]));
                out[1] = static_cast<std::uint8_t>(TIFFGetG(in[x]));
                out[2] = static_cast<std::uint8_t>(TIFFGetR(in[x]));
                if (writer.PixelBytes() == 4) {
                    out[3] = static_cast<std::uint8_t>(TIFFGetA(in[x]));
                }
            }
            if (writer.PixelBytes() == 4) {
                UnpremultiplyRow(out - std::size_t(layout.width) * 4,
                                 static_cast<int>(layout.width));
            }
        }
        writer.Finish(y0, static_cast<int>(rows));
    }
    return true;
}

std::unique_ptr<Bitmap> MakeBitmap(const Layout& layout, bool alpha) {
    if (layout.width == 0 || layout.height == 0 || layout.width > INT32_MAX ||
        layout.height > INT32_MAX) {
        return nullptr;
    }
    const OrientedSize upright = UprightSize(static_cast<int>(layout.width),
                                             static_cast<int>(layout.height), layout.orientation);
    BitmapInfoHeader header;
    header.width = upright.width;
    header.height = -upright.height;
    header.bitCount = alpha ? 32 : 24;
    auto bitmap = Bitmap::Create(header);
    if (bitmap) {
        bitmap->SetHasAlpha(alpha);
    }
    return bitmap;
}

// The colour profile the first page embeds (tag 34675), none without one.
std::shared_ptr<const ColourDescription> ColourOf(TIFF* tiff) {
    std::uint32_t bytes = 0;
    const std::uint8_t* profile = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &bytes, &profile) != 1 || profile == nullptr ||
        bytes == 0) {
        return nullptr;
    }
    auto colour = std::make_shared<ColourDescription>();
    colour->icc.assign(profile, profile + bytes);
    return colour;
}

bool Decode(DescriptorReader& reader, const ReadOptions& options, std::unique_ptr<Bitmap>& bitmap) {
    const auto tiff = OpenTiff(reader);
    if (!tiff) {
        return false;
    }
    Layout layout;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &layout.height);
    layout.bits = Field<std::uint16_t>(tiff.get(), TIFFTAG_BITSPERSAMPLE, 1);
    layout.samples = Field<std::uint16_t>(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 1);
    layout.format = Field<std::uint16_t>(tiff.get(), TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    if (options.applyOrientation) {
        layout.orientation =
            ValidOrientation(Field<std::uint16_t>(tiff.get(), TIFFTAG_ORIENTATION, kStoredUpright));
    }
    const bool direct = ReadsDirectly(tiff.get(), layout);
    char message[1024];
    if (!direct && TIFFRGBAImageOK(tiff.get(), message) != 1) {
        return false;
    }
    std::uint16_t extra = 0;
    std::uint16_t* kinds = nullptr;
    const bool rgbaAlpha =
        !direct && TIFFGetField(tiff.get(), TIFFTAG_EXTRASAMPLES, &extra, &kinds) == 1 &&
        extra > 0 && kinds != nullptr &&
        (kinds[0] == EXTRASAMPLE_ASSOCALPHA || kinds[0] == EXTRASAMPLE_UNASSALPHA);
    bitmap = MakeBitmap(layout, direct ? layout.alphaSample >= 0 : rgbaAlpha);
    if (!bitmap) {
        return false;
    }
    bitmap->SetColour(ColourOf(tiff.get()));
    options.Started(*bitmap);
    BandWriter writer(*bitmap, layout.orientation, options);
    return direct ? ReadDirectly(tiff.get(), layout, writer, options)
                  : ReadThroughRgba(tiff.get(), layout, writer, options);
}

} // namespace

std::unique_ptr<Bitmap> ReadTiffDescriptor(int descriptor, const ReadOptions& options) {
    return DecodeDescriptor(descriptor, options, Decode);
}

} // namespace pirela
