#include "send/ExternalPrograms.h"

#include "common/PathRules.h"

#include <algorithm>

namespace pirela {

ExternalPrograms ExternalPrograms::FromOptions(const OptionBlock& options) {
    ExternalPrograms programs;
    for (int i = 0; i < kMaxCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (options.programNames[slot].empty()) {
            break;
        }
        programs.entries_.push_back({options.programNames[slot], options.programCommands[slot]});
    }
    return programs;
}

void ExternalPrograms::StoreInto(OptionBlock& options) const {
    options.programNames.fill({});
    options.programCommands.fill({});
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        options.programNames[i] = entries_[i].name;
        options.programCommands[i] = entries_[i].command;
    }
}

void ExternalPrograms::Append(ExternalProgram program) {
    if (!IsFull()) {
        entries_.push_back(std::move(program));
    }
}

void ExternalPrograms::Replace(int index, ExternalProgram program) {
    if (IsIndex(index)) {
        entries_[static_cast<std::size_t>(index)] = std::move(program);
    }
}

void ExternalPrograms::Remove(int index) {
    if (IsIndex(index)) {
        entries_.erase(entries_.begin() + index);
    }
}

void ExternalPrograms::MoveToTop(int index) {
    if (IsIndex(index)) {
        std::rotate(entries_.begin(), entries_.begin() + index, entries_.begin() + index + 1);
    }
}

void ExternalPrograms::InsertAtTop(ExternalProgram program) {
    if (IsFull()) {
        entries_.pop_back();
    }
    entries_.insert(entries_.begin(), std::move(program));
}

std::vector<std::string> ExternalPrograms::ListLines() const {
    std::vector<std::string> lines;
    for (const ExternalProgram& entry : entries_) {
        lines.push_back(entry.name + " - " + entry.command);
    }
    return lines;
}

std::string ExternalPrograms::NameFromPath(std::string_view path) {
    std::string_view name = FileNameOf(path);
    constexpr std::string_view kWindowsSuffix = ".exe";
    if (name.size() > kWindowsSuffix.size() && name.ends_with(kWindowsSuffix)) {
        name.remove_suffix(kWindowsSuffix.size());
    }
    return std::string(name);
}

} // namespace pirela
