#pragma once

#include <vector>

namespace pirela::res {

// One entry of a menu resource. A command's text may carry a key hint after "\t".
struct MenuEntry {
    enum class Kind { Command, Separator, Popup };

    Kind kind = Kind::Separator;
    int id = 0;
    const char* text = "";
    std::vector<MenuEntry> children; // for popups

    static MenuEntry Command(int id, const char* text) { return {Kind::Command, id, text, {}}; }
    static MenuEntry Separator() { return {}; }
    static MenuEntry Popup(const char* text, std::vector<MenuEntry> children) {
        return {Kind::Popup, 0, text, std::move(children)};
    }
};

// The main window's menu bar (resource 128). Items of commands not built yet stand there
// disabled. The destination and file-manager items have no text of their own: theirs is
// computed whenever the menu opens.
const std::vector<MenuEntry>& MainMenu();

// The toolbar's drop-down menus (resource 157): popup 0 "前へ", popup 1 "次へ".
const std::vector<MenuEntry>& NavigationDropDown(bool forward);

// The view's context menu (resource 132): the items of its one popup. Its texts are its own;
// its commands are the main menu's. Items without text (the destinations) take the main
// menu's computed text.
const std::vector<MenuEntry>& ContextMenu();

} // namespace pirela::res
