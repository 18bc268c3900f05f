#pragma once

#include "image/ScaledPicture.h"
#include "thumbnail/ThumbnailPng.h"
#include "thumbnail/ThumbnailSize.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace pirela {

// What the cache knows an original file by: its absolute canonical path and URI, and the
// modification time (in seconds) and size its thumbnails must record.
struct ThumbnailOriginal {
    std::string path;
    std::string uri;
    std::int64_t mtime = 0;
    std::int64_t size = 0;

    ThumbnailOriginal(std::string canonicalPath, std::int64_t modifiedSeconds, std::int64_t bytes);
};

// Whether a thumbnail's fields describe the original as it is now: the same URI and
// modification time, and the same size where the thumbnail records one.
bool DescribesOriginal(const ThumbnailFields& fields, const ThumbnailOriginal& original);

// The desktop's thumbnail cache, shared with the file managers: each thumbnail a PNG named by
// the MD5 of its original's URI in the folder of its size, a file that could not be
// thumbnailed recorded under fail/<program>/, and the read-only shared repositories that a
// folder of photos may bring along (.sh_thumbnails beside them). Safe to use from several
// threads: every write goes to a temporary file of its own that is then renamed into place.
class ThumbnailCache {
public:
    // The cache under root; program ("pirela-1.2a") names the folder of our failure records.
    ThumbnailCache(std::filesystem::path root, std::string program);

    // $XDG_CACHE_HOME/thumbnails (when that is an absolute path), or ~/.cache/thumbnails.
    static std::filesystem::path DefaultRoot();

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path PathOf(ThumbnailSize size, std::string_view uri) const;
    std::filesystem::path FailurePathOf(std::string_view uri) const;

    // Whether the file lies inside the cache or a shared repository: thumbnails are never made
    // of thumbnails.
    bool Holds(std::string_view canonicalPath) const;

    // A thumbnail of the original as it is now, of the size or a larger one: the shared
    // repository of its folder first, then the cache. None when every one found is stale,
    // damaged or about another file.
    std::optional<ThumbnailImage> FindFresh(const ThumbnailOriginal& original,
                                            ThumbnailSize size) const;

    // Keeps the picture as the original's thumbnail of the size, with the original's fields
    // and those given (its type, its picture's size); mode 0600 in folders made 0700. False
    // when it could not be written (nothing is then left behind).
    bool Store(const ThumbnailOriginal& original, ThumbnailSize size, const ScaledPicture& picture,
               const ThumbnailFields& extra) const;

    // Whether our record that the original cannot be thumbnailed still holds (the file did not
    // change since), and the record's writing.
    bool HasFreshFailure(const ThumbnailOriginal& original) const;
    bool RecordFailure(const ThumbnailOriginal& original) const;

private:
    std::optional<ThumbnailImage> FindShared(const ThumbnailOriginal& original,
                                             ThumbnailSize size) const;
    bool HasSharedRepository(const std::string& folder) const;
    bool WriteAtomically(const std::filesystem::path& target, const ScaledPicture& picture,
                         const ThumbnailFields& fields) const;

    // Which folders of photos bring a shared repository, asked once per folder (copies of the
    // cache share what they learnt).
    struct SharedRepositories {
        std::mutex mutex;
        std::map<std::string, bool, std::less<>> present;
    };

    std::filesystem::path root_;
    std::string rootText_;
    std::string program_;
    std::shared_ptr<SharedRepositories> shared_ = std::make_shared<SharedRepositories>();
};

} // namespace pirela
