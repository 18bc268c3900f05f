#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pirela {

// The menu item of destination number (1 to 8): "&3 Cats へ" for a folder ".../Cats",
// "&3 (未設定)" when it is not set.
std::string DestinationItemText(int number, std::string_view folder);

// The "open in the file manager" item of destination number: "&3 Cats を開く", or
// "&3 フォルダ (未設定)" when it is not set. A last part over 200 bytes is left out.
std::string ExplorerItemText(int number, std::string_view folder);

// The program submenu's items: "&1 name", "&2 name", ... up to the first empty name, eight at
// the most.
std::vector<std::string> ProgramItemTexts(const std::array<std::string, 10>& names);

} // namespace pirela
