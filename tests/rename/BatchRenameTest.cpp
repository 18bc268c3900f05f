// The batch rename: the file set, the checks in their order, the texts, and the rename itself,
// which must leave every file under its old or its new name whatever fails.
#include "rename/BatchRename.h"
#include "rename/BatchRenameFiles.h"
#include "rename/BatchRenamer.h"
#include "journal/OperationLog.h"

#include "folder/ImageFileList.h"

#include "folder/DateTakenCache.h"
#include "support/CameraFixtures.h"
#include "support/FaultySystemCalls.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>

#include <algorithm>
#include <map>

using namespace pirela;
using test::TempDir;
namespace fs = std::filesystem;

namespace {

using Folder = std::map<std::string, std::string>; // regular file name -> content

// Each file holds its own name, so where a file went can be told from its content.
void MakeFiles(const TempDir& dir, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        test::WriteFile(dir / name, name);
    }
}

Folder ReadFolder(const TempDir& dir) {
    Folder files;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.is_regular_file()) {
            files[entry.path().filename().string()] = test::ReadFile(entry.path());
        }
    }
    return files;
}

// Every file of the set ends under its old or its new name (never the same here) with its
// content, the other files are untouched, nothing is left parked, and the counts tell how many
// got their new names.
void ExpectOldOrNew(const Folder& before, const Folder& after,
                    const std::vector<std::string>& set, const std::vector<std::string>& newNames,
                    const BatchRenameCounts& counts) {
    ASSERT_EQ(after.size(), before.size());
    int renamed = 0;
    for (std::size_t j = 0; j < set.size(); ++j) {
        const bool atNew = after.count(newNames[j]) && after.at(newNames[j]) == before.at(set[j]);
        const bool atOld = after.count(set[j]) && after.at(set[j]) == before.at(set[j]);
        EXPECT_TRUE(atNew || atOld) << set[j];
        renamed += atNew ? 1 : 0;
    }
    for (const auto& [name, content] : after) {
        EXPECT_FALSE(name.starts_with(".pirela-")) << name;
    }
    std::vector<std::string> contents;
    for (const auto& [name, content] : after) {
        contents.push_back(content);
    }
    std::vector<std::string> expected;
    for (const auto& [name, content] : before) {
        expected.push_back(content);
    }
    std::sort(contents.begin(), contents.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(contents, expected);
    EXPECT_EQ(counts.succeeded + counts.failed, int(set.size()));
    EXPECT_EQ(counts.succeeded, renamed);
}

std::vector<std::string> NewNames(const std::vector<std::string>& set, const std::string& prefix,
                                  int digits, std::int64_t start) {
    std::vector<std::string> names;
    for (std::size_t j = 0; j < set.size(); ++j) {
        names.push_back(BatchRenamer::NewName(set[j], prefix, start + std::int64_t(j), digits));
    }
    return names;
}

} // namespace

TEST(BatchRenameFiles, TakesRegularFilesOfTheChosenFormatsSortedWithoutCase) {
    TempDir dir;
    MakeFiles(dir, {"b.JPG", "a.png", "c.bmp", "d.DIB", "e.jpe", "A.jpg", "._a.jpg", ".h.png",
                    "f.jpeg", "g.gif", "noext", "[.png", "a_.PNG", "aB.jpg", "ab.jpg", "Ab.jpg",
                    "\xe8\xa1\xa8.jpg"});
    fs::create_directory(dir / "folder.jpg");
    fs::create_directories(dir / "sub");
    MakeFiles(dir, {"sub/deep.jpg"});
    const auto all = ListBatchRenameFiles(dir.Path(), {true, true, true, false});
    EXPECT_EQ(all, (std::vector<std::string>{"[.png", "A.jpg", "a.png", "a_.PNG", "Ab.jpg",
                                             "aB.jpg", "ab.jpg", "b.JPG", "c.bmp", "d.DIB",
                                             "e.jpe", "\xe8\xa1\xa8.jpg"}));
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), ListNameLess)); // the file list's order
    EXPECT_EQ(ListBatchRenameFiles(dir.Path(), {false, false, true, false}),
              (std::vector<std::string>{"[.png", "a.png", "a_.PNG"}));
    EXPECT_TRUE(ListBatchRenameFiles(dir.Path(), {false, false, false, false}).empty());
    // The camera roll's formats are the "other" row's, and all of them by default.
    EXPECT_EQ(ListBatchRenameFiles(dir.Path(), {false, false, false, true}),
              (std::vector<std::string>{"f.jpeg", "g.gif"}));
    EXPECT_EQ(ListBatchRenameFiles(dir.Path(), {}).size(), all.size() + 2);
}

