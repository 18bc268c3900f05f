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
// The second line instead, when the decoder helper is to blame rather than the file: missing
// or not executable (naming where it was looked for), stopped in the middle (twice), or the
// file took longer than its time limit.
std::string DecoderMissingLine(std::string_view program);
inline constexpr const char* kDecoderStoppedLine =
    "イメージを読み込むプログラムが途中で停止しました。ファイルが不正とは限りません。";
inline constexpr const char* kDecodeTooSlowLine =
    "イメージの読み込みに時間がかかりすぎるため、読み込みを中止しました。";

// "<name> - この形式のファイルは Pirela でサポートされていません。"
std::string ForeignFormatMessage(std::string_view fileName);
// "ファイル <path> が開けません。"
std::string CannotOpenMessage(std::string_view path);
// "<folder> には開けるイメージ ファイルがありません。"
std::string NoImagesMessage(std::string_view folder);
// "<folder>\nこのフォルダに含まれるサブフォルダのイメージも検索しますか?"
std::string SearchSubfoldersQuestion(std::string_view folder);

// "<folder> フォルダには Pirela で一度に扱うことのできるファイル数 1,000,000 を超える数の…"; the
// folder stays open with the images that fitted.
std::string TooManyFilesMessage(std::string_view folder, int limit);

// "現在表示中のイメージ <name> はすでに存在していないか、…"
std::string CurrentImageGoneMessage(std::string_view name);

// --- Batch rename ---

inline constexpr const char* kBatchBrowseTitle = "フォルダを選択してください。";
inline constexpr const char* kMsgBatchDigitsRange =
    "インデックスの桁数は 1 桁以上 10 桁以下を設定してください。";
inline constexpr const char* kMsgBatchStartNegative = "初期値には 0 以上の整数を指定してください。";
inline constexpr const char* kMsgBatchTooFewDigits =
    "指定した桁数ではすべてのファイル名を変更できません。\n十分な桁数を用意してください。";
inline constexpr const char* kMsgBatchNoFolder = "リネームを適用するフォルダのパスを指定してください。";
// The pieces of the confirmation's format list, in this order, each with its leading space.
inline constexpr const char* kBatchFormatBitmap = " ビットマップ";
inline constexpr const char* kBatchFormatJpeg = " JPEG";
inline constexpr const char* kBatchFormatPng = " PNG";
inline constexpr const char* kBatchFormatOther = " その他";

// "ルート ディレクトリには適用できません。\n<root>", the root shown with its separator.
std::string BatchRootFolderMessage(std::string_view folder);
// "指定したフォルダが見つかりません。\n<folder>"
std::string BatchFolderNotFoundMessage(std::string_view folder);
// "指定したパスはフォルダではありません。\n<path>"
std::string BatchNotAFolderMessage(std::string_view path);
// A prefix that makes every new name longer than a file system holds.
inline constexpr const char* kMsgBatchPrefixTooLong =
    "共通部分が長すぎます。新しいファイル名が 255 バイトを超えてしまいます。";
// "共通部分には次の文字は使えません。\n<character>"
std::string BatchPrefixCharacterMessage(char character);
// The question before the rename. Folder and prefix are put in as they are: a "%" in them is
// text.
std::string BatchRenameConfirmation(std::string_view folder, std::string_view formats,
                                    std::string_view prefix, int digits, long long start);
// The confirmation's last line, naming the order the files are numbered in (ListOrder's value):
// "並び順 : 撮影日時順\n".
std::string BatchRenameOrderLine(int order);
// The names of the list's orders, as the options page offers them.
inline constexpr const char* kOrderNames[] = {"名前順", "名前順 (数字を数値として比較)", "撮影日時順"};
// "リネームが完了しました。…" with the two counts.
std::string BatchRenameReport(int succeeded, int failed);
// After the user cancelled a batch rename: every file went back to its old name.
inline constexpr const char* kBatchRenameCancelled =
    "リネームを中止しました。すべてのファイルは元の名前に戻りました。";
// The send dialog bar and the destination folders dialog.
inline constexpr const char* kUnsetDestination = "(未設定)";
inline constexpr const char* kUnsetDestinationToolTip = "未設定";
inline constexpr const char* kSendToToolTipSuffix = " へ送る";
inline constexpr const char* kFolderButtonToolTip = "送り先フォルダを指定します";
inline constexpr const char* kBrowseDestinationTitle = "送り先を選択してください。";
// "指定したフォルダ <path> は無効です。フォルダが存在するかどうか確認してください。"
std::string InvalidDestinationMessage(std::string_view folder);

