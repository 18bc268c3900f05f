#pragma once

namespace pirela {

// The keys that move the selection in the thumbnail grid.
enum class GridKey { Left, Right, Up, Down, Home, End, PageUp, PageDown };

// Where the cells of the thumbnail grid stand: count cells of cellWidth x cellHeight pixels in
// rows as wide as the view allows (one cell at least), in list order.
class GridLayout {
public:
    GridLayout(int count, int viewWidth, int cellWidth, int cellHeight);

    int Count() const { return count_; }
    int Columns() const { return columns_; }
    int Rows() const { return (count_ + columns_ - 1) / columns_; }
    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }
    int ContentHeight() const { return Rows() * cellHeight_; }
    // The whole rows that fit in a view of that height (one at least).
    int RowsIn(int viewHeight) const;

    int RowOf(int index) const { return index / columns_; }
    int ColumnOf(int index) const { return index % columns_; }
    int LeftOf(int index) const { return ColumnOf(index) * cellWidth_; }
    int TopOf(int index) const { return RowOf(index) * cellHeight_; }
    // The cell under a point of the content (scrolled position added); -1 for none.
    int IndexAt(int x, int y) const;

    // The cells a view of that height shows from that scroll position, partly shown ones too.
    struct Range {
        int first = 0;
        int count = 0;
    };
    Range InSight(int scrollY, int viewHeight) const;
    // The scroll position that shows the cell whole, moving as little as possible.
    int ScrollToShow(int index, int scrollY, int viewHeight) const;

    // The cell a key leads to from index: a column left or right (across row ends), a row up
    // or down (staying in the last row), the first or last cell, a view's rows up or down.
    // Never outside the list.
    int Move(int index, GridKey key, int viewHeight) const;

private:
    int count_;
    int cellWidth_;
    int cellHeight_;
    int columns_;
};

} // namespace pirela
