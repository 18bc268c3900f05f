#include "view/FileProperties.h"

#include "colour/ColourProfile.h"
#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "image/ImageFormat.h"
#include "res/Messages.h"
#include "view/StatusTexts.h"

#include <cstdint>
#include <cstdio>

namespace pirela {

namespace {

// Depths beyond this would overflow the colour count; no image format has them.
constexpr int kMaxCountableBits = 63;

std::string PixelsText(const ImageInfo& info) {
    const std::int64_t pixels = std::int64_t{info.width} * info.height;
    if (pixels == 0) {
        return res::kPropertiesUnknown;
    }
    return std::to_string(info.width) + " x " + std::to_string(info.height) +
           res::kPropertiesPixelsSuffix;
}

std::string ColoursText(const ImageInfo& info) {
    const int bits = info.bitsPerPixel;
    if (bits <= 0 || bits > kMaxCountableBits) {
        return res::kPropertiesUnknown;
    }
    const std::uint64_t colours = std::uint64_t{1} << bits;
    return std::to_string(bits) + res::kPropertiesBitsSuffix + std::to_string(colours) +
           res::kPropertiesColoursSuffix;
}

} // namespace

std::string FormatModifiedTime(std::time_t time) {
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr) {
        return {};
    }
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return std::to_string(local.tm_year + 1900) + "年" + std::to_string(local.tm_mon + 1) + "月" +
           std::to_string(local.tm_mday) + "日 " + clock;
}

FilePropertyTexts ComputeFilePropertyTexts(std::string_view path, const ImageInfo& info) {
    FilePropertyTexts texts;
    texts.name = FileNameOf(path);
    texts.caption = texts.name + res::kPropertiesCaptionSuffix;
    texts.location = FolderForSearch(FolderOf(path));
    texts.size = FormatFileSize(info.size) + res::kPropertiesBytesSuffix;
    texts.modified = FormatModifiedTime(info.modified);
    texts.pixels = PixelsText(info);
    texts.colours = ColoursText(info);
    const std::string profile = ColourProfileName(info.colour.get());
    texts.profile = profile.empty() ? res::kPropertiesNoProfile : profile;
    return texts;
}

std::string FileTypeName(std::string_view desktopDescription, int formatCode) {
    const std::string_view trimmed = TrimBlanks(desktopDescription);
    if (!trimmed.empty()) {
        return std::string(trimmed);
    }
    struct Name {
        ImageFormat format;
        const char* name;
    };
    static constexpr Name kNames[]{
        {ImageFormat::Bitmap, res::kTypeNameBitmap}, {ImageFormat::Jpeg, res::kTypeNameJpeg},
        {ImageFormat::Png, res::kTypeNamePng},       {ImageFormat::Gif, res::kTypeNameGif},
        {ImageFormat::Tiff, res::kTypeNameTiff},     {ImageFormat::WebP, res::kTypeNameWebp},
        {ImageFormat::Heif, res::kTypeNameHeif},     {ImageFormat::Avif, res::kTypeNameAvif},
        {ImageFormat::Raw, res::kTypeNameRaw},
    };
    for (const Name& entry : kNames) {
        if (static_cast<int>(entry.format) == formatCode) {
            return entry.name;
        }
    }
    return {};
}

} // namespace pirela
