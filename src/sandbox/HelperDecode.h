#pragma once

#include "image/Bitmap.h"
#include "image/ImageFormat.h"
#include "image/RawPreview.h"
#include "image/ReadOptions.h"
#include "sandbox/DecoderPool.h"
#include "sandbox/HelperFailure.h"

#include <atomic>
#include <memory>
#include <optional>

namespace pirela {

// Whether files of the format are decoded by a helper rather than in Pirela: the camera roll's
// formats, read by large libraries (HEIF and AVIF, WebP, TIFF, GIF, the raw files' previews).
// BMP, JPEG and PNG are read by our own fuzzed readers in Pirela.
bool DecodesInHelper(ImageFormat format);

// Decodes the open file in a helper of the pool. The helper's pixels are mapped into the
// bitmap, never copied: read-only, or for a picture whose file describes its colours privately
// writable, so that only the pages converted become Pirela's own. The bitmap carries that
// description, its profile and all, and whether it is an animation's first frame. The bitmap
// and all its rows are reported to the progress at once, at the end; a stop request ends the
// helper's work at once (the helper is killed). None when the helper says it cannot read the
// file, crashes twice, overruns its time, cannot be started or sends anything that does not
// hold together; `failure` (when given) then says which.
std::unique_ptr<Bitmap> DecodeInHelper(int file, ImageFormat format, const ReadOptions& options,
                                       DecoderPool& pool = DecoderPool::Shared(),
                                       HelperFailure* failure = nullptr);

// A raw file's JPEG preview found by a helper (Pirela decodes it with its own JPEG reader), or
// none, and then why in `failure` (when given); a stop request (when given) ends the helper's
// work.
std::optional<RawPreview> ExtractRawPreviewInHelper(int file, const std::atomic<bool>* stop,
                                                    DecoderPool& pool = DecoderPool::Shared(),
                                                    HelperFailure* failure = nullptr);

} // namespace pirela
