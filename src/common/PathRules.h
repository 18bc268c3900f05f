#pragma once

#include <string>
#include <string_view>

// How the program splits and joins paths. Folders are kept without a trailing separator,
// except the root folder, which stays "/". Paths are UTF-8, so splitting at the ASCII
// separator never cuts a character.
namespace pirela {

inline constexpr char kPathSeparator = '/';

// folder + separator + name, never doubling the separator ("/" + "a.jpg" is "/a.jpg").
std::string JoinPath(std::string_view folder, std::string_view name);

// The text after the last separator; the whole path when there is none.
std::string_view FileNameOf(std::string_view path);

// The folder a file lies in: the path up to its last separator, the root kept as "/".
// A path without a separator has no folder part ("").
std::string FolderOf(std::string_view path);

// The folder as the user chose it, without one trailing separator; the root stays "/".
std::string WithoutTrailingSeparator(std::string_view folder);

// The folder as it is searched and shown. On Windows a bare drive ("C:") gets its root
// separator; on our platform every folder is used as it stands.
std::string FolderForSearch(std::string_view folder);

// The last part of a folder: the text after its last separator, or the whole text when it
// ends with one ("/" stays "/").
std::string_view LastPartOf(std::string_view folder);

} // namespace pirela
