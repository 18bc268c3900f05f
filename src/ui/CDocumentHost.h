#pragma once

#include "app/DocumentHost.h"

#include <memory>

namespace pirela {

class CBusyWindow;
class CMainFrame;
class CPirelaDoc;
class CPirelaView;
struct AppSettings;

// Carries the document's refresh requests to the windows: title and status bar of the main
// window, scroll sizes and repaints of the view, the busy window and the wait cursor.
class CDocumentHost : public DocumentHost {
public:
    explicit CDocumentHost(AppSettings& settings);
    ~CDocumentHost() override;

    void Attach(CMainFrame* frame, CPirelaView* view, const CPirelaDoc* doc);

    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void ShowBusyText(const std::string& text) override;
    void HideBusyWindow() override;

    void UpdateAllViews() override;
    void UpdateScrollSizes() override;
    void SetFixedScrollSizes(int width, int height) override;
    void RefreshStatusTexts() override;
    void RefreshTitle() override;

    // The file list window arrives with the frame's full set of windows; until then the
    // document has none to keep in step.
    bool HasFileListWindow() const override { return false; }
    void FillFileListWindow(const std::vector<std::string>&, int, const std::string&) override {}
    void ClearFileListWindow() override {}
    void SelectFileListRow(int) override {}
    void DeleteFileListRow(int) override {}

private:
    AppSettings& settings_;
    CMainFrame* frame_ = nullptr;
    CPirelaView* view_ = nullptr;
    const CPirelaDoc* doc_ = nullptr;
    std::unique_ptr<CBusyWindow> busy_;
};

} // namespace pirela
