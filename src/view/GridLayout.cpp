#include "view/GridLayout.h"

#include <algorithm>

namespace pirela {

GridLayout::GridLayout(int count, int viewWidth, int cellWidth, int cellHeight)
    : count_(std::max(0, count)), cellWidth_(std::max(1, cellWidth)),
      cellHeight_(std::max(1, cellHeight)), columns_(std::max(1, viewWidth / cellWidth_)) {}

int GridLayout::RowsIn(int viewHeight) const {
    return std::max(1, viewHeight / cellHeight_);
}

int GridLayout::IndexAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= columns_ * cellWidth_) {
        return -1;
    }
    const long long index = static_cast<long long>(y / cellHeight_) * columns_ + x / cellWidth_;
    return index < count_ ? static_cast<int>(index) : -1;
}

GridLayout::Range GridLayout::InSight(int scrollY, int viewHeight) const {
    if (count_ == 0 || viewHeight <= 0) {
        return {};
    }
    const int firstRow = std::max(0, scrollY / cellHeight_);
    const int lastRow = (std::max(0, scrollY) + viewHeight - 1) / cellHeight_;
    const long long first = static_cast<long long>(firstRow) * columns_;
    const long long end =
        std::min<long long>(count_, (static_cast<long long>(lastRow) + 1) * columns_);
    if (first >= end) {
        return {};
    }
    return {static_cast<int>(first), static_cast<int>(end - first)};
}

int GridLayout::ScrollToShow(int index, int scrollY, int viewHeight) const {
    const int top = TopOf(index);
    const int bottom = top + cellHeight_;
    if (top < scrollY) {
        return top;
    }
    if (bottom > scrollY + viewHeight) {
        return cellHeight_ >= viewHeight ? top : bottom - viewHeight;
    }
    return scrollY;
}

int GridLayout::Move(int index, GridKey key, int viewHeight) const {
    if (count_ == 0) {
        return 0;
    }
    const long long page = static_cast<long long>(RowsIn(viewHeight)) * columns_;
    long long target = index;
    switch (key) {
    case GridKey::Left:
        target = index - 1;
        break;
    case GridKey::Right:
        target = index + 1;
        break;
    case GridKey::Up:
        target = index >= columns_ ? index - columns_ : index;
        break;
    case GridKey::Down:
        // From a row above the last, down to the last cell when the row below is shorter.
        target =
            RowOf(index) < Rows() - 1 ? std::min<long long>(index + columns_, count_ - 1) : index;
        break;
    case GridKey::Home:
        target = 0;
        break;
    case GridKey::End:
        target = count_ - 1;
        break;
    case GridKey::PageUp:
        target = index - page >= 0 ? index - page : ColumnOf(index);
        break;
    case GridKey::PageDown:
        target = index + page < count_ ? index + page : count_ - 1;
        break;
    }
    return static_cast<int>(std::clamp<long long>(target, 0, count_ - 1));
}

} // namespace pirela
