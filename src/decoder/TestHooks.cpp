#include "decoder/TestHooks.h"

#include "decoder/ReplySender.h"
#include "decoder/SharedPixelMemory.h"
#include "platform/UniqueDescriptor.h"

#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/socket.h>
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

bool Run(std::string_view hook, int socket) {
    if (hook == "crash") {
        __builtin_trap();
    }
    if (hook == "hang") {
        for (volatile bool forever = true; forever;) {
        }
    }
    if (hook == "allocate") {
        constexpr std::size_t kBytes = std::size_t{16} << 30; // far past the memory limit
        auto* memory = new char[kBytes];
        std::memset(memory, 1, kBytes);
        delete[] memory;
    }
    // Under the filter these never return; should they, the helper answers as usual.
    if (hook == "open") {
        const UniqueDescriptor opened(::open("/etc/hostname", O_RDONLY));
        return false;
    }
    if (hook == "socket") {
        const UniqueDescriptor opened(::socket(AF_INET, SOCK_STREAM, 0));
        return false;
    }
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
        return ::send(socket, "garbage", 7, MSG_NOSIGNAL) == 7;
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
    return Run(hook, socket);
}

} // namespace pirela
