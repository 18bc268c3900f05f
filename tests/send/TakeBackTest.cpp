// Taking files back through the document: undoing the last send on real folders, and the trash,
// whose home lies in the test's folder.

#include "app/CPirelaDoc.h"
#include "journal/JournalLocation.h"
#include "journal/OperationLog.h"
#include "res/JournalMessages.h"
#include "res/Messages.h"
#include "support/FaultySystemCalls.h"
#include "support/ImageFixtures.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;

class TakeBackTest : public ::testing::Test {
protected:
    TakeBackTest() {
        for (const fs::path& folder : {src_, dst_}) {
            fs::create_directory(folder);
        }
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            WriteImage(name);
        }
        settings_.options.ask = 0;
        settings_.destinationFolders[0] = dst_.string();
        test::SandboxDesktopHome(dir_);
    }

    void WriteImage(const char* name) {
        test::WritePng(src_ / name, test::PngFromSamples(test::PhotoLike(4, 3, 3)));
    }

    void Open(const char* name) {
        ASSERT_TRUE(doc_.OpenImageFile((src_ / name).string()));
        doc_.AwaitListing();
        doc_.SyncFileListWindow(std::string_view(name));
    }

    // Sends the named image to the destination: 1 copies, 0 moves.
    void Send(const char* name, int mode) {
        settings_.options.sendType = mode;
        Open(name);
        ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
        host_.Clear();
    }

    // Undoes with the answer given, and returns the message shown after the question.
    std::string Undo(MessageAnswer answer = MessageAnswer::Yes) {
        host_.Clear();
        host_.answers = {answer};
        doc_.UndoLastSend();
        return host_.messages.size() > 1 ? host_.messages[1] : "";
    }

    std::string Src(const char* name) const { return (src_ / name).string(); }
    std::string Dst(const char* name) const { return (dst_ / name).string(); }

    test::TempDir dir_;
    fs::path src_ = dir_ / "pics";
    fs::path dst_ = dir_ / "sorted";
    fs::path trash_ = dir_ / "data" / "Trash" / "files";
    AppSettings settings_;
    test::RecordingHost host_;
    test::FaultySystemCalls faults_;
    CPirelaDoc doc_{settings_, host_, host_, faults_.Calls(), dir_ / "state"};
};

