#include "image/HeifReader.h"

#include "image/DescriptorDecode.h"
#include "image/StraightAlpha.h"

#include <algorithm>
#include <cstring>
#include <libheif/heif.h>
#include <optional>

namespace pirela {

namespace {

// libheif counts its users; the first sets up its decoders. Once for the whole program, in a
// thread-safe way, and never undone (decodes may run on several threads at any time).
void InitialiseLibrary() {
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

// libheif reads through these, by the reader's own position.
std::int64_t Position(void* reader) {
    return static_cast<DescriptorReader*>(reader)->Position();
}

int Read(void* data, std::size_t size, void* reader) {
    return static_cast<DescriptorReader*>(reader)->ReadExactly(data, size) ? 0 : 1;
}

int Seek(std::int64_t position, void* reader) {
    return static_cast<DescriptorReader*>(reader)->Seek(position) ? 0 : 1;
}

heif_reader_grow_status WaitForFileSize(std::int64_t size, void* reader) {
    return size <= static_cast<DescriptorReader*>(reader)->Size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}

constexpr heif_reader kReader{1, Position, Read, Seek, WaitForFileSize};

struct FreeContext {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct ReleaseHandle {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ReleaseImage {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct FreeOptions {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

// The bitmap for the image, or none when it would be too large.
std::unique_ptr<Bitmap> MakeBitmap(int width, int height, bool alpha) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    BitmapInfoHeader header;
    header.width = width;
    header.height = -height;
    header.bitCount = alpha ? 32 : 24;
    auto bitmap = Bitmap::Create(header);
    if (bitmap) {
        bitmap->SetHasAlpha(alpha);
    }
    return bitmap;
}

// Copies libheif's red-green-blue(-alpha) rows into the bitmap's blue-green-red(-alpha) ones.
template <int kChannels>
void SwapRedAndBlue(const std::uint8_t* from, std::uint8_t* to, int width) {
    for (int x = 0; x < width; ++x, from += kChannels, to += kChannels) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        if constexpr (kChannels == 4) {
            to[3] = from[3];
        }
    }
}

void CopyRows(const heif_image& image, bool premultiplied, Bitmap& bitmap,
              const ReadOptions& options) {
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(&image, heif_channel_interleaved, &stride);
    constexpr int kRowsPerReport = 64;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* from = plane + std::size_t(stride) * y;
        std::uint8_t* to = bitmap.PictureRow(y);
        if (bitmap.BitCount() == 32) {
            SwapRedAndBlue<4>(from, to, bitmap.Width());
            if (premultiplied) {
                UnpremultiplyRow(to, bitmap.Width());
            }
        } else {
            SwapRedAndBlue<3>(from, to, bitmap.Width());
        }
        if ((y + 1) % kRowsPerReport == 0) {
            options.RowsFinished(y + 1);
        }
    }
    options.RowsFinished(bitmap.Height());
}

struct FreeNclx {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};

// The curve a video transfer characteristic is shown with; none for those of high dynamic range
// (PQ, HLG), which an 8-bit picture for an ordinary display cannot be made true to.
std::optional<TransferCurve> CurveOf(heif_transfer_characteristics transfer) {
    switch (transfer) {
    case heif_transfer_characteristic_linear:
        return TransferCurve::Linear;
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
        return TransferCurve::Gamma;
    case heif_transfer_characteristic_ITU_R_BT_2100_0_PQ:
    case heif_transfer_characteristic_ITU_R_BT_2100_0_HLG:
    case heif_transfer_characteristic_SMPTE_ST_428_1:
        return std::nullopt;
    default:
        return TransferCurve::Srgb; // sRGB itself, and the curves of BT.709, BT.601, BT.2020
    }
}

// What a colr box of kind nclx says: primaries and a transfer curve; none when it names
// neither, or a curve we cannot show.
std::shared_ptr<const ColourDescription> DescribeNclx(const heif_color_profile_nclx& nclx) {
    const std::optional<TransferCurve> curve = CurveOf(nclx.transfer_characteristics);
    if (!curve || (nclx.color_primaries == heif_color_primaries_unspecified &&
                   nclx.transfer_characteristics == heif_transfer_characteristic_unspecified)) {
        return nullptr;
    }
    auto colour = std::make_shared<ColourDescription>();
    colour->transfer = *curve;
    colour->gamma =
        nclx.transfer_characteristics == heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G
            ? 2.8
            : 2.2;
    const bool srgbPrimaries = nclx.color_primaries == heif_color_primaries_ITU_R_BT_709_5 ||
                               nclx.color_primaries == heif_color_primaries_unspecified;
    if (srgbPrimaries && *curve == TransferCurve::Srgb) {
        colour->srgb = true;
        return colour;
    }
    colour->primaries = Chromaticities{nclx.color_primary_white_x, nclx.color_primary_white_y,
                                       nclx.color_primary_red_x,   nclx.color_primary_red_y,
                                       nclx.color_primary_green_x, nclx.color_primary_green_y,
                                       nclx.color_primary_blue_x,  nclx.color_primary_blue_y};
    return colour;
}

// What the image's colr box says about its colours: an embedded profile (prof, rICC), else
// primaries and a curve (nclx); none without one.
std::shared_ptr<const ColourDescription> ColourOf(const heif_image_handle& handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(&handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        auto colour = std::make_shared<ColourDescription>();
        colour->icc.resize(heif_image_handle_get_raw_color_profile_size(&handle));
        if (colour->icc.empty() ||
            heif_image_handle_get_raw_color_profile(&handle, colour->icc.data()).code !=
                heif_error_Ok) {
            return nullptr;
        }
        return colour;
    }
    heif_color_profile_nclx* nclx = nullptr;
    if (heif_image_handle_get_nclx_color_profile(&handle, &nclx).code != heif_error_Ok ||
        nclx == nullptr) {
        return nullptr;
    }
    const std::unique_ptr<heif_color_profile_nclx, FreeNclx> owned(nclx);
    return DescribeNclx(*owned);
}

// Whether libheif gave what was asked for: 8-bit interleaved rows of the bitmap's size.
bool Fits(const heif_image& image, const Bitmap& bitmap) {
    return heif_image_get_width(&image, heif_channel_interleaved) == bitmap.Width() &&
           heif_image_get_height(&image, heif_channel_interleaved) == bitmap.Height() &&
           heif_image_get_bits_per_pixel(&image, heif_channel_interleaved) == bitmap.BitCount();
}

bool Decode(DescriptorReader& reader, const ReadOptions& options, std::unique_ptr<Bitmap>& bitmap) {
    InitialiseLibrary();
    const std::unique_ptr<heif_context, FreeContext> context(heif_context_alloc());
    if (!context || heif_context_read_from_reader(context.get(), &kReader, &reader, nullptr).code !=
                        heif_error_Ok) {
        return false;
    }
    heif_image_handle* primary = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok) {
        return false;
    }
    const std::unique_ptr<heif_image_handle, ReleaseHandle> handle(primary);
    // The size with the container's turns and crop applied: the size of the bitmap.
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    bitmap = MakeBitmap(heif_image_handle_get_width(handle.get()),
                        heif_image_handle_get_height(handle.get()), alpha);
    if (!bitmap) {
        return false;
    }
    bitmap->SetColour(ColourOf(*handle));
    options.Started(*bitmap);
    const std::unique_ptr<heif_decoding_options, FreeOptions> decoding(
        heif_decoding_options_alloc());
    if (!decoding || options.StopRequested()) {
        return false;
    }
    decoding->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    if (heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          decoding.get())
            .code != heif_error_Ok) {
        return false;
    }
    const std::unique_ptr<heif_image, ReleaseImage> image(decoded);
    if (!Fits(*image, *bitmap) || options.StopRequested()) {
        return false;
    }
    CopyRows(*image, alpha && heif_image_handle_is_premultiplied_alpha(handle.get()) != 0, *bitmap,
             options);
    return true;
}

} // namespace

std::unique_ptr<Bitmap> ReadHeifDescriptor(int descriptor, const ReadOptions& options) {
    return DecodeDescriptor(descriptor, options, Decode);
}

} // namespace pirela
