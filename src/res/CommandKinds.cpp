#include "res/CommandKinds.h"

#include "res/ResourceIds.h"

#include <algorithm>
#include <iterator>

namespace pirela::res {

namespace {

// Not the turn's reset: it reads the current file again, which the work may be moving.
constexpr int kViewingCommands[] = {
    kCmdZoom25,     kCmdZoom50,     kCmdZoom100,     kCmdZoom200,         kCmdZoom400,
    kCmdZoomFit,    kCmdZoomShrink, kCmdScrollUp,    kCmdScrollDown,      kCmdScrollLeft,
    kCmdScrollRight, kCmdTurnLeft,  kCmdTurnRight,   kCmdTurnHalf,        kCmdKeepTurn,
    kCmdCopyToClipboard, kCmdProperties, kCmdToolBar, kCmdStatusBar,     kCmdSendBar,
    kCmdFileList,   kCmdHelp,       kCmdAppAbout,    kCmdExploreSource,   kCmdExplorerMenu,
    kCmdAppExit, // it asks, as closing the window does
    kCmdZoomIn,     kCmdZoomOut,    kCmdZoomToggle,  kCmdFullScreen,      kCmdLeaveFullScreen,
};

constexpr int kPagingCommands[] = {
    kCmdNext,  kCmdPrevious, kCmdFirst,     kCmdLast,
    kCmdBack10, kCmdBack100, kCmdForward10, kCmdForward100,
};

// Switches between two states: held down, they would flicker between them.
constexpr int kToggleCommands[] = {kCmdZoomToggle, kCmdFullScreen, kCmdLeaveFullScreen};

} // namespace

bool RepeatsWhenHeld(int command) {
    if (std::find(std::begin(kToggleCommands), std::end(kToggleCommands), command) !=
        std::end(kToggleCommands)) {
        return false;
    }
    return ActsDuringFileWork(command) ||
           std::find(std::begin(kPagingCommands), std::end(kPagingCommands), command) !=
               std::end(kPagingCommands);
}

bool ActsDuringFileWork(int command) {
    const bool exploreDestination = command >= kCmdExploreFirst && command < kCmdExploreFirst + 8;
    return exploreDestination ||
           std::find(std::begin(kViewingCommands), std::end(kViewingCommands), command) !=
               std::end(kViewingCommands);
}

} // namespace pirela::res
