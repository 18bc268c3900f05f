#include "folder/ListOrder.h"

#include "common/PathRules.h"

namespace pirela {

namespace {

unsigned char Folded(char c) {
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool GoesDeeper(std::string_view remainder) {
    return remainder.find(kPathSeparator) != std::string_view::npos;
}

// The part of the path up to its first separator, and whether more follows (a folder).
struct Component {
    std::string_view text;
    bool folder = false;
};

Component NextComponent(std::string_view& path) {
    const std::size_t end = path.find(kPathSeparator);
    if (end == std::string_view::npos) {
        const Component last{path, false};
        path = {};
        return last;
    }
    const Component folder{path.substr(0, end), true};
    path.remove_prefix(end + 1);
    return folder;
}

// The digits of a run without its leading zeros ("007" is "7"; "000" is "").
std::string_view Significant(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

std::size_t DigitRunLength(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - from;
}

// Two runs of digits by their value: a longer number without its zeros is the larger.
int CompareNumbers(std::string_view a, std::string_view b) {
    const std::string_view sa = Significant(a);
    const std::string_view sb = Significant(b);
    if (sa.size() != sb.size()) {
        return sa.size() < sb.size() ? -1 : 1;
    }
    const int order = sa.compare(sb);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// One component of two paths, digits as numbers and ASCII letters folded.
int CompareNaturalComponents(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t na = DigitRunLength(a, i);
            const std::size_t nb = DigitRunLength(b, j);
            if (const int order = CompareNumbers(a.substr(i, na), b.substr(j, nb)); order != 0) {
                return order;
            }
            i += na;
            j += nb;
            continue;
        }
        if (Folded(a[i]) != Folded(b[j])) {
            return static_cast<int>(Folded(a[i])) - static_cast<int>(Folded(b[j]));
        }
        ++i;
        ++j;
    }
    return static_cast<int>(i < a.size()) - static_cast<int>(j < b.size());
}

} // namespace

ListOrder ListOrderFromSetting(int value) {
    switch (value) {
    case static_cast<int>(ListOrder::Natural):
        return ListOrder::Natural;
    case static_cast<int>(ListOrder::DateTaken):
        return ListOrder::DateTaken;
    default:
        return ListOrder::Name;
    }
}

int CompareListNames(std::string_view a, std::string_view b) {
    std::size_t common = 0;
    while (common < a.size() && common < b.size() && Folded(a[common]) == Folded(b[common])) {
        ++common;
    }
    const std::string_view ra = a.substr(common);
    const std::string_view rb = b.substr(common);
    const bool aDeeper = GoesDeeper(ra);
    const bool bDeeper = GoesDeeper(rb);
    if (aDeeper != bDeeper) {
        return aDeeper ? 1 : -1;
    }
    if (ra.empty() || rb.empty()) {
        return static_cast<int>(!ra.empty()) - static_cast<int>(!rb.empty());
    }
    return static_cast<int>(Folded(ra.front())) - static_cast<int>(Folded(rb.front()));
}

bool ListNameLess(std::string_view a, std::string_view b) {
    const int order = CompareListNames(a, b);
    return order != 0 ? order < 0 : a < b;
}

// Component by component: where the paths part, a file of that level comes before a folder
// (and so before everything deeper), as in the name order.
int CompareNaturalNames(std::string_view a, std::string_view b) {
    while (!a.empty() || !b.empty()) {
        if (a.empty() || b.empty()) {
            return a.empty() ? -1 : 1;
        }
        const Component ca = NextComponent(a);
        const Component cb = NextComponent(b);
        if (ca.folder != cb.folder) {
            return ca.folder ? 1 : -1;
        }
        if (const int order = CompareNaturalComponents(ca.text, cb.text); order != 0) {
            return order;
        }
    }
    return 0;
}

bool NaturalNameLess(std::string_view a, std::string_view b) {
    const int order = CompareNaturalNames(a, b);
    return order != 0 ? order < 0 : ListNameLess(a, b);
}

namespace {

// Packs up to sixteen bytes, the first the highest; a shorter key ends in zeros, which sort
// before every byte a name holds, as a name that ends first sorts first.
class KeyBytes {
public:
    bool Full() const { return count_ == 16; }
    void Add(unsigned char byte) {
        if (Full()) {
            return;
        }
        std::uint64_t& half = count_ < 8 ? key_.high : key_.low;
        half |= std::uint64_t(byte) << (8 * (7 - count_ % 8));
        ++count_;
    }
    OrderKey Key() const { return key_; }

private:
    OrderKey key_;
    int count_ = 0;
};

// Folded bytes as they are. Always true: nothing ends the key early.
bool AddFolded(KeyBytes& key, std::string_view text) {
    for (std::size_t i = 0; i < text.size() && !key.Full(); ++i) {
        key.Add(Folded(text[i]));
    }
    return true;
}

// A run of digits becomes a byte from '0' to '9' that tells its count of significant digits
// (from '9' on with the count in the next byte), then those digits: runs compare by value among
// themselves, and against any other byte as their first digit does, since no other byte lies
// between '0' and '9'. False when a number too long for the key ended it.
bool AddNatural(KeyBytes& key, std::string_view text) {
    for (std::size_t i = 0; i < text.size() && !key.Full();) {
        if (!IsDigit(text[i])) {
            key.Add(Folded(text[i++]));
            continue;
        }
        const std::size_t run = DigitRunLength(text, i);
        const std::string_view significant = Significant(text.substr(i, run));
        if (significant.size() < 9) {
            key.Add(static_cast<unsigned char>('0' + significant.size()));
        } else if (significant.size() < 255) {
            key.Add('9');
            key.Add(static_cast<unsigned char>(significant.size()));
        } else {
            key.Add('9');
            key.Add(255); // a number this long is compared in the names themselves
            return false;
        }
        for (const char digit : significant) {
            key.Add(static_cast<unsigned char>(digit));
        }
        i += run;
    }
    return true;
}

// Each part of a path begins with 0 for a file or 1 for a folder, so that where two paths part,
// a file of that level comes first; a folder's name ends with folderEnd.
OrderKey PathKey(std::string_view name, unsigned char folderEnd,
                 bool (*addText)(KeyBytes&, std::string_view)) {
    KeyBytes key;
    while (!key.Full()) {
        const Component part = NextComponent(name);
        key.Add(part.folder ? 1 : 0);
        if (!addText(key, part.text) || !part.folder) {
            break;
        }
        key.Add(folderEnd);
    }
    return key.Key();
}

} // namespace

// A folder's name ends with its separator, which then compares as the byte it is, as in
// CompareListNames.
OrderKey NameOrderKey(std::string_view name) {
    return PathKey(name, kPathSeparator, AddFolded);
}

// A folder's name ends with a 0, since CompareNaturalNames compares the parts of two paths on
// their own: the shorter name of two first.
OrderKey NaturalOrderKey(std::string_view name) {
    return PathKey(name, 0, AddNatural);
}

OrderKey RankedOrderKey(std::uint32_t folderRank, std::string_view fileName, bool natural) {
    KeyBytes key;
    for (int shift = 24; shift >= 0; shift -= 8) {
        key.Add(static_cast<unsigned char>(folderRank >> shift));
    }
    (natural ? AddNatural : AddFolded)(key, fileName);
    return key.Key();
}

} // namespace pirela
