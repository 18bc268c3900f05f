#include "app/CommandLine.h"
#include "app/EarlyDecode.h"
#include "app/StartupRecovery.h"
#include "colour/DisplayProfile.h"
#include "journal/JournalLocation.h"
#include "sandbox/DecoderPool.h"
#include "settings/SettingsLocation.h"
#include "ui/CPirelaApp.h"
#include "ui/DesktopEnvironment.h"
#include "ui/JapaneseInterface.h"
#include "ui/X11DisplayProfile.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> rawArguments(argv + 1, argv + argc);
    const pirela::CommandLine commandLine = pirela::ParseCommandLine(rawArguments);
    if (commandLine.showHelp) {
        std::cout << pirela::HelpText();
        return 0;
    }
    if (commandLine.showVersion) {
        std::cout << pirela::kVersionText << '\n';
        return 0;
    }
    if (!pirela::DisplayAvailable(rawArguments)) {
        std::cerr << pirela::kNoDisplayMessage << '\n';
        return 1;
    }

    // The file named on the command line starts decoding now, on a worker, while Qt starts,
    // and beside it the file operations an earlier run left unfinished are recovered.
    // Photos with colour profiles are converted for the display; its profile is asked for
    // only when the first such photo is decoded.
    pirela::SetDisplayProfileReader(pirela::ReadX11DisplayProfile);
    const std::filesystem::path settingsFile = pirela::DefaultSettingsFile();
    auto earlyDecode = pirela::StartEarlyDecode(rawArguments, settingsFile);
    auto recovery = pirela::StartRecovery(pirela::DefaultJournalFolder());
    // The decoder helpers start beside them, on a thread of their own, so that neither the first
    // picture nor the first page to a camera roll's photo waits for one.
    pirela::DecoderPool::Shared().StartAheadInBackground();

    pirela::ReadSystemLocaleAsJapanese();
    QApplication application(argc, argv);
    pirela::PrepareJapaneseInterface(application);

    // Qt has taken its own options out of argc and argv by now. The rest keep their bytes, so
    // that a file name that is not UTF-8 reaches the core as the file system spells it.
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    pirela::CPirelaApp app(settingsFile);
    if (!app.InitInstance(arguments, std::move(earlyDecode), std::move(recovery))) {
        return 1;
    }
    return application.exec();
}
