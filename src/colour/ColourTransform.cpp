#include "colour/ColourTransform.h"

#include "image/PixelRowConverter.h"

#include <algorithm>
#include <cstdlib>
#include <lcms2.h>
#include <map>
#include <string>

namespace pirela {

namespace {

// Perceptual, as photographs want; a profile without perceptual tables (every matrix-and-curve
// profile, such as Adobe RGB or Display P3) gives its colorimetric conversion. The per-transform
// cache of the last colour is left out: without it one transform serves several threads.
constexpr cmsUInt32Number kIntent = INTENT_PERCEPTUAL;
constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE;

constexpr cmsUInt32Number kFormats[] = {TYPE_BGR_8, TYPE_BGRA_8, TYPE_BGRA_8_PREMUL};

// Pairs built so far. A program sees a handful of profiles; a folder of oddities could bring
// more, and the oldest are then simply built again.
constexpr std::size_t kMostKept = 64;

struct Cache {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<const ColourTransform>> pairs;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

// How far apart two colours' channels lie, at most.
int Distance(const std::uint8_t* a, const std::uint8_t* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

} // namespace

ColourTransform::ColourTransform(std::shared_ptr<const ColourProfile> source,
                                 std::shared_ptr<const ColourProfile> display)
    : source_(std::move(source)), display_(std::move(display)) {}

ColourTransform::~ColourTransform() {
    for (void* transform : transforms_) {
        if (transform != nullptr) {
            cmsDeleteTransform(transform);
        }
    }
}

std::shared_ptr<const ColourTransform>
ColourTransform::ToDisplay(const ColourDescription& source,
                           const std::shared_ptr<const ColourProfile>& display) {
    if (source.Empty() || !display) {
        return nullptr;
    }
    std::string key = ColourKey(source);
    key += '\n';
    key += display->Key();
    Cache& cache = TheCache();
    const std::lock_guard lock(cache.mutex);
    if (const auto found = cache.pairs.find(key); found != cache.pairs.end()) {
        return found->second;
    }
    if (cache.pairs.size() >= kMostKept) {
        cache.pairs.clear();
    }
    auto built = Build(source, display);
    cache.pairs.emplace(std::move(key), built);
    return built;
}

std::shared_ptr<const ColourTransform>
ColourTransform::Build(const ColourDescription& description,
                       const std::shared_ptr<const ColourProfile>& display) {
    auto source = ColourProfile::From(description);
    if (!source || display->IsGrey()) {
        return nullptr;
    }
    std::shared_ptr<ColourTransform> transform(new ColourTransform(std::move(source), display));
    return transform->Prepare() ? transform : nullptr;
}

void* ColourTransform::TransformFor(Layout layout) const {
    const std::lock_guard lock(mutex_);
    void*& transform = transforms_[layout];
    if (transform == nullptr) {
        transform = cmsCreateTransform(source_->Handle(), kFormats[layout], display_->Handle(),
                                       kFormats[layout], kIntent, kFlags | cmsFLAGS_COPY_ALPHA);
    }
    return transform;
}

bool ColourTransform::Prepare() {
    if (source_->IsGrey()) {
        cmsHTRANSFORM grey = cmsCreateTransform(source_->Handle(), TYPE_GRAY_8, display_->Handle(),
                                                TYPE_BGR_8, kIntent, kFlags);
        if (grey == nullptr) {
            return false;
        }
        std::array<std::uint8_t, 256> levels{};
        for (int level = 0; level < 256; ++level) {
            levels[level] = static_cast<std::uint8_t>(level);
        }
        greyLevels_.resize(levels.size());
        cmsDoTransform(grey, levels.data(), greyLevels_.data(), levels.size());
        cmsDeleteTransform(grey);
        for (int level = 0; level < 256; ++level) {
            const std::uint8_t same[3] = {levels[level], levels[level], levels[level]};
            if (Distance(greyLevels_[level].data(), same) > 1) {
                return true;
            }
        }
        return false;
    }
    void* transform = TransformFor(kBgr);
    if (transform == nullptr) {
        return false;
    }
    // A grid of colours through the transform: when none moves by more than a step, the
    // profile is the display's in all but name and nothing is converted.
    constexpr int kStep = 17;
    std::vector<std::uint8_t> grid;
    for (int blue = 0; blue < 256; blue += kStep) {
        for (int green = 0; green < 256; green += kStep) {
            for (int red = 0; red < 256; red += kStep) {
                grid.insert(grid.end(),
                            {static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                             static_cast<std::uint8_t>(red)});
            }
        }
    }
    std::vector<std::uint8_t> converted(grid.size());
    cmsDoTransform(transform, grid.data(), converted.data(),
                   static_cast<cmsUInt32Number>(grid.size() / 3));
    for (std::size_t at = 0; at < grid.size(); at += 3) {
        if (Distance(&grid[at], &converted[at]) > 1) {
            PrepareShaper(transform);
            return true;
        }
    }
    return false;
}

void ColourTransform::PrepareShaper(void* transform) {
    auto shaper = MatrixShaper::Between(source_->Handle(), display_->Handle(), kIntent);
    if (!shaper) {
        return;
    }
    std::vector<std::uint8_t> probes;
    for (int blue = 0; blue < 256; blue += 15) {
        for (int green = 0; green < 256; green += 15) {
            for (int red = 0; red < 256; red += 15) {
                probes.insert(probes.end(),
                              {static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                               static_cast<std::uint8_t>(red)});
            }
        }
    }
    for (int level = 0; level < 256; ++level) {
        const auto v = static_cast<std::uint8_t>(level);
        probes.insert(probes.end(), {v, v, v, 0, 0, v, 0, v, 0, v, 0, 0});
    }
    std::vector<std::uint8_t> expected(probes.size());
    cmsDoTransform(transform, probes.data(), expected.data(),
                   static_cast<cmsUInt32Number>(probes.size() / 3));
    shaper->Convert(probes.data(), probes.size() / 3, 3);
    for (std::size_t at = 0; at < probes.size(); at += 3) {
        if (Distance(&probes[at], &expected[at]) > 1) {
            return; // LittleCMS converts
        }
    }
    shaper_ = std::move(shaper);
}

void ColourTransform::Convert(Layout layout, std::uint8_t* pixels, std::size_t count) const {
    if (!greyLevels_.empty()) {
        ConvertGrey(pixels, count, layout == kBgr ? 3 : 4, layout == kBgraPremultiplied);
        return;
    }
    if (shaper_ && layout != kBgraPremultiplied) {
        shaper_->Convert(pixels, count, layout == kBgr ? 3 : 4);
        return;
    }
    if (void* transform = TransformFor(layout)) {
        cmsDoTransform(transform, pixels, pixels, static_cast<cmsUInt32Number>(count));
    }
}

void ColourTransform::ConvertGrey(std::uint8_t* pixels, std::size_t count,
                                  std::size_t bytesPerPixel, bool premultiplied) const {
    for (std::uint8_t* pixel = pixels; pixel != pixels + count * bytesPerPixel;
         pixel += bytesPerPixel) {
        const std::uint32_t alpha = bytesPerPixel == 4 ? pixel[3] : 255;
        if (premultiplied && alpha == 0) {
            continue;
        }
        std::uint32_t level = pixel[1];
        if (premultiplied && alpha < 255) {
            level = std::min<std::uint32_t>(255, (level * 255 + alpha / 2) / alpha);
        }
        const auto& colour = greyLevels_[level];
        if (premultiplied && alpha < 255) {
            const std::uint32_t straight = alpha << 24 | std::uint32_t{colour[2]} << 16 |
                                           std::uint32_t{colour[1]} << 8 | colour[0];
            const std::uint32_t scaled = Premultiply(straight);
            pixel[0] = static_cast<std::uint8_t>(scaled);
            pixel[1] = static_cast<std::uint8_t>(scaled >> 8);
            pixel[2] = static_cast<std::uint8_t>(scaled >> 16);
        } else {
            pixel[0] = colour[0];
            pixel[1] = colour[1];
            pixel[2] = colour[2];
        }
    }
}

void ColourTransform::ConvertRows(Bitmap& bitmap, int top, int bottom) const {
    ConvertRows(bitmap, top, bottom, 0, bitmap.Width());
}

void ColourTransform::ConvertRows(Bitmap& bitmap, int top, int bottom, int left, int right) const {
    if (bitmap.BitCount() != 24 && bitmap.BitCount() != 32) {
        return;
    }
    const Layout layout = bitmap.BitCount() == 24 ? kBgr : kBgra;
    const std::size_t bytes = layout == kBgr ? 3 : 4;
    left = std::max(left, 0);
    right = std::min(right, bitmap.Width());
    if (left >= right) {
        return;
    }
    for (int y = std::max(top, 0); y < std::min(bottom, bitmap.Height()); ++y) {
        Convert(layout, bitmap.PictureRow(y) + bytes * static_cast<std::size_t>(left),
                static_cast<std::size_t>(right - left));
    }
}

void ColourTransform::ConvertTable(std::vector<RgbQuad>& table) const {
    static_assert(sizeof(RgbQuad) == 4);
    Convert(kBgra, reinterpret_cast<std::uint8_t*>(table.data()), table.size());
}

void ColourTransform::ConvertPicture(ScaledPicture& picture) const {
    // 0xAARRGGBB in a little-endian machine's memory: blue, green, red, alpha.
    Convert(picture.hasAlpha ? kBgraPremultiplied : kBgra,
            reinterpret_cast<std::uint8_t*>(picture.pixels.data()), picture.pixels.size());
}

} // namespace pirela
