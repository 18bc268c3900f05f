#include "ui/ProgramCommands.h"

#include "app/CPirelaDoc.h"
#include "res/ResourceIds.h"
#include "send/ExternalPrograms.h"
#include "send/ProgramStarter.h"
#include "ui/CommandTable.h"
#include "ui/ProgramFileDialog.h"

namespace pirela {

void RegisterProgramCommands(CommandTable& commands, CPirelaDoc& doc, AppSettings& settings,
                             ProgramStarter& starter, QWidget* owner) {
    const ImageFileList& list = doc.FileList();
    const auto hasImage = [&list] { return list.HasCurrentImage(); };
    for (int i = 0; i < ExternalPrograms::kMaxCount; ++i) {
        commands.Add(res::kCmdProgramFirst + i,
                     [&list, &starter, i] { starter.Run(i, list.CurrentImagePath()); }, hasImage);
    }
    commands.Add(
        res::kCmdProgramBrowse,
        [&list, &settings, &starter, owner] {
            if (const auto program = AskForProgramFile(owner, settings.lastOpenApp)) {
                starter.RunChosen(*program, list.CurrentImagePath());
            }
        },
        hasImage);
}

} // namespace pirela
