#include "rename/BatchRenameSettings.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "platform/FileTransfer.h"
#include "res/Messages.h"

#include <sys/stat.h>

#include <climits>

namespace pirela {

namespace {

constexpr int kMaxDigits = 10;

std::int64_t PowerOfTen(int exponent) {
    std::int64_t power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

// The checks of the folder, in order; an empty text when the folder can be renamed in.
std::string CheckFolder(const std::string& folder) {
    if (folder.empty()) {
        return res::kMsgBatchNoFolder;
    }
    // By identity, so that "/.." and a link to the root are the root too.
    if (FileTransfer::IsSameFile(folder, "/")) {
        return res::BatchRootFolderMessage(folder);
    }
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        return res::BatchFolderNotFoundMessage(folder);
    }
    if (!S_ISDIR(status.st_mode)) {
        return res::BatchNotAFolderMessage(folder);
    }
    return {};
}

} // namespace

int AutomaticDigitCount(std::size_t files, std::int64_t start, int typed) {
    int digits = 1;
    while (digits <= 5 && files >= std::size_t(PowerOfTen(digits))) {
        ++digits;
    }
    if (digits > 5) {
        return typed;
    }
    const std::int64_t last = start + std::int64_t(files) - 1;
    while (digits < kMaxDigits && last >= PowerOfTen(digits)) {
        ++digits;
    }
    return digits;
}

std::string FormatListText(const ImageFormatChoice& formats) {
    std::string text;
    if (formats.bitmap) {
        text += res::kBatchFormatBitmap;
    }
    if (formats.jpeg) {
        text += res::kBatchFormatJpeg;
    }
    if (formats.png) {
        text += res::kBatchFormatPng;
    }
    if (formats.other) {
        text += res::kBatchFormatOther;
    }
    return text;
}

BatchRenameCheck CheckBatchRename(const BatchRenameSettings& settings, std::size_t listed) {
    BatchRenamePlan plan;
    plan.digits = ParseLeadingInt(settings.digits);
    plan.start = ParseLeadingInt(settings.start);
    if (settings.autoDigits) {
        plan.digits = AutomaticDigitCount(listed, plan.start, plan.digits);
    }
    plan.prefix = settings.prefix;
    plan.folder = WithoutTrailingSeparator(settings.folder);
    if (plan.digits < 1 || plan.digits > kMaxDigits) {
        return {res::kMsgBatchDigitsRange, plan};
    }
    if (plan.start < 0) {
        return {res::kMsgBatchStartNegative, plan};
    }
    if (std::int64_t(listed) > PowerOfTen(plan.digits) - plan.start) {
        return {res::kMsgBatchTooFewDigits, plan};
    }
    if (std::string message = CheckFolder(plan.folder); !message.empty()) {
        return {std::move(message), plan};
    }
    // A separator in the prefix would make every new name a path into another folder: no file
    // could take its name, so the run is refused before it starts.
    if (plan.prefix.find(kPathSeparator) != std::string::npos) {
        return {res::BatchPrefixCharacterMessage(kPathSeparator), plan};
    }
    // Nor may a new name exceed what a file system holds: prefix, serial, "." and an extension
    // (the longest the folder scan knows).
    constexpr std::size_t kLongestExtension = 4;
    if (plan.prefix.size() + std::size_t(plan.digits) + 1 + kLongestExtension > NAME_MAX) {
        return {res::kMsgBatchPrefixTooLong, plan};
    }
    return {{}, plan};
}

} // namespace pirela