// The view's own commands: file properties, help and the file manager.
inline constexpr const char* kPropertiesCaptionSuffix = " のプロパティ";
inline constexpr const char* kPropertiesBytesSuffix = " バイト";
inline constexpr const char* kPropertiesPixelsSuffix = " ピクセル";
inline constexpr const char* kPropertiesBitsSuffix = " ビット (";
inline constexpr const char* kPropertiesColoursSuffix = " 色)";
inline constexpr const char* kPropertiesUnknown = "不明";
// The colour profile field of a file that describes no colours of its own.
inline constexpr const char* kPropertiesNoProfile = "なし";
// Type names for a file whose type the desktop does not describe.
inline constexpr const char* kTypeNameBitmap = "ビットマップ イメージ";
inline constexpr const char* kTypeNameJpeg = "JPEG イメージ";
inline constexpr const char* kTypeNamePng = "PNG イメージ";
inline constexpr const char* kTypeNameGif = "GIF イメージ";
inline constexpr const char* kTypeNameTiff = "TIFF イメージ";
inline constexpr const char* kTypeNameWebp = "WebP イメージ";
inline constexpr const char* kTypeNameHeif = "HEIF イメージ";
inline constexpr const char* kTypeNameAvif = "AVIF イメージ";
inline constexpr const char* kTypeNameRaw = "カメラの RAW イメージ";
// After the image's size in the status bar, for a raw file shown through its JPEG preview.
inline constexpr const char* kStatusCameraPreview = " (カメラのプレビュー)";
// The status bar's image pane while the decoder helper has not yet answered for the image.
inline constexpr const char* kStatusLoading = "読み込み中...";
// "ヘルプ ファイル <path> が開けません。"
std::string CannotOpenHelpMessage(std::string_view helpFile);
// "ヘルプ ファイル <path> を開くプログラムが見つかりません。…": no program opens web pages.
std::string NoHelpOpenerMessage(std::string_view helpFile);
// "<path> が開けません。"
std::string CannotOpenFolderMessage(std::string_view folder);

// --- Sending to a folder ---

inline constexpr const char* kSendFolderTitle = "ファイルを送るフォルダを選択してください。";
inline constexpr const char* kMsgSameFolder = "送りもとと送り先のフォルダが同じです。";
inline constexpr const char* kSendWordCopy = "コピー";
inline constexpr const char* kSendWordMove = "移動";
inline constexpr const char* kStatusCopying = "ファイルをコピーしています...";
inline constexpr const char* kStatusMoving = "ファイルを移動しています...";

// "ファイルの" + word: the caption of the confirmation.
std::string SendConfirmCaption(std::string_view word);
// "<source> を\n<folder> に<word>します。"
std::string SendConfirmText(std::string_view source, std::string_view folder,
                            std::string_view word);
// "ファイル <path> は既に存在します。上書きしますか ? …"
std::string OverwriteQuestion(std::string_view path);
// "ファイルを<word>できません。ファイルの受け側のディスクの空き容量が足りません。…"
std::string NoSpaceMessage(std::string_view word);
// "<source> を <destination> にコピーできませんでした。…上書き禁止ではないか確認してください。"
std::string CopyFailedMessage(std::string_view source, std::string_view destination);
// "<source> を <destination> に移動できませんでした。…読み取り専用である可能性があります。"
std::string MoveFailedMessage(std::string_view source, std::string_view destination);
// The status text of a long copy: "ファイルをコピーしています... 42%".
std::string TransferProgressText(std::string_view status, int percent);
// A send that failed at the destination's end, saying what the destination did:
// "<source> を <destination> に<word>できませんでした。送り先のフォルダ <folder>
// が見つかりません。"
std::string DestinationGoneMessage(std::string_view source, std::string_view destination,
                                   std::string_view word);
// "…できませんでした。送り先のフォルダには書き込めません。読み取り専用であるか、…"
std::string DestinationReadOnlyMessage(std::string_view source, std::string_view destination,
                                       std::string_view word);
// "…できませんでした。送り先のディスクではこのファイル名は使えません。…"
std::string NameNotAllowedMessage(std::string_view source, std::string_view destination,
                                  std::string_view word);
// "フォルダ <folder> の名前には改行が含まれているため、送り先に指定できません。"
std::string LineBreakInFolderMessage(std::string_view folder);
// What the status bar says after the user cancelled: "ファイルの<word>を中止しました。"
std::string TransferCancelledText(std::string_view word);

// --- File work beside the window ---

// The status text when a command waits for file work to end.
inline constexpr const char* kStatusFileWorkRunning =
    "ファイルの操作中です。終わるまでお待ちください。";
// The same while a command waits for the folder's list.
inline constexpr const char* kStatusListingRunning =
    "フォルダのイメージを一覧にしています。終わるまでお待ちください。";
