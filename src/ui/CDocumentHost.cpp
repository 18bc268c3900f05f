#include "ui/CDocumentHost.h"

#include "app/CPirelaDoc.h"
#include "res/Messages.h"
#include "settings/AppSettings.h"
#include "ui/CBusyWindow.h"
#include "ui/CFileListWnd.h"
#include "ui/ThumbnailMode.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaView.h"
#include "ui/CSendBar.h"
#include "ui/QtText.h"
#include "view/CameraFacts.h"
#include "view/MenuTexts.h"
#include "view/StatusTexts.h"

#include <QApplication>
#include <QCursor>
#include <QStatusBar>

namespace pirela {

CDocumentHost::CDocumentHost(AppSettings& settings)
    : settings_(settings), fileWork_([this](const QString& text) {
          if (frame_) {
              frame_->statusBar()->showMessage(text);
          }
      }) {}

CDocumentHost::~CDocumentHost() = default;

void CDocumentHost::Attach(CMainFrame* frame, CPirelaView* view, CPirelaDoc* doc) {
    frame_ = frame;
    fileWork_.SetMainWindow(frame);
    view_ = view;
    doc_ = doc;
}

void CDocumentHost::PostDecodeEnded() {
    // The document's decodes stop before the document (and this host) go, so a call queued
    // here always finds both. Posted events run in order: a repaint asked for first comes first.
    QMetaObject::invokeMethod(
        &mainThread_,
        [this] {
            if (doc_ != nullptr) {
                doc_->OnDecodeEnded();
            }
        },
        Qt::QueuedConnection);
}

void CDocumentHost::PostRepaint() {
    if (repaintPosted_.exchange(true)) {
        return; // one repaint will show whatever the workers have made by then
    }
    QMetaObject::invokeMethod(
        &mainThread_,
        [this] {
            repaintPosted_ = false;
            UpdateAllViews();
        },
        Qt::QueuedConnection);
}

void CDocumentHost::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CDocumentHost::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

void CDocumentHost::ShowBusyText(const std::string& text) {
    if (!busy_) {
        busy_ = std::make_unique<CBusyWindow>(frame_);
        busy_->show();
    }
    busy_->SetText(ToQString(text));
}

void CDocumentHost::HideBusyWindow() {
    busy_.reset();
}

void CDocumentHost::UpdateAllViews() {
    if (view_) {
        view_->viewport()->update();
    }
    if (thumbnails_) {
        thumbnails_->Repaint();
    }
}

void CDocumentHost::UpdateScrollSizes() {
    // While a helper's picture is loading the view keeps its scroll sizes: the last picture
    // stays as it was, scroll bars and all (a viewport of another size would paint it over at
    // once), until the decode's end sets them for the new one.
    if (view_ && !(doc_ != nullptr && doc_->Image().Loading())) {
        view_->UpdateScrollSizes();
    }
}

void CDocumentHost::SetFixedScrollSizes(int width, int height) {
    if (view_) {
        view_->SetScrollSizes({width, height});
    }
}

void CDocumentHost::RefreshStatusTexts() {
    if (frame_ && view_ && doc_) {
        const DocumentFacts facts = doc_->Facts();
        const StatusTexts texts =
            ComputeStatusTexts(facts, settings_.options.rate, view_->DrawSize());
        // Read once for each file shown (a file changed since is read again), not at every
        // refresh.
        const std::string file = facts.info.path + '\0' + std::to_string(facts.info.modified);
        if (texts.image.empty()) {
            cameraLine_ = {};
        } else if (!cameraLine_ || cameraLine_->first != file) {
            cameraLine_ = {file, CameraLine(ReadCameraFacts(facts.info.path))};
        }
        frame_->SetStatusTexts(texts);
        frame_->SetCameraLine(cameraLine_ ? cameraLine_->second : std::string());
    }
}

void CDocumentHost::RefreshTitle() {
    if (frame_ && doc_) {
        frame_->setWindowTitle(ToQString(ComputeTitle(doc_->Facts())));
    }
}

void CDocumentHost::ShowStatusMessage(const std::string& text) {
    if (!frame_) {
        return;
    }
    QStatusBar* bar = frame_->statusBar();
    if (!messageBefore_) {
        // An outcome still shown has had its time once the next operation ends.
        messageBefore_ = bar->currentMessage() == outcome_ ? QString() : bar->currentMessage();
    }
    bar->showMessage(ToQString(text));
    bar->repaint();
    fileWork_.SetText(ToQString(text));
}

void CDocumentHost::RunFileWork(const std::function<void()>& work, std::atomic<bool>& cancel) {
    fileWork_.Run(work, cancel);
    if (onFileWorkEnded_) {
        onFileWorkEnded_();
    }
}

void CDocumentHost::ShowFileWorkNotice() {
    const bool listing = doc_ != nullptr && doc_->ListingPending();
    fileWork_.ShowNotice(
        ToQString(listing ? res::kStatusListingRunning : res::kStatusFileWorkRunning));
}

void CDocumentHost::ShowProgress(const std::string& text) {
    fileWork_.ShowProgress(text);
}

void CDocumentHost::RestoreStatusMessage() {
    if (frame_ && messageBefore_) {
        frame_->statusBar()->showMessage(*messageBefore_);
        frame_->statusBar()->repaint();
    }
    messageBefore_.reset();
}

void CDocumentHost::TellOutcome(const std::string& text) {
    constexpr int kOutcomeMs = 3000;
    if (frame_) {
        outcome_ = ToQString(text);
        frame_->statusBar()->showMessage(outcome_, kOutcomeMs);
    }
}

void CDocumentHost::RefreshSendBar() {
    if (sendBar_) {
        sendBar_->Refresh();
    }
}

void CDocumentHost::RebuildProgramMenu() {
    if (frame_) {
        frame_->RebuildProgramMenu(ProgramItemTexts(settings_.options.programNames));
    }
}

void CDocumentHost::FillFileListWindow(const ImageFileList& list, int selectedRow,
                                       const std::string& folderLabel) {
    if (fileList_) {
        fileList_->Fill(list, selectedRow, folderLabel);
    }
    if (thumbnails_) {
        thumbnails_->ListFilled(selectedRow);
    }
}

void CDocumentHost::ClearFileListWindow() {
    if (fileList_) {
        fileList_->Clear();
    }
    if (thumbnails_) {
        thumbnails_->ListCleared();
    }
}

void CDocumentHost::SelectFileListRow(int row) {
    if (fileList_) {
        fileList_->SelectRow(row);
    }
    if (thumbnails_) {
        thumbnails_->RowSelected(row);
    }
}

void CDocumentHost::DeleteFileListRow(int row) {
    if (fileList_) {
        fileList_->DeleteRow(row);
    }
    if (thumbnails_) {
        thumbnails_->RowDeleted(row);
    }
}

void CDocumentHost::PostListingChanged() {
    // The document stops its listing before it goes, so a call queued here finds it.
    QMetaObject::invokeMethod(
        &mainThread_,
        [this] {
            if (doc_ != nullptr) {
                doc_->OnListingChanged();
            }
        },
        Qt::QueuedConnection);
}

} // namespace pirela
