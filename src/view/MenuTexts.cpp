#include "view/MenuTexts.h"

#include "common/PathRules.h"
#include "res/Messages.h"

namespace pirela {

namespace {

constexpr std::size_t kMaxExplorerPartBytes = 200;
constexpr std::size_t kMaxProgramItems = 8;

std::string Numbered(int number, std::string_view rest) {
    return "&" + std::to_string(number) + " " + std::string(rest);
}

// The last part of a folder for the explorer items: the text after the last separator, or,
// when the folder ends with one (a root), the part before it with that separator.
std::string_view ExplorerPartOf(std::string_view folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        std::string_view withoutSeparator = folder.substr(0, folder.size() - 1);
        const std::size_t previous = withoutSeparator.rfind(kPathSeparator);
        return previous == std::string_view::npos ? folder : folder.substr(previous + 1);
    }
    return FileNameOf(folder);
}

} // namespace

std::string EscapeMnemonics(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        escaped += c;
        if (c == '&') {
            escaped += '&';
        }
    }
    return escaped;
}

std::string DestinationItemText(int number, std::string_view folder) {
    if (folder.empty()) {
        return Numbered(number, res::kUnsetDestination);
    }
    return Numbered(number, EscapeMnemonics(FolderForSearch(LastPartOf(folder))) + " へ");
}

std::string SendBarCaption(int number, std::string_view folder) {
    if (folder.empty()) {
        return Numbered(number, res::kUnsetDestination);
    }
    return Numbered(number, EscapeMnemonics(FolderForSearch(LastPartOf(folder))));
}

std::string SendBarToolTip(std::string_view folder) {
    if (folder.empty()) {
        return res::kUnsetDestinationToolTip;
    }
    return std::string(folder) + res::kSendToToolTipSuffix;
}

std::string ExplorerItemText(int number, std::string_view folder) {
    if (folder.empty()) {
        return Numbered(number, "フォルダ (未設定)");
    }
    std::string_view part = ExplorerPartOf(folder);
    if (part.size() > kMaxExplorerPartBytes) {
        part = {};
    }
    return Numbered(number, EscapeMnemonics(FolderForSearch(part)) + " を開く");
}

std::vector<std::string> ProgramItemTexts(const std::array<std::string, 10>& names) {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < kMaxProgramItems && !names[i].empty(); ++i) {
        items.push_back("&" + std::to_string(i + 1) + " " + names[i]);
    }
    return items;
}

} // namespace pirela