TEST_F(TakeBackTest, UndoingACopyAsksThenDeletesOnlyTheLastCopy) {
    Send("a.png", 1);
    Send("b.png", 1);
    EXPECT_EQ(Undo(MessageAnswer::No), "");
    EXPECT_EQ(host_.messages[0], Src("b.png") + " から " + Dst("b.png") +
                                     " へのコピーを取り消します。従って " + Dst("b.png") +
                                     " は削除されます。実行しますか ?");
    EXPECT_EQ(host_.icons[0], MessageIcon::Question);
    EXPECT_TRUE(doc_.LatestOperation().has_value());
    EXPECT_TRUE(fs::exists(Dst("b.png")));

    fs::permissions(Dst("b.png"), fs::perms::owner_read); // a read-only copy goes all the same
    EXPECT_EQ(Undo(), "");
    EXPECT_FALSE(fs::exists(Dst("b.png")));
    EXPECT_EQ(test::ReadFile(trash_ / "b.png"), test::ReadFile(Src("b.png"))); // never unlinked
    EXPECT_EQ(host_.outcomes.back(), "b.png から sorted へのコピーを元に戻しました。");
    EXPECT_EQ(fs::status(Src("b.png")).permissions() & fs::perms::owner_write,
              fs::perms::owner_write);
    EXPECT_TRUE(fs::exists(Dst("a.png")) && fs::exists(Src("b.png")));
    EXPECT_EQ(doc_.FileList().Count(), 3);
    // The copy before it is next.
    ASSERT_TRUE(doc_.LatestOperation().has_value());
    EXPECT_EQ(doc_.LatestOperation()->files.at(0).to, Dst("a.png"));
    EXPECT_EQ(Undo(), "");
    EXPECT_FALSE(fs::exists(Dst("a.png")));
    EXPECT_FALSE(doc_.LatestOperation().has_value());

    Undo(); // nothing left to take back: no question
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(TakeBackTest, ACopyThatIsNoLongerOursOrTheOnlyOneLeftIsKept) {
    const std::string other = "not the copy";
    struct Case {
        const char* what;
        std::function<void()> change;
        bool originalChanged;
    };
    const Case cases[] = {
        {"replaced", [&] {
             test::WriteFile(dst_ / "new", other);
             fs::rename(dst_ / "new", Dst("a.png"));
         }, false},
        {"edited", [&] { std::ofstream(Dst("a.png"), std::ios::app) << "more"; }, false},
        {"original gone", [&] { fs::remove(Src("a.png")); }, true},
        // A tagging program writes the original anew: the copy is its only unedited version.
        {"original edited", [&] {
             test::WriteFile(src_ / "tagged", test::ReadFile(Src("a.png")) + "Artist=x");
             fs::rename(src_ / "tagged", Src("a.png"));
         }, true},
        {"copy gone", [&] { fs::remove(Dst("a.png")); }, false},
        {"trash refused", [&] { // after the undo's begin: its write and its flush
             faults_.error = EROFS;
             faults_.failAt = faults_.count + 3;
         }, false},
    };
    for (const auto& [what, change, originalChanged] : cases) {
        SCOPED_TRACE(what);
        fs::remove(Dst("a.png"));
        WriteImage("a.png");
        Send("a.png", 1);
        change();
        const std::string before = test::ReadFile(Dst("a.png"));
        EXPECT_EQ(Undo(), Dst("a.png") + " を削除できませんでした。" +
                              (originalChanged ? res::OriginalChangedLine(Src("a.png")) : ""));
        EXPECT_EQ(host_.icons[1], MessageIcon::Warning);
        EXPECT_EQ(test::ReadFile(Dst("a.png")), before);
        EXPECT_TRUE(doc_.LatestOperation().has_value());
        faults_.failAt = 0;
    }
}

TEST_F(TakeBackTest, UndoingAMoveBringsTheFileBackOrSaysWhyNot) {
    Send("b.png", 0);
    EXPECT_EQ(doc_.FileList().Names(), (std::vector<std::string>{"a.png", "c.png"}));
    EXPECT_EQ(Undo(), "");
    EXPECT_EQ(host_.messages[0], Src("b.png") + " から " + Dst("b.png") +
                                     " への移動を取り消します。従って " + Dst("b.png") + " から " +
                                     Src("b.png") + " へファイルを移動します。実行しますか ?");
    EXPECT_TRUE(fs::exists(Src("b.png")) && !fs::exists(Dst("b.png")));
    EXPECT_EQ(doc_.FileList().Names(), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(host_.fileListRows, doc_.FileList().Names());
    // The file that came back is shown, to be sorted again.
    EXPECT_EQ(doc_.FileList().CurrentName(), "b.png");
    EXPECT_EQ(doc_.Image().Info().fileName, "b.png");
    EXPECT_EQ(host_.fileListSelection, 1);
    EXPECT_FALSE(doc_.LatestOperation().has_value());

    // Something new at the old place stays; the file stays where it went.
    Send("b.png", 0);
    test::WriteFile(src_ / "b.png", "new");
    const std::string moved = test::ReadFile(Dst("b.png"));
    EXPECT_EQ(Undo(), Dst("b.png") + " から " + Src("b.png") + " へファイルを移動できませんでした。");
    EXPECT_EQ(test::ReadFile(src_ / "b.png"), "new");
    EXPECT_EQ(test::ReadFile(Dst("b.png")), moved);
    EXPECT_EQ(doc_.FileList().CurrentName(), "c.png"); // not the stranger now called b.png
    EXPECT_FALSE(doc_.LatestOperation().has_value());

    // Another file put in the moved file's place is not taken for it.
    Send("a.png", 0);
    test::WriteFile(dst_ / "other", "other");
    fs::rename(dst_ / "other", Dst("a.png"));
    EXPECT_EQ(Undo(), Dst("a.png") + " から " + Src("a.png") +
                          " へファイルを移動できませんでした。" + Dst("a.png") +
                          " は移動した後で別のファイルに置き換えられています。");
    EXPECT_EQ(test::ReadFile(Dst("a.png")), "other");
    EXPECT_FALSE(fs::exists(Src("a.png")));
}

TEST_F(TakeBackTest, TheTrashAsksThenTakesTheImageAndShowsTheNextOrChangesNothing) {
    Send("a.png", 1);
    Open("b.png");
    for (const bool refused : {false, true}) { // declined, then no trash can be made
        host_.Clear();
        if (refused) {
            test::WriteFile(dir_ / "not a folder", "");
            ::setenv("XDG_DATA_HOME", (dir_ / "not a folder" / "data").c_str(), 1);
        }
        host_.answers = {refused ? MessageAnswer::Yes : MessageAnswer::No};
        doc_.DeleteToRecycleBin();
        EXPECT_EQ(host_.messages[0], "ファイル " + Src("b.png") + " をごみ箱に移しますか?");
        EXPECT_EQ(host_.messages.size() > 1 ? host_.messages[1] : "",
                  refused ? Src("b.png") + " を削除できませんでした。" : "");
        EXPECT_TRUE(fs::exists(Src("b.png")));
        EXPECT_EQ(doc_.FileList().Count(), 3);
        EXPECT_EQ(doc_.Image().Info().fileName, "b.png");
    }
    test::SandboxDesktopHome(dir_);

    const auto trash = [this](const char* shown) {
        host_.answers = {MessageAnswer::Yes};
        doc_.DeleteToRecycleBin();
        EXPECT_EQ(doc_.FileList().CurrentName(), shown);
        EXPECT_EQ(host_.fileListRows, doc_.FileList().Names());
    };
    trash("c.png");
    EXPECT_TRUE(fs::exists(trash_ / "b.png") && !fs::exists(Src("b.png")));
    EXPECT_EQ(host_.outcomes.back(), "b.png をごみ箱に送りました。");
    EXPECT_EQ(doc_.Image().Info().fileName, "c.png");
    EXPECT_EQ(host_.fileListSelection, 1);
    trash("a.png"); // the last one: the previous shows
    EXPECT_EQ(host_.fileListSelection, 0);
    trash("");
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_TRUE(host_.fileListRows.empty());
    // The newest operation to take back is the last trash.
    ASSERT_TRUE(doc_.LatestOperation().has_value());
    EXPECT_EQ(doc_.LatestOperation()->kind, "trash");
}

// Every operation stays in the journal: after a restart each Ctrl+Z takes back the one before,
// asking the send's own question, and the command's prompt names what comes next.
TEST_F(TakeBackTest, ThreeMovesComeBackOneUndoEachAfterARestart) {
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        Send(name, 0);
    }
    WriteImage("d.png");
    test::RecordingHost host;
    CPirelaDoc restarted(settings_, host, host, SystemCalls::Libc(), dir_ / "state");
    ASSERT_TRUE(restarted.OpenImageFile(Src("d.png")));
    restarted.AwaitListing();
    for (const char* name : {"c.png", "b.png", "a.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(restarted.UndoPrompt(),
                  res::UndoPrompt(res::MoveDescription(Src(name), Dst(name))));
        host.Clear();
        host.answers = {MessageAnswer::Yes};
        restarted.UndoLastSend();
        EXPECT_EQ(host.messages, std::vector<std::string>{res::UndoMoveQuestion(Src(name), Dst(name))});
        EXPECT_TRUE(fs::exists(Src(name)) && !fs::exists(Dst(name)));
    }
    EXPECT_FALSE(restarted.LatestOperation().has_value());
    EXPECT_EQ(restarted.FileList().Count(), 4);
}

// An undo that would touch a file that is no longer the one the operation left refuses; the
// user may leave it and pass on to the operation before.
TEST_F(TakeBackTest, ARefusedUndoCanBePassedOverToTheOperationBefore) {
    Send("a.png", 0);
    Open("b.png");
    host_.answers = {MessageAnswer::Yes};
    doc_.DeleteToRecycleBin();
    EXPECT_EQ(doc_.UndoPrompt(), res::UndoPrompt(res::TrashDescription(Src("b.png"))));
    WriteImage("b.png"); // another file took the name
    for (const MessageAnswer pass : {MessageAnswer::No, MessageAnswer::Yes}) {
        host_.Clear();
        host_.answers = {MessageAnswer::Yes, MessageAnswer::Ok, pass};
        doc_.UndoLastSend();
        EXPECT_EQ(host_.messages, (std::vector<std::string>{res::UndoTrashQuestion(Src("b.png")),
                                                            res::TrashPlaceTakenMessage(Src("b.png")),
                                                            res::kSkipUndoQuestion}));
        EXPECT_TRUE(fs::exists(trash_ / "b.png"));
        EXPECT_EQ(doc_.LatestOperation()->kind, pass == MessageAnswer::Yes ? "move" : "trash");
    }
    EXPECT_EQ(Undo(), "");
    EXPECT_TRUE(fs::exists(Src("a.png")) && !fs::exists(Dst("a.png")));
}

// A move back from another disk that the user cancels leaves the file where the send put it,
// still offered; an instance that died mid-operation is recovered before the next one starts.
TEST_F(TakeBackTest, ACancelledMoveBackStaysOfferedAndADeadInstancesWorkIsRecoveredFirst) {
    const test::TempDir shm(fs::path("/dev/shm"));
    settings_.destinationFolders[0] = shm.Path().string();
    Send("a.png", 0);
    host_.cancelFileWork = true;
    EXPECT_EQ(Undo(), "");
    host_.cancelFileWork = false;
    EXPECT_TRUE(fs::exists(shm / "a.png") && !fs::exists(Src("a.png")));
    EXPECT_EQ(host_.statusMessages.back(), res::TransferCancelledText(res::kSendWordMove));
    EXPECT_EQ(doc_.LatestOperation()->kind, "move");

    // Another instance began moving b.png and died before touching it: its mark stays, unlocked.
    FileOperation move;
    move.id = NewJournalOperationId();
    move.owner = NewJournalOperationId();
    move.kind = operation::kMove;
    move.files.push_back({Src("b.png"), Dst("b.png"), FileIdentity::Of(Src("b.png"))});
    test::WriteFile(dir_ / "state" / "owners" / move.owner, "");
    ASSERT_TRUE(JournalFile(JournalFileIn(dir_ / "state")).Append(BeginRecord(move)));
    Open("c.png");
    host_.Clear();
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    ASSERT_FALSE(host_.messages.empty());
    EXPECT_EQ(host_.messages[0], std::string(res::kRecoveryHeading) + "\n\n" +
                                     res::NotDoneLine(res::MoveDescription(Src("b.png"), Dst("b.png"))));
    EXPECT_TRUE(fs::exists(Src("b.png")) && fs::exists(shm / "c.png"));
    EXPECT_TRUE(OperationLog(dir_ / "state").Journal().Scan().unfinished.empty());
}

} // namespace
} // namespace pirela
