#pragma once

// The identifiers of the program's commands, menus, dialogs and controls. They are the keys of
// every resource table and stay stable, because the settings file and the tests name them.
namespace pirela::res {

// Commands
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdOpenFolder = 32771;
inline constexpr int kCmdRefresh = 32796;
inline constexpr int kCmdZoom25 = 32799;
inline constexpr int kCmdZoom50 = 32782;
inline constexpr int kCmdZoom100 = 32783;
inline constexpr int kCmdZoom200 = 32784;
inline constexpr int kCmdZoom400 = 32800;
inline constexpr int kCmdZoomFit = 32801;
inline constexpr int kCmdZoomShrink = 32803;
inline constexpr int kCmdScrollUp = 32826;
inline constexpr int kCmdScrollDown = 32827;
inline constexpr int kCmdScrollLeft = 32828;
inline constexpr int kCmdScrollRight = 32829;

// Status bar panes (after the message pane)
inline constexpr int kPaneImage = 101;
inline constexpr int kPaneFileSize = 102;
inline constexpr int kPaneFile = 103;
inline constexpr int kPaneZoom = 104;

// Resources shared by the main window: menu, accelerators, toolbar, icon
inline constexpr int kMainFrame = 128;

// Dialogs and their controls
inline constexpr int kStatic = -1; // a control nobody needs to find
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kAboutBox = 100;
inline constexpr int kAboutBuildText = 1057;
inline constexpr int kBusyWindow = 144;
inline constexpr int kBusyText = 1065;
inline constexpr int kFolderBrowserCheckBox = 1000;

} // namespace pirela::res
