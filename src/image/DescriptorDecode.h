#pragma once

#include "image/Bitmap.h"
#include "image/DescriptorReader.h"
#include "image/ReadOptions.h"

#include <memory>

namespace pirela {

// What every reader of an open file descriptor does around its decode: the reader over the
// descriptor, the decode (which makes the bitmap and fills it, or says it could not), and the
// outcome handed to the progress, which keeps a reported bitmap alive after a failure.
template <class Decode>
std::unique_ptr<Bitmap> DecodeDescriptor(int descriptor, const ReadOptions& options,
                                         Decode decode) {
    DescriptorReader reader(descriptor);
    std::unique_ptr<Bitmap> bitmap;
    const bool decoded = reader.Valid() && decode(reader, options, bitmap);
    return options.Outcome(decoded, std::move(bitmap));
}

} // namespace pirela
