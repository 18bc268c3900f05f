#pragma once

#include "colour/ColourProfile.h"
#include "colour/MatrixShaper.h"
#include "image/Bitmap.h"
#include "image/ScaledPicture.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace pirela {

// Makes a photo's colours the display's, with LittleCMS: perceptual intent with black-point
// compensation. Building one costs milliseconds, so each (photo profile, display profile) pair
// is built once and kept for the program's life; converting is safe from any number of threads
// at once.
class ColourTransform {
public:
    // The transform from the colours the file describes to the display's; none when there is
    // nothing to convert: the file describes nothing, its profile cannot be read (the photo is
    // then shown as sRGB), or its colours are the display's (no colour would move by more than
    // one step).
    static std::shared_ptr<const ColourTransform>
    ToDisplay(const ColourDescription& source, const std::shared_ptr<const ColourProfile>& display);

    ~ColourTransform();
    ColourTransform(const ColourTransform&) = delete;
    ColourTransform& operator=(const ColourTransform&) = delete;

    // Picture rows top..bottom-1 of a 24- or 32-bit bitmap (blue-green-red, with an alpha or
    // unused fourth byte kept), in place, or only their columns left..right-1. Bitmaps of other
    // depths keep their pixels: their colours are in their colour table.
    void ConvertRows(Bitmap& bitmap, int top, int bottom) const;
    void ConvertRows(Bitmap& bitmap, int top, int bottom, int left, int right) const;
    // A colour table's entries, in place.
    void ConvertTable(std::vector<RgbQuad>& table) const;
    // A picture of 0xAARRGGBB pixels (premultiplied when it has alpha), in place.
    void ConvertPicture(ScaledPicture& picture) const;

private:
    enum Layout { kBgr, kBgra, kBgraPremultiplied, kLayouts };

    ColourTransform(std::shared_ptr<const ColourProfile> source,
                    std::shared_ptr<const ColourProfile> display);
    static std::shared_ptr<const ColourTransform>
    Build(const ColourDescription& description,
          const std::shared_ptr<const ColourProfile>& display);
    // LittleCMS's transform for the pixel layout, built the first time it is needed; none when
    // it cannot be built.
    void* TransformFor(Layout layout) const;
    // Whether converting changes any colour by more than a step; builds the table of a grey
    // profile, and the tables of two matrix-and-curve profiles.
    bool Prepare();
    // The tables, when they give LittleCMS's colours within a step for a grid and every level
    // of the greys and the primaries.
    void PrepareShaper(void* transform);
    void Convert(Layout layout, std::uint8_t* pixels, std::size_t count) const;
    // A grey profile's colours come from a table of its 256 levels (its pixels are grey).
    void ConvertGrey(std::uint8_t* pixels, std::size_t count, std::size_t bytesPerPixel,
                     bool premultiplied) const;

    std::shared_ptr<const ColourProfile> source_;
    std::shared_ptr<const ColourProfile> display_;
    mutable std::mutex mutex_;
    mutable std::array<void*, kLayouts> transforms_{};
    std::vector<std::array<std::uint8_t, 3>> greyLevels_; // blue, green, red of each level
    // The tables of two matrix-and-curve profiles, when they give LittleCMS's colours.
    std::optional<MatrixShaper> shaper_;
};

} // namespace pirela
