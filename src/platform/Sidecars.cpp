#include "platform/Sidecars.h"

#include "common/PathRules.h"
#include "platform/FileIdentity.h"

#include <sys/stat.h>

#include <filesystem>

namespace pirela {

namespace {

constexpr const char* kSuffixes[] = {".xmp", ".XMP"};

bool EndsWithSuffix(std::string_view name) {
    for (const std::string_view suffix : kSuffixes) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            return true;
        }
    }
    return false;
}

// The path without its name's extension ("/a/X.ext" -> "/a/X"); as it is without one.
std::string WithoutExtension(const std::string& path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? path
                                                     : path.substr(0, path.size() - name.size() + dot);
}

// Adds the path when a regular file stands there that is not one already found (a disk that
// ignores case shows X.xmp under X.XMP too).
void AddIfThere(const std::string& path, std::vector<std::string>& found) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    for (const std::string& other : found) {
        if (SameFile(FileIdentity::Of(other), FileIdentity::FromStatus(status))) {
            return;
        }
    }
    found.push_back(path);
}

// Whether a file of the folder other than the photo and the sidecars is named stem.something.
bool StemShared(const std::string& photo, const std::string& stem) {
    const std::string prefix = std::string(FileNameOf(stem)) + ".";
    const std::string_view own = FileNameOf(photo);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FolderOf(photo), error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && name != own && !EndsWithSuffix(name)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::string> SidecarsOf(const std::string& photo) {
    std::vector<std::string> sidecars;
    for (const char* suffix : kSuffixes) {
        AddIfThere(photo + suffix, sidecars);
    }
    const std::string stem = WithoutExtension(photo);
    if (stem == photo) {
        return sidecars;
    }
    std::vector<std::string> withShared = sidecars;
    for (const char* suffix : kSuffixes) {
        AddIfThere(stem + suffix, withShared);
    }
    // The folder is read only when there is such a sidecar.
    return withShared.size() > sidecars.size() && !StemShared(photo, stem) ? withShared : sidecars;
}

std::string SidecarFollowing(const std::string& sidecar, const std::string& photo,
                             const std::string& newPhoto) {
    if (sidecar.size() > photo.size() && sidecar.starts_with(photo)) {
        return newPhoto + sidecar.substr(photo.size());
    }
    const std::string stem = WithoutExtension(photo);
    return WithoutExtension(newPhoto) + sidecar.substr(stem.size());
}

} // namespace pirela
