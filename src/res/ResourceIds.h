#pragma once

// The identifiers of the program's commands, menus, dialogs and controls. They are the keys of
// every resource table and stay stable, because the settings file and the tests name them.
namespace pirela::res {

// Commands
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;

// Resources shared by the main window: menu, accelerators, toolbar, icon
inline constexpr int kMainFrame = 128;

// Dialogs and their controls
inline constexpr int kStatic = -1; // a control nobody needs to find
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kAboutBox = 100;
inline constexpr int kAboutBuildText = 1057;

} // namespace pirela::res