TEST(BatchRenamer, NumbersInNameOrderWithTheLowerCasedExtension) {
    struct Case {
        std::vector<std::string> files;
        std::string prefix;
        int digits;
        std::int64_t start;
        Folder expected;
    };
    const Case cases[] = {
        {{"a.png", "b.JPG", "c.bmp"}, "image_", 2, 1,
         {{"image_01.png", "a.png"}, {"image_02.jpg", "b.JPG"}, {"image_03.bmp", "c.bmp"}}},
        // renumbering in place: the new names are the old ones
        {{"image_01.jpg", "image_02.jpg"}, "image_", 2, 1,
         {{"image_01.jpg", "image_01.jpg"}, {"image_02.jpg", "image_02.jpg"}}},
        {{"photo.final.JPG", "x.JPE"}, "", 1, 0, {{"0.jpg", "photo.final.JPG"}, {"1.jpe", "x.JPE"}}},
        // serials beyond the range of int
        {{"a.jpg", "b.jpg"}, "p", 10, 2147483647,
         {{"p2147483647.jpg", "a.jpg"}, {"p2147483648.jpg", "b.jpg"}}},
        // names that are not UTF-8 (Shift-JIS, Latin-1) keep their bytes, prefix included
        {{"\x95\x5c.jpg", "caf\xe9.png"}, "\x8e\xca_", 1, 1,
         {{"\x8e\xca_1.png", "caf\xe9.png"}, {"\x8e\xca_2.jpg", "\x95\x5c.jpg"}}},
        // "A.jpg" and "a.jpg" both exist: byte order decides, every run alike
        {{"a.jpg", "A.jpg"}, "n", 1, 1, {{"n1.jpg", "A.jpg"}, {"n2.jpg", "a.jpg"}}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        MakeFiles(dir, c.files);
        const auto set = ListBatchRenameFiles(dir.Path(), {});
        const auto counts = BatchRenamer().Rename(dir.Path(), set, c.prefix, c.digits, c.start);
        EXPECT_EQ(ReadFolder(dir), c.expected) << c.files.front();
        EXPECT_EQ(counts.succeeded, int(c.files.size()));
        EXPECT_EQ(counts.failed, 0);
    }
}

TEST(BatchRenamer, FilesThatCannotTakeTheirNewNameStayWhereTheyAre) {
    struct Case {
        const char* what;
        std::string prefix;
        std::vector<std::string> files;
        std::vector<std::string> folders;
        int failed;
    };
    const std::string longPrefix(250, 'x'); // a new name too long for the file system
    const Case cases[] = {
        {"prefix leaving the folder", "../x", {"a.jpg", "b.jpg"}, {}, 2},
        {"prefix into a subfolder", "sub/x", {"a.jpg", "b.jpg"}, {"sub"}, 2},
        {"a folder at a new name", "image_", {"a.jpg", "b.jpg"}, {"image_02.jpg"}, 1},
        {"a leftover parking folder of an older version", "image_", {"a.jpg", "b.jpg"},
         {"_%%tmp_a.jpg"}, 0},
        {"a new name too long", longPrefix, {"a.jpg"}, {}, 1},
        {"a NUL byte in the prefix", std::string("a\0b", 3), {"a.jpg"}, {}, 1},
    };
    for (const Case& c : cases) {
        TempDir outer;
        TempDir dir(outer.Path());
        MakeFiles(dir, c.files);
        for (const std::string& folder : c.folders) {
            fs::create_directory(dir / folder);
        }
        const Folder before = ReadFolder(dir);
        const auto set = ListBatchRenameFiles(dir.Path(), {});
        const auto counts = BatchRenamer().Rename(dir.Path(), set, c.prefix, 2, 1);
        ExpectOldOrNew(before, ReadFolder(dir), set, NewNames(set, c.prefix, 2, 1), counts);
        EXPECT_EQ(counts.failed, c.failed) << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(outer.Path()), fs::directory_iterator()), 1)
            << c.what;
        for (const std::string& folder : c.folders) {
            EXPECT_TRUE(fs::is_directory(dir / folder)) << c.what;
            EXPECT_TRUE(fs::is_empty(dir / folder)) << c.what;
        }
    }
}

