#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace pirela {

namespace {

std::optional<FileIdentity> FromStatus(int result, const struct stat& status) {
    if (result != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino),
                        static_cast<std::int64_t>(status.st_size),
                        static_cast<std::int64_t>(status.st_mtim.tv_sec),
                        static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

} // namespace

std::optional<FileIdentity> FileIdentity::Of(const std::filesystem::path& path) {
    struct stat status {};
    return FromStatus(::lstat(path.c_str(), &status), status);
}

std::optional<FileIdentity> FileIdentity::OfTarget(const std::filesystem::path& path) {
    struct stat status {};
    return FromStatus(::stat(path.c_str(), &status), status);
}

std::optional<FileIdentity> FileIdentity::OfOpenFile(int descriptor) {
    struct stat status {};
    return FromStatus(::fstat(descriptor, &status), status);
}

} // namespace pirela
