#include "app/CPirelaDoc.h"
#include "res/ResourceIds.h"
#include "settings/IniFile.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "ui/CFileListWnd.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/JapaneseInterface.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace pirela;

class FileListWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareJapaneseInterface(*qApp); }

    void startsShownAtItsPlaceAndRemembersBeingHidden() {
        test::TempDir dir;
        const auto ini = dir / "pirela.ini";
        {
            CPirelaApp app(ini);
            QVERIFY(app.InitInstance({}));
            CFileListWnd& list = *app.FileListWindow();
            QVERIFY(list.IsShown());
            QVERIFY(list.isVisible());
            QCOMPARE(list.windowTitle(), QStringLiteral("ファイル リスト"));
            QCOMPARE(list.Label(), QStringLiteral("開かれていません..."));
            app.MainFrame()->UpdateCommandUi();
            QVERIFY(app.MainFrame()->Action(res::kCmdFileList)->isChecked());

            qobject_cast<QPushButton*>(list.findChildren<QPushButton*>().last())->click(); // 隠す
            QVERIFY(!list.isVisible());
            list.move(40, 50);
            app.MainFrame()->close();
        }
        const IniFile saved = IniFile::Parse(test::ReadFile(ini));
        QCOMPARE(saved.GetInt("FILELISTWINDOW", "VIEW"), std::optional<int>(0));
        QCOMPARE(saved.GetInt("FILELISTWINDOW", "LEFT"), std::optional<int>(40));
        CPirelaApp again(ini);
        QVERIFY(again.InitInstance({}));
        QVERIFY(!again.FileListWindow()->IsShown());
        again.MainFrame()->Action(res::kCmdFileList)->trigger();
        QVERIFY(again.FileListWindow()->isVisible());
        QCOMPARE(again.FileListWindow()->frameGeometry().topLeft(), QPoint(40, 50));
    }

    void followsTheListAndShowsTheChosenRow() {
        test::TempDir dir;
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            test::WritePng(dir / name, test::PngFromSamples(test::PhotoLike(4, 3, 3)));
        }
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        app.View()->OpenFolder(dir.Path().string());
        CFileListWnd& window = *app.FileListWindow();
        QListWidget& rows = *window.List();
        QCOMPARE(rows.count(), 3);
        QCOMPARE(rows.currentRow(), 0);
        QCOMPARE(window.Label(), QString::fromStdString("/.../" + dir.Path().filename().string()));

        app.MainFrame()->UpdateCommandUi();
        app.MainFrame()->Action(res::kCmdNext)->trigger();
        QCOMPARE(rows.currentRow(), 1);

        rows.setCurrentRow(2);
        window.ShowSelected();
        QCOMPARE(app.Document().FileList().Current(), 2);
        QCOMPARE(app.Document().Image().Info().fileName, std::string("c.png"));
        QVERIFY(app.MainFrame()->windowTitle().contains(QStringLiteral("c.png")));

        app.Document().RemoveCurrentEntry();
        QCOMPARE(rows.count(), 2);
    }

    void neverSmallerThanItsMinimumAndTheCurrentRowStaysInSight() {
        test::TempDir dir;
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        CFileListWnd& window = *app.FileListWindow();
        window.resize(50, 50);
        QVERIFY(window.width() >= 135 && window.height() >= 157);
        window.resize(300, 400);
        QCOMPARE(window.List()->geometry(), QRect(6, 22, 300 - 12, 400 - 56));

        // Filled at one size, then made smaller (as the window manager does with a new window).
        std::vector<std::string> names;
        for (int i = 0; i < 100; ++i) {
            names.push_back("p" + std::to_string(i) + ".jpg");
        }
        window.Fill(names, 60, "/photos");
        window.resize(150, 200);
        QListWidget& rows = *window.List();
        QVERIFY(rows.viewport()->rect().contains(rows.visualItemRect(rows.item(60))));
    }
};

QTEST_MAIN(FileListWindowTest)
#include "FileListWindowTest.moc"
