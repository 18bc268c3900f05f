#pragma once

namespace pirela {

// The refreshes the document asks of the windows that show it. The document calls exactly the
// ones its change needs, in the order the change needs them; nothing is notified behind its back.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual void UpdateAllViews() = 0;     // repaint every view of the document
    virtual void UpdateScrollSizes() = 0;  // the draw size follows the image and zoom
    virtual void RefreshStatusTexts() = 0; // the status bar panes
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
