#pragma once

#include "thumbnail/ThumbnailProvider.h"
#include "view/GridLayout.h"
#include "view/GridSelection.h"

#include <QAbstractScrollArea>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pirela {

// The thumbnails of the whole list in its order, cells of a picture and a name, scrolled by
// rows. The cells in sight ask the provider for their thumbnails and paint what is ready (a
// placeholder otherwise); painting never waits. Arrows, Home, End, Page Up and Page Down move
// the choice (with Shift they extend it), a click chooses a cell (Shift extends, Ctrl toggles),
// Ctrl+A chooses all; Return or a double click opens the current cell.
class CThumbnailGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Thumbnails fitted into squares of box pixels, at most memoryBytes of them held.
    CThumbnailGrid(ThumbnailCache cache, int box, std::size_t memoryBytes,
                   QWidget* parent = nullptr);
    ~CThumbnailGrid() override;

    // A text of the entry at an index: asked only for the cells painted, so that a list of
    // 100,000 photos costs no copy of its names.
    using TextOf = std::function<QString(int index)>;

    // The list: each entry's absolute path, and the name its cell shows; the current entry is
    // chosen and scrolled into sight.
    void SetList(std::vector<std::string> paths, TextOf nameOf, int current);
    // What the session did to an entry (where it was sent), shown over its thumbnail; "" for
    // nothing.
    void SetMarks(TextOf marksOf) { marksOf_ = std::move(marksOf); }
    // The current entry changed elsewhere (the picture view, the file list): only it is chosen.
    // The same entry again keeps the choice as it is.
    void SetCurrent(int index);
    // The entry leaves the list (moved or trashed); the others keep their thumbnails.
    void RemoveEntry(int index);
    // Shown (the workers go at it, each held thumbnail checked against its file again) or
    // hidden (the workers rest).
    void SetActive(bool active);

    const GridSelection& Selection() const { return selection_; }
    int Current() const { return selection_.Current(); }
    const GridLayout& Layout() const { return layout_; }
    const ThumbnailProvider& Provider() const { return *provider_; }
    // Where the cell stands in the viewport, scrolled as it is now.
    QRect CellRect(int index) const;

signals:
    // The current cell moved (by a key or a click).
    void CurrentChanged(int index);
    // Return or a double click: the current cell is to be shown.
    void Activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Relayout();
    void TellProviderWhatIsInSight();
    void ScrollToCurrent();
    void MoveCurrent(int index, bool extend);
    void PostRepaint();
    int Margin() const;
    void PaintCell(QPainter& painter, int index);
    void PaintMarks(QPainter& painter, const QRect& box, int index);

    std::unique_ptr<ThumbnailProvider> provider_;
    std::atomic<bool> repaintPosted_{false};
    TextOf nameOf_;
    TextOf marksOf_;
    GridLayout layout_{0, 1, 1, 1};
    GridSelection selection_;
    int box_;
};

} // namespace pirela
