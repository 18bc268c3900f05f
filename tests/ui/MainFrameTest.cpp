#include "res/Accelerators.h"
#include "res/ResourceIds.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"
#include "ui/CAboutDlg.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/DesktopEnvironment.h"
#include "ui/DialogBuilder.h"
#include "ui/JapaneseInterface.h"
#include "ui/KeyboardAccelerators.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>

using namespace pirela;

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(PrepareJapaneseInterface(*qApp)); }

    void opensAtTheStoredRectangleAndWritesItBackWhenClosed() {
        test::TempDir dir;
        const auto file = dir / "pirela.ini";
        test::WriteFile(file, "[WINDOW]\nLEFT=30\nTOP=40\nRIGHT=530\nBOTTOM=440\n"
                              "[TOOLBAR-Summary]\nBars=3\n");
        CPirelaApp app(file);
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.MainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(frame->frameGeometry(), QRect(30, 40, 500, 400));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Pirela"));

        // The outer rectangle, frame included, is what the file keeps.
        frame->setGeometry(60, 70, 320, 240);
        const QRect outer = frame->frameGeometry();
        QVERIFY(frame->close());
        const IniFile saved = IniFile::Parse(test::ReadFile(file));
        QCOMPARE(saved.GetInt("WINDOW", "LEFT"), std::optional<int>(outer.left()));
        QCOMPARE(saved.GetInt("WINDOW", "TOP"), std::optional<int>(outer.top()));
        QCOMPARE(saved.GetInt("WINDOW", "RIGHT"), std::optional<int>(outer.left() + outer.width()));
        QCOMPARE(saved.GetInt("WINDOW", "BOTTOM"), std::optional<int>(outer.top() + outer.height()));
        QVERIFY(outer.width() >= 320 && outer.width() < 340);
        QCOMPARE(saved.GetString("TOOLBAR-Summary", "Bars"), std::optional<std::string>("3"));
    }

    // Destination 1 and the open dialog start at the documents folder only when it is there.
    void aFirstStartOffersOnlyADocumentsFolderThatExists() {
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", home);
            qputenv("XDG_CONFIG_HOME", config);
        });
        test::TempDir dir;
        test::SandboxDesktopHome(dir);
        std::filesystem::create_directories(dir / "config");
        const std::string own = (dir / "Dokumente").string();
        const struct {
            const char* userDirs; // the desktop's user-dirs.dirs, or none
            bool make;            // whether the folder it names exists
            std::string expected;
        } cases[] = {
            {nullptr, false, ""},
            {nullptr, true, (dir / "Documents").string()},
            {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", true, own},
            {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", false, ""},
            {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", false, ""}, // switched off
        };
        for (const auto& c : cases) {
            std::filesystem::remove(dir / "config" / "user-dirs.dirs");
            std::filesystem::remove(dir / "Documents");
            std::filesystem::remove(dir / "Dokumente");
            if (c.userDirs != nullptr) {
                test::WriteFile(dir / "config" / "user-dirs.dirs", c.userDirs);
            }
            if (c.make) {
                std::filesystem::create_directory(c.userDirs ? own : (dir / "Documents").string());
            }
            QCOMPARE(CurrentSettingsEnvironment().documentsFolder, c.expected);
        }
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        QCOMPARE(app.Settings().destinationFolders[0], std::string());
    }

    void everyAcceleratorReachesItsCommand() {
        test::TempDir dir;
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        KeyboardAccelerators& keys = app.MainFrame()->Accelerators();
        for (const res::Accelerator& key : res::MainAccelerators()) {
            const QKeySequence sequence(QString::fromLatin1(key.keys));
            QCOMPARE(keys.CommandFor(sequence[0]), std::optional<int>(key.command));
            QVERIFY2(app.MainFrame()->Action(key.command) != nullptr, key.keys);
        }
        // The keypad's Enter pages like the main Enter; Shift or Alt make other keys.
        QCOMPARE(keys.CommandFor(QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter)),
                 std::optional<int>(res::kCmdNext));
        QCOMPARE(keys.CommandFor(QKeyCombination(Qt::ShiftModifier, Qt::Key_N)), std::nullopt);
        QCOMPARE(keys.CommandFor(QKeyCombination(Qt::AltModifier, Qt::Key_L)), std::nullopt);
    }

    // Holding a key while each press takes longer than the key's repeat rate: the repeats that
    // came in meanwhile are dropped instead of paging on after the key is released.
    void repeatsThatArriveWhileBusyAreDropped() {
        QWidget window;
        std::vector<unsigned long> handled;
        unsigned long now = 0;
        KeyboardAccelerators keys({{"N", res::kCmdNext}, {"1", res::kCmdDestinations[0]}},
                                  [&](int) {
                                      handled.push_back(now);
                                      QTest::qSleep(50);
                                  });
        keys.AddWindow(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto press = [&](unsigned long timestamp, bool repeat, Qt::Key key = Qt::Key_N) {
            now = timestamp;
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QKeySequence(key).toString(),
                            repeat);
            event.setTimestamp(timestamp);
            QApplication::sendEvent(&window, &event);
        };
        press(1000, false);
        press(1030, true);  // sent while the first press was being handled
        press(900000, true); // sent long after
        press(900001, false); // a fresh press always counts
        // A held send key sends once: its repeats would send photos the user never saw.
        press(1000000, false, Qt::Key_1);
        press(2000000, true, Qt::Key_1);
        QCOMPARE(handled, (std::vector<unsigned long>{1000, 900000, 900001, 1000000}));
    }

    void zoomItemsAreOneChoice() {
        test::TempDir dir;
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        app.MainFrame()->UpdateCommandUi();
        QActionGroup* group = app.MainFrame()->Action(res::kCmdZoom25)->actionGroup();
        QVERIFY(group != nullptr && group->isExclusive());
        QCOMPARE(group->actions().size(), 7);
        QVERIFY(app.MainFrame()->Action(res::kCmdZoomShrink)->actionGroup() == group);
        QVERIFY(app.MainFrame()->Action(res::kCmdKeepTurn)->actionGroup() == nullptr);
    }

    void theToolBarAndTheBarsStateSurviveARestart() {
        test::TempDir dir;
        const auto file = dir / "pirela.ini";
        {
            CPirelaApp app(file);
            QVERIFY(app.InitInstance({}));
            CMainFrame& frame = *app.MainFrame();
            auto* toolBar = frame.findChild<QToolBar*>();
            QVERIFY(toolBar != nullptr);
            QCOMPARE(toolBar->actions().size(), 15);
            QCOMPARE(toolBar->actions()[0], frame.Action(res::kCmdOpenFolder));
            QVERIFY(toolBar->actions()[3]->isSeparator());
            auto* next = qobject_cast<QToolButton*>(toolBar->widgetForAction(frame.Action(res::kCmdNext)));
            QVERIFY(next != nullptr && next->menu() == frame.DropDownMenu(true));
            QCOMPARE(frame.Action(res::kCmdNext)->toolTip(), QStringLiteral("次のイメージを開く (Space)"));
            frame.UpdateCommandUi();
            QVERIFY(frame.Action(res::kCmdToolBar)->isChecked());
            QVERIFY(frame.Action(res::kCmdStatusBar)->isChecked());
            frame.Action(res::kCmdToolBar)->trigger();
            frame.Action(res::kCmdStatusBar)->trigger();
            frame.UpdateCommandUi();
            QVERIFY(!frame.Action(res::kCmdToolBar)->isChecked());
            QVERIFY(frame.close());
        }
        CPirelaApp again(file);
        QVERIFY(again.InitInstance({}));
        QVERIFY(!again.MainFrame()->findChild<QToolBar*>()->isVisible());
        QVERIFY(!again.MainFrame()->statusBar()->isVisible());
    }

    void exitCommandClosesTheWindowAndSaves() {
        test::TempDir dir;
        const auto file = dir / "pirela.ini";
        CPirelaApp app(file);
        QVERIFY(app.InitInstance({}));
        QAction* exit = app.MainFrame()->Action(res::kCmdAppExit);
        QVERIFY(exit != nullptr);
        QCOMPARE(exit->text(), QStringLiteral("Pirela の終了(&X)"));
        QCOMPARE(exit->statusTip(), QStringLiteral("アプリケーションを終了します。"));
        exit->trigger();
        QVERIFY(!app.MainFrame()->isVisible());
        QVERIFY(std::filesystem::is_regular_file(file));
    }

    void menuBarHoldsTheBuiltCommands() {
        test::TempDir dir;
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        const QList<QAction*> popups = app.MainFrame()->menuBar()->actions();
        QStringList titles;
        for (QAction* popup : popups) {
            titles << popup->text();
        }
        QCOMPARE(titles, (QStringList{"ファイル(&F)", "送る(&R)", "表示(&V)", "ツール(&T)", "ヘルプ(&H)"}));
        CMainFrame& frame = *app.MainFrame();
        frame.UpdateCommandUi();
        // Without an image the trash is disabled, and without a send so is the undo.
        QCOMPARE(frame.Action(res::kCmdRecycleBin)->text(), QStringLiteral("ごみ箱へ(&T)\tDel"));
        QVERIFY(!frame.Action(res::kCmdRecycleBin)->isEnabled());
        QVERIFY(!frame.Action(res::kCmdUndo)->isEnabled());

        // Destination and file-manager items name their folders, or say they are not set.
        app.Settings().destinationFolders[2] = "/home/me/Photos/Cats";
        app.Settings().destinationFolders[1] = "/";
        frame.UpdateCommandUi();
        QCOMPARE(frame.Action(res::kCmdDestinations[2])->text(), QStringLiteral("&3 Cats へ"));
        QCOMPARE(frame.Action(res::kCmdDestinations[1])->text(), QStringLiteral("&2 / へ"));
        QCOMPARE(frame.Action(res::kCmdDestinations[4])->text(), QStringLiteral("&5 (未設定)"));
        QCOMPARE(frame.Action(res::kCmdExploreFirst + 2)->text(), QStringLiteral("&3 Cats を開く"));
        QCOMPARE(frame.Action(res::kCmdExploreFirst + 4)->text(), QStringLiteral("&5 フォルダ (未設定)"));

        // The drop-downs hold their four items in order.
        QStringList back;
        for (QAction* item : frame.DropDownMenu(false)->actions()) {
            back << item->text();
        }
        QCOMPARE(back, (QStringList{"前のイメージ(&B)", "10 個前のイメージ(&1)\tPage Up",
                                    "100 個前のイメージ(&0)", "先頭のイメージ(&H)\tHome"}));
        QCOMPARE(frame.DropDownMenu(true)->actions().size(), 4);

        // The program submenu holds the registered programs.
        frame.RebuildProgramMenu({"&1 GIMP"});
        QCOMPARE(frame.Action(res::kCmdProgramFirst)->text(), QStringLiteral("&1 GIMP"));
        QMenu* programs = nullptr;
        for (QMenu* menu : frame.menuBar()->findChildren<QMenu*>()) {
            if (menu->title() == QStringLiteral("プログラム(&P)")) {
                programs = menu;
            }
        }
        QVERIFY(programs != nullptr);
        QVERIFY(programs->menuAction()->isEnabled());
        frame.RebuildProgramMenu({});
        QVERIFY(!programs->menuAction()->isEnabled());
        QCOMPARE(programs->actions().size(), 2); // the separator and "参照(&B)..." 
        QCOMPARE(app.MainFrame()->Action(res::kCmdAppAbout)->text(),
                 QStringLiteral("Pirela について(&A)..."));
    }

    void aboutBoxShowsTheProgramFilesModificationTime() {
        ::setenv("TZ", "JST-9", 1);
        ::tzset();
        const QByteArray program = QCoreApplication::applicationFilePath().toLocal8Bit();
        const utimbuf times{981140706, 981140706}; // 2001-02-03 04:05:06 in Tokyo
        QCOMPARE(::utime(program.constData(), &times), 0);

        CAboutDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Pirela について"));
        auto* buildLabel = qobject_cast<QLabel*>(FindControl(dialog, res::kAboutBuildText));
        QVERIFY(buildLabel != nullptr);
        QCOMPARE(buildLabel->text(), QStringLiteral("Build : 2001年2月3日 4:05:06"));
        auto* ok = qobject_cast<QPushButton*>(FindControl(dialog, res::kIdOk));
        QVERIFY(ok != nullptr && ok->isDefault());
        QVERIFY(dialog.width() > dialog.height() * 2); // 219 x 65 dialog units
    }

    void standardButtonsSpeakJapanese() {
        QMessageBox box(QMessageBox::Question, "Pirela", "?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")));
        QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("キャンセル")));
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
