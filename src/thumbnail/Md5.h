#pragma once

#include <string>
#include <string_view>

namespace pirela {

// The MD5 digest of the bytes as 32 lower-case hexadecimal digits: the name the desktop's
// thumbnail cache gives a file's thumbnail, from its URI.
std::string Md5Hex(std::string_view bytes);

} // namespace pirela
