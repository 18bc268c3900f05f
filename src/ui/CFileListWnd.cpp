#include "ui/CFileListWnd.h"

#include "app/CPirelaDoc.h"
#include "host/DocumentHost.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/FileListModel.h"
#include "ui/FramePlacement.h"
#include "ui/QtText.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
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
    labelControl_ = qobject_cast<QLabel*>(FindControl(*this, res::kFileListLabel));
    label_ = labelControl_->text();
    rows_ = new FileListModel(this);
    list_ = new QListView(this);
    ReplaceControl(*this, res::kFileListBox, list_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setUniformItemSizes(true); // rows laid out without asking each for its size
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setModel(rows_);
    show_ = qobject_cast<QPushButton*>(FindControl(*this, res::kFileListShow));
    show_->setEnabled(false);
    connect(show_, &QPushButton::clicked, this, &CFileListWnd::ShowSelected);
    connect(list_, &QListView::doubleClicked, this, &CFileListWnd::ShowSelected);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { show_->setEnabled(list_->selectionModel()->hasSelection()); });
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

void CFileListWnd::Fill(const ImageFileList& list, int selectedRow, const std::string& label) {
    rows_->Show(list);
    SelectRow(selectedRow);
    show_->setEnabled(list_->selectionModel()->hasSelection());
    label_ = ToQString(label);
    ShowLabel();
}

void CFileListWnd::Clear() {
    rows_->Clear();
    show_->setEnabled(false);
}

void CFileListWnd::SelectRow(int row) {
    if (row >= 0 && row < rows_->rowCount()) {
        const QModelIndex index = rows_->index(row);
        list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(index);
    } else {
        list_->selectionModel()->clear();
    }
}

void CFileListWnd::DeleteRow(int row) {
    rows_->RemoveRow(row);
}

int CFileListWnd::RowCount() const {
    return rows_->rowCount();
}

int CFileListWnd::SelectedRow() const {
    const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void CFileListWnd::ShowLabel() {
    // The folder whole, losing its middle when the window is too narrow for it.
    labelControl_->setText(labelControl_->fontMetrics().elidedText(label_, Qt::ElideMiddle,
                                                                   labelControl_->width()));
    labelControl_->setToolTip(label_);
}

void CFileListWnd::ShowSelected() {
    const int row = SelectedRow();
    if (row < 0 || host_.FileWorkRunning()) {
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
    labelControl_->setGeometry(6, 5, w - 12, 13);
    ShowLabel();
    list_->setGeometry(6, 22, w - 12, h - 56);
    show_->setGeometry(6, h - 28, 50, 22);
    if (QWidget* hide = FindControl(*this, res::kIdCancel)) {
        hide->setGeometry(62, h - 28, 50, 22);
    }
    // The window gets its final size only once the window manager framed it: the row
    // selected before stays in sight.
    if (const QModelIndex current = list_->currentIndex(); current.isValid()) {
        list_->scrollTo(current);
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
