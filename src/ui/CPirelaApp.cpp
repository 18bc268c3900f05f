#include "ui/CPirelaApp.h"

#include "app/CPirelaDoc.h"
#include "app/CommandLine.h"
#include "app/DesktopPrograms.h"
#include "app/OperationTexts.h"
#include "app/ShellOpener.h"
#include "app/StartupRecovery.h"
#include "app/WindowPlacement.h"
#include "res/CommandKinds.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "sandbox/HelperFrames.h"
#include "send/ProgramStarter.h"
#include "ui/CAboutDlg.h"
#include "ui/CContextMenu.h"
#include "ui/CDestFoldersDlg.h"
#include "ui/CDocumentHost.h"
#include "ui/CFileListWnd.h"
#include "ui/CMainFrame.h"
#include "ui/CMessagePrompter.h"
#include "ui/COptionPSheet.h"
#include "ui/CPirelaView.h"
#include "ui/CSendBar.h"
#include "ui/DesktopEnvironment.h"
#include "ui/FullScreen.h"
#include "ui/KeyboardAccelerators.h"
#include "ui/LoneAltStyle.h"
#include "ui/ProgramCommands.h"
#include "ui/SendCommands.h"
#include "ui/ThumbnailMode.h"
#include "ui/ShowOptions.h"
#include "ui/ViewCommands.h"
#include "view/MenuTexts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace pirela {

namespace {

// The file list window's section in the settings file.
constexpr const char* kFileListSection = "FILELISTWINDOW";
// How often the window asks whether the recovery at the start has ended.
constexpr int kRecoveryPollMs = 50;

WindowRect UsableScreenArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    return WindowRect{area.left(), area.top(), area.left() + area.width(),
                      area.top() + area.height()};
}

} // namespace

CPirelaApp::CPirelaApp(std::filesystem::path settingsFile, std::unique_ptr<DesktopServices> desktop,
                       const SystemCalls& calls, std::filesystem::path journalFolder)
    : store_(std::move(settingsFile)), journalFolder_(std::move(journalFolder)),
      prompter_(std::make_unique<CMessagePrompter>()),
      host_(std::make_unique<CDocumentHost>(settings_)),
      desktop_(desktop ? std::move(desktop) : std::make_unique<DesktopPrograms>()),
      starter_(std::make_unique<ProgramStarter>(settings_, *prompter_, *host_, *desktop_)),
      opener_(std::make_unique<ShellOpener>(*prompter_, *desktop_)),
      doc_(std::make_unique<CPirelaDoc>(settings_, *prompter_, *host_, calls, journalFolder_)) {
    // Animations play in helpers of their own, as hostile to a decoder as any photo.
    doc_->SetFrameOpener([](int file, ImageFormat format, const std::atomic<bool>& stop) {
        return OpenFramesInHelper(file, format, stop);
    });
}

CPirelaApp::~CPirelaApp() {
    // The windows go first: they hold references to the document and the host.
    frame_.reset();
}

