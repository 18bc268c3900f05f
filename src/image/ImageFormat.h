#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace pirela {

// The decoder a file is read with, chosen by its extension. The values are the format codes
// shown in the file's facts.
enum class ImageFormat {
    Unsupported = 0,
    Bitmap = 1,
    Jpeg = 3,
    Png = 5,
    Gif = 6,
    Tiff = 7,
    WebP = 8,
    Heif = 9,
    Avif = 10,
    Raw = 11, // a camera's raw file, shown through the JPEG preview the camera stored in it
};

// The decoder for an extension, without ASCII case; anything else is unsupported.
ImageFormat FormatForExtension(std::string_view extension);

// The extensions (lower case) whose files the format's decoder reads.
std::vector<std::string_view> ExtensionsOf(ImageFormat format);

// The extensions a folder scan lists and a user can open, in this order: first the classic
// ones (BMP, DIB, JPG, JPE, PNG; "jpeg" is not among them), then those of a camera roll.
inline constexpr std::array<std::string_view, 5> kOpenableExtensions{"bmp", "dib", "jpg", "jpe",
                                                                      "png"};
inline constexpr std::array<std::string_view, 21> kCameraRollExtensions{
    "jpeg", "heic", "heif", "hif", "avif", "webp", "tif", "tiff", "gif", "cr2", "cr3",
    "nef",  "nrw",  "arw",  "dng", "raf",  "orf",  "rw2", "pef",  "srw", "rwl"};

// Which extensions count: the classic ones only, or the camera roll's too.
enum class FormatSet { Classic, All };

bool IsOpenableExtension(std::string_view extension, FormatSet formats = FormatSet::All);

// The text after the last "." of a file name; empty when there is none.
std::string_view ExtensionOf(std::string_view fileName);

} // namespace pirela
