#include "image/DescriptorReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pirela {

DescriptorReader::DescriptorReader(int descriptor) : descriptor_(descriptor) {
    struct stat status {};
    if (descriptor >= 0 && ::fstat(descriptor, &status) == 0) {
        size_ = static_cast<std::int64_t>(status.st_size);
    }
}

bool DescriptorReader::Seek(std::int64_t position) {
    if (position < 0) {
        return false;
    }
    position_ = position;
    return true;
}

std::size_t DescriptorReader::Read(void* buffer, std::size_t bytes) {
    auto* to = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < bytes && position_ < size_) {
        const ssize_t got = ::pread(descriptor_, to + done, bytes - done, position_);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
        position_ += got;
    }
    return done;
}

bool DescriptorReader::ReadExactly(void* buffer, std::size_t bytes) {
    return Read(buffer, bytes) == bytes;
}

bool DescriptorReader::ReadRest(std::vector<std::uint8_t>& bytes, std::size_t limit) {
    const std::int64_t rest = size_ - position_;
    if (rest < 0 || static_cast<std::uint64_t>(rest) > limit) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(rest));
    return ReadExactly(bytes.data(), bytes.size());
}

} // namespace pirela
