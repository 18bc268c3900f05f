#include "app/CommandLine.h"
#include "ui/CPirelaApp.h"
#include "ui/DesktopEnvironment.h"
#include "ui/JapaneseInterface.h"
#include "ui/QtText.h"

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

    pirela::ReadSystemLocaleAsJapanese();
    QApplication application(argc, argv);
    pirela::PrepareJapaneseInterface(application);

    // Qt has taken its own options out of the argument list by now.
    std::vector<std::string> arguments;
    const QStringList qtArguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qtArguments.size(); ++i) {
        arguments.push_back(pirela::ToUtf8(qtArguments[i]));
    }

    pirela::CPirelaApp app(pirela::DefaultSettingsFile());
    if (!app.InitInstance(arguments)) {
        return 1;
    }
    return application.exec();
}
