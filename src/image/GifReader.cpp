#include "image/GifReader.h"

#include "image/DescriptorDecode.h"
#include "image/GifFile.h"

#include <algorithm>
#include <vector>

namespace pirela {

namespace {

constexpr int kRowsPerReport = 16;

// Reads the records before the first frame: its graphic control block gives the transparent
// colour (-1 for none). False when the file ends first or is damaged.
bool ReadUpToFirstFrame(GifFileType* gif, int& transparent) {
    transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
            return false;
        }
        if (record == IMAGE_DESC_RECORD_TYPE) {
            return DGifGetImageDesc(gif) != GIF_ERROR;
        }
        if (record != EXTENSION_RECORD_TYPE) {
            return false; // the end, or something unknown, before any frame
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            return false;
        }
        GraphicsControlBlock control;
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
            DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
            transparent = control.TransparentColor;
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                return false;
            }
        }
    }
}

struct Frame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const ColorMapObject* colours = nullptr;
    int transparent = NO_TRANSPARENT_COLOR;
    bool interlaced = false;
    int screenWidth = 0;
    int screenHeight = 0;

    bool CoversScreen() const {
        return left == 0 && top == 0 && width == screenWidth && height == screenHeight;
    }
};

std::unique_ptr<Bitmap> MakeBitmap(const Frame& frame) {
    BitmapInfoHeader header;
    header.width = frame.screenWidth;
    header.height = -frame.screenHeight;
    if (frame.transparent == NO_TRANSPARENT_COLOR && frame.CoversScreen()) {
        header.bitCount = 8;
        // Every index a row may hold has an entry; those beyond the file's table are black.
        std::vector<RgbQuad> table(256);
        for (int i = 0; i < std::min(frame.colours->ColorCount, 256); ++i) {
            const GifColorType& c = frame.colours->Colors[i];
            table[std::size_t(i)] = RgbQuad{c.Blue, c.Green, c.Red, 0};
        }
        return Bitmap::Create(header, std::move(table));
    }
    header.bitCount = 32;
    auto bitmap = Bitmap::Create(header); // zeroed: transparent outside the frame
    if (bitmap) {
        bitmap->SetHasAlpha(true);
    }
    return bitmap;
}

// One frame row into the bitmap: indices as they are, or colours with alpha.
void PutRow(const Frame& frame, const std::vector<GifPixelType>& line, Bitmap& bitmap, int y) {
    std::uint8_t* row = bitmap.PictureRow(frame.top + y);
    if (bitmap.BitCount() == 8) {
        std::copy(line.begin(), line.end(), row);
        return;
    }
    const int visible = std::min(frame.width, frame.screenWidth - frame.left);
    std::uint8_t* pixel = row + std::size_t(frame.left) * 4;
    for (int x = 0; x < visible; ++x, pixel += 4) {
        const int index = line[std::size_t(x)];
        if (index == frame.transparent || index >= frame.colours->ColorCount) {
            continue; // stays transparent
        }
        const GifColorType& c = frame.colours->Colors[index];
        pixel[0] = c.Blue;
        pixel[1] = c.Green;
        pixel[2] = c.Red;
        pixel[3] = 255;
    }
}

bool ReadFrame(GifFileType* gif, const Frame& frame, Bitmap& bitmap, const ReadOptions& options) {
    std::vector<GifPixelType> line(std::size_t(frame.width));
    const std::vector<int> order = GifRowOrder(frame.height, frame.interlaced);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i % kRowsPerReport == 0 && options.StopRequested()) {
            return false;
        }
        if (DGifGetLine(gif, line.data(), frame.width) == GIF_ERROR) {
            return false;
        }
        const int y = order[i];
        if (frame.top + y < frame.screenHeight) {
            PutRow(frame, line, bitmap, y);
        }
        if (!frame.interlaced && (i + 1) % kRowsPerReport == 0) {
            // A frame taller than the screen has rows beyond it: never more than it holds.
            options.RowsFinished(std::min(frame.top + y + 1, frame.screenHeight));
        }
    }
    return true;
}

// After the first frame: whether another follows (only records that come between frames are
// read up to it, never its pixels).
bool AnotherFrameFollows(GifFileType* gif) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR || record != EXTENSION_RECORD_TYPE) {
            return record == IMAGE_DESC_RECORD_TYPE;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            return false;
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                return false;
            }
        }
    }
}

bool Decode(DescriptorReader& reader, const ReadOptions& options, std::unique_ptr<Bitmap>& bitmap) {
    int error = 0;
    const std::unique_ptr<GifFileType, CloseGif> gif(
        DGifOpen(&reader, ReadGifFromDescriptor, &error));
    Frame frame;
    if (!gif || !ReadUpToFirstFrame(gif.get(), frame.transparent)) {
        return false;
    }
    const GifImageDesc& image = gif->Image;
    frame.left = image.Left;
    frame.top = image.Top;
    frame.width = image.Width;
    frame.height = image.Height;
    frame.interlaced = image.Interlace;
    frame.colours = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
    // A screen of no size (some writers leave it 0) is the frame's; a frame beyond the screen
    // is cut to it.
    frame.screenWidth = gif->SWidth > 0 ? gif->SWidth : frame.left + frame.width;
    frame.screenHeight = gif->SHeight > 0 ? gif->SHeight : frame.top + frame.height;
    if (frame.colours == nullptr || frame.colours->Colors == nullptr || frame.width <= 0 ||
        frame.height <= 0 || frame.left < 0 || frame.top < 0 || frame.left >= frame.screenWidth ||
        frame.top >= frame.screenHeight) {
        return false;
    }
    bitmap = MakeBitmap(frame);
    if (!bitmap) {
        return false;
    }
    options.Started(*bitmap);
    if (!ReadFrame(gif.get(), frame, *bitmap, options)) {
        return false;
    }
    bitmap->SetAnimated(AnotherFrameFollows(gif.get()));
    options.RowsFinished(bitmap->Height());
    return true;
}

} // namespace

std::unique_ptr<Bitmap> ReadGifDescriptor(int descriptor, const ReadOptions& options) {
    return DecodeDescriptor(descriptor, options, Decode);
}

} // namespace pirela
