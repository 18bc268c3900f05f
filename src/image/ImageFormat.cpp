#include "image/ImageFormat.h"

#include "common/AsciiText.h"

#include <algorithm>

namespace pirela {

namespace {

struct Entry {
    std::string_view extension;
    ImageFormat format;
};

// Every extension a decoder is chosen by, grouped by format in the order the open dialog
// lists the formats.
constexpr Entry kDecoders[]{
    {"bmp", ImageFormat::Bitmap}, {"dib", ImageFormat::Bitmap}, {"jpg", ImageFormat::Jpeg},
    {"jpe", ImageFormat::Jpeg},   {"jpeg", ImageFormat::Jpeg},  {"png", ImageFormat::Png},
    {"heic", ImageFormat::Heif},  {"heif", ImageFormat::Heif},  {"hif", ImageFormat::Heif},
    {"avif", ImageFormat::Avif},  {"webp", ImageFormat::WebP},  {"tif", ImageFormat::Tiff},
    {"tiff", ImageFormat::Tiff},  {"gif", ImageFormat::Gif},    {"cr2", ImageFormat::Raw},
    {"cr3", ImageFormat::Raw},    {"nef", ImageFormat::Raw},    {"nrw", ImageFormat::Raw},
    {"arw", ImageFormat::Raw},    {"dng", ImageFormat::Raw},    {"raf", ImageFormat::Raw},
    {"orf", ImageFormat::Raw},    {"rw2", ImageFormat::Raw},    {"pef", ImageFormat::Raw},
    {"srw", ImageFormat::Raw},    {"rwl", ImageFormat::Raw},
};

template <class Extensions>
bool Contains(const Extensions& extensions, std::string_view extension) {
    return std::any_of(extensions.begin(), extensions.end(), [extension](std::string_view known) {
        return EqualsIgnoringAsciiCase(extension, known);
    });
}

} // namespace

ImageFormat FormatForExtension(std::string_view extension) {
    for (const Entry& entry : kDecoders) {
        if (EqualsIgnoringAsciiCase(extension, entry.extension)) {
            return entry.format;
        }
    }
    return ImageFormat::Unsupported;
}

std::vector<std::string_view> ExtensionsOf(ImageFormat format) {
    std::vector<std::string_view> extensions;
    for (const Entry& entry : kDecoders) {
        if (entry.format == format) {
            extensions.push_back(entry.extension);
        }
    }
    return extensions;
}

bool IsOpenableExtension(std::string_view extension, FormatSet formats) {
    return Contains(kOpenableExtensions, extension) ||
           (formats == FormatSet::All && Contains(kCameraRollExtensions, extension));
}

std::string_view ExtensionOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot + 1);
}

} // namespace pirela