// The progress window's caption and its button.
inline constexpr const char* kFileWorkCaption = "Pirela";
inline constexpr const char* kFileWorkCancel = "キャンセル";
// Asked when the main window is closed while file work still runs: [はい] closes once the work
// has ended, [いいえ] at once (the journal's recovery finishes or takes back the operation at
// the next start), [キャンセル] not at all.
inline constexpr const char* kFileWorkCloseQuestion =
    "ファイルの操作がまだ終わっていません。\n"
    "操作が終わってから Pirela を終了しますか ?\n\n"
    "[いいえ] を選ぶと、操作の終わりを待たずにすぐに終了します。"
    "途中の操作は、次に Pirela を起動したときに完了するか、元に戻します。";

// --- Taking a send back, and the trash ---

// "<source> から <destination> へのコピーを取り消します。従って <destination> は削除されます。…"
std::string UndoCopyQuestion(std::string_view source, std::string_view destination);
// "<source> から <destination> への移動を取り消します。従って <destination> から <source> へ…"
std::string UndoMoveQuestion(std::string_view source, std::string_view destination);
// "<path> を削除できませんでした。"
std::string CannotDeleteMessage(std::string_view path);
// "<destination> から <source> へファイルを移動できませんでした。"
std::string CannotMoveBackMessage(std::string_view destination, std::string_view source);
// "ファイル <path> をごみ箱に移しますか?"
std::string TrashQuestion(std::string_view path);
// "<destination> から <source> へファイルを移動できませんでした。<destination>
// は…置き換えられています。"
std::string NotTheMovedFileMessage(std::string_view destination, std::string_view source);

// --- The settings file ---

// "設定を保存できませんでした。設定ファイル <file> に書き込めません。…"
std::string SettingsNotSavedMessage(std::string_view file);
// "設定ファイル <file> を読み込めません。…": a file too large or not a file, left as it is.
std::string SettingsUnreadableMessage(std::string_view file);

// --- A new name on sending ---

// The characters a new file name must not hold on a disk of Windows' kinds (FAT, exFAT, NTFS,
// a share), in the order the message lists them; other disks refuse only "/".
inline constexpr const char* kForbiddenNameCharacters = "\\/:*?\"<>|";
inline constexpr const char* kForbiddenPosixNameCharacters = "/";
// "ファイル名には次の文字は使えません。\r\n" + the characters
std::string ForbiddenCharactersMessage(std::string_view characters);
inline constexpr const char* kMsgEmptyName = "空の文字列は指定できません。";

// --- The camera's facts (EXIF) ---

inline constexpr const char* kExifSeconds = " 秒";
inline constexpr const char* kExifFocal35 = "35 mm 換算 %u mm";
// The eight EXIF orientations: how the stored picture is to be turned to stand upright.
inline constexpr const char* kExifOrientations[] = {
    "標準",
    "左右反転",
    "180 度回転",
    "上下反転",
    "左右反転して反時計回りに 90 度回転",
    "時計回りに 90 度回転",
    "左右反転して時計回りに 90 度回転",
    "反時計回りに 90 度回転",
};

// --- What the message pane tells after a file operation ---

// "<name> を <folder> にコピーしました。" (or 移動しました); with a new name
// "<name> を <folder> に <new name> としてコピーしました。"
std::string SentOutcome(std::string_view name, std::string_view folder, std::string_view newName,
                        bool copy);
// "<name> をごみ箱に送りました。"
std::string TrashedOutcome(std::string_view name);

// --- Several photos chosen in the thumbnail grid, sent or trashed as one operation ---

// The check box of a question asked for each of several files.
inline constexpr const char* kApplyToAll = "すべてに適用";
// "選んだ <count> 個のファイルを\n<folder> に<word>します。"
std::string SendManyConfirmText(std::size_t count, std::string_view folder, std::string_view word);
// "ファイルをコピーしています... 2/3 42%"
std::string TransferManyProgressText(std::string_view status, std::size_t photo, std::size_t count,
                                     int percent);
// "<count> 個のファイルを <folder> にコピーしました。" (or 移動しました)
std::string SentManyOutcome(std::size_t count, std::string_view folder, bool copy);
// "選んだ <count> 個のファイルをごみ箱に移しますか?"
std::string TrashManyQuestion(std::size_t count);
// "<count> 個のファイルをごみ箱に送りました。"
std::string TrashedManyOutcome(std::size_t count);
// "<what> を元に戻しました。", what named as "DSC_0001.JPG から keep へのコピー"
std::string UndoneOutcome(std::string_view what);
// Said first when the photo that went was the last of the list: the one shown now is the one
// before it, which the user has already seen.
inline constexpr const char* kLastImageSent = "最後のイメージを送りました。";

} // namespace pirela::res
