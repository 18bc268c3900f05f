#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace pirela {

// A window's outer rectangle in screen pixels; right and bottom lie just outside it.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

inline constexpr int kProgramSlots = 10;      // held in memory
inline constexpr int kStoredProgramSlots = 8; // read from and written to the file
inline constexpr int kDestinationCount = 8;

// The zoom rates a settings file may bring: the largest the menu offers, and "shrink", the
// lowest mode. Values beyond them are held at them as they are read.
inline constexpr int kLargestRate = 400;
inline constexpr int kSmallestRate = -1;

// The colour the view uses before any settings are read: the desktop's usual workspace grey.
inline constexpr int kWorkspaceColour = 0xABABAB;
inline constexpr int kWhite = 0xFFFFFF;

// The settings that the options sheet edits in place. Values outside their usual range are kept
// as they are; each user of a value decides what to make of it.
struct OptionBlock {
    int sendType = 1; // SendMode: 1 copy, 0 move
    int ask = 1;
    int bgColorType = 0;
    int bgColor = kWorkspaceColour; // 0x00BBGGRR
    int findSubfolder = 0;
    int findHidden = 0;
    int changeFileName = 0;
    std::array<std::string, kProgramSlots> programNames;
    std::array<std::string, kProgramSlots> programCommands;
    // 25, 50, 100, 200, 400; 0 fit to the window; -1 shrink large images (the default: today's
    // photos are far larger than any window, and a small one is best seen at its own size)
    float rate = -1;
    int keepTurnState = 0;
    int applyOrientation = 1; // turn photos upright as their files say
    int findNewFormats = 1;   // the folder scan lists the camera roll's formats too
    int centreImage = 1;      // a picture smaller than the view stands in its middle
    int openLast = 1;         // started without a path, the photo shown at the last exit opens
    int sortOrder = 0;        // ListOrder: 0 by name, 1 numbers as numbers, 2 by date taken
    int colourProfile = 1;    // photos shown in the colours their profiles describe
    int playAnimation = 1;    // animated GIF and WebP files move
};

// Every persistent setting of the program.
struct AppSettings {
    OptionBlock options;

    WindowRect mainWindow;
    int mainWindowMaximized = 0; // 1: the window comes back maximised
    WindowRect fileListWindow;
    int fileListVisible = 1;

    std::array<std::string, kDestinationCount> destinationFolders; // empty = not set

    std::string lastOpen;            // initial folder of the open-file dialog
    std::string lastOpenApp;         // initial folder when browsing for an external program
    std::string lastSelectFolder;    // initial folder of the open-folder browser
    std::string lastOpenOtherFolder; // initial folder when choosing an unregistered destination

    // What was open when the program last closed: the folder, and the photo shown (empty when
    // none). A start without a path opens them again.
    std::string lastViewFolder;
    std::string lastViewImage;
};

// What the settings' defaults and clamps depend on, supplied by the user interface.
struct SettingsEnvironment {
    int screenWidth = 0;
    int screenHeight = 0;
    std::string documentsFolder;
    std::string programFilesFolder;
    // The first external program a new installation offers (name, command): the desktop's image
    // editor, asked for only when the settings file holds no first program. None: no program.
    std::function<std::optional<std::pair<std::string, std::string>>()> defaultProgram;
};

} // namespace pirela
