#pragma once

#include "host/DocumentHost.h"
#include "ui/FileWorkRunner.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace pirela {

class CBusyWindow;
class CFileListWnd;
class CMainFrame;
class CPirelaDoc;
class CPirelaView;
class CSendBar;
class ThumbnailMode;
struct AppSettings;

// Carries the document's refresh requests to the windows: title and status bar of the main
// window, scroll sizes and repaints of the view, the busy window and the wait cursor.
class CDocumentHost : public DocumentHost {
public:
    explicit CDocumentHost(AppSettings& settings);
    ~CDocumentHost() override;

    void Attach(CMainFrame* frame, CPirelaView* view, CPirelaDoc* doc);
    void AttachFileList(CFileListWnd* fileList) { fileList_ = fileList; }
    void AttachSendBar(CSendBar* sendBar) { sendBar_ = sendBar; }
    // The thumbnail grid follows the file list window's rows.
    void AttachThumbnails(ThumbnailMode* thumbnails) { thumbnails_ = thumbnails; }

    void BeginWaitCursor() override;
    void PostDecodeEnded() override;
    void PostRepaint() override;
    void EndWaitCursor() override;
    void ShowBusyText(const std::string& text) override;
    void HideBusyWindow() override;

    void UpdateAllViews() override;
    void UpdateScrollSizes() override;
    void SetFixedScrollSizes(int width, int height) override;
    void RefreshStatusTexts() override;
    void RefreshTitle() override;
    void ShowStatusMessage(const std::string& text) override;
    void RunFileWork(const std::function<void()>& work, std::atomic<bool>& cancel) override;
    void ShowProgress(const std::string& text) override;
    bool FileWorkRunning() const override { return fileWork_.Running(); }
    // Says, for a while over the work's progress, that a command waits for the work to end.
    void ShowFileWorkNotice();
    // Runs each time file work has ended.
    void SetOnFileWorkEnded(std::function<void()> onEnded) { onFileWorkEnded_ = std::move(onEnded); }
    void RestoreStatusMessage() override;
    void TellOutcome(const std::string& text) override;
    void RefreshSendBar() override;
    void RebuildProgramMenu() override;

    // Until the view has made the file list window, the document has none to keep in step.
    bool HasFileListWindow() const override { return fileList_ != nullptr; }
    void FillFileListWindow(const ImageFileList& list, int selectedRow,
                            const std::string& folderLabel) override;
    void ClearFileListWindow() override;
    void SelectFileListRow(int row) override;
    void DeleteFileListRow(int row) override;
    void PostListingChanged() override;

private:
    AppSettings& settings_;
    CMainFrame* frame_ = nullptr;
    CPirelaView* view_ = nullptr;
    CPirelaDoc* doc_ = nullptr;
    QObject mainThread_; // receives what workers hand to the main thread
    std::atomic<bool> repaintPosted_{false};
    FileWorkRunner fileWork_;
    std::function<void()> onFileWorkEnded_;
    CFileListWnd* fileList_ = nullptr;
    ThumbnailMode* thumbnails_ = nullptr;
    CSendBar* sendBar_ = nullptr;
    std::unique_ptr<CBusyWindow> busy_;
    std::optional<QString> messageBefore_; // while a status message of ours is shown
    QString outcome_;                      // the last outcome told, gone after a while
    // The status bar's line of the camera's facts for the file shown (its path and time, the
    // line).
    std::optional<std::pair<std::string, std::string>> cameraLine_;
};

} // namespace pirela