bool CPirelaApp::InitInstance(const std::vector<std::string>& arguments,
                              std::shared_ptr<DecodeJob> earlyDecode,
                              std::shared_ptr<StartupRecovery> recovery) {
    if (!recovery) {
        recovery = StartRecovery(journalFolder_);
    }
    doc_->AdoptRecovery(recovery);
    LoadSettings();
    const SettingsEnvironment environment = CurrentSettingsEnvironment();
    const WindowRect placed = UsableMainWindowRect(settings_.mainWindow, environment.screenWidth,
                                                   environment.screenHeight);
    // Until the view exists, its client area is taken as the whole window (or screen): never
    // smaller than it will be, so a preview decoded at a smaller scale is never too small.
    const PixelSize bound = settings_.mainWindowMaximized == 1
                                ? PixelSize{environment.screenWidth, environment.screenHeight}
                                : PixelSize{placed.Width(), placed.Height()};
    doc_->SetViewPlan({settings_.options.rate, 0, bound});
    doc_->AdoptEarlyDecode(std::move(earlyDecode));
    const std::string path = ParseCommandLine(arguments).pathToOpen;
    commandLinePath_ = path.empty() ? path : AbsoluteCommandLinePath(path);

    LoneAltStyle::Install();
    frame_ = std::make_unique<CMainFrame>([this] { OnFrameClosing(); });
    frame_->SetCloseGuard([this] { return MayCloseDuringFileWork(); });
    frame_->SetOnRefused([this] { host_->ShowFileWorkNotice(); });
    host_->SetOnFileWorkEnded([this] { CloseIfAsked(); });
    // While file work runs only the commands that change no file and not the current image act.
    frame_->Commands().SetGate([this](int command) {
        return !host_->FileWorkRunning() || res::ActsDuringFileWork(command);
    });
    view_ = new CPirelaView(*doc_, settings_, *host_, frame_.get());
    frame_->setCentralWidget(view_);
    prompter_->SetOwner(frame_.get());
    host_->Attach(frame_.get(), view_, doc_.get());
    view_->RegisterCommands(frame_->Commands());
    RegisterTakeBackCommands(frame_->Commands(), *doc_);
    frame_->Commands().Add(res::kCmdAppAbout, [this] { OnAppAbout(); });
    frame_->Commands().Add(res::kCmdDestinationFolders, [this] { OnDestinationFolders(); });
    // Made before the bars' state is restored, which finds it by its name.
    sendBar_ = new CSendBar(settings_, *frame_);
    frame_->AddSendBar(sendBar_);
    host_->AttachSendBar(sendBar_);
    RegisterMenuTexts();
    RegisterProgramAndOptionCommands();
    RegisterViewCommands(*frame_, *doc_, settings_, *opener_);
    view_->SetContextMenu(new CContextMenu(*frame_, view_));
    frame_->RebuildProgramMenu(ProgramItemTexts(settings_.options.programNames));
    frame_->PlaceAt(placed);

    // A path from the command line is opened, and its question asked, before the window shows;
    // without one, the photo shown at the last exit comes back.
    if (!commandLinePath_.empty()) {
        doc_->OnOpenDocument(commandLinePath_);
    } else if (settings_.options.openLast != 0) {
        doc_->ReopenImage(settings_.lastViewFolder, settings_.lastViewImage);
    }
    if (settings_.mainWindowMaximized == 1) {
        frame_->showMaximized();
    } else {
        frame_->show();
    }
    // After the window shows: a floating bar restored earlier would make the window system
    // place the main window by its inner edges, and would itself stay hidden.
    RestoreBars();
    // The view's first showing makes the file list window, from then on kept in step.
    fileList_ = new CFileListWnd(*doc_, settings_, *host_, frame_.get());
    frame_->Accelerators().AddWindow(fileList_, CFileListWnd::OwnKeys());
    host_->AttachFileList(fileList_);
    frame_->Commands().Add(res::kCmdFileList, [this] { fileList_->Toggle(); }, {},
                           [this] { return fileList_->IsShown(); });
    RegisterFullScreen();
    RegisterThumbnails();
    if (!store_.LoadValue(kFileListSection, "LEFT")) {
        PlaceFileListBeside(settings_.mainWindowMaximized == 1 ? UsableScreenArea() : placed);
    }
    fileList_->Start();
    host_->RefreshTitle();
    host_->UpdateScrollSizes();
    host_->RefreshStatusTexts();
    frame_->UpdateCommandUi();
    host_->RefreshSendBar();
    // The row of the image shown (a file from the command line), not simply the first.
    doc_->SyncFileListWindow(doc_->FileList().CurrentName());
    frame_->UpdateCommandUi();
    // Once everything shows: the defaults stand in for a file that could not be read.
    if (store_.FileUnreadable()) {
        prompter_->ShowMessage(res::SettingsUnreadableMessage(store_.File().string()),
                               MessageIcon::Warning, MessageButtons::Ok);
    }
    TellRecovery(std::move(recovery));
    return true;
}

