#pragma once

#include <optional>
#include <string>

class QMimeData;

namespace pirela {

// The first local file or folder among dropped URLs, as the bytes of its path: a name that is
// not UTF-8 keeps its bytes. Other URLs (web addresses, files on other hosts) are passed over;
// none when no local one was dropped.
std::optional<std::string> FirstLocalPath(const QMimeData& data);

} // namespace pirela
