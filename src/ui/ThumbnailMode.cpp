#include "ui/ThumbnailMode.h"

#include "app/CPirelaDoc.h"
#include "host/DocumentHost.h"
#include "thumbnail/ThumbnailCache.h"
#include "thumbnail/ThumbnailSize.h"
#include "ui/CMainFrame.h"
#include "ui/CThumbnailGrid.h"
#include "ui/KeyboardAccelerators.h"
#include "ui/QtText.h"

#include <QStackedWidget>
#include <set>

namespace pirela {

namespace {

// The desktop's "normal" thumbnails: the file managers' own size, so most photos of a card
// that was looked at once are already in the cache.
constexpr int kBox = Pixels(ThumbnailSize::Normal);
// What the grid holds of thumbnails near the rows in sight: some 1,000 of 128 pixels.
constexpr std::size_t kHeldBytes = std::size_t{64} << 20;
// The name of our failure records' folder, "fail/pirela-<version>".
constexpr const char* kProgram = "pirela-1.2a";

const std::set<int>& GridKeys() {
    static const std::set<int> keys{Qt::Key_Up,     Qt::Key_Down, Qt::Key_Left,   Qt::Key_Right,
                                    Qt::Key_Home,   Qt::Key_End,  Qt::Key_PageUp, Qt::Key_PageDown,
                                    Qt::Key_Return, Qt::Key_Enter};
    return keys;
}

} // namespace

ThumbnailMode::ThumbnailMode(CMainFrame& frame, CPirelaDoc& doc, DocumentHost& host,
                             QWidget* picture)
    : QObject(&frame), frame_(frame), doc_(doc), host_(host), picture_(picture) {
    if (frame.centralWidget() == picture) {
        frame.takeCentralWidget(); // kept: setCentralWidget would delete it
    }
    faces_ = new QStackedWidget(&frame);
    grid_ = new CThumbnailGrid(ThumbnailCache(ThumbnailCache::DefaultRoot(), kProgram), kBox,
                               kHeldBytes, faces_);
    faces_->addWidget(picture);
    faces_->addWidget(grid_);
    frame.setCentralWidget(faces_);
    const ImageFileList& list = doc_.FileList();
    grid_->SetMarks([this, &list](int index) {
        if (index >= list.Count()) {
            return QString();
        }
        QString marks;
        for (const std::string& destination : doc_.CopiedTo(list.ImagePath(index))) {
            marks += (marks.isEmpty() ? QStringLiteral("→ ") : QStringLiteral(", ")) +
                     ToQString(destination);
        }
        return marks;
    });
    // While the grid shows, the sends and the trash act on every photo chosen in it.
    doc_.SetChosenRows([this] { return on_ ? grid_->Selection().Selected() : std::vector<int>(); });
    connect(grid_, &CThumbnailGrid::CurrentChanged, this, &ThumbnailMode::OnGridMoved);
    connect(grid_, &CThumbnailGrid::Activated, this, [this](int index) {
        OnGridMoved(index);
        Leave();
    });
}

ThumbnailMode::~ThumbnailMode() {
    doc_.SetChosenRows({});
}

void ThumbnailMode::Toggle() {
    if (on_) {
        Leave();
    } else {
        Enter();
    }
}

void ThumbnailMode::Enter() {
    if (on_) {
        return;
    }
    doc_.AwaitListing(); // the grid shows the whole list, in its order
    on_ = true;
    if (stale_) {
        Reload();
    } else {
        grid_->SetCurrent(doc_.FileList().Current());
    }
    grid_->SetActive(true);
    faces_->setCurrentWidget(grid_);
    grid_->setFocus();
    frame_.Accelerators().SetOwnKeys(&frame_, GridKeys());
    frame_.UpdateCommandUi();
}

void ThumbnailMode::Leave() {
    if (!on_) {
        return;
    }
    on_ = false;
    grid_->SetActive(false);
    frame_.Accelerators().SetOwnKeys(&frame_, {});
    faces_->setCurrentWidget(picture_);
    picture_->setFocus();
    host_.UpdateAllViews();
    frame_.UpdateCommandUi();
}

void ThumbnailMode::Reload() {
    const ImageFileList& list = doc_.FileList();
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        paths.push_back(list.ImagePath(i));
    }
    grid_->SetList(
        std::move(paths),
        [&list](int index) {
            return index < list.Count() ? ToQString(list.Name(index)) : QString();
        },
        list.Current());
    stale_ = false;
}

void ThumbnailMode::ListFilled(int selectedRow) {
    stale_ = true;
    if (on_) {
        Reload();
        grid_->SetCurrent(selectedRow);
    }
}

void ThumbnailMode::ListCleared() {
    stale_ = true;
    Leave();
}

void ThumbnailMode::RowSelected(int row) {
    if (on_ && row >= 0) {
        grid_->SetCurrent(row);
    }
}

void ThumbnailMode::RowDeleted(int row) {
    if (on_) {
        grid_->RemoveEntry(row);
    } else {
        stale_ = true;
    }
}

void ThumbnailMode::Repaint() {
    if (on_) {
        grid_->viewport()->update();
    }
}

void ThumbnailMode::OnGridMoved(int index) {
    ImageFileList& list = doc_.FileList();
    if (index == list.Current()) {
        return;
    }
    if (host_.FileWorkRunning()) {
        // The work may be moving the photo shown: it stays current until the work ends.
        grid_->SetCurrent(list.Current());
        return;
    }
    if (const std::string path = doc_.JumpImage(index - list.Current()); !path.empty()) {
        doc_.ShowListedImage(path);
    }
}

} // namespace pirela
