#include "ui/SendCommands.h"

#include "app/CPirelaDoc.h"
#include "res/ResourceIds.h"
#include "ui/CommandTable.h"

namespace pirela {

void RegisterSendCommands(CommandTable& commands, CPirelaDoc& doc) {
    const auto imageShown = [&doc] { return doc.FileList().HasCurrentImage(); };
    for (int n = 0; n < kDestinationCount; ++n) {
        commands.Add(
            res::kCmdDestinations[n], [&doc, n] { doc.SendToFolder(n); }, imageShown);
    }
    commands.Add(
        res::kCmdSendOther, [&doc] { doc.SendToOtherFolder(); }, imageShown);
}

void RegisterTakeBackCommands(CommandTable& commands, CPirelaDoc& doc) {
    // Enabled while the journal offers an operation to take back; the prompt names it.
    commands.Add(
        res::kCmdUndo, [&doc] { doc.UndoLastSend(); },
        [&doc] { return doc.LatestOperation().has_value(); });
    commands.SetPromptRule(res::kCmdUndo, [&doc] { return doc.UndoPrompt(); });
    commands.Add(
        res::kCmdRecycleBin, [&doc] { doc.DeleteToRecycleBin(); },
        [&doc] { return doc.FileList().HasCurrentImage(); });
}

} // namespace pirela
