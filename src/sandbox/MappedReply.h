#pragma once

#include "image/ColourDescription.h"
#include "sandbox/DecoderProcess.h"
#include "sandbox/DecoderReply.h"

#include <memory>
#include <optional>

namespace pirela {

// A helper's answer, checked, with its payload mapped privately and read-only (pages Pirela
// later writes, converting their colours, become its own copies), and the colours its picture is
// in, the profile read from the memory.
struct MappedReply {
    DecoderReply reply;
    PixelMemory memory;
    std::shared_ptr<const ColourDescription> colour;
};

// None when the answer does not hold together or its memory cannot be read.
std::optional<MappedReply> MapReply(const DecoderProcess::Answer& answer);

// The bitmap over a decoded answer's pixels or frame (with alpha, colours and animation as it
// says); none for any other answer than the one expected. A picture whose colours are to be
// converted may be written.
std::unique_ptr<Bitmap> AdoptReplyBitmap(MappedReply mapped, DecoderPayload expected);

} // namespace pirela