TEST(BatchRenamer, AFailedRenameAtAnyStepIsRolledBack) {
    // b.jpg and c.jpg take the names image_01 and image_02, and image_01.jpg becomes image_03:
    // when its last move fails, its old name is already b's, so b goes back first.
    const std::vector<std::string> files{"b.jpg", "c.jpg", "image_01.jpg", "\x95\x5c.png"};
    int calls = 0;
    {
        TempDir dir;
        MakeFiles(dir, files);
        test::FaultySystemCalls counting;
        BatchRenamer(counting.Calls())
            .Rename(dir.Path(), ListBatchRenameFiles(dir.Path(), {}), "image_", 2, 1);
        calls = counting.count;
    }
    ASSERT_EQ(calls, 8); // parking, then numbering
    for (int failAt = 1; failAt <= calls; ++failAt) {
        TempDir dir;
        MakeFiles(dir, files);
        const Folder before = ReadFolder(dir);
        const auto set = ListBatchRenameFiles(dir.Path(), {});
        test::FaultySystemCalls faulty;
        faulty.failAt = failAt;
        const auto counts = BatchRenamer(faulty.Calls()).Rename(dir.Path(), set, "image_", 2, 1);
        ExpectOldOrNew(before, ReadFolder(dir), set, NewNames(set, "image_", 2, 1), counts);
        EXPECT_GE(counts.failed, 1) << "failing call " << failAt;
    }
}

TEST(BatchRenamer, ACancelAtAnyStepPutsEveryFileBackUnderItsOldName) {
    const std::vector<std::string> files{"b.jpg", "c.jpg", "image_01.jpg", "\x95\x5c.png"};
    for (int cancelAt = 1; cancelAt <= 8; ++cancelAt) {
        TempDir dir;
        MakeFiles(dir, files);
        const Folder before = ReadFolder(dir);
        std::atomic<bool> cancel{false};
        int renames = 0;
        SystemCalls calls = SystemCalls::Libc();
        calls.renameNoReplace = [&, real = calls.renameNoReplace](const char* from, const char* to) {
            cancel = cancel || ++renames == cancelAt;
            return real(from, to);
        };
        BatchRenamer renamer(calls);
        renamer.CancelWhen(&cancel);
        const auto counts =
            renamer.Rename(dir.Path(), ListBatchRenameFiles(dir.Path(), {}), "image_", 2, 1);
        EXPECT_EQ(ReadFolder(dir), before) << "cancelled at rename " << cancelAt;
        EXPECT_EQ(counts.succeeded, 0);
    }
}

