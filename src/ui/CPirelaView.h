#pragma once

#include "load/ViewPlan.h"
#include "settings/AppSettings.h"
#include "ui/ImagePainter.h"
#include "view/DrawGeometry.h"

#include <QAbstractScrollArea>
#include <QTimer>

class QMenu;

#include <cstdint>
#include <optional>

namespace pirela {

class CommandTable;
class CPirelaDoc;
class DocumentHost;

// The image view: paints the document's current image at the zoom in effect, scrolls it by
// scroll bars, arrow keys, dragging and the wheel, and carries the zoom, open and refresh
// commands. It owns no image data beyond the surface it paints from, made once per load or
// turn, and a smoothly scaled copy for the current draw size, made once per draw size (both
// held by its ImagePainter).
class CPirelaView : public QAbstractScrollArea {
    Q_OBJECT
public:
    CPirelaView(CPirelaDoc& doc, AppSettings& settings, DocumentHost& host,
                QWidget* parent = nullptr);

    void RegisterCommands(CommandTable& commands);

    PixelSize ClientSize() const;
    // The draw size for the current image, turn, zoom and client area; (0, 0) without an image.
    PixelSize DrawSize() const;

    // The scroll extent: the draw size, or 10 x 10 without an image.
    void UpdateScrollSizes();
    void SetScrollSizes(PixelSize size);
    ScrollPoint ScrollPosition() const;
    // Scrolls there, held within 0 and the scroll limit.
    void ScrollTo(ScrollPoint position);

    // The commands.
    void OnFileOpen();
    void OnOpenFolder();
    // What the open-folder command does once a folder is chosen.
    void OpenFolder(const std::string& folder);
    void OnRefresh();
    // Zooms to the rate keeping the picture's point in the view's middle where it is.
    void OnZoom(float rate);
    // Zooms to the rate keeping the picture's point under anchor (a viewport position) there.
    void ZoomAt(float rate, ScrollPoint anchor);
    // The fixed zoom next above or below the zoom shown; none beyond the ends or without image.
    std::optional<float> NextZoom(bool larger) const;
    // 100 %, or from 100 % back to the fit mode last used (shrinking large images at first).
    void OnZoomToggle();
    void OnScrollKey(ScrollKey key);
    // Runs the batch rename dialog; when a rename was carried out, the folder is read again.
    void OnBatchRename();
    // What a drop of a file or folder does: the open folder is closed first, then the path is
    // opened as a folder or as an image file, and remembered as the last chosen folder.
    void OpenDropped(const std::string& path);
    // The menu shown at a right-button press or the Menu key; the view does not own it.
    void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }
    // The frame of an animation painted last (1 for the first, and for still images), and
    // whether the view waits to show another.
    int ShownFrame() const { return shownFrame_; }
    bool Animating() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void RegisterNavigationCommands(CommandTable& commands);
    void RegisterTurnCommands(CommandTable& commands);
    void RegisterZoomCommands(CommandTable& commands);
    // Whether a picture smaller than the view stands in its middle.
    bool Centred() const;
    ScrollPoint MiddleOfView() const;
    // Ctrl with the wheel: a step of zoom for each notch, at the pointer.
    void ZoomByWheel(const QWheelEvent& event);
    bool HasImage() const;
    // What decides the draw size of the images to come.
    ViewPlan Plan() const;
    void PaintBackground(QPainter& painter);
    void DrawLoadError(QPainter& painter);
    void UpdateScrollBars();
    void RefreshAfterOpen();
    // Has the next frame of a playing animation shown when it is due.
    void ScheduleNextFrame();
    void ShowNextFrame();

    CPirelaDoc& doc_;
    AppSettings& settings_;
    DocumentHost& host_;

    ImagePainter painter_;
    QTimer lastPictureTimer_; // ends a last picture's stand-in
    QTimer animationTimer_;   // shows an animation's next frame when it is due
    int shownFrame_ = 1;

    PixelSize scrollSize_{100, 100};
    bool dragging_ = false;
    ScrollPoint dragAnchor_;
    PixelSize pressClient_;
    QMenu* contextMenu_ = nullptr;
    float lastFitRate_ = kRateShrink; // the fit mode the zoom toggle goes back to
    int wheelZoomTurn_ = 0;           // the wheel's turn not yet zoomed by
};

} // namespace pirela
