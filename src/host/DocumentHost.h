#pragma once

#include "folder/ImageFileList.h"
#include "host/FileWork.h"

#include <string>
#include <vector>

namespace pirela {

// The refreshes the document asks of the windows that show it. The document calls exactly the
// ones its change needs, in the order the change needs them; nothing is notified behind its back.
// The host also runs the document's file work beside the windows.
class DocumentHost : public FileWork {
public:

    virtual void BeginWaitCursor() = 0;
    // Has the document's OnDecodeEnded run on the main thread once the events already waiting
    // (a repaint) are done. Called from any thread: by a worker whose decode ended, and by the
    // document to start the decode ahead only after the new image is painted.
    virtual void PostDecodeEnded() = 0;
    // Has the views repaint on the main thread, once, however often it is called before
    // they do. Called by workers that made something a view is waiting to paint.
    virtual void PostRepaint() = 0;
    virtual void EndWaitCursor() = 0;
    // Shows the busy window centred on the main window, or changes its text when it is shown.
    virtual void ShowBusyText(const std::string& text) = 0;
    virtual void HideBusyWindow() = 0;

    virtual void UpdateAllViews() = 0;     // repaint every view of the document
    virtual void UpdateScrollSizes() = 0;  // the draw size follows the image and zoom
    virtual void SetFixedScrollSizes(int width, int height) = 0;
    virtual void RefreshStatusTexts() = 0; // the status bar panes
    virtual void RefreshTitle() = 0;

    // The status bar's message pane: shows the text and paints it at once, so that it stays
    // readable during a long file operation; RestoreStatusMessage puts back what the pane
    // showed before the first ShowStatusMessage.
    virtual void ShowStatusMessage(const std::string& text) = 0;
    virtual void RestoreStatusMessage() = 0;
    // Says in the message pane, for a few seconds, what a file operation has done, so that the
    // user can check the work without looking for the file.
    virtual void TellOutcome(const std::string& text) = 0;

    virtual void RefreshSendBar() = 0;     // button captions and icons follow the destinations
    virtual void RebuildProgramMenu() = 0; // the program items follow the settings

    // The file list window, once the view has made it.
    virtual bool HasFileListWindow() const = 0;
    // The window shows the list's names in list order, reading them from the list itself until
    // the next fill (the list is changed only with the window told: a fill, a deleted row).
    virtual void FillFileListWindow(const ImageFileList& list, int selectedRow,
                                    const std::string& folderLabel) = 0;
    virtual void ClearFileListWindow() = 0;
    virtual void SelectFileListRow(int row) = 0;
    virtual void DeleteFileListRow(int row) = 0;

    // Has the document's OnListingChanged run on the main thread. Called by the worker that
    // lists the open folder, when it begins to sort and when its list is ready.
    virtual void PostListingChanged() = 0;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    explicit WaitCursor(DocumentHost& host) : host_(host) { host_.BeginWaitCursor(); }
    ~WaitCursor() { host_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    DocumentHost& host_;
};

} // namespace pirela
