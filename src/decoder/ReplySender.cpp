#include "decoder/ReplySender.h"

#include "sandbox/DescriptorMessage.h"

#include <fcntl.h>

namespace pirela {

bool SendReply(int socket, DecoderReplyHeader header, const std::vector<RgbQuad>& colours,
               int memory) {
    header.colours = static_cast<std::uint32_t>(colours.size());
    iovec parts[2] = {{&header, sizeof header},
                      {const_cast<RgbQuad*>(colours.data()), colours.size() * sizeof(RgbQuad)}};
    return SendWithDescriptor(socket, parts, 2, memory) >= 0;
}

bool SealMemoryFile(int memory) {
    return ::fcntl(memory, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) ==
           0;
}

} // namespace pirela
