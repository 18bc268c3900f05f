#include "image/HeifReader.h"

#include "image/DescriptorDecode.h"
#include "image/StraightAlpha.h"

#include <algorithm>
#include <cstring>
#include <libheif/heif.h>

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