void CPirelaApp::TellRecovery(std::shared_ptr<StartupRecovery> recovery) {
    // Asked again on the window's thread until it has ended: the recovery's own thread never
    // calls into the windows, which may be gone by then.
    if (!recovery->Ended()) {
        QTimer::singleShot(kRecoveryPollMs, frame_.get(),
                           [this, recovery] { TellRecovery(recovery); });
        return;
    }
    if (const std::string message = RecoveryMessage(recovery->Wait()); !message.empty()) {
        prompter_->ShowMessage(message, MessageIcon::Information, MessageButtons::Ok);
    }
}

void CPirelaApp::RegisterFullScreen() {
    fullScreen_ = new FullScreen(*frame_);
    fullScreen_->AddPart({[this] { return fileList_->IsShown(); }, [this] { fileList_->Toggle(); }});
    CommandTable& commands = frame_->Commands();
    commands.Add(res::kCmdFullScreen, [this] { fullScreen_->Toggle(); }, {},
                 [this] { return fullScreen_->IsOn(); });
    const auto on = [this] { return fullScreen_->IsOn(); };
    commands.Add(res::kCmdLeaveFullScreen, [this] { fullScreen_->Leave(); }, on);
    // Escape does what it did before, except while the screen is full.
    frame_->Accelerators().SetStandsAside(res::kCmdLeaveFullScreen, [on] { return !on(); });
}

void CPirelaApp::RegisterThumbnails() {
    thumbnails_ = new ThumbnailMode(*frame_, *doc_, *host_, view_);
    host_->AttachThumbnails(thumbnails_);
    frame_->Commands().Add(
        res::kCmdThumbnails, [this] { thumbnails_->Toggle(); },
        [this] {
            return thumbnails_->IsOn() || doc_->FileList().Count() > 0 || doc_->ListingPending();
        },
        [this] { return thumbnails_->IsOn(); });
}

void CPirelaApp::PlaceFileListBeside(const WindowRect& main) {
    WindowRect& list = settings_.fileListWindow;
    list = BesideWindowRect(main, list.Width(), list.Height(), UsableScreenArea());
}

void CPirelaApp::RegisterMenuTexts() {
    CommandTable& commands = frame_->Commands();
    for (int i = 0; i < kDestinationCount; ++i) {
        const std::string& folder = settings_.destinationFolders[static_cast<std::size_t>(i)];
        commands.SetTextRule(res::kCmdDestinations[i],
                             [i, &folder] { return DestinationItemText(i + 1, folder); });
        commands.SetTextRule(res::kCmdExploreFirst + i,
                             [i, &folder] { return ExplorerItemText(i + 1, folder); });
    }
}

void CPirelaApp::RegisterProgramAndOptionCommands() {
    CommandTable& commands = frame_->Commands();
    RegisterProgramCommands(commands, *doc_, settings_, *starter_, frame_.get());
    commands.Add(res::kCmdProgramMenu, [this] { frame_->ShowProgramMenu(); },
                 [this] { return doc_->FileList().HasCurrentImage(); });
    commands.Add(res::kCmdOptions, [this] { OnOptions(); });
}

namespace {

std::string Location(QStandardPaths::StandardLocation location) {
    return QStandardPaths::writableLocation(location).toStdString();
}

} // namespace

void CPirelaApp::OnOptions() {
    const LauncherPlaces launcher{Location(QStandardPaths::ApplicationsLocation),
                                  Location(QStandardPaths::GenericDataLocation) +
                                      "/icons/hicolor/scalable/apps",
                                  QCoreApplication::applicationFilePath().toStdString()};
    COptionPSheet sheet({settings_, *prompter_, *host_, launcher}, frame_.get());
    ShowOptions(sheet, *host_, [this] { SaveSettings(); });
    doc_->ApplyDecodeSettings();
    doc_->ApplyListOrder();
}

