#pragma once

#include "image/DecodeProgress.h"
#include "image/ScaledPicture.h"
#include "platform/FileIdentity.h"
#include "thumbnail/ThumbnailCache.h"

#include <memory>
#include <optional>
#include <string>

namespace pirela {

// What became of one file's thumbnail.
struct LoadedThumbnail {
    enum class Outcome {
        Ready,      // the picture, from the cache or made now
        Unchanged,  // the file is still the one whose thumbnail the caller holds
        Failed,     // the file cannot be thumbnailed (recorded in the cache)
        Unreadable, // the file is gone, not a regular file, or may not be read
        Stopped,    // the progress was asked to stop
    };
    Outcome outcome = Outcome::Unreadable;
    std::shared_ptr<const ScaledPicture> picture; // Ready: fitted into the box
    std::optional<FileIdentity> identity;         // the file as it was opened
    bool stored = false;                          // Ready: a fresh thumbnail of it is in the cache
};

// A file's thumbnail fitted into a box of the given side, by the desktop's rules: the file is
// opened first (what may not be read is never looked up); a fresh thumbnail in the cache (of
// the box's size or larger) is used; a file recorded as failing since it last changed is not
// tried again; otherwise the thumbnail is made, kept in the cache (or the failure recorded),
// and returned. Files inside the cache are thumbnailed in memory only. With a known identity
// equal to the file's, nothing is read at all; with one that differs from it but not in the
// second of its modification time, the cache is passed over (its thumbnail could be of the
// file as it was). Runs on a worker: it may take a second.
LoadedThumbnail LoadThumbnail(const ThumbnailCache& cache, const std::string& canonicalPath,
                              int box, const std::optional<FileIdentity>& known,
                              DecodeProgress& progress);

} // namespace pirela
