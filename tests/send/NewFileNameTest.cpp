#include "send/NewFileName.h"

#include "platform/DiskNames.h"

#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace pirela {
namespace {

const std::string kForbiddenHere = "ファイル名には次の文字は使えません。\r\n/";

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

TEST(NewFileNameTest, OnlyWhatTheDisksRefuseIsRefused) {
    for (const char forbidden : std::string("\\/:*?\"<>|")) {
        EXPECT_TRUE(HasForbiddenCharacter(std::string("a") + forbidden + "b",
                                          res::kForbiddenNameCharacters))
            << forbidden;
    }
    EXPECT_FALSE(HasForbiddenCharacter("表 (1), [2]; & 'x'.y", res::kForbiddenNameCharacters));
    EXPECT_TRUE(HasForbiddenCharacter(std::string("a\0b", 3), "/"));
    for (const char* windows : {"vfat", "msdos", "exfat", "ntfs3", "cifs", "smb3", "fuseblk",
                                "fuseblk.exfat", "fuse.fusefat", "fuse.exfat"}) {
        EXPECT_EQ(NameRulesOfMountType(windows), NameRules::Windows) << windows;
    }
    for (const char* posix : {"ext4", "btrfs", "tmpfs", "fuse.sshfs", ""}) {
        EXPECT_EQ(NameRulesOfMountType(posix), NameRules::Posix) << posix;
    }
    EXPECT_EQ(NameRulesOf("/dev/shm"), NameRules::Posix);
}

TEST(NewFileNameTest, ARefusedNameComesBackToBeMended) {
    test::TempDir dir; // a disk of this system: "," and ";" are file names' characters here
    test::RecordingHost host;
    host.nameAnswers = {"a/b", "", "a,b;c"};
    const auto target = AskNewFileName(host, dir.Path().string(), "photo.2001.jpg");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, (dir / "a,b;c.jpg").string());
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{kForbiddenHere, "空の文字列は指定できません。"}));
    EXPECT_EQ(host.offeredNames, (std::vector<std::string>{"photo.2001", "a/b", "photo.2001"}));
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "ask name photo.2001 .jpg"), 3);
    EXPECT_EQ(host.newNameFolder, dir.Path().string());
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
    host.nameAnswers = {"a/b", sjis};
    const auto target = AskNewFileName(host, "/", sjis + ".jpg");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, "/" + sjis + ".jpg");
    EXPECT_EQ(host.messages, std::vector<std::string>{kForbiddenHere});
}

} // namespace
} // namespace pirela
