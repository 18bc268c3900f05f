#include "app/ShellOpener.h"

#include "host/DesktopServices.h"
#include "host/Prompter.h"
#include "res/Messages.h"

#include <filesystem>

namespace pirela {

ShellOpener::ShellOpener(Prompter& prompter, DesktopServices& desktop)
    : prompter_(prompter), desktop_(desktop) {}

bool ShellOpener::OpenHelp(const std::string& helpFile) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(helpFile, error)) {
        return Report(res::CannotOpenHelpMessage(helpFile));
    }
    // The opener reports success even when it finds no program for the page.
    if (!desktop_.HasOpenerFor("text/html")) {
        return Report(res::NoHelpOpenerMessage(helpFile));
    }
    return desktop_.OpenFile(helpFile) || Report(res::CannotOpenHelpMessage(helpFile));
}

bool ShellOpener::OpenFolder(const std::string& folder) {
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error) &&
        desktop_.OpenFolder(folder)) {
        return true;
    }
    return Report(res::CannotOpenFolderMessage(folder));
}

bool ShellOpener::Report(const std::string& message) {
    prompter_.ShowMessage(message, MessageIcon::Warning, MessageButtons::Ok);
    return false;
}

} // namespace pirela
