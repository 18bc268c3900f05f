#pragma once

#include <string>
#include <string_view>

// The texts of the external programs and of the options sheet.
namespace pirela::res {

// "<path> を <name> で開くのに失敗しました。プログラムのパスまたはコマンドが…"
std::string ProgramStartFailedMessage(std::string_view imagePath, std::string_view programName);
// "プログラム <name> をリストから削除してもよろしいですか ?"
std::string DeleteProgramQuestion(std::string_view programName);

inline constexpr const char* kMsgTooManyPrograms =
    "登録できるプログラムは最大で 8 つです。これ以上は登録できません。";
inline constexpr const char* kMsgEmptyField = "空欄は入力できません。";
inline constexpr const char* kAddProgramCaption = "新規プログラムの追加";
inline constexpr const char* kEditProgramCaption = "既存のプログラムの編集";
inline constexpr const char* kChooseProgramTitle = "外部プログラムの選択";
inline constexpr const char* kProgramFilter = "アプリケーション (*)";

inline constexpr const char* kOptionsCaption = "オプション";
inline constexpr const char* kGeneralTab = "全般";
inline constexpr const char* kFindTab = "イメージ検索";
inline constexpr const char* kSendTab = "ファイルを送る";
inline constexpr const char* kMsgLauncherNotCreated = "ランチャーは作成できませんでした。";
inline constexpr const char* kDefaultLauncherName = "PIRELA";

} // namespace pirela::res
