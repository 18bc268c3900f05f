#include "send/NewFileName.h"

#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace pirela {
namespace {

const std::string kForbidden = "ファイル名には次の文字は使えません。\r\n\\/:,;*?\"<>|";

TEST(NewFileNameTest, OnlyTheLastExtensionComesOff) {
    const struct {
        const char* name;
        const char* stem;
        const char* extension;
    } cases[] = {{"photo.2001.jpg", "photo.2001", "jpg"},
                 {"old.jpg.jpg", "old.jpg", "jpg"},
                 {"plain", "plain", ""}};
    for (const auto& c : cases) {
        const NameParts parts = SplitAtExtension(c.name);
        EXPECT_EQ(parts.stem, c.stem) << c.name;
        EXPECT_EQ(parts.extension, c.extension) << c.name;
    }
}

TEST(NewFileNameTest, EachOfTheElevenCharactersIsRefusedBeforeEmptiness) {
    for (const char forbidden : std::string("\\/:,;*?\"<>|")) {
        EXPECT_TRUE(HasForbiddenCharacter(std::string("a") + forbidden + "b")) << forbidden;
    }
    EXPECT_FALSE(HasForbiddenCharacter("表 (1) & 'x'.y"));

    test::RecordingHost host;
    host.nameAnswers = {",", "", "new"};
    const auto target = AskNewFileName(host, "/dst", "photo.2001.jpg");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, "/dst/new.jpg");
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{kForbidden, "空の文字列は指定できません。"}));
    // Every time the dialog comes back it offers the current name again.
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "ask name photo.2001 .jpg"), 3);
    EXPECT_EQ(host.newNameFolder, "/dst");
}

TEST(NewFileNameTest, AnExistingNameAsksWhetherToReplaceIt) {
    test::TempDir dir;
    test::WriteFile(dir / "taken.jpg", "old");
    test::RecordingHost host;
    host.nameAnswers = {"taken", "taken", "taken"};
    host.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::Cancel};
    const auto replaced = AskNewFileName(host, dir.Path().string(), "a.jpg");
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->path, (dir / "taken.jpg").string());
    EXPECT_EQ(replaced->overwrite, Overwrite::Confirmed);
    EXPECT_EQ(host.messages[0], "ファイル " + replaced->path +
                                    " は既に存在します。上書きしますか ? 上書きするには [ はい ] "
                                    "を、ファイル名を変更して続行するには [ いいえ ] を、操作を中"
                                    "止するには [ キャンセル ] を選択してください。");
    EXPECT_EQ(host.buttons[0], MessageButtons::YesNoCancelDefaultCancel);

    EXPECT_FALSE(AskNewFileName(host, dir.Path().string(), "a.jpg")); // Cancel
    EXPECT_FALSE(AskNewFileName(host, dir.Path().string(), "a.jpg")); // the dialog cancelled
}

TEST(NewFileNameTest, AnOldNameKeptAsItIsKeepsItsBytes) {
    // Shift-JIS 表: its second byte is a backslash, yet the name is an existing file's.
    const std::string sjis = "\x95\x5c";
    test::RecordingHost host;
    host.nameAnswers = {"a\\b", sjis};
    const auto target = AskNewFileName(host, "/", sjis + ".jpg");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, "/" + sjis + ".jpg");
    EXPECT_EQ(host.messages, std::vector<std::string>{kForbidden});
}

} // namespace
} // namespace pirela
