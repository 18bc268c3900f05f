#pragma once

#include "settings/AppSettings.h"

#include <string>

namespace pirela {

// The one declaration of every persistent setting: section, key, the member that holds it and
// its default, in the order the settings file lists them. Loading and saving both walk this
// list, so a setting is named in one place only.
//
// visit(section, key, member, fallback) is called with member an int&, float& or std::string&
// (const when settings is const) and fallback an int or a std::string.
template <class Settings, class Visitor>
void ForEachSetting(Settings& settings, const SettingsEnvironment& environment, Visitor&& visit) {
    auto& main = settings.mainWindow;
    visit("WINDOW", "TOP", main.top, 0);
    visit("WINDOW", "RIGHT", main.right, environment.screenWidth * 3 / 4);
    visit("WINDOW", "BOTTOM", main.bottom, environment.screenHeight * 3 / 4);
    visit("WINDOW", "LEFT", main.left, 0);
    visit("WINDOW", "MAX", settings.mainWindowMaximized, 0);

    auto& list = settings.fileListWindow;
    visit("FILELISTWINDOW", "TOP", list.top, 0);
    // Wide enough for the window's title beside a window manager's buttons, and for a name.
    visit("FILELISTWINDOW", "RIGHT", list.right, 220);
    visit("FILELISTWINDOW", "BOTTOM", list.bottom, 220);
    visit("FILELISTWINDOW", "LEFT", list.left, 0);
    visit("FILELISTWINDOW", "VIEW", settings.fileListVisible, 1);

    auto& options = settings.options;
    visit("OPTIONS", "ASK", options.ask, 1);
    visit("OPTIONS", "BGCOLORTYPE", options.bgColorType, 0);
    visit("OPTIONS", "SENDTYPE", options.sendType, 1);
    visit("OPTIONS", "FINDHIDDEN", options.findHidden, 0);
    visit("OPTIONS", "FINDSUBFOLDER", options.findSubfolder, 0);
    visit("OPTIONS", "BGCOLOR", options.bgColor, kWhite);
    visit("OPTIONS", "RATE", options.rate, -1);
    visit("OPTIONS", "CHANGEFILENAME", options.changeFileName, 0);
    visit("OPTIONS", "KEEPTURNSTATE", options.keepTurnState, 0);
    for (int i = 0; i < kStoredProgramSlots; ++i) {
        const std::string number = std::to_string(i + 1);
        // The first program's default is the environment's (SettingsFromIni).
        visit("OPTIONS", "PROGRAMNAME" + number, options.programNames[i], std::string());
        visit("OPTIONS", "PROGRAMCOMMAND" + number, options.programCommands[i], std::string());
    }
    visit("OPTIONS", "APPLYORIENTATION", options.applyOrientation, 1);
    visit("OPTIONS", "FINDNEWFORMATS", options.findNewFormats, 1);
    visit("OPTIONS", "CENTERIMAGE", options.centreImage, 1);
    visit("OPTIONS", "OPENLAST", options.openLast, 1);
    visit("OPTIONS", "SORTORDER", options.sortOrder, 0);
    visit("OPTIONS", "COLORPROFILE", options.colourProfile, 1);
    visit("OPTIONS", "PLAYANIMATION", options.playAnimation, 1);

    for (int i = 0; i < kDestinationCount; ++i) {
        visit("SENDTO", "FOLDER" + std::to_string(i + 1), settings.destinationFolders[i],
              i == 0 ? environment.documentsFolder : std::string());
    }

    visit("FILEDIALOG", "LASTOPEN", settings.lastOpen, environment.documentsFolder);
    visit("FILEDIALOG", "LASTOPENAPP", settings.lastOpenApp, environment.programFilesFolder);
    visit("FILEDIALOG", "LASTSELECTFOLDER", settings.lastSelectFolder, std::string());
    visit("FILEDIALOG", "LASTOPENOTHERFOLDER", settings.lastOpenOtherFolder, std::string());

    visit("LASTVIEW", "FOLDER", settings.lastViewFolder, std::string());
    visit("LASTVIEW", "IMAGE", settings.lastViewImage, std::string());
}

} // namespace pirela
