#include "common/PathRules.h"

namespace pirela {

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    path += name;
    return path;
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t separator = path.rfind(kPathSeparator);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string FolderOf(std::string_view path) {
    const std::size_t separator = path.rfind(kPathSeparator);
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, separator == 0 ? 1 : separator));
}

std::string WithoutTrailingSeparator(std::string_view folder) {
    if (folder.size() > 1 && folder.back() == kPathSeparator) {
        folder.remove_suffix(1);
    }
    return std::string(folder);
}

std::string FolderForSearch(std::string_view folder) {
#ifdef _WIN32
    if (folder.size() == 2 && folder[1] == ':') {
        return std::string(folder) + '\\';
    }
#endif
    return std::string(folder);
}

std::string_view LastPartOf(std::string_view folder) {
    if (folder.empty() || folder.back() == kPathSeparator) {
        return folder;
    }
    return FileNameOf(folder);
}

} // namespace pirela
