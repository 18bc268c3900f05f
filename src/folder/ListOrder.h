#pragma once

#include <cstdint>
#include <string_view>

namespace pirela {

// The orders the folder's list can be kept in. The values are those of the settings file.
enum class ListOrder {
    Name = 0,     // ASCII case ignored, bytes compared: img10 before img2
    Natural = 1,  // the same, but runs of digits compared as numbers: img2 before img10
    DateTaken = 2 // by the time the photo was taken, then by name
};

// The order the setting names; the name order for any value it does not know.
ListOrder ListOrderFromSetting(int value);

// The sort order of two list names: negative, zero or positive. After their common start
// (ASCII case ignored), a remainder that goes into a subfolder sorts after one that does not;
// otherwise the remainders compare byte by byte with ASCII letters folded.
int CompareListNames(std::string_view a, std::string_view b);

// The list's strict order: CompareListNames, and names equal but for case by their bytes, so
// that the order never depends on the order the file system gave.
bool ListNameLess(std::string_view a, std::string_view b);

// The natural order: as the name order, a file of a level before anything deeper, but a run of
// digits counts as one number, so "img2" sorts before "img10" and "IMG_0009" before "img_10".
// Numbers equal in value ("1", "01") then fall back on the name order.
int CompareNaturalNames(std::string_view a, std::string_view b);
bool NaturalNameLess(std::string_view a, std::string_view b);

// The first sixteen bytes of a name as an order sees them: where two keys differ, ListNameLess
// (NaturalNameLess) orders the names the same way, so a sort compares the names themselves only
// where their keys are equal.
struct OrderKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    bool operator==(const OrderKey&) const = default;
    bool operator<(const OrderKey& other) const {
        return high != other.high ? high < other.high : low < other.low;
    }
};
OrderKey NameOrderKey(std::string_view name);
OrderKey NaturalOrderKey(std::string_view name);
// For the names of a list that lie in several folders, whose first bytes are mostly their
// folders': the rank of the name's folder among the list's folders (its files, then its
// subfolders, each order's way; folders the order holds equal share a rank), then the bytes of
// its file name.
OrderKey RankedOrderKey(std::uint32_t folderRank, std::string_view fileName, bool natural);

} // namespace pirela
