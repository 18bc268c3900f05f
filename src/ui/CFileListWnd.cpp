#include "ui/CFileListWnd.h"

#include "app/CPirelaDoc.h"
#include "host/DocumentHost.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/FramePlacement.h"
#include "ui/QtText.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSizeGrip>

namespace pirela {

namespace {

// The smallest the window may be made, frame included.
constexpr QSize kMinimumSize{135, 157};

} // namespace

CFileListWnd::CFileListWnd(CPirelaDoc& doc, AppSettings& settings, DocumentHost& host,
                           QWidget* mainWindow)
    // A title and a close box, nothing to maximise: the window keeps the size the user gave it.
    : QDialog(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
      doc_(doc), settings_(settings), host_(host), placement_(new FramePlacement(*this)) {
    BuildDialog(*this, res::FileListTemplate());
    setMinimumSize(kMinimumSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); // the template's size is not fixed here
    setSizeGripEnabled(true);
    label_ = qobject_cast<QLabel*>(FindControl(*this, res::kFileListLabel));
    list_ = qobject_cast<QListWidget*>(FindControl(*this, res::kFileListBox));
    show_ = qobject_cast<QPushButton*>(FindControl(*this, res::kFileListShow));
    show_->setEnabled(false);
    connect(show_, &QPushButton::clicked, this, &CFileListWnd::ShowSelected);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CFileListWnd::ShowSelected);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { show_->setEnabled(!list_->selectedItems().isEmpty()); });
}

const std::set<int>& CFileListWnd::OwnKeys() {
    static const std::set<int> keys{Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left,
                                    Qt::Key_Right,  Qt::Key_Home,     Qt::Key_End,
                                    Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Return,
                                    Qt::Key_Enter,  Qt::Key_Escape};
    return keys;
}

void CFileListWnd::Start() {
    WindowRect place = settings_.fileListWindow;
    place.right = place.left + std::max(place.Width(), kMinimumSize.width());
    place.bottom = place.top + std::max(place.Height(), kMinimumSize.height());
    placement_->PlaceAt(place);
    shown_ = false;
    hide();
    if (settings_.fileListVisible == 1) {
        Toggle();
    }
}

void CFileListWnd::Toggle() {
    shown_ = !shown_;
    setVisible(shown_);
    settings_.fileListVisible = shown_ ? 1 : 0;
}

void CFileListWnd::HideWindow() {
    shown_ = false;
    hide();
    settings_.fileListVisible = 0;
}

void CFileListWnd::StoreInSettings() const {
    settings_.fileListWindow = placement_->NormalOuterRect();
    settings_.fileListVisible = shown_ ? 1 : 0;
}

void CFileListWnd::Fill(const std::vector<std::string>& names, int selectedRow,
                        const std::string& label) {
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        rows.append(ToQString(name));
    }
    list_->setUpdatesEnabled(false);
    list_->clear();
    list_->addItems(rows); // in one batch: 19,999 rows must not take seconds
    list_->setUpdatesEnabled(true);
    SelectRow(selectedRow);
    show_->setEnabled(list_->count() > 0);
    label_->setText(ToQString(label));
}

void CFileListWnd::Clear() {
    list_->clear();
    show_->setEnabled(false);
}

void CFileListWnd::SelectRow(int row) {
    if (row >= 0 && row < list_->count()) {
        list_->setCurrentRow(row);
        list_->scrollToItem(list_->item(row));
    } else {
        list_->clearSelection();
    }
}

void CFileListWnd::DeleteRow(int row) {
    delete list_->takeItem(row);
}

QString CFileListWnd::Label() const {
    return label_->text();
}

void CFileListWnd::ShowSelected() {
    const int row = list_->currentRow();
    if (row < 0 || list_->selectedItems().isEmpty() || host_.FileWorkRunning()) {
        return; // file work may be moving the image shown: it stays current until the end
    }
    ImageFileList& files = doc_.FileList();
    files.SetCurrent(row);
    doc_.LoadImageFile(files.CurrentImagePath());
    host_.RefreshTitle();
    host_.UpdateScrollSizes();
    host_.RefreshStatusTexts();
}

bool CFileListWnd::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ShowSelected();
            return true;
        }
    }
    return QDialog::event(event);
}

void CFileListWnd::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A window manager may maximise the window anyway (a double click on its title): it keeps
    // its size and place.
    if (event->type() == QEvent::WindowStateChange && isMaximized()) {
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
}

void CFileListWnd::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void CFileListWnd::LayOut() {
    const int w = width();
    const int h = height();
    label_->setGeometry(6, 5, w - 12, 13);
    list_->setGeometry(6, 22, w - 12, h - 56);
    show_->setGeometry(6, h - 28, 50, 22);
    if (QWidget* hide = FindControl(*this, res::kIdCancel)) {
        hide->setGeometry(62, h - 28, 50, 22);
    }
    // The window gets its final size only once the window manager framed it: the row
    // selected before stays in sight.
    if (QListWidgetItem* current = list_->currentItem()) {
        list_->scrollToItem(current);
    }
    update();
}

void CFileListWnd::reject() {
    HideWindow(); // "隠す" and Esc hide; the window is never closed
}

void CFileListWnd::closeEvent(QCloseEvent* event) {
    event->ignore();
    HideWindow();
}

} // namespace pirela
