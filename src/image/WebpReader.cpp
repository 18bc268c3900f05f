#include "image/WebpReader.h"

#include "image/DescriptorDecode.h"

#include <cstring>
#include <vector>
#include <webp/decode.h>
#include <webp/demux.h>

namespace pirela {

namespace {

// Bytes read at a time while a still image decodes. The incremental decoder has work to redo
// each time the data runs out in the middle of a piece; a megabyte keeps that rare.
constexpr std::size_t kChunkBytes = 1024 * 1024;
// An animation is decoded from memory; no sensible first frame needs a larger file.
constexpr std::size_t kMaxAnimationBytes = 256u << 20;

std::unique_ptr<Bitmap> MakeBitmap(int width, int height, bool alpha) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = -height;
    header.bitCount = alpha ? 32 : 24;
    auto bitmap = width > 0 && height > 0 ? Bitmap::Create(header) : nullptr;
    if (bitmap) {
        bitmap->SetHasAlpha(alpha);
    }
    return bitmap;
}

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

// The colour profile of an extended file (its ICCP chunk, which comes before any image data),
// when it lies within the bytes read for the header; none otherwise.
std::shared_ptr<const ColourDescription> ColourOf(const std::vector<std::uint8_t>& head) {
    constexpr std::size_t kFileHeader = 12; // "RIFF", size, "WEBP"
    constexpr std::size_t kChunkHeader = 8; // four letters, size
    std::size_t at = kFileHeader;
    while (at + kChunkHeader <= head.size()) {
        const std::uint8_t* chunk = head.data() + at;
        const std::size_t size = LittleEndian32(chunk + 4);
        if (size > head.size() - at - kChunkHeader) {
            return nullptr;
        }
        if (std::memcmp(chunk, "ICCP", 4) == 0) {
            if (size == 0) {
                return nullptr;
            }
            auto colour = std::make_shared<ColourDescription>();
            colour->icc.assign(chunk + kChunkHeader, chunk + kChunkHeader + size);
            return colour;
        }
        if (std::memcmp(chunk, "VP8X", 4) != 0) {
            return nullptr; // image data: no profile comes after it
        }
        at += kChunkHeader + size + (size & 1); // chunks are padded to an even size
    }
    return nullptr;
}

struct DeleteDecoder {
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};
struct DeleteDemuxer {
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};
struct ReleaseIterator {
    void operator()(WebPIterator* iterator) const { WebPDemuxReleaseIterator(iterator); }
};

// Feeds the file to libwebp's incremental decoder, which writes into the bitmap's memory.
bool DecodeStill(DescriptorReader& reader, std::vector<std::uint8_t>& chunk, Bitmap& bitmap,
                 const ReadOptions& options) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        return false;
    }
    config.output.colorspace = bitmap.BitCount() == 32 ? MODE_BGRA : MODE_BGR;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = bitmap.Pixels();
    config.output.u.RGBA.stride = static_cast<int>(bitmap.Stride());
    config.output.u.RGBA.size = bitmap.PixelBytes();
    const std::unique_ptr<WebPIDecoder, DeleteDecoder> decoder(WebPIDecode(nullptr, 0, &config));
    if (!decoder) {
        return false;
    }
    while (!chunk.empty() && !options.StopRequested()) {
        const VP8StatusCode status = WebPIAppend(decoder.get(), chunk.data(), chunk.size());
        int rows = 0;
        if (WebPIDecGetRGB(decoder.get(), &rows, nullptr, nullptr, nullptr) != nullptr) {
            options.RowsFinished(rows);
        }
        if (status == VP8_STATUS_OK) {
            return true;
        }
        if (status != VP8_STATUS_SUSPENDED) {
            return false;
        }
        chunk.resize(kChunkBytes);
        chunk.resize(reader.Read(chunk.data(), chunk.size()));
    }
    return false; // the file ended before the image, or the decode was asked to stop
}

// The first frame of an animation, composed on its canvas: on the transparent canvas it is
// the frame's own pixels at its place (its blending only matters over an earlier frame), so it
// is decoded straight into the bitmap, which is the canvas. libwebp's animation decoder would
// keep two canvases of its own beside it: three times the memory of a still picture that size.
bool DecodeFirstFrame(DescriptorReader& reader, std::vector<std::uint8_t>& bytes, Bitmap& bitmap,
                      const ReadOptions& options) {
    std::vector<std::uint8_t> rest;
    if (!reader.ReadRest(rest, kMaxAnimationBytes - bytes.size())) {
        return false;
    }
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    const WebPData data{bytes.data(), bytes.size()};
    const std::unique_ptr<WebPDemuxer, DeleteDemuxer> demuxer(WebPDemux(&data));
    WebPIterator frame;
    if (!demuxer ||
        WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH) != std::uint32_t(bitmap.Width()) ||
        WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT) != std::uint32_t(bitmap.Height()) ||
        options.StopRequested() || !WebPDemuxGetFrame(demuxer.get(), 1, &frame)) {
        return false;
    }
    const std::unique_ptr<WebPIterator, ReleaseIterator> release(&frame);
    // The demuxer keeps every frame within the canvas.
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        return false;
    }
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = bitmap.PictureRow(frame.y_offset) + std::size_t(frame.x_offset) * 4;
    config.output.u.RGBA.stride = static_cast<int>(bitmap.Stride());
    config.output.u.RGBA.size =
        bitmap.Stride() * std::size_t(frame.height - 1) + std::size_t(frame.width) * 4;
    if (WebPDecode(frame.fragment.bytes, frame.fragment.size, &config) != VP8_STATUS_OK) {
        return false;
    }
    options.RowsFinished(bitmap.Height());
    return true;
}

bool Decode(DescriptorReader& reader, const ReadOptions& options, std::unique_ptr<Bitmap>& bitmap) {
    // The header tells size, alpha and animation; the bytes read for it are decoded too.
    std::vector<std::uint8_t> bytes(kChunkBytes);
    bytes.resize(reader.Read(bytes.data(), bytes.size()));
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) {
        return false;
    }
    // An animation's frames are blended on a transparent canvas: it always has alpha.
    const bool animated = features.has_animation != 0;
    bitmap = MakeBitmap(features.width, features.height, animated || features.has_alpha != 0);
    if (!bitmap) {
        return false;
    }
    bitmap->SetColour(ColourOf(bytes));
    bitmap->SetAnimated(animated);
    options.Started(*bitmap);
    return animated ? DecodeFirstFrame(reader, bytes, *bitmap, options)
                    : DecodeStill(reader, bytes, *bitmap, options);
}

} // namespace

std::unique_ptr<Bitmap> ReadWebpDescriptor(int descriptor, const ReadOptions& options) {
    return DecodeDescriptor(descriptor, options, Decode);
}

} // namespace pirela
