#include "send/ProgramStarter.h"

#include "common/PathRules.h"
#include "host/DesktopServices.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "res/ProgramTexts.h"
#include "send/ExternalPrograms.h"

namespace pirela {

ProgramStarter::ProgramStarter(AppSettings& settings, Prompter& prompter, DocumentHost& host,
                               DesktopServices& desktop)
    : settings_(settings), prompter_(prompter), host_(host), desktop_(desktop) {}

void ProgramStarter::Run(int index, const std::string& imagePath) {
    ExternalPrograms programs = ExternalPrograms::FromOptions(settings_.options);
    if (index < 0 || index >= programs.Count()) {
        return;
    }
    const ExternalProgram program = programs.At(index);
    if (Start(program.name, program.command, imagePath)) {
        programs.MoveToTop(index);
        programs.StoreInto(settings_.options);
        host_.RebuildProgramMenu();
    }
}

void ProgramStarter::RunChosen(const std::string& programPath, const std::string& imagePath) {
    ExternalPrograms programs = ExternalPrograms::FromOptions(settings_.options);
    const std::string name = ExternalPrograms::NameFromPath(programPath);
    programs.InsertAtTop({name, programPath});
    programs.StoreInto(settings_.options);
    host_.RebuildProgramMenu();
    settings_.lastOpenApp = FolderOf(programPath);
    // The chosen program stays registered even when it does not start, but the user hears of
    // the failure instead of waiting for a window that never comes.
    Start(name, programPath, imagePath);
}

bool ProgramStarter::Start(const std::string& name, const std::string& command,
                           const std::string& imagePath) {
    if (desktop_.StartProgram(command, imagePath)) {
        return true;
    }
    prompter_.ShowMessage(res::ProgramStartFailedMessage(imagePath, name), MessageIcon::Warning,
                          MessageButtons::Ok);
    return false;
}

} // namespace pirela
