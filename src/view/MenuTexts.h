#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pirela {

// The text with every "&" doubled, so that a folder named "R&D" reads R&D in a menu or on a
// button instead of making D a mnemonic.
std::string EscapeMnemonics(std::string_view text);

// The menu item of destination number (1 to 8): "&3 Cats へ" for a folder ".../Cats",
// "&3 (未設定)" when it is not set.
std::string DestinationItemText(int number, std::string_view folder);

// The "open in the file manager" item of destination number: "&3 Cats を開く", or
// "&3 フォルダ (未設定)" when it is not set. A last part over 200 bytes is left out.
std::string ExplorerItemText(int number, std::string_view folder);

// The send bar's button of destination number: "&3 Cats" for a folder ".../Cats", the whole
// folder when it ends with a separator ("&5 /"), "&3 (未設定)" when it is not set.
std::string SendBarCaption(int number, std::string_view folder);

// The tool tip of that button: "<folder> へ送る", or "未設定".
std::string SendBarToolTip(std::string_view folder);

// The program submenu's items: "&1 name", "&2 name", ... up to the first empty name, eight at
// the most.
std::vector<std::string> ProgramItemTexts(const std::array<std::string, 10>& names);

} // namespace pirela
