#pragma once

#include <vector>

namespace pirela {

// Which photos of the list are chosen in the thumbnail grid, and which one has the focus (the
// current photo). A plain move chooses only the cell it reaches; Shift extends the choice from
// the anchor, where the last plain move or Ctrl+click left it; Ctrl toggles one cell; Ctrl+A
// chooses them all.
class GridSelection {
public:
    // count cells, only the current one chosen (none when the list is empty).
    void Reset(int count, int current);

    int Count() const { return static_cast<int>(chosen_.size()); }
    int Current() const { return current_; }
    bool IsSelected(int index) const;
    int SelectedCount() const { return selectedCount_; }
    // The chosen cells in list order.
    std::vector<int> Selected() const;

    void MoveTo(int index);
    void ExtendTo(int index);
    void Toggle(int index);
    void SelectAll();
    // The cell leaves the list: the cells after it move up one. The current cell stays the
    // photo it was, or, when it was that cell, becomes the one that followed it (or the new
    // last one), chosen when nothing else is.
    void Remove(int index);

private:
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    void Choose(int index, bool chosen);
    void ChooseOnly(int first, int last);

    std::vector<bool> chosen_;
    int selectedCount_ = 0;
    int current_ = 0;
    int anchor_ = 0;
};

} // namespace pirela
