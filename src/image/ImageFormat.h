#pragma once

#include <array>
#include <string_view>

namespace pirela {

// The decoder a file is read with, chosen by its extension. The values are the format codes
// shown in the file's facts.
enum class ImageFormat { Unsupported = 0, Bitmap = 1, Jpeg = 3, Png = 5 };

// BMP and DIB, JPG, JPE and JPEG, PNG, without ASCII case; anything else is unsupported.
ImageFormat FormatForExtension(std::string_view extension);

// The extensions a user can open or a folder scan lists, in this order. "jpeg" is not among
// them: such files are decoded when asked for directly, but never listed or opened.
inline constexpr std::array<std::string_view, 5> kOpenableExtensions{"bmp", "dib", "jpg", "jpe",
                                                                      "png"};

bool IsOpenableExtension(std::string_view extension);

// The text after the last "." of a file name; empty when there is none.
std::string_view ExtensionOf(std::string_view fileName);

} // namespace pirela
