#include "rename/BatchRenameFiles.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "folder/DateTakenCache.h"
#include "folder/ImageFileList.h"
#include "image/ImageFormat.h"
#include "platform/DirectoryReader.h"

#include <algorithm>
#include <utility>

namespace pirela {

namespace {

bool HasChosenExtension(std::string_view name, const std::vector<std::string_view>& extensions) {
    const std::string_view extension = ExtensionOf(name);
    return std::any_of(extensions.begin(), extensions.end(), [extension](std::string_view chosen) {
        return EqualsIgnoringAsciiCase(extension, chosen);
    });
}

// The names, sorted by name, put in the other order.
void SortInOrder(const std::string& folder, std::vector<std::string>& names, ListOrder order,
                 DateTakenCache* dates) {
    if (order == ListOrder::Natural) {
        std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return NaturalNameLess(a, b);
        });
    } else if (order == ListOrder::DateTaken) {
        DateTakenCache ownDates;
        DateTakenCache& cache = dates != nullptr ? *dates : ownDates;
        std::vector<std::pair<std::int64_t, std::string>> dated;
        dated.reserve(names.size());
        for (std::string& name : names) {
            const auto taken = cache.DateOf(JoinPath(folder, name));
            dated.emplace_back(taken.value_or(ImageFileList::kUnknownTime), std::move(name));
        }
        // Stable: photos of one second keep the name order.
        std::stable_sort(dated.begin(), dated.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        names.clear();
        for (auto& [taken, name] : dated) {
            names.push_back(std::move(name));
        }
    }
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
    if (formats.other) {
        extensions.insert(extensions.end(), kCameraRollExtensions.begin(),
                          kCameraRollExtensions.end());
    }
    return extensions;
}

std::vector<std::string> ListBatchRenameFiles(const std::string& folder,
                                              const ImageFormatChoice& formats, ListOrder order,
                                              DateTakenCache* dates) {
    const std::vector<std::string_view> extensions = ChosenExtensions(formats);
    std::vector<std::string> names;
    if (extensions.empty()) {
        return names;
    }
    // Names of one folder hold no separator, so the file list's order is that of the names
    // with ASCII letters folded, then of their bytes: sorting by (folded, name) gives it with
    // each name folded once instead of in every comparison.
    std::vector<std::pair<std::string, std::string>> keyed;
    ForEachDirectoryEntry(folder, [&](std::string_view name, EntryKind kind) {
        if (kind == EntryKind::RegularFile && name.front() != '.' &&
            HasChosenExtension(name, extensions)) {
            keyed.emplace_back(FoldAsciiCase(name), name);
        }
    });
    std::sort(keyed.begin(), keyed.end());
    names.reserve(keyed.size());
    for (auto& [folded, name] : keyed) {
        names.push_back(std::move(name));
    }
    SortInOrder(folder, names, order, dates);
    return names;
}

} // namespace pirela
