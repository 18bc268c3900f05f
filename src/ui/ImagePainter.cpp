#include "ui/ImagePainter.h"

#include "image/ImageScaler.h"
#include "image/ScaledPicture.h"
#include "load/DecodedImage.h"

#include <QPainter>

#include <climits>
#include <optional>

namespace pirela {

namespace {

// A smoothly scaled copy is kept for the draw size up to this many pixels (128 MB); larger
// draw sizes (a big photo at 400 %) scale only the visible part at each paint.
constexpr long long kMaxCachedScaledPixels = 32LL * 1024 * 1024;

// A view of the picture's memory, no copy.
QImage PictureImage(const ScaledPicture& picture) {
    return QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                  picture.height, static_cast<qsizetype>(picture.width) * 4,
                  picture.hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

// The rows of the decode's bitmap that will not change again, in the colours shown: all of
// them once it decoded and its colours are converted.
int FinalRowsOf(const DecodeJob& decode, int left = 0, int right = INT_MAX) {
    return decode.ShownRows(left, right);
}

bool FullSize(PixelSize draw, const Bitmap& bitmap) {
    return draw.width == bitmap.Width() && draw.height == bitmap.Height();
}

// A preview big enough to be scaled down to the draw size.
const Bitmap* UsablePreview(const DecodeJob& decode, PixelSize draw) {
    const Bitmap* preview = decode.PreviewSoFar();
    return preview != nullptr && draw.width <= preview->Width() &&
                   draw.height <= preview->Height()
               ? preview
               : nullptr;
}

} // namespace

BitmapSurface& ImagePainter::Surface() {
    // A helper's bitmap comes after its image was installed (and perhaps painted while loading).
    if (surfaceGeneration_ != image_.Generation() || surfaceBitmap_ != image_.PixelsSoFar()) {
        surfaceGeneration_ = image_.Generation();
        surfaceBitmap_ = image_.PixelsSoFar();
        sinceNewImage_.start();
        BitmapSurface::RowsFinal rowsFinal;
        if (const DecodeJob* decode = image_.Decode()) {
            rowsFinal = [decode](int left, int right) { return FinalRowsOf(*decode, left, right); };
        }
        surface_.Reset(image_.PixelsSoFar(), std::move(rowsFinal));
        scaled_ = QImage();
    }
    return surface_;
}

bool ImagePainter::HasSurface() {
    return !Surface().IsNull();
}

bool ImagePainter::WholeBitmap() const {
    const DecodeJob* decode = image_.Decode();
    return decode == nullptr || FinalRowsOf(*decode) == INT_MAX;
}

QRect ImagePainter::VisibleSource(const Frame& frame) {
    const QRect target(-frame.scroll.x, -frame.scroll.y, frame.draw.width, frame.draw.height);
    return target.intersected(frame.viewport).translated(frame.scroll.x, frame.scroll.y);
}

int ImagePainter::MsToKeepLastPicture(const Frame& frame) {
    Surface(); // notes when a new image came
    if (lastPictureSize_ != frame.viewport.size() || AnythingReady(frame)) {
        return 0;
    }
    return std::max<int>(0, kKeepLastPictureMs - static_cast<int>(sinceNewImage_.elapsed()));
}

bool ImagePainter::AnythingReady(const Frame& frame) {
    if (image_.Loading()) {
        return false; // a helper's bitmap comes whole; its decode's end repaints
    }
    const Bitmap* bitmap = image_.PixelsSoFar();
    const QRect source = VisibleSource(frame);
    if (bitmap == nullptr || source.isEmpty() || WholeBitmap() ||
        (image_.Animation() != nullptr && image_.Animation()->Current() != nullptr)) {
        return true;
    }
    const DecodeJob& decode = *image_.Decode();
    if (FullSize(frame.draw, *bitmap)) {
        if (Surface().ReadyRows(source.left(), source.right() + 1) > source.top()) {
            return true;
        }
        decode.WatchRows(surface_.RowsToConvert(source.bottom() + 1), source.left(),
                         source.right() + 1);
        return false;
    }
    // Smaller or larger: the prepared picture, or the preview when it fits, else the whole
    // bitmap, whose decode's end (or the conversion of its colours) repaints. A preview still to
    // come tells when it comes.
    if (!PreparedPicture(frame.draw).isNull()) {
        return true;
    }
    if (decode.HasEnded()) {
        decode.WatchRows(INT_MAX);
    }
    return UsablePreview(decode, frame.draw) != nullptr;
}

void ImagePainter::Paint(QPainter& painter, const Frame& frame) {
    const Bitmap* bitmap = image_.PixelsSoFar();
    const QRect target(-frame.scroll.x, -frame.scroll.y, frame.draw.width, frame.draw.height);
    const QRect visible = target.intersected(frame.viewport);
    if (bitmap == nullptr || Surface().IsNull() || visible.isEmpty()) {
        lastPictureSize_ = {};
        return;
    }
    if (PaintAnimationFrame(painter, frame, visible)) {
        lastPictureSize_ = frame.viewport.size();
        return;
    }
    const bool whole = FullSize(frame.draw, *bitmap) ? PaintFullSize(painter, frame, visible)
                                                     : PaintScaled(painter, frame, visible);
    lastPictureSize_ = whole ? frame.viewport.size() : QSize();
}

bool ImagePainter::PaintFullSize(QPainter& painter, const Frame& frame, const QRect& visible) {
    // Pixel for pixel, converting only the part in sight, and of it only the final rows.
    const QRect source = visible.translated(frame.scroll.x, frame.scroll.y);
    const QRect ready = source.intersected(
        QRect(0, 0, source.right() + 1, surface_.ReadyRows(source.left(), source.right() + 1)));
    if (!ready.isEmpty()) {
        painter.drawImage(ready.translated(-frame.scroll.x, -frame.scroll.y).topLeft(),
                          surface_.Area(ready), ready);
    }
    if (ready != source) {
        image_.Decode()->WatchRows(surface_.RowsToConvert(source.bottom() + 1), source.left(),
                                   source.right() + 1);
        return false;
    }
    return true;
}

bool ImagePainter::PaintScaled(QPainter& painter, const Frame& frame, const QRect& visible) {
    const QRect source = visible.translated(frame.scroll.x, frame.scroll.y);
    if (const QImage prepared = PreparedPicture(frame.draw); !prepared.isNull()) {
        painter.drawImage(visible.topLeft(), prepared, source);
        return true;
    }
    if (!WholeBitmap() && image_.Decode()->HasEnded()) {
        // Only the picture at another draw size was converted: the conversion of the whole
        // bitmap's colours repaints. (Before its end, the decode's end repaints.)
        image_.Decode()->WatchRows(INT_MAX);
    }
    const long long pixels = static_cast<long long>(frame.draw.width) * frame.draw.height;
    if (pixels <= kMaxCachedScaledPixels || !WholeBitmap()) {
        if (!UpdateScaledCopy(frame.draw)) {
            return false;
        }
        painter.drawImage(visible.topLeft(), scaled_, source);
        return true;
    }
    const QRect target(-frame.scroll.x, -frame.scroll.y, frame.draw.width, frame.draw.height);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, surface_.Whole());
    return true;
}

bool ImagePainter::PaintAnimationFrame(QPainter& painter, const Frame& frame,
                                       const QRect& visible) const {
    const AnimationJob* animation = image_.Animation();
    const ScaledPicture* picture = animation != nullptr ? animation->Current() : nullptr;
    if (picture == nullptr) {
        return false; // the still picture is the first frame
    }
    // Made at the draw size, or at the canvas's when drawn larger (and until the worker learns
    // of a new draw size): then scaled smoothly here, the picture being small.
    const QRect target(-frame.scroll.x, -frame.scroll.y, frame.draw.width, frame.draw.height);
    if (picture->width == frame.draw.width && picture->height == frame.draw.height) {
        painter.drawImage(visible.topLeft(), PictureImage(*picture),
                          visible.translated(frame.scroll.x, frame.scroll.y));
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, PictureImage(*picture));
    }
    return true;
}

