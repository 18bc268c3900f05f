#include "ui/CPirelaApp.h"

#include "app/CommandLine.h"
#include "res/ResourceIds.h"
#include "ui/CAboutDlg.h"
#include "ui/CMainFrame.h"
#include "ui/DesktopEnvironment.h"

namespace pirela {

CPirelaApp::CPirelaApp(std::filesystem::path settingsFile) : store_(std::move(settingsFile)) {}

CPirelaApp::~CPirelaApp() = default;

bool CPirelaApp::InitInstance(const std::vector<std::string>& arguments) {
    LoadSettings();
    commandLinePath_ = ParseCommandLine(arguments).pathToOpen;

    frame_ = std::make_unique<CMainFrame>([this] { SaveSettings(); });
    frame_->Commands().Add(res::kCmdAppAbout, [this] { OnAppAbout(); });
    const SettingsEnvironment environment = CurrentSettingsEnvironment();
    frame_->PlaceAt(UsableMainWindowRect(settings_.mainWindow, environment.screenWidth,
                                         environment.screenHeight));
    frame_->UpdateCommandUi();
    frame_->show();
    return true;
}

void CPirelaApp::LoadSettings() {
    settings_ = store_.Load(CurrentSettingsEnvironment());
}

void CPirelaApp::SaveSettings() {
    if (frame_) {
        settings_.mainWindow = frame_->OuterRect();
    }
    store_.Save(settings_);
}

void CPirelaApp::OnAppAbout() {
    CAboutDlg dialog(frame_.get());
    dialog.exec();
}

} // namespace pirela
