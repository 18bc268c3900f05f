#pragma once

#include "image/Bitmap.h"
#include "support/ImageFixtures.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace pirela::test {

// A file opened for reading as a bare descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(const std::filesystem::path& file)
        : descriptor_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~Descriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    operator int() const { return descriptor_; }

private:
    int descriptor_;
};

// A bitmap pixel as red, green, blue, alpha (255 without alpha), whatever its depth.
struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

inline Rgba PixelAt(const Bitmap& bitmap, int x, int y) {
    const std::uint8_t* row = bitmap.PictureRow(y);
    if (bitmap.BitCount() == 8) {
        const RgbQuad& c = bitmap.ColourTable()[row[x]];
        return {c.red, c.green, c.blue, 255};
    }
    const int bytes = bitmap.BitCount() / 8;
    const std::uint8_t* p = row + std::size_t(x) * bytes;
    return {p[2], p[1], p[0], bytes == 4 ? p[3] : 255};
}

// Samples of 1 (grey), 3 (RGB) or 4 (RGBA) components as a pixel.
inline Rgba SampleAt(const Samples& samples, int x, int y) {
    const std::uint8_t* p =
        samples.data.data() + (std::size_t(y) * samples.width + x) * samples.components;
    if (samples.components == 1) {
        return {p[0], p[0], p[0], 255};
    }
    return {p[0], p[1], p[2], samples.components == 4 ? p[3] : 255};
}

// The mean difference of the colour channels of the bitmap and the samples (same size), for
// lossy formats that only come close.
inline double MeanDifference(const Bitmap& bitmap, const Samples& samples) {
    double sum = 0;
    for (int y = 0; y < samples.height; ++y) {
        for (int x = 0; x < samples.width; ++x) {
            const Rgba a = PixelAt(bitmap, x, y);
            const Rgba b = SampleAt(samples, x, y);
            sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        }
    }
    return sum / (3.0 * samples.width * samples.height);
}

// Whether every pixel of the bitmap is the sample at the same place.
inline bool SameAsSamples(const Bitmap& bitmap, const Samples& samples) {
    if (bitmap.Width() != samples.width || bitmap.Height() != samples.height) {
        return false;
    }
    for (int y = 0; y < samples.height; ++y) {
        for (int x = 0; x < samples.width; ++x) {
            if (!(PixelAt(bitmap, x, y) == SampleAt(samples, x, y))) {
                return false;
            }
        }
    }
    return true;
}

// Where the pixel at (x, y) of the upright picture was stored, for a stored picture of
// width x height: the orientations' definitions read backwards (1 as stored, 2 mirrored, 3
// half a turn, 4 upside down, 5 transposed, 6 turned clockwise, 7 transversed, 8 turned
// counter-clockwise).
struct Place {
    int x, y;
};
inline Place StoredPlace(int orientation, int width, int height, int x, int y) {
    switch (orientation) {
    case 2:
        return {width - 1 - x, y};
    case 3:
        return {width - 1 - x, height - 1 - y};
    case 4:
        return {x, height - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {y, height - 1 - x};
    case 7:
        return {width - 1 - y, height - 1 - x};
    case 8:
        return {width - 1 - y, x};
    default:
        return {x, y};
    }
}

// The samples turned upright as the orientation says.
inline Samples Upright(const Samples& stored, int orientation) {
    const bool swap = orientation >= 5;
    Samples upright{swap ? stored.height : stored.width,
                    swap ? stored.width : stored.height,
                    stored.components,
                    {}};
    upright.data.resize(stored.data.size());
    const int n = stored.components;
    for (int y = 0; y < upright.height; ++y) {
        for (int x = 0; x < upright.width; ++x) {
            const Place p = StoredPlace(orientation, stored.width, stored.height, x, y);
            for (int c = 0; c < n; ++c) {
                upright.data[(std::size_t(y) * upright.width + x) * n + c] =
                    stored.data[(std::size_t(p.y) * stored.width + p.x) * n + c];
            }
        }
    }
    return upright;
}

} // namespace pirela::test
