#pragma once

#include <QObject>
#include <string>

class QStackedWidget;
class QWidget;

namespace pirela {

class CMainFrame;
class CPirelaDoc;
class CThumbnailGrid;
class DocumentHost;
class ImageFileList;

// The main window's two faces: the picture, or the thumbnails of the whole list in its order
// (command "サムネイル一覧", key T). In the grid the current photo is chosen and kept in sight;
// moving the choice makes that photo current, as the file list window does, so that the title,
// the status bar and the file list follow it and the picture is ready when Return, a double
// click or T goes back to it. While the grid shows, the arrows, Home, End, Page Up, Page Down
// and Return are the grid's own.
class ThumbnailMode : public QObject {
    Q_OBJECT
public:
    // The picture view becomes one face of the main window's client area.
    ThumbnailMode(CMainFrame& frame, CPirelaDoc& doc, DocumentHost& host, QWidget* picture);
    ~ThumbnailMode() override;

    bool IsOn() const { return on_; }
    void Toggle();
    void Enter();
    void Leave();
    CThumbnailGrid* Grid() const { return grid_; }

    // What the document asks of the file list window, the grid follows too.
    void ListFilled(int selectedRow);
    void ListCleared();
    void RowSelected(int row);
    void RowDeleted(int row);
    // The cells' marks may have changed.
    void Repaint();

private:
    // The grid takes the list as it stands.
    void Reload();
    void OnGridMoved(int index);

    CMainFrame& frame_;
    CPirelaDoc& doc_;
    DocumentHost& host_;
    QWidget* picture_;
    QStackedWidget* faces_;
    CThumbnailGrid* grid_;
    bool on_ = false;
    // The list changed while the grid was hidden: it is read again when the grid shows.
    bool stale_ = true;
};

} // namespace pirela
