#pragma once

#include "load/ViewPlan.h"
#include "settings/AppSettings.h"
#include "ui/ImagePainter.h"
#include "view/DrawGeometry.h"

#include <QAbstractScrollArea>
#include <QTimer>

class QMenu;

#include <cstdint>

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
    void OnZoom(float rate);
    void OnScrollKey(ScrollKey key);
    // Runs the batch rename dialog; when a rename was carried out, the folder is read again.
    void OnBatchRename();
    // What a drop of a file or folder does: the open folder is closed first, then the path is
    // opened as a folder or as an image file, and remembered as the last chosen folder.
    void OpenDropped(const std::string& path);
    // The menu shown at a right-button press or the Menu key; the view does not own it.
    void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

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
    bool HasImage() const;
    // What decides the draw size of the images to come.
    ViewPlan Plan() const;
    void PaintBackground(QPainter& painter);
    void DrawLoadError(QPainter& painter);
    void UpdateScrollBars();
    void RefreshAfterOpen();

    CPirelaDoc& doc_;
    AppSettings& settings_;
    DocumentHost& host_;

    ImagePainter painter_;
    QTimer lastPictureTimer_; // ends a last picture's stand-in

    PixelSize scrollSize_{100, 100};
    bool dragging_ = false;
    ScrollPoint dragAnchor_;
    PixelSize pressClient_;
    QMenu* contextMenu_ = nullptr;
};

} // namespace pirela
