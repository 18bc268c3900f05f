#include "decoder/ReplySender.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <cstring>

namespace pirela {

bool SendReply(int socket, DecoderReplyHeader header, const std::vector<RgbQuad>& colours,
               int memory) {
    header.colours = static_cast<std::uint32_t>(colours.size());
    iovec parts[2] = {{&header, sizeof header},
                      {const_cast<RgbQuad*>(colours.data()), colours.size() * sizeof(RgbQuad)}};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = 2;
    if (memory >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* descriptors = CMSG_FIRSTHDR(&message);
        descriptors->cmsg_level = SOL_SOCKET;
        descriptors->cmsg_type = SCM_RIGHTS;
        descriptors->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(descriptors), &memory, sizeof(int));
    }
    return ::sendmsg(socket, &message, MSG_NOSIGNAL) >= 0;
}

bool SealMemoryFile(int memory) {
    return ::fcntl(memory, F_ADD_SEALS,
                   F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) == 0;
}

} // namespace pirela
