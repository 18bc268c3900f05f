#include "folder/Navigation.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "res/Messages.h"

#include <algorithm>

namespace pirela {

int RowForName(const ImageFileList& list, std::string_view name) {
    const auto& names = list.Names();
    const auto exact = std::find(names.begin(), names.end(), name);
    if (exact != names.end()) {
        return static_cast<int>(exact - names.begin());
    }
    for (int row = 0; row < list.Count(); ++row) {
        const std::string& candidate = list.Name(row);
        if (candidate.size() >= name.size() &&
            EqualsIgnoringAsciiCase(std::string_view(candidate).substr(0, name.size()), name)) {
            return row;
        }
    }
    return -1;
}

std::string FileListFolderLabel(std::string_view folder) {
    if (folder.empty()) {
        return res::kNoFolderLabel;
    }
    if (std::count(folder.begin(), folder.end(), kPathSeparator) < 2) {
        return std::string(folder);
    }
    // The root: "/" here, "C:\" on Windows.
    const std::size_t rootLength = folder.find(kPathSeparator) + 1;
    std::string label(folder.substr(0, rootLength));
    label += "...";
    label += kPathSeparator;
    label += LastPartOf(folder);
    return label;
}

} // namespace pirela
