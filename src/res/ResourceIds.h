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
// The viewer's own keys: zooming by steps, and the picture alone on the whole screen.
inline constexpr int kCmdZoomIn = 32850;
inline constexpr int kCmdZoomOut = 32851;
inline constexpr int kCmdZoomToggle = 32852; // 100 % and fitting the window, in turn
inline constexpr int kCmdFullScreen = 32853;
inline constexpr int kCmdLeaveFullScreen = 32854;
// The thumbnails of the whole list in place of the picture, and back.
inline constexpr int kCmdThumbnails = 32855;

// The eight destination commands, in destination order.
inline constexpr int kCmdDestinations[] = {32778, 32779, 32780, 32804, 32805, 32806, 32807, 32808};

// Status bar panes (after the message pane)
inline constexpr int kPaneImage = 101;
inline constexpr int kPaneFileSize = 102;
inline constexpr int kPaneFile = 103;
inline constexpr int kPaneZoom = 104;
inline constexpr int kPaneCamera = 105; // the camera's exposure, aperture, ISO and focal length

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

// The filer's dialogs. Dialog and icon identifiers are counted apart (134 names both a dialog
// and an icon), so their names say which they are: kDialog... and kIcon...
inline constexpr int kDialogSendBar = 103;
inline constexpr int kDialogGeneralPage = 106;
inline constexpr int kDialogDestinationFolders = 130;
inline constexpr int kDialogProperties = 131;
inline constexpr int kDialogFindPage = 134;
inline constexpr int kDialogSendPage = 135;
inline constexpr int kDialogProgramEdit = 137;
inline constexpr int kDialogSendRename = 139;
inline constexpr int kDialogBatchRename = 147;

inline constexpr int kContextMenu = 132;

// Icons: the eight destinations' coloured folders, the unset one, and the pictures of the
// folder button and of the option pages and the batch rename.
inline constexpr int kIconDestinations[] = {134, 135, 136, 148, 152, 153, 154, 155};
inline constexpr int kIconDestinationUnset = 156;
inline constexpr int kIconFolderButton = 143;
inline constexpr int kIconGeneralPage = 140;
inline constexpr int kIconSendPage = 141;
inline constexpr int kIconFindPage = 142;
inline constexpr int kIconBatchRename = 158;

// Send dialog bar (103), a control bar of the main window
inline constexpr int kSendBar = 59397;
inline constexpr int kSendBarDestinations[] = {1083, 1084, 1085, 1086, 1087, 1088, 1089, 1090};
inline constexpr int kSendBarFolderButton = 1099;
inline constexpr int kSendBarCopy = 1102;
inline constexpr int kSendBarMove = 1103;
inline constexpr int kSendBarAsk = 1104;
inline constexpr int kSendBarRename = 1105;

// New name on send (139)
inline constexpr int kRenameNewName = 1044;
inline constexpr int kRenameCurrentName = 1046;
inline constexpr int kRenameCurrentExtension = 1051;
inline constexpr int kRenameNewExtension = 1052;
inline constexpr int kRenameDestination = 1053; // the folder the file goes to

// File properties (131)
inline constexpr int kPropertiesFolder = 1043;
inline constexpr int kPropertiesName = 1044;
inline constexpr int kPropertiesSize = 1045;
inline constexpr int kPropertiesModified = 1046;
inline constexpr int kPropertiesType = 1047;
inline constexpr int kPropertiesPixels = 1048;
inline constexpr int kPropertiesColours = 1049;
inline constexpr int kPropertiesIcon = 1056;
// The camera's facts, in the order the dialog lists them
inline constexpr int kPropertiesTaken = 1206;
inline constexpr int kPropertiesCamera = 1207;
inline constexpr int kPropertiesLens = 1208;
inline constexpr int kPropertiesExposure = 1209;
inline constexpr int kPropertiesFNumber = 1210;
inline constexpr int kPropertiesIso = 1211;
inline constexpr int kPropertiesFocalLength = 1212;
inline constexpr int kPropertiesOrientation = 1213;
inline constexpr int kPropertiesColourProfile = 1222;

// External program (137)
inline constexpr int kProgramEditName = 1033;
inline constexpr int kProgramEditCommand = 1034;
inline constexpr int kProgramEditBrowse = 1035;

// Batch rename (147)
inline constexpr int kBatchFolder = 1070;
inline constexpr int kBatchChangeFolder = 1071;
inline constexpr int kBatchBitmaps = 1072;
inline constexpr int kBatchJpeg = 1073;
inline constexpr int kBatchPng = 1074;
inline constexpr int kBatchFiles = 1075;
inline constexpr int kBatchAutoDigits = 1077;
inline constexpr int kBatchDigits = 1078;
inline constexpr int kBatchStart = 1079;
inline constexpr int kBatchPrefix = 1080;
inline constexpr int kBatchRun = 1081;
inline constexpr int kBatchOther = 1203;

// Option page "全般" (106)
inline constexpr int kGeneralShortcut = 1066;
inline constexpr int kGeneralShortcutNameLabel = 1069;
inline constexpr int kGeneralShortcutName = 1067;
inline constexpr int kGeneralUseBackground = 1030;
inline constexpr int kGeneralColourLabel = 1031;
inline constexpr int kGeneralColourSwatch = 1013;
inline constexpr int kGeneralChooseColour = 1055;
inline constexpr int kGeneralSystemColour = 1014;
inline constexpr int kGeneralApplyOrientation = 1201;
inline constexpr int kGeneralCentreImage = 1204;
inline constexpr int kGeneralOpenLast = 1205;
inline constexpr int kGeneralColourProfile = 1220;
inline constexpr int kGeneralPlayAnimation = 1221;

// Option page "イメージ検索" (134)
inline constexpr int kFindSubfolders = 1016;
inline constexpr int kFindHidden = 1017;
inline constexpr int kFindNewFormats = 1202;
// The list's order: by name, numbers as numbers, by the date taken (ListOrder's values).
inline constexpr int kFindOrderName = 1351;
inline constexpr int kFindOrderNatural = 1352;
inline constexpr int kFindOrderDate = 1353;

// Option page "ファイルを送る" (135)
inline constexpr int kSendPageAsk = 1025;
inline constexpr int kSendPageRename = 1047;
inline constexpr int kSendPageCopy = 1023;
inline constexpr int kSendPageMove = 1024;
inline constexpr int kSendPagePrograms = 1026;
inline constexpr int kSendPageAdd = 1027;
inline constexpr int kSendPageEdit = 1028;
inline constexpr int kSendPageDelete = 1029;

// Destination folders (130): per row the edit, its clear and its browse button
inline constexpr int kDestinationEdits[] = {1000, 1001, 1002, 1058, 1059, 1060, 1061, 1062};
inline constexpr int kDestinationClears[] = {1048, 1049, 1050, 1051, 1052, 1053, 1054, 1055};
inline constexpr int kDestinationBrowses[] = {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010};
inline constexpr int kDestinationClearAll = 1036;

} // namespace pirela::res
