#pragma once

#include "image/Bitmap.h"
#include "sandbox/DecoderMessage.h"

#include <vector>

namespace pirela {

// Sends an answer to Pirela: the header, the colour table after it, and the memory file beside
// it (none when -1). False when Pirela is gone.
bool SendReply(int socket, DecoderReplyHeader header, const std::vector<RgbQuad>& colours,
               int memory);

// Seals a memory file against any change of its size or content, as Pirela requires before it
// maps it; false when it cannot be sealed (a writable mapping of it is still open).
bool SealMemoryFile(int memory);

} // namespace pirela
