#include "sandbox/DescriptorMessage.h"

#include <cstring>
#include <sys/socket.h>

namespace pirela {

ssize_t SendWithDescriptor(int socket, iovec* parts, std::size_t count, int descriptor) {
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = count;
    if (descriptor >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* descriptors = CMSG_FIRSTHDR(&message);
        descriptors->cmsg_level = SOL_SOCKET;
        descriptors->cmsg_type = SCM_RIGHTS;
        descriptors->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(descriptors), &descriptor, sizeof(int));
    }
    return ::sendmsg(socket, &message, MSG_NOSIGNAL);
}

} // namespace pirela