QImage ImagePainter::PreparedPicture(PixelSize draw) const {
    const DecodeJob* decode = image_.Decode();
    const ScaledPicture* prepared = decode ? decode->Prepared() : nullptr;
    if (prepared == nullptr || prepared->width != draw.width || prepared->height != draw.height) {
        return {};
    }
    // The decode lives as long as the image shown, so the view needs no copy of its memory.
    return PictureImage(*prepared);
}

bool ImagePainter::UpdateScaledCopy(PixelSize draw) {
    const bool whole = WholeBitmap();
    const bool current =
        scaledGeneration_ == surfaceGeneration_ && scaledSize_ == draw && !scaled_.isNull();
    if (current && !(whole && scaledFromPreview_)) {
        return true;
    }
    // While the full bitmap is still decoding, a preview decoded at a smaller scale stands in
    // for it at the same size and place; the full bitmap replaces it when it is whole.
    const Bitmap* preview = whole ? nullptr : UsablePreview(*image_.Decode(), draw);
    std::optional<ScaledPicture> fromPreview;
    if (preview != nullptr) {
        fromPreview = ScaleDown(*preview, draw.width, draw.height);
    }
    if (fromPreview) {
        scaled_ = PictureImage(*fromPreview).copy();
    } else if (whole) {
        scaled_ = surface_.Whole().scaled(draw.width, draw.height, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation);
    } else {
        return false;
    }
    scaledFromPreview_ = fromPreview.has_value();
    scaledSize_ = draw;
    scaledGeneration_ = surfaceGeneration_;
    return true;
}

} // namespace pirela
