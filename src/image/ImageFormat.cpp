#include "image/ImageFormat.h"

#include "common/AsciiText.h"

namespace pirela {

ImageFormat FormatForExtension(std::string_view extension) {
    struct Entry {
        std::string_view extension;
        ImageFormat format;
    };
    static constexpr Entry kDecoders[]{
        {"BMP", ImageFormat::Bitmap}, {"DIB", ImageFormat::Bitmap}, {"JPG", ImageFormat::Jpeg},
        {"JPE", ImageFormat::Jpeg},   {"JPEG", ImageFormat::Jpeg},  {"PNG", ImageFormat::Png},
    };
    for (const Entry& entry : kDecoders) {
        if (EqualsIgnoringAsciiCase(extension, entry.extension)) {
            return entry.format;
        }
    }
    return ImageFormat::Unsupported;
}

bool IsOpenableExtension(std::string_view extension) {
    for (std::string_view openable : kOpenableExtensions) {
        if (EqualsIgnoringAsciiCase(extension, openable)) {
            return true;
        }
    }
    return false;
}

std::string_view ExtensionOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot + 1);
}

} // namespace pirela
