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

inline constexpr int kCmdFileClose = 57602;
inline constexpr int kCmdNext = 32772;
inline constexpr int kCmdPrevious = 32773;
inline constexpr int kCmdFirst = 32774;
inline constexpr int kCmdLast = 32775;
inline constexpr int kCmdBack10 = 32838;
inline constexpr int kCmdBack100 = 32839;
inline constexpr int kCmdForward10 = 32840;
inline constexpr int kCmdForward100 = 32841;
inline constexpr int kCmdProperties = 32789;
inline constexpr int kCmdResearch = 32792;
inline constexpr int kCmdUndo = 32793;
inline constexpr int kCmdCopyToClipboard = 32776;
inline constexpr int kCmdRecycleBin = 32777;
inline constexpr int kCmdSendOther = 32825;
inline constexpr int kCmdDestinationFolders = 32787;
inline constexpr int kCmdProgramFirst = 257; // 257 ... 264
inline constexpr int kCmdProgramBrowse = 113;
inline constexpr int kCmdProgramMenu = 32824;
inline constexpr int kCmdToolBar = 59392;
inline constexpr int kCmdStatusBar = 59393;
inline constexpr int kCmdSendBar = 32831;
inline constexpr int kCmdFileList = 32788;
inline constexpr int kCmdTurnLeft = 32819;
inline constexpr int kCmdTurnRight = 32821;
inline constexpr int kCmdTurnHalf = 32820;
inline constexpr int kCmdTurnReset = 32823;
inline constexpr int kCmdKeepTurn = 32822;
inline constexpr int kCmdExploreSource = 32817;
inline constexpr int kCmdExploreFirst = 32809; // 32809 ... 32816
inline constexpr int kCmdExplorerMenu = 32818;
inline constexpr int kCmdBatchRename = 32830;
inline constexpr int kCmdOptions = 32785;
inline constexpr int kCmdHelp = 32786;

// The eight destination commands, in destination order.
inline constexpr int kCmdDestinations[] = {32778, 32779, 32780, 32804, 32805, 32806, 32807, 32808};

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
inline constexpr int kFileListWindow = 133;
inline constexpr int kFileListBox = 1007;
inline constexpr int kFileListShow = 1008;
inline constexpr int kFileListLabel = 1009;

} // namespace pirela::res
