#pragma once

#include "app/DocumentHost.h"
#include "app/Prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace pirela::test {

// Stands in for the windows and the user: records every refresh and message the document asks
// for, in order, and answers questions from a script (Ok, or the next scripted answer).
class RecordingHost : public Prompter, public DocumentHost {
public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons) override {
        messages.push_back(text);
        icons.push_back(icon);
        Record("message");
        if (answers.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void BeginWaitCursor() override { Record("wait"); }
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

    bool HasFileListWindow() const override { return hasFileListWindow; }
    void FillFileListWindow(const std::vector<std::string>& names, int selectedRow,
                            const std::string& folderLabel) override {
        fileListRows = names;
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

    // Forgets what was recorded so far.
    void Clear() {
        calls.clear();
        messages.clear();
        icons.clear();
        busyTexts.clear();
    }

    std::vector<std::string> calls;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<std::string> busyTexts;
    std::deque<MessageAnswer> answers;

    bool hasFileListWindow = true;
    std::vector<std::string> fileListRows;
    int fileListSelection = -1;
    std::string fileListLabel;

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
};

} // namespace pirela::test
