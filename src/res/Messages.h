#pragma once

// The texts of the program's message boxes, in one place.
namespace pirela::res {

inline constexpr const char* kMsgCannotTurnLowDepth = "4 ビット以下の画像は回転表示できません。";

} // namespace pirela::res
