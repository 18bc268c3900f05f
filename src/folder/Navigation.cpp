#include "folder/Navigation.h"

#include "common/AsciiText.h"
#include "res/Messages.h"

namespace pirela {

int RowForName(const ImageFileList& list, std::string_view name) {
    for (int row = 0; row < list.Count(); ++row) {
        if (list.Name(row) == name) {
            return row;
        }
    }
    for (int row = 0; row < list.Count(); ++row) {
        const std::string_view candidate = list.Name(row);
        if (candidate.size() >= name.size() &&
            EqualsIgnoringAsciiCase(candidate.substr(0, name.size()), name)) {
            return row;
        }
    }
    return -1;
}

std::string FileListFolderLabel(std::string_view folder) {
    return folder.empty() ? std::string(res::kNoFolderLabel) : std::string(folder);
}

} // namespace pirela
