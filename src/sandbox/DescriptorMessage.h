#pragma once

#include <cstddef>
#include <sys/types.h>
#include <sys/uio.h>

namespace pirela {

// Sends one message of the parts over a Unix socket with an open descriptor beside it
// (SCM_RIGHTS; none when -1), never raising SIGPIPE when the other end is gone. The bytes sent,
// or -1.
ssize_t SendWithDescriptor(int socket, iovec* parts, std::size_t count, int descriptor);

} // namespace pirela
