#pragma once

#include "host/DesktopServices.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pirela::test {

// Stands in for the windows, the desktop and the user: records every refresh, message and
// desktop service the document asks for, in order, and answers questions from a script (Ok, or
// the next scripted answer; a cancelled folder or name question when none is left).
class RecordingHost : public Prompter, public DocumentHost, public DesktopServices {
public:
    MessageAnswer ShowCaptionedMessage(const std::string& caption, const std::string& text,
                                       MessageIcon icon, MessageButtons buttonSet) override {
        captions.push_back(caption);
        messages.push_back(text);
        icons.push_back(icon);
        buttons.push_back(buttonSet);
        Record("message");
        return Next(answers, MessageAnswer::Ok);
    }
    RepeatedAnswer AskForEach(const std::string& text, MessageIcon icon,
                              MessageButtons buttonSet) override {
        const MessageAnswer answer = ShowCaptionedMessage(res::kProgramName, text, icon, buttonSet);
        return {answer, Next(forAllAnswers, false)};
    }
    std::optional<std::string> AskFolder(const std::string& startFolder,
                                         const std::string& title) override {
        Record("ask folder " + startFolder + " " + title);
        return Next(folderAnswers, std::optional<std::string>());
    }
    std::optional<std::string> AskNewName(const std::string& folder,
                                          const std::string& currentName,
                                          const std::string& extension,
                                          const std::string& offeredName) override {
        newNameFolder = folder;
        offeredNames.push_back(offeredName.empty() ? currentName : offeredName);
        Record("ask name " + currentName + " ." + extension);
        return Next(nameAnswers, std::optional<std::string>());
    }

    bool OpenFolder(const std::string& folder) override { return Desktop("open folder " + folder); }
    bool OpenFile(const std::string& file) override { return Desktop("open file " + file); }
    bool HasOpenerFor(const std::string&) override { return hasOpener; }
    bool StartProgram(const std::string& command, const std::string& argument) override {
        return Desktop("start " + command + " " + argument);
    }

    void BeginWaitCursor() override { Record("wait"); }
    // Workers call this; a test decides itself when the document hears of it.
    void PostDecodeEnded() override {}
    void PostRepaint() override {}
    void EndWaitCursor() override { Record("end wait"); }
    void ShowBusyText(const std::string& text) override {
        busyTexts.push_back(text);
        Record("busy");
    }
    void HideBusyWindow() override { Record("hide busy"); }
    void UpdateAllViews() override { Record("views"); }
    void UpdateScrollSizes() override { Record("scroll"); }
    void SetFixedScrollSizes(int width, int height) override {
        Record("fixed scroll " + std::to_string(width) + "x" + std::to_string(height));
    }
    void RefreshStatusTexts() override { Record("status"); }
    void RefreshTitle() override { Record("title"); }
    void ShowStatusMessage(const std::string& text) override {
        statusMessages.push_back(text);
        Record("status message");
    }
    void RestoreStatusMessage() override { Record("restore status message"); }
    void TellOutcome(const std::string& text) override {
        outcomes.push_back(text);
        Record("outcome");
    }
    // File work runs at once, here; a test that cancels sets cancelFileWork.
    void RunFileWork(const std::function<void()>& work, std::atomic<bool>& cancel) override {
        cancel = cancelFileWork;
        work();
    }
    void ShowProgress(const std::string& text) override { ShowStatusMessage(text); }
    bool FileWorkRunning() const override { return false; }
    void RefreshSendBar() override { Record("send bar"); }
    void RebuildProgramMenu() override { Record("program menu"); }

    bool HasFileListWindow() const override { return hasFileListWindow; }
    void FillFileListWindow(const ImageFileList& list, int selectedRow,
                            const std::string& folderLabel) override {
        fileListRows = list.Names();
        fileListSelection = selectedRow;
        fileListLabel = folderLabel;
        Record("fill list");
    }
    void ClearFileListWindow() override {
        fileListRows.clear();
        Record("clear list");
    }
    void SelectFileListRow(int row) override {
        fileListSelection = row;
        Record("select " + std::to_string(row));
    }
    void DeleteFileListRow(int row) override {
        fileListRows.erase(fileListRows.begin() + row);
        Record("delete row " + std::to_string(row));
    }
    // The worker calls this; a test takes the list in itself (AwaitListing).
    void PostListingChanged() override {}

    // Forgets what was recorded so far.
    void Clear() {
        calls.clear();
        captions.clear();
        messages.clear();
        icons.clear();
        buttons.clear();
        busyTexts.clear();
        statusMessages.clear();
        outcomes.clear();
    }

    std::vector<std::string> calls;
    std::vector<std::string> captions;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<MessageButtons> buttons;
    std::vector<std::string> busyTexts;
    std::vector<std::string> statusMessages;
    std::vector<std::string> outcomes; // what the message pane told after file operations
    bool hasOpener = true;             // the desktop opens every kind of file
    bool cancelFileWork = false; // the user cancels every file work at once
    std::deque<MessageAnswer> answers;
    std::deque<bool> forAllAnswers; // the check box of AskForEach, after its answer
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> nameAnswers;
    std::string newNameFolder; // the folder the last new-name question named
    std::vector<std::string> offeredNames; // what each new-name question offered
    bool desktopSucceeds = true;

    bool hasFileListWindow = true;
    std::vector<std::string> fileListRows;
    int fileListSelection = -1;
    std::string fileListLabel;

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }

    bool Desktop(std::string call) {
        Record(std::move(call));
        return desktopSucceeds;
    }

    template <typename Answer>
    static Answer Next(std::deque<Answer>& script, Answer otherwise) {
        if (script.empty()) {
            return otherwise;
        }
        Answer answer = std::move(script.front());
        script.pop_front();
        return answer;
    }
};

} // namespace pirela::test
