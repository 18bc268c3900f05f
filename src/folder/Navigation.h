#pragma once

#include "folder/ImageFileList.h"

#include <string>
#include <string_view>

// When each way of moving through the list applies. Navigation never wraps around: at either
// end the command is disabled.
namespace pirela {

// Next and last image.
inline bool CanGoForward(const ImageFileList& list) {
    return list.Count() > 1 && list.Current() < list.Count() - 1;
}

// Previous and first image.
inline bool CanGoBack(const ImageFileList& list) {
    return list.Count() >= 2 && list.Current() > 0;
}

// The jumps of 10 and 100 in either direction, which must land inside the list.
inline bool CanJump(const ImageFileList& list, int delta) {
    const long long target = static_cast<long long>(list.Current()) + delta;
    return target >= 0 && target < list.Count();
}

// The row to select for a name: the row holding exactly that name, else the first row that
// begins with it without ASCII case; -1 when none does.
int RowForName(const ImageFileList& list, std::string_view name);

// The file list window's folder label: "開かれていません..." without a folder, else the folder
// whole (the window takes out its middle when it is too narrow to show all of it).
std::string FileListFolderLabel(std::string_view folder);

} // namespace pirela
