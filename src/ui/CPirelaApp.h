#pragma once

#include "host/DesktopServices.h"
#include "journal/JournalLocation.h"
#include "platform/SystemCalls.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace pirela {

class DecodeJob;
class CDocumentHost;
class StartupRecovery;
class CFileListWnd;
class CMainFrame;
class CMessagePrompter;
class CPirelaDoc;
class CPirelaView;
class ProgramStarter;
class ShellOpener;
class CSendBar;
class FullScreen;
class ThumbnailMode;

// The application: owns the settings and the one document for the whole run, builds the main
// window and its view at startup, opens the path given on the command line, and saves the
// settings when the window closes.
class CPirelaApp {
public:
    // desktop opens folders and starts programs; by default the desktop's own opener and
    // programs (tests pass one that only records). The document's file operations go through
    // calls (tests pass calls that wait or fail) and are recorded in the journal in
    // journalFolder.
    explicit CPirelaApp(std::filesystem::path settingsFile,
                        std::unique_ptr<DesktopServices> desktop = nullptr,
                        const SystemCalls& calls = SystemCalls::Libc(),
                        std::filesystem::path journalFolder = DefaultJournalFolder());
    ~CPirelaApp();
    CPirelaApp(const CPirelaApp&) = delete;
    CPirelaApp& operator=(const CPirelaApp&) = delete;

    // Loads the settings, reads the command line (the arguments after the program's name, with
    // Qt's own options already taken out), opens its path and shows the main window. False
    // when the window could not be made. A decode of the command line's file started earlier
    // is taken over, and so is the recovery of the journal (started here when there is none);
    // what recovery did is told once the window shows.
    bool InitInstance(const std::vector<std::string>& arguments,
                      std::shared_ptr<DecodeJob> earlyDecode = nullptr,
                      std::shared_ptr<StartupRecovery> recovery = nullptr);

    // Also removes the temporaries of a save that was cut short.
    void LoadSettings();
    // Writes the settings this run changed, the main window's current rectangle included. A
    // file that cannot be written stays as it was, and the user is told that this run's
    // settings were not kept (not for a file its owner made read-only).
    void SaveSettings();

    AppSettings& Settings() { return settings_; }
    const std::filesystem::path& SettingsFile() const { return store_.File(); }
    // The path given on the command line, made absolute.
    const std::string& CommandLinePath() const { return commandLinePath_; }
    CMainFrame* MainFrame() const { return frame_.get(); }
    CPirelaView* View() const { return view_; }
    CFileListWnd* FileListWindow() const { return fileList_; }
    ThumbnailMode* Thumbnails() const { return thumbnails_; }
    CPirelaDoc& Document() { return *doc_; }

    void OnAppAbout();
    // The options sheet, then the program menu, the settings file and the send bar.
    void OnOptions();
    // The destination folders dialog (command 32787, also the send bar's folder button).
    void OnDestinationFolders();
    CSendBar* SendBar() const { return sendBar_; }

private:
    // Saves the settings, then the bars' docking state, as the window closes.
    void OnFrameClosing();
    // Closing while file work runs asks whether to wait for it; quitting then leaves at once,
    // the work wherever it is (a disk that stopped answering may hold it for ever).
    bool MayCloseDuringFileWork();
    // Closes the window once the file work has ended, when the user asked for that.
    void CloseIfAsked();
    void RestoreBars();
    // Tells what the recovery at the start did, once it has ended.
    void TellRecovery(std::shared_ptr<StartupRecovery> recovery);
    // Where the file list window first stands when the settings hold no place for it: beside
    // the main window, not over its menus and the send bar.
    void PlaceFileListBeside(const WindowRect& main);
    SaveOutcome StoreSettings();
    void TellIfNotSaved(std::initializer_list<SaveOutcome> outcomes);
    // The destination and file-manager items name their folders whenever the menu opens.
    void RegisterMenuTexts();
    void RegisterProgramAndOptionCommands();
    // F11 and F: the picture alone on the screen; Escape leaves it.
    void RegisterFullScreen();
    // Command "サムネイル一覧": the grid of the list's thumbnails in the picture's place.
    void RegisterThumbnails();

    SettingsStore store_;
    std::filesystem::path journalFolder_;
    AppSettings settings_;
    std::string commandLinePath_;
    bool closeWhenWorkEnds_ = false;
    std::unique_ptr<CMessagePrompter> prompter_;
    std::unique_ptr<CDocumentHost> host_;
    std::unique_ptr<DesktopServices> desktop_;
    std::unique_ptr<ProgramStarter> starter_;
    std::unique_ptr<ShellOpener> opener_;
    std::unique_ptr<CPirelaDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    CPirelaView* view_ = nullptr;         // owned by the frame
    CFileListWnd* fileList_ = nullptr;    // owned by the frame
    CSendBar* sendBar_ = nullptr;         // owned by the frame
    FullScreen* fullScreen_ = nullptr;    // owned by the frame
    ThumbnailMode* thumbnails_ = nullptr; // owned by the frame
};

} // namespace pirela
