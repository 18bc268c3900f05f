#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace pirela {

std::optional<FileIdentity> FileIdentity::Of(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FromStatus(status);
}

FileIdentity FileIdentity::FromStatus(const struct stat& status) {
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino),
                        static_cast<std::int64_t>(status.st_size),
                        static_cast<std::int64_t>(status.st_mtim.tv_sec),
                        static_cast<std::int64_t>(status.st_mtim.tv_nsec),
                        static_cast<std::int64_t>(status.st_ctim.tv_sec),
                        static_cast<std::int64_t>(status.st_ctim.tv_nsec)};
}

} // namespace pirela