// The bars' docking state lives in the settings file under the profile name "TOOLBAR".
constexpr const char* kBarsSection = "TOOLBAR-Summary";
constexpr const char* kBarsKey = "State";
constexpr const char* kStatusBarKey = "StatusBar";

void CPirelaApp::RestoreBars() {
    // A missing or damaged state leaves the bars where the frame put them.
    if (const auto state = store_.LoadValue(kBarsSection, kBarsKey)) {
        frame_->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(*state)));
    }
    if (store_.LoadValue(kBarsSection, kStatusBarKey) == "0") {
        frame_->statusBar()->hide();
    }
}

bool CPirelaApp::MayCloseDuringFileWork() {
    if (!host_->FileWorkRunning()) {
        return true;
    }
    const MessageAnswer answer =
        prompter_->ShowMessage(res::kFileWorkCloseQuestion, MessageIcon::Question,
                               MessageButtons::YesNoCancelDefaultCancel);
    if (answer == MessageAnswer::Cancel) {
        return false;
    }
    if (!host_->FileWorkRunning()) {
        return true; // it ended while the user read the question
    }
    if (answer == MessageAnswer::Yes) {
        closeWhenWorkEnds_ = true; // see CloseIfAsked
        return false;
    }
    OnFrameClosing();
    std::_Exit(0);
}

void CPirelaApp::CloseIfAsked() {
    if (closeWhenWorkEnds_) {
        closeWhenWorkEnds_ = false;
        // After the command that ran the work has returned.
        QTimer::singleShot(0, frame_.get(), &QWidget::close);
    }
}

void CPirelaApp::OnFrameClosing() {
    // The bars and the file list come back first, so that their state is stored as the user
    // left it, not as the full screen hid it.
    if (fullScreen_ != nullptr) {
        fullScreen_->Leave();
    }
    TellIfNotSaved(
        {StoreSettings(),
         store_.SaveValue(kBarsSection, kBarsKey, frame_->saveState().toBase64().toStdString()),
         store_.SaveValue(kBarsSection, kStatusBarKey,
                          frame_->statusBar()->isVisible() ? "1" : "0")});
}

void CPirelaApp::LoadSettings() {
    store_.RemoveLeftovers();
    settings_ = store_.Load(CurrentSettingsEnvironment());
}

void CPirelaApp::SaveSettings() {
    TellIfNotSaved({StoreSettings()});
}

void CPirelaApp::TellIfNotSaved(std::initializer_list<SaveOutcome> outcomes) {
    if (std::find(outcomes.begin(), outcomes.end(), SaveOutcome::Failed) != outcomes.end()) {
        prompter_->ShowMessage(res::SettingsNotSavedMessage(store_.File().string()),
                               MessageIcon::Warning, MessageButtons::Ok);
    }
}

SaveOutcome CPirelaApp::StoreSettings() {
    if (frame_) {
        settings_.mainWindow = frame_->NormalOuterRect();
        settings_.mainWindowMaximized = frame_->isMaximized() ? 1 : 0;
    }
    if (fileList_) {
        fileList_->StoreInSettings();
    }
    const ImageFileList& list = doc_->FileList();
    settings_.lastViewFolder = list.Folder();
    settings_.lastViewImage = list.HasCurrentImage() ? list.CurrentImagePath() : std::string();
    return store_.Save(settings_);
}

void CPirelaApp::OnDestinationFolders() {
    CDestFoldersDlg dialog(settings_, frame_.get());
    if (!dialog.Run(settings_, *prompter_)) {
        return; // rows stored before a cancel stay stored, and reach the file at the next save
    }
    SaveSettings();
    settings_.lastOpenOtherFolder = dialog.LastBrowsedFolder();
    host_->RefreshSendBar();
}

void CPirelaApp::OnAppAbout() {
    CAboutDlg dialog(frame_.get());
    dialog.exec();
}

} // namespace pirela
