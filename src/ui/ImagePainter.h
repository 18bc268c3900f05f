#pragma once

#include "ui/BitmapSurface.h"
#include "view/DrawGeometry.h"

#include <QElapsedTimer>
#include <QImage>
#include <QRect>

#include <cstdint>

class QPainter;

namespace pirela {

class DecodedImage;

// Paints the document's current image into the view: pixel for pixel at its own size, smoothly
// scaled at any other. It never waits for a decode: it paints what is ready (the rows final so
// far, or a preview standing in for the whole bitmap), and asks the decode to say when more is.
// Right after a new image came, while nothing of it is ready yet, the last picture stays on
// screen for a moment rather than a blank window.
class ImagePainter {
public:
    explicit ImagePainter(const DecodedImage& image) : image_(image) {}

    // What the view shows: the draw size, the scroll position and the viewport.
    struct Frame {
        PixelSize draw;
        ScrollPoint scroll;
        QRect viewport;
    };

    // How many more milliseconds the view should leave its last picture on screen rather than
    // paint; 0 to paint now. It keeps it while nothing of a new image is ready, when the last
    // paint was a whole picture of this viewport, for a moment after the new image came; the
    // decode asks for the repaint once something is ready.
    int MsToKeepLastPicture(const Frame& frame);
    static constexpr int kKeepLastPictureMs = 1000;

    // Whether the image's surface can be had at all (its memory may not be).
    bool HasSurface();
    // Paints what is ready of the image over a painted background.
    void Paint(QPainter& painter, const Frame& frame);
    // Nothing of an image was painted (an error text, an empty view).
    void PaintedNoImage() { lastPictureSize_ = {}; }

private:
    BitmapSurface& Surface();
    // Whether anything of the image would be painted now.
    bool AnythingReady(const Frame& frame);
    bool PaintFullSize(QPainter& painter, const Frame& frame, const QRect& visible);
    bool PaintScaled(QPainter& painter, const Frame& frame, const QRect& visible);
    // An animation's frame in the still picture's place; false while the first frame shows.
    bool PaintAnimationFrame(QPainter& painter, const Frame& frame, const QRect& visible) const;
    // The picture a decode prepared at this draw size, when it did; a null image otherwise.
    QImage PreparedPicture(PixelSize draw) const;
    // The smoothly scaled copy at the draw size: from the whole bitmap, or from the decode's
    // preview while the whole bitmap is still to come. False when neither is there yet.
    bool UpdateScaledCopy(PixelSize draw);
    bool WholeBitmap() const;
    // The source rectangle of the image in sight; empty when none is.
    static QRect VisibleSource(const Frame& frame);

    const DecodedImage& image_;
    BitmapSurface surface_;
    std::uint64_t surfaceGeneration_ = 0;
    const Bitmap* surfaceBitmap_ = nullptr; // what the surface was made of
    QElapsedTimer sinceNewImage_;
    QImage scaled_;
    PixelSize scaledSize_;
    std::uint64_t scaledGeneration_ = 0;
    bool scaledFromPreview_ = false;
    // The viewport's size at the last paint that showed all of an image in sight.
    QSize lastPictureSize_;
};

} // namespace pirela
