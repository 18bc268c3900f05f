#include "image/FrameSource.h"
#include "image/GifFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pirela {

namespace {

// The NETSCAPE2.0 application block that says how often to loop: 0 for ever, else the number
// of times to play again after the first.
constexpr GifByteType kLoopSignature[] = "NETSCAPE2.0";

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A GIF file's frames, read a record at a time, never the whole file at once: only the canvas,
// the canvas kept for a frame that restores what was under it, and one row are held.
class GifFrames final : public FrameSource {
public:
    explicit GifFrames(int descriptor) : reader_(descriptor) {}

    bool Open() {
        reader_.Seek(0);
        int error = 0;
        gif_.reset(DGifOpen(&reader_, ReadGifFromDescriptor, &error));
        if (!gif_) {
            return false;
        }
        const int width = gif_->SWidth;
        const int height = gif_->SHeight;
        if (!canvas_) {
            BitmapInfoHeader header;
            header.width = width;
            header.height = -height;
            header.bitCount = 32;
            const bool bounded =
                width > 0 && height > 0 &&
                std::size_t(width) * std::size_t(height) * 4 <= kMaxAnimationCanvasBytes;
            canvas_ = bounded ? Bitmap::Create(header) : nullptr;
            if (!canvas_) {
                return false; // a screen of no size, or beyond the bound
            }
            canvas_->SetHasAlpha(true);
        }
        std::memset(canvas_->Pixels(), 0, canvas_->PixelBytes());
        previous_ = {};
        previousDisposal_ = DISPOSAL_UNSPECIFIED;
        return gif_->SWidth == canvas_->Width() && gif_->SHeight == canvas_->Height();
    }

    const Bitmap* Next(int& delayMs) override {
        if (!gif_) {
            return nullptr;
        }
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        for (;;) {
            GifRecordType record = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_.get(), &record) == GIF_ERROR) {
                return End();
            }
            if (record == IMAGE_DESC_RECORD_TYPE) {
                if (DGifGetImageDesc(gif_.get()) == GIF_ERROR || !DrawFrame(control)) {
                    return End();
                }
                delayMs = ShownDelayMs(control.DelayTime * 10);
                return canvas_.get();
            }
            if (record != EXTENSION_RECORD_TYPE || !ReadExtension(control)) {
                return End(); // the trailer, or something that is no record
            }
        }
    }

    bool Rewind() override { return Open(); }
    int Plays() const override { return plays_; }

private:
    const Bitmap* End() {
        gif_.reset();
        return nullptr;
    }

    bool ReadExtension(GraphicsControlBlock& control) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_.get(), &code, &block) == GIF_ERROR) {
            return false;
        }
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
            DGifExtensionToGCB(block[0], block + 1, &control);
        }
        const bool loop = code == APPLICATION_EXT_FUNC_CODE && block != nullptr && block[0] == 11 &&
                          std::memcmp(block + 1, kLoopSignature, 11) == 0;
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif_.get(), &block) == GIF_ERROR) {
                return false;
            }
            if (loop && block != nullptr && block[0] >= 3 && block[1] == 1) {
                const int loops = block[2] | block[3] << 8;
                plays_ = loops == 0 ? 0 : loops + 1;
            }
        }
        return true;
    }

    // What the frame before leaves on the canvas: all of it, its place cleared to transparent,
    // or the canvas as it was before it.
    void DisposePrevious() {
        if (previousDisposal_ == DISPOSE_BACKGROUND) {
            for (int y = previous_.top; y < previous_.top + previous_.height; ++y) {
                std::memset(canvas_->PictureRow(y) + std::size_t(previous_.left) * 4, 0,
                            std::size_t(previous_.width) * 4);
            }
        } else if (previousDisposal_ == DISPOSE_PREVIOUS && !saved_.empty()) {
            std::memcpy(canvas_->Pixels(), saved_.data(), saved_.size());
        }
    }

    bool DrawFrame(const GraphicsControlBlock& control) {
        const GifImageDesc& image = gif_->Image;
        const ColorMapObject* colours =
            image.ColorMap != nullptr ? image.ColorMap : gif_->SColorMap;
        if (colours == nullptr || colours->Colors == nullptr || image.Width <= 0 ||
            image.Height <= 0 || image.Left < 0 || image.Top < 0) {
            return false;
        }
        DisposePrevious();
        if (control.DisposalMode == DISPOSE_PREVIOUS) {
            saved_.assign(canvas_->Pixels(), canvas_->Pixels() + canvas_->PixelBytes());
        }
        // Of the frame, only its part on the canvas is drawn.
        const Rect on{std::min(image.Left, canvas_->Width()),
                      std::min(image.Top, canvas_->Height()),
                      std::max(0, std::min(image.Width, canvas_->Width() - image.Left)),
                      std::max(0, std::min(image.Height, canvas_->Height() - image.Top))};
        std::vector<GifPixelType> line(std::size_t(image.Width));
        for (const int y : GifRowOrder(image.Height, image.Interlace)) {
            if (DGifGetLine(gif_.get(), line.data(), image.Width) == GIF_ERROR) {
                return false;
            }
            if (y < on.height) {
                PutRow(line, on, y, *colours, control.TransparentColor);
            }
        }
        previous_ = on;
        previousDisposal_ = control.DisposalMode;
        return true;
    }

    void PutRow(const std::vector<GifPixelType>& line, const Rect& on, int y,
                const ColorMapObject& colours, int transparent) {
        std::uint8_t* pixel = canvas_->PictureRow(on.top + y) + std::size_t(on.left) * 4;
        for (int x = 0; x < on.width; ++x, pixel += 4) {
            const int index = line[std::size_t(x)];
            if (index == transparent) {
                continue; // what is under it shows
            }
            // An index beyond the file's colours is black, as in the first frame.
            const GifColorType colour =
                index < colours.ColorCount ? colours.Colors[index] : GifColorType{0, 0, 0};
            pixel[0] = colour.Blue;
            pixel[1] = colour.Green;
            pixel[2] = colour.Red;
            pixel[3] = 255;
        }
    }

    DescriptorReader reader_;
    std::unique_ptr<GifFileType, CloseGif> gif_;
    std::unique_ptr<Bitmap> canvas_;
    std::vector<std::uint8_t> saved_;
    Rect previous_;
    int previousDisposal_ = DISPOSAL_UNSPECIFIED;
    int plays_ = 1; // without a loop block, once
};

} // namespace

int ShownDelayMs(int fileDelayMs) {
    return fileDelayMs <= 10 ? 100 : fileDelayMs;
}

std::unique_ptr<FrameSource> OpenGifFrames(int descriptor) {
    auto frames = std::make_unique<GifFrames>(descriptor);
    return frames->Open() ? std::move(frames) : nullptr;
}

} // namespace pirela
