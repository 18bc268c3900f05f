#include "decoder/TestHooks.h"

#include "decoder/ReplySender.h"
#include "decoder/SharedPixelMemory.h"
#include "platform/UniqueDescriptor.h"
#include "sandbox/DescriptorMessage.h"

#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace pirela {

namespace {

constexpr std::string_view kMarker = "PIRELA-TEST-HOOK:";

// Answers "decoded" with a header that claims the given pixels over a memory file of `memory`
// bytes, sealed or not.
bool Lie(int socket, std::int32_t width, std::int32_t height, std::uint32_t bitCount,
         std::uint64_t stride, std::size_t memory, bool sealed) {
    const UniqueDescriptor file(SharedPixelMemory::NewMemoryFile(memory));
    if (sealed) {
        SealMemoryFile(file.Get());
    }
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    header.width = width;
    header.height = height;
    header.bitCount = bitCount;
    header.stride = stride;
    header.bytes = stride * static_cast<std::uint64_t>(height < 0 ? -height : height);
    return SendReply(socket, header, {}, file.Get());
}

// Calls the filter forbids, each a way beyond the helper's own descriptors: under the filter
// none returns.
void ReachBeyond(std::string_view hook, int file, int socket) {
    struct stat status {};
    if (hook == "open") {
        const UniqueDescriptor opened(::open("/etc/hostname", O_RDONLY));
    } else if (hook == "socket") {
        const UniqueDescriptor opened(::socket(AF_INET, SOCK_STREAM, 0));
    } else if (hook == "fcntl-owner") {
        ::fcntl(socket, F_SETOWN, ::getpid());
    } else if (hook == "fcntl-async") {
        ::fcntl(socket, F_SETFL, O_ASYNC);
    } else if (hook == "fcntl-lease") {
        ::fcntl(file, F_SETLEASE, F_RDLCK);
    } else if (hook == "stat-path") {
        ::stat("/etc/hostname", &status);
    } else if (hook == "write-stdout") {
        [[maybe_unused]] const ssize_t written = ::write(1, "pirela", 6);
    }
}

bool Run(std::string_view hook, int file, int socket) {
    if (hook == "crash") {
        __builtin_trap();
    }
    if (hook == "hang") {
        for (volatile bool forever = true; forever;) {
        }
    }
    if (hook == "slow") {
        // Busy for a second, then an honest answer: a 64 x 32 bitmap.
        const auto since = [](const timespec& start) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            return (now.tv_sec - start.tv_sec) * 1'000'000'000LL + (now.tv_nsec - start.tv_nsec);
        };
        timespec started{};
        ::clock_gettime(CLOCK_MONOTONIC, &started);
        while (since(started) < 1'000'000'000LL) {
        }
        return Lie(socket, 64, -32, 24, 192, 32 * 192, true);
    }
    if (hook == "allocate") {
        constexpr std::size_t kBytes = std::size_t{16} << 30; // far past the memory limit
        auto* memory = new char[kBytes];
        std::memset(memory, 1, kBytes);
        delete[] memory;
    }
    // Under the filter these never return; should they, the helper answers as usual.
    ReachBeyond(hook, file, socket);
    if (hook == "lie-size") {
        return Lie(socket, 30000, -30000, 32, 120000, 4096, true);
    }
    if (hook == "lie-memory") {
        return Lie(socket, 64, -64, 24, 192, 4096, true);
    }
    if (hook == "lie-stride") {
        return Lie(socket, 64, -64, 24, 64, 4096, true);
    }
    if (hook == "unsealed") {
        return Lie(socket, 32, -32, 32, 128, 4096, false);
    }
    if (hook == "garbage") {
        char garbage[] = "garbage";
        iovec data{garbage, 7};
        return SendWithDescriptor(socket, &data, 1, -1) == 7;
    }
    return false;
}

} // namespace

bool RunTestHook(int file, int socket) {
    char start[64] = {};
    const ssize_t read = ::pread(file, start, sizeof start - 1, 0);
    const std::string_view text(start, read > 0 ? static_cast<std::size_t>(read) : 0);
    if (!text.starts_with(kMarker)) {
        return false;
    }
    std::string_view hook = text.substr(kMarker.size());
    hook = hook.substr(0, hook.find_first_of("\n "));
    return Run(hook, file, socket);
}

} // namespace pirela
