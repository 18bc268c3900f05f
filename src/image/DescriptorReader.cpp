#include "image/DescriptorReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

std::size_t DescriptorReader::ReadDirectly(std::uint8_t* to, std::size_t bytes) {
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

bool DescriptorReader::FillWindow() {
    window_.resize(kWindowBytes);
    windowStart_ = position_;
    const std::int64_t at = position_;
    window_.resize(ReadDirectly(window_.data(), kWindowBytes));
    position_ = at;
    return !window_.empty();
}

std::size_t DescriptorReader::Read(void* buffer, std::size_t bytes) {
    auto* to = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < bytes) {
        const bool inWindow = position_ >= windowStart_ &&
                              position_ < windowStart_ + static_cast<std::int64_t>(window_.size());
        if (!inWindow) {
            if (bytes - done >= kWindowBytes) {
                return done + ReadDirectly(to + done, bytes - done);
            }
            if (!FillWindow()) {
                break;
            }
        }
        const auto offset = static_cast<std::size_t>(position_ - windowStart_);
        const std::size_t n = std::min(bytes - done, window_.size() - offset);
        std::memcpy(to + done, window_.data() + offset, n);
        done += n;
        position_ += static_cast<std::int64_t>(n);
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
