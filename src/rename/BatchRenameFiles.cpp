#include "rename/BatchRenameFiles.h"

#include "common/AsciiText.h"
#include "folder/ImageFileList.h"
#include "image/ImageFormat.h"
#include "platform/DirectoryReader.h"

#include <algorithm>

namespace pirela {

namespace {

bool HasChosenExtension(std::string_view name, const std::vector<std::string_view>& extensions) {
    const std::string_view extension = ExtensionOf(name);
    return std::any_of(extensions.begin(), extensions.end(), [extension](std::string_view chosen) {
        return EqualsIgnoringAsciiCase(extension, chosen);
    });
}

} // namespace

std::vector<std::string_view> ChosenExtensions(const ImageFormatChoice& formats) {
    std::vector<std::string_view> extensions;
    if (formats.bitmap) {
        extensions.insert(extensions.end(), {"bmp", "dib"});
    }
    if (formats.jpeg) {
        extensions.insert(extensions.end(), {"jpg", "jpe"});
    }
    if (formats.png) {
        extensions.push_back("png");
    }
    return extensions;
}

std::vector<std::string> ListBatchRenameFiles(const std::string& folder,
                                              const ImageFormatChoice& formats) {
    const std::vector<std::string_view> extensions = ChosenExtensions(formats);
    std::vector<std::string> names;
    if (extensions.empty()) {
        return names;
    }
    ForEachDirectoryEntry(folder, [&](std::string_view name, EntryKind kind) {
        if (kind == EntryKind::RegularFile && name.front() != '.' &&
            HasChosenExtension(name, extensions)) {
            names.emplace_back(name);
        }
    });
    std::sort(names.begin(), names.end(), ListNameLess);
    return names;
}

} // namespace pirela
