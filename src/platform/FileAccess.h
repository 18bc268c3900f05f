#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Thin wrappers around the operating system's file calls, so that the rest of the core states
// what it wants and the platform's details stay in one place.
namespace pirela {

// Whether a file may be replaced: it exists, we may write it, and it is not marked read-only.
// A file without any write permission bit counts as read-only even for the super-user, because
// that is what its owner asked for.
bool IsWritableFile(const std::filesystem::path& file);

// Whether new files can be made in the folder, by the same rule as IsWritableFile.
bool IsWritableFolder(const std::filesystem::path& folder);

// Whether the path names a folder whose entries we may reach (a directory with search
// permission), as a folder must be before files can be sent into it.
bool IsEnterableFolder(const std::filesystem::path& folder);
// Whether anything stands at the path: a file, a folder, or a link (even a broken one).
bool NameExists(const std::filesystem::path& path);

// The permission bits of what the path names (a link is followed), or none.
std::optional<unsigned> PermissionBitsOf(const std::filesystem::path& path);

// Whether two regular files hold the same bytes; false when either cannot be read.
bool HaveSameContent(const std::filesystem::path& first, const std::filesystem::path& second);

// The whole file, or none when it cannot be read or is larger than maxBytes.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t maxBytes);

// Replaces the file's content as one step: the bytes go to a new file beside it, are flushed to
// the disk, and only then renamed over the old one. Whatever goes wrong on the way (a full disk,
// a crash, a read-only file or folder), the old file is either untouched or wholly replaced.
// A symbolic link is followed, so the file it names is replaced and the link stays. The new
// file keeps the old one's permissions. Returns false when nothing was replaced.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

} // namespace pirela
