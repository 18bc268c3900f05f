#include "view/GridSelection.h"

#include <algorithm>

namespace pirela {

void GridSelection::Reset(int count, int current) {
    chosen_.assign(static_cast<std::size_t>(std::max(0, count)), false);
    selectedCount_ = 0;
    current_ = anchor_ = std::clamp(current, 0, std::max(0, count - 1));
    if (Valid(current_)) {
        Choose(current_, true);
    }
}

bool GridSelection::IsSelected(int index) const {
    return Valid(index) && chosen_[static_cast<std::size_t>(index)];
}

std::vector<int> GridSelection::Selected() const {
    std::vector<int> selected;
    selected.reserve(static_cast<std::size_t>(selectedCount_));
    for (int index = 0; index < Count(); ++index) {
        if (chosen_[static_cast<std::size_t>(index)]) {
            selected.push_back(index);
        }
    }
    return selected;
}

void GridSelection::Choose(int index, bool chosen) {
    std::vector<bool>::reference cell = chosen_[static_cast<std::size_t>(index)];
    if (cell != chosen) {
        cell = chosen;
        selectedCount_ += chosen ? 1 : -1;
    }
}

void GridSelection::ChooseOnly(int first, int last) {
    std::fill(chosen_.begin(), chosen_.end(), false);
    std::fill(chosen_.begin() + first, chosen_.begin() + last + 1, true);
    selectedCount_ = last - first + 1;
}

void GridSelection::MoveTo(int index) {
    if (Valid(index)) {
        current_ = anchor_ = index;
        ChooseOnly(index, index);
    }
}

void GridSelection::Remove(int index) {
    if (!Valid(index)) {
        return;
    }
    if (IsSelected(index)) {
        --selectedCount_;
    }
    chosen_.erase(chosen_.begin() + index);
    const auto shift = [index, this](int at) {
        return std::clamp(at > index ? at - 1 : at, 0, std::max(0, Count() - 1));
    };
    current_ = shift(current_);
    anchor_ = shift(anchor_);
    if (selectedCount_ == 0 && Valid(current_)) {
        Choose(current_, true);
    }
}

void GridSelection::ExtendTo(int index) {
    if (Valid(index)) {
        current_ = index;
        ChooseOnly(std::min(anchor_, index), std::max(anchor_, index));
    }
}

void GridSelection::Toggle(int index) {
    if (Valid(index)) {
        current_ = anchor_ = index;
        Choose(index, !IsSelected(index));
    }
}

void GridSelection::SelectAll() {
    std::fill(chosen_.begin(), chosen_.end(), true);
    selectedCount_ = Count();
}

} // namespace pirela
