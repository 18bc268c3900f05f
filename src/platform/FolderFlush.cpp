#include "platform/FolderFlush.h"

#include <cerrno>
#include <fcntl.h>

namespace pirela {

namespace {

bool RefusesFolderFlush(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

} // namespace

int FlushFolder(const std::filesystem::path& folder, const SystemCalls& calls) {
    const std::filesystem::path opened = folder.empty() ? std::filesystem::path(".") : folder;
    const int fd = calls.open(opened.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    int error = calls.fsync(fd) == 0 ? 0 : errno;
    if (RefusesFolderFlush(error)) {
        error = calls.syncfs(fd) == 0 ? 0 : errno;
    }
    calls.close(fd);
    return error == EROFS ? 0 : error;
}

} // namespace pirela
