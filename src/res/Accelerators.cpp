#include "res/Accelerators.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const std::vector<Accelerator>& MainAccelerators() {
    static const std::vector<Accelerator> table = [] {
        std::vector<Accelerator> keys{
            {"N", kCmdNext},           {"Space", kCmdNext},          {"Return", kCmdNext},
            {"Enter", kCmdNext},       {"B", kCmdPrevious},          {"Backspace", kCmdPrevious},
            {"Ctrl+C", kCmdCopyToClipboard}, {"Ctrl+I", kCmdProperties}, {"Ctrl+O", kCmdFileOpen},
            {"Ctrl+Z", kCmdUndo},      {"L", kCmdTurnLeft},          {"R", kCmdTurnRight},
            {"Del", kCmdRecycleBin},   {"F1", kCmdHelp},             {"F5", kCmdRefresh},
            {"F7", kCmdResearch},      {"Up", kCmdScrollUp},         {"Down", kCmdScrollDown},
            {"Left", kCmdScrollLeft},  {"Right", kCmdScrollRight},
            {"Home", kCmdFirst},       {"End", kCmdLast},            {"PgUp", kCmdBack10},
            {"PgDown", kCmdForward10}, {"+", kCmdZoomIn},            {"=", kCmdZoomIn},
            {"-", kCmdZoomOut},        {"0", kCmdZoomToggle},        {"F11", kCmdFullScreen},
            {"F", kCmdFullScreen},     {"Esc", kCmdLeaveFullScreen},
            {"T", kCmdThumbnails},
        };
        static const char* const kDigits[] = {"1", "2", "3", "4", "5", "6", "7", "8"};
        static const char* const kPadDigits[] = {"Num+1", "Num+2", "Num+3", "Num+4",
                                                 "Num+5", "Num+6", "Num+7", "Num+8"};
        for (int i = 0; i < 8; ++i) {
            keys.push_back({kDigits[i], kCmdDestinations[i]});
            keys.push_back({kPadDigits[i], kCmdDestinations[i]});
        }
        return keys;
    }();
    return table;
}

} // namespace pirela::res