TEST(BatchRenameChecks, TheFirstFailingCheckInOrderGivesItsMessage) {
    TempDir dir;
    MakeFiles(dir, {"plain.txt"});
    const std::string folder = dir.Path().string();
    const std::string digitsRange = "インデックスの桁数は 1 桁以上 10 桁以下を設定してください。";
    const std::string tooFew = "指定した桁数ではすべてのファイル名を変更できません。\n十分な桁数を用意してください。";
    struct Case {
        std::string folder;
        bool autoDigits;
        std::string digits;
        std::string start;
        std::size_t listed;
        std::string message;
        std::string prefix = "image_";
    };
    const Case cases[] = {
        {"", false, "0", "1", 1, digitsRange}, // the digits come before the folder
        {folder, false, "11", "1", 1, digitsRange},
        {folder, false, "abc", "1", 1, digitsRange},
        {folder, false, "2", "-1", 1, "初期値には 0 以上の整数を指定してください。"},
        {folder, false, "2", "abc", 1, ""}, // letters read as 0
        {folder, true, "0", "5", 9, ""}, // 5 ... 13: counted by its serials, two digits
        {folder, true, "0", "99", 12, ""}, // 99 ... 110: three
        {folder, true, "0", "1", 9, ""},
        {folder, false, "1", "1", 10, tooFew},
        {folder, true, "1", "1", 10, ""},
        {folder, false, "10", "0", 5, ""},
        {folder, false, "10", "2147483647", 2, ""},
        {folder, false, "10", "9999999999", 2, ""}, // held at the largest int, as atoi-alikes do
        {"", false, "2", "1", 1, "リネームを適用するフォルダのパスを指定してください。"},
        {"/", false, "2", "1", 1, "ルート ディレクトリには適用できません。\n/"},
        {folder + "/gone/", false, "2", "1", 1, "指定したフォルダが見つかりません。\n" + folder + "/gone"},
        {folder + "/plain.txt", false, "2", "1", 1, "指定したパスはフォルダではありません。\n" + folder + "/plain.txt"},
        {folder + "/", false, "2", "1", 1, ""},
        {folder, false, "2", "1", 1, "共通部分には次の文字は使えません。\n/", "sub/x_"},
        {"/", false, "2", "1", 1, "ルート ディレクトリには適用できません。\n/", "../x_"},
        {folder, false, "2", "1", 1, "", "x:*?_"}, // other file systems' refusals are per file
        {folder, false, "2", "1", 1, "共通部分が長すぎます。新しいファイル名が 255 バイトを超えてしまいます。",
         std::string(250, 'a')},
    };
    for (const Case& c : cases) {
        BatchRenameSettings settings;
        settings.folder = c.folder;
        settings.autoDigits = c.autoDigits;
        settings.digits = c.digits;
        settings.start = c.start;
        settings.prefix = c.prefix;
        EXPECT_EQ(CheckBatchRename(settings, c.listed).message, c.message)
            << c.folder << " " << c.digits << " " << c.start << " " << c.prefix;
    }
}

