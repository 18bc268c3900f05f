#include "thumbnail/ThumbnailCache.h"

#include "common/PathRules.h"
#include "image/CFile.h"
#include "thumbnail/FileUri.h"
#include "thumbnail/Md5.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

namespace {

constexpr std::string_view kSharedRepository = ".sh_thumbnails";
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

std::string NameOf(std::string_view uri) {
    return Md5Hex(uri) + ".png";
}

// Makes the folder and those above it that are missing, each readable by its owner alone.
void MakeFolders(const std::filesystem::path& folder) {
    std::filesystem::path prefix;
    for (const auto& part : folder) {
        prefix /= part;
        if (::mkdir(prefix.c_str(), kFolderMode) != 0 && errno != EEXIST) {
            return;
        }
    }
}

// A temporary file of our own beside the target, mode 0600; -1 when none can be made.
int MakeTemporaryBeside(const std::filesystem::path& target, std::string& name) {
    name = (target.parent_path() / ("." + target.filename().string() + ".pirela-XXXXXX")).string();
    int descriptor = ::mkstemp(name.data());
    if (descriptor < 0 && errno == ENOENT) {
        MakeFolders(target.parent_path());
        name =
            (target.parent_path() / ("." + target.filename().string() + ".pirela-XXXXXX")).string();
        descriptor = ::mkstemp(name.data());
    }
    if (descriptor >= 0) {
        ::fchmod(descriptor, kFileMode);
    }
    return descriptor;
}

std::string CurrentFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? "/" : folder.string();
}

// The picture of the record that a file could not be thumbnailed: one transparent pixel.
ScaledPicture FailurePicture() {
    return ScaledPicture{1, 1, true, {0}};
}

} // namespace

ThumbnailOriginal::ThumbnailOriginal(std::string canonicalPath, std::int64_t modifiedSeconds,
                                     std::int64_t bytes)
    : path(std::move(canonicalPath)), uri(FileUri(path)), mtime(modifiedSeconds), size(bytes) {}

bool DescribesOriginal(const ThumbnailFields& fields, const ThumbnailOriginal& original) {
    return fields.uri == original.uri && fields.mtime == original.mtime &&
           (!fields.size || *fields.size == original.size);
}

ThumbnailCache::ThumbnailCache(std::filesystem::path root, std::string program)
    : root_(CanonicalAbsolutePath(root.string(), CurrentFolder())), rootText_(root_.string()),
      program_(std::move(program)) {}

std::filesystem::path ThumbnailCache::DefaultRoot() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') {
        return std::filesystem::path(cache) / "thumbnails";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".cache" / "thumbnails";
}

std::filesystem::path ThumbnailCache::PathOf(ThumbnailSize size, std::string_view uri) const {
    return root_ / FolderNameOf(size) / NameOf(uri);
}

std::filesystem::path ThumbnailCache::FailurePathOf(std::string_view uri) const {
    return root_ / "fail" / program_ / NameOf(uri);
}

bool ThumbnailCache::Holds(std::string_view canonicalPath) const {
    const bool insideRoot = canonicalPath.size() > rootText_.size() &&
                            canonicalPath.substr(0, rootText_.size()) == rootText_ &&
                            canonicalPath[rootText_.size()] == '/';
    const std::string shared = "/" + std::string(kSharedRepository) + "/";
    return insideRoot || canonicalPath.find(shared) != std::string_view::npos;
}

bool ThumbnailCache::HasSharedRepository(const std::string& folder) const {
    {
        const std::lock_guard lock(shared_->mutex);
        if (const auto known = shared_->present.find(folder); known != shared_->present.end()) {
            return known->second;
        }
    }
    struct stat status {};
    const bool present = ::stat(JoinPath(folder, kSharedRepository).c_str(), &status) == 0 &&
                         S_ISDIR(status.st_mode);
    const std::lock_guard lock(shared_->mutex);
    shared_->present.emplace(folder, present);
    return present;
}

std::optional<ThumbnailImage> ThumbnailCache::FindShared(const ThumbnailOriginal& original,
                                                         ThumbnailSize size) const {
    const std::string folder = FolderOf(original.path);
    if (!HasSharedRepository(folder)) {
        return std::nullopt;
    }
    // A shared repository names its files relative to itself, since the folder may be reached
    // under another path on another machine; it may leave the URI and the time out.
    const std::string uri = RelativeFileUri(FileNameOf(original.path));
    const std::filesystem::path file =
        std::filesystem::path(folder) / kSharedRepository / FolderNameOf(size) / NameOf(uri);
    std::optional<ThumbnailImage> found = ReadThumbnailPngFile(file);
    if (!found) {
        return std::nullopt;
    }
    const ThumbnailFields& fields = found->fields;
    const bool fresh = (fields.uri.empty() || fields.uri == uri) &&
                       (!fields.mtime || *fields.mtime == original.mtime) &&
                       (!fields.size || *fields.size == original.size);
    return fresh ? found : std::nullopt;
}

std::optional<ThumbnailImage> ThumbnailCache::FindFresh(const ThumbnailOriginal& original,
                                                        ThumbnailSize size) const {
    for (const ThumbnailSize candidate : kThumbnailSizes) {
        if (Pixels(candidate) < Pixels(size)) {
            continue;
        }
        if (auto shared = FindShared(original, candidate)) {
            return shared;
        }
        std::optional<ThumbnailImage> found = ReadThumbnailPngFile(PathOf(candidate, original.uri));
        if (found && DescribesOriginal(found->fields, original)) {
            return found;
        }
    }
    return std::nullopt;
}

bool ThumbnailCache::WriteAtomically(const std::filesystem::path& target,
                                     const ScaledPicture& picture,
                                     const ThumbnailFields& fields) const {
    std::string temporary;
    const int descriptor = MakeTemporaryBeside(target, temporary);
    if (descriptor < 0) {
        return false;
    }
    CFile file(::fdopen(descriptor, "wb"));
    if (!file) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return false;
    }
    bool written = WriteThumbnailPng(file.get(), picture, fields) && std::fflush(file.get()) == 0 &&
                   std::ferror(file.get()) == 0;
    written = std::fclose(file.release()) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool ThumbnailCache::Store(const ThumbnailOriginal& original, ThumbnailSize size,
                           const ScaledPicture& picture, const ThumbnailFields& extra) const {
    ThumbnailFields fields = extra;
    fields.uri = original.uri;
    fields.mtime = original.mtime;
    fields.size = original.size;
    if (fields.software.empty()) {
        fields.software = program_;
    }
    return WriteAtomically(PathOf(size, original.uri), picture, fields);
}

bool ThumbnailCache::HasFreshFailure(const ThumbnailOriginal& original) const {
    const std::optional<ThumbnailImage> record = ReadThumbnailPngFile(FailurePathOf(original.uri));
    return record && DescribesOriginal(record->fields, original);
}

bool ThumbnailCache::RecordFailure(const ThumbnailOriginal& original) const {
    ThumbnailFields fields;
    fields.uri = original.uri;
    fields.mtime = original.mtime;
    fields.size = original.size;
    return WriteAtomically(FailurePathOf(original.uri), FailurePicture(), fields);
}

} // namespace pirela
