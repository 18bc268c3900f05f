#pragma once

#include "rename/BatchRenameFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace pirela {

// What the batch rename dialog's controls hold when the user starts a run. The numbers are the
// texts as typed; they are read the way atoi reads them.
struct BatchRenameSettings {
    std::string folder; // the folder's path as bytes, possibly with a trailing separator
    ImageFormatChoice formats;
    std::string prefix;
    bool autoDigits = false;
    std::string digits = "2";
    std::string start = "1";
    // The file list's order, in which the files are numbered; the dates of the date-taken order
    // are looked up in (and added to) the cache when one is given.
    ListOrder order = ListOrder::Name;
    DateTakenCache* dates = nullptr;
};

// A run that passed every check. Serials are 64-bit: a start of 2147483647 with ten digits
// is allowed, and start + index must not wrap.
struct BatchRenamePlan {
    std::string folder; // without a trailing separator
    std::string prefix;
    int digits = 0;
    std::int64_t start = 0;
};

// The first failing check's warning, or (with an empty message) the plan. listed is the
// number of files the dialog shows now; it sets the automatic digit count and bounds the
// largest serial.
struct BatchRenameCheck {
    std::string message;
    BatchRenamePlan plan;

    bool Passed() const { return message.empty(); }
};

BatchRenameCheck CheckBatchRename(const BatchRenameSettings& settings, std::size_t listed);

// The digit count that the number of files needs (1 for fewer than 10, ... 5 for fewer than
// 100000; typed when there are more), grown until the last serial, start + files - 1, fits:
// counting the files alone would refuse a run that starts at 99 for lack of digits the user
// never typed.
int AutomaticDigitCount(std::size_t files, std::int64_t start, int typed);

// " ビットマップ JPEG PNG その他", or the part of it the chosen formats give.
std::string FormatListText(const ImageFormatChoice& formats);

} // namespace pirela