TEST(BatchRename, ConfirmsWithTheSettingsThenRenamesAndReportsTheCounts) {
    TempDir outer;
    fs::create_directory(outer / "%s%d%%");
    const fs::path folder = outer / "%s%d%%";
    test::WriteFile(folder / "b.JPG", "b");
    test::WriteFile(folder / "a.png", "a");
    BatchRenameSettings settings;
    settings.folder = folder.string() + "/";
    settings.formats = {false, true, true, false};
    settings.prefix = "%s%d%%_";
    settings.start = "7";
    const std::string question =
        "以下の設定でファイル名を一括でリネームします。\nこの操作は [元に戻す] で取り消せます。続行しますか?\n\n"
        "フォルダのパス : " + folder.string() +
        "\n対象とするイメージ フォーマット : JPEG PNG\nファイル名の共通部分 : %s%d%%_\n"
        "桁数 : 2 桁\n初期値 : 7\n並び順 : 名前順\n";
    std::vector<std::vector<std::string>> shown;
    const auto show = [&shown](const std::vector<std::string>& names) { shown.push_back(names); };

    test::RecordingHost user;
    OperationLog log(outer / "state");
    user.answers = {MessageAnswer::No};
    EXPECT_FALSE(BatchRename(user, user, log).Run(settings, 2, show));
    EXPECT_EQ(user.messages, std::vector<std::string>{question});
    EXPECT_EQ(user.icons.front(), MessageIcon::Question);
    EXPECT_EQ(user.buttons.front(), MessageButtons::YesNo);
    EXPECT_TRUE(fs::exists(folder / "b.JPG") && shown.empty());

    user.Clear();
    user.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(BatchRename(user, user, log).Run(settings, 2, show));
    EXPECT_EQ(user.messages.back(), "リネームが完了しました。\n\nリネームに成功したファイル数 : 2\n"
                                    "リネームに失敗したファイル数 : 0\n");
    EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{{"a.png", "b.JPG"},
                                                           {"%s%d%%_07.png", "%s%d%%_08.jpg"}}));

    // An empty set still asks, renames nothing and reports 0 and 0; a failed check asks nothing.
    settings.formats = {true, false, false, false};
    user.Clear();
    user.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(BatchRename(user, user, log).Run(settings, 0, show));
    EXPECT_EQ(user.messages.back(), "リネームが完了しました。\n\nリネームに成功したファイル数 : 0\n"
                                    "リネームに失敗したファイル数 : 0\n");
    user.Clear();
    settings.digits = "0";
    EXPECT_FALSE(BatchRename(user, user, log).Run(settings, 0, show));
    EXPECT_EQ(user.icons, std::vector<MessageIcon>{MessageIcon::Warning});
}

// A trip shot with two cameras is numbered by the time of each photo when the list is in that
// order, and by the numbers in the names in the natural order; the question says which.
TEST(BatchRename, NumbersInTheFileListsOrderAndSaysWhichOrder) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> shots = {
        {"DSC_0001.jpg", "2024:05:01 10:00:00"}, {"IMG_0001.jpg", "2024:05:01 09:30:00"},
        {"DSC_0002.jpg", "2024:05:01 11:00:00"}, {"IMG_0002.jpg", "2024:05:01 10:30:00"}};
    std::map<std::string, std::string> contents;
    for (const auto& [name, taken] : shots) {
        test::WriteJpeg(dir / name, test::PhotoLike(4, 4, 3), false, 90,
                        test::ExifBlock(1, false, taken, "+09:00"));
        contents[name] = test::ReadFile(dir / name);
    }
    BatchRenameSettings settings;
    settings.folder = dir.Path().string();
    settings.prefix = "trip_";
    settings.digits = "1";
    settings.order = ListOrder::DateTaken;
    DateTakenCache dates;
    settings.dates = &dates;
    test::RecordingHost user;
    OperationLog log(dir / ".state");
    user.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(BatchRename(user, user, log).Run(settings, 4, [](const auto&) {}));
    EXPECT_TRUE(user.messages.front().ends_with("初期値 : 1\n並び順 : 撮影日時順\n"));
    EXPECT_EQ(test::ReadFile(dir / "trip_1.jpg"), contents["IMG_0001.jpg"]);
    EXPECT_EQ(test::ReadFile(dir / "trip_2.jpg"), contents["DSC_0001.jpg"]);
    EXPECT_EQ(test::ReadFile(dir / "trip_3.jpg"), contents["IMG_0002.jpg"]);
    EXPECT_EQ(test::ReadFile(dir / "trip_4.jpg"), contents["DSC_0002.jpg"]);

    TempDir numbered;
    MakeFiles(numbered, {"img10.png", "img2.png", "IMG1.png"});
    EXPECT_EQ(ListBatchRenameFiles(numbered.Path(), {}, ListOrder::Natural),
              (std::vector<std::string>{"IMG1.png", "img2.png", "img10.png"}));
}
