#pragma once

#include <string>
#include <string_view>

// The texts the program shows: message boxes, the busy window and labels, in one place.
namespace pirela::res {

inline constexpr const char* kProgramName = "Pirela";

inline constexpr const char* kMsgCannotTurnLowDepth = "4 ビット以下の画像は回転表示できません。";

inline constexpr const char* kBusySearching = "イメージ ファイルを検索しています...";
inline constexpr const char* kBusySorting = "ファイル名をソートしています...";
inline constexpr const char* kBusySortingSlowly = " ソートには時間がかかります...";
inline constexpr int kSlowSortCount = 4000;
inline constexpr const char* kBusyFillingFileList =
    "ファイル リストを更新しています... 更新には時間がかかります";

inline constexpr const char* kNoFolderLabel = "開かれていません...";

// The two lines the view paints for a file it could not decode.
std::string LoadErrorFirstLine(std::string_view path);
inline constexpr const char* kLoadErrorSecondLine =
    "Pirela がこのファイルに対応していないか、または不正なファイルです。";

// "<name> - この形式のファイルは Pirela でサポートされていません。"
std::string ForeignFormatMessage(std::string_view fileName);
// "ファイル <path> が開けません。"
std::string CannotOpenMessage(std::string_view path);
// "<folder> には開けるイメージ ファイルがありません。"
std::string NoImagesMessage(std::string_view folder);
// "<folder>\nこのフォルダに含まれるサブフォルダのイメージも検索しますか?"
std::string SearchSubfoldersQuestion(std::string_view folder);

// "<folder> フォルダには Pirela で一度に扱うことのできるファイル数 20000 を超える数の…"
std::string TooManyFilesMessage(std::string_view folder, int slots);

// "現在表示中のイメージ <name> はすでに存在していないか、…"
std::string CurrentImageGoneMessage(std::string_view name);

// The send dialog bar and the destination folders dialog.
inline constexpr const char* kUnsetDestination = "(未設定)";
inline constexpr const char* kUnsetDestinationToolTip = "未設定";
inline constexpr const char* kSendToToolTipSuffix = " へ送る";
inline constexpr const char* kFolderButtonToolTip = "送り先フォルダを指定します";
inline constexpr const char* kBrowseDestinationTitle = "送り先を選択してください。";
// "指定したフォルダ <path> は無効です。フォルダが存在するかどうか確認してください。"
std::string InvalidDestinationMessage(std::string_view folder);

} // namespace pirela::res
