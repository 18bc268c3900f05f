#pragma once

#include "settings/AppSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace pirela {

struct ExternalProgram {
    std::string name;    // the label in menus and in the options list
    std::string command; // a program path, or a name looked up on PATH; never split
    bool operator==(const ExternalProgram&) const = default;
};

// The registered external programs, most recently used first, eight at the most. The settings
// hold them in name and command slots; the list ends at the first empty name.
class ExternalPrograms {
public:
    static constexpr int kMaxCount = kStoredProgramSlots;

    static ExternalPrograms FromOptions(const OptionBlock& options);
    // Empties every slot, then writes the list from the first slot on.
    void StoreInto(OptionBlock& options) const;

    int Count() const { return static_cast<int>(entries_.size()); }
    bool IsFull() const { return Count() >= kMaxCount; }
    const ExternalProgram& At(int index) const { return entries_.at(static_cast<std::size_t>(index)); }

    // Adds at the end; a full list stays as it is (the caller tells the user).
    void Append(ExternalProgram program);
    void Replace(int index, ExternalProgram program);
    void Remove(int index);
    // The entry goes first; those before it move down by one, those after it stay.
    void MoveToTop(int index);
    // A new first entry; when the list was full, its last entry is dropped.
    void InsertAtTop(ExternalProgram program);

    // One line per entry for the options list: "name - command".
    std::vector<std::string> ListLines() const;

    // The label of a program chosen by its path: its whole file name, because programs here
    // carry no extension and dots belong to the name ("python3.11", "org.gnome.eog"); only a
    // final ".exe" is dropped.
    static std::string NameFromPath(std::string_view path);

private:
    bool IsIndex(int index) const { return index >= 0 && index < Count(); }

    std::vector<ExternalProgram> entries_;
};

} // namespace pirela
