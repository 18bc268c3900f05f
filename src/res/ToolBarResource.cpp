#include "res/ToolBarResource.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const std::vector<ToolBarEntry>& MainToolBar() {
    static const std::vector<ToolBarEntry> entries{
        {kCmdOpenFolder, "open-folder"},
        {kCmdPrevious, "previous", true},
        {kCmdNext, "next", true},
        {0, ""},
        {kCmdCopyToClipboard, "clipboard"},
        {kCmdRecycleBin, "recycle-bin"},
        {kCmdProgramMenu, "programs"},
        {0, ""},
        {kCmdSendBar, "send-bar"},
        {kCmdFileList, "file-list"},
        {kCmdTurnLeft, "rotate-left"},
        {kCmdTurnRight, "rotate-right"},
        {0, ""},
        {kCmdExplorerMenu, "explorer"},
        {kCmdOptions, "options"},
    };
    return entries;
}

} // namespace pirela::res
