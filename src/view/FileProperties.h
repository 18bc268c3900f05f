#pragma once

#include "image/ImageInfo.h"

#include <string>
#include <string_view>

namespace pirela {

// The texts of the file properties dialog (131), each for its field.
struct FilePropertyTexts {
    std::string caption;  // "a.jpg のプロパティ"
    std::string name;     // 1044
    std::string location; // 1043: the folder, "/" for a file at the root
    std::string size;     // 1045: "999  バイト", "0.97 K バイト"
    std::string modified; // 1046: "2024年3月5日 07:08:09", local time
    std::string pixels;   // 1048: "640 x 480 ピクセル", or "不明" without a decoded image
    std::string colours;  // 1049: "24 ビット (16777216 色)", or "不明"
    std::string profile;  // 1222: "Adobe RGB (1998)", "Display P3", "sRGB"..., or "なし"
};

// The texts for the current file at path. Sizes and depth are the image's as loaded, before
// any turn; the pixel count and the colour count are computed in 64 bits, so a 32-bit image
// has 4294967296 colours and 65536 x 65536 is not taken for none.
FilePropertyTexts ComputeFilePropertyTexts(std::string_view path, const ImageInfo& info);

// "%Y年%#m月%#d日 %H:%M:%S" in local time: month and day without a leading zero.
std::string FormatModifiedTime(std::time_t time);

// The type name for the "形式:" field: the desktop's description of the file's type with its
// blanks trimmed, or, when the desktop has none, one derived from the image format.
std::string FileTypeName(std::string_view desktopDescription, int formatCode);

} // namespace pirela
