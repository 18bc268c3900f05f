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
#include <QLabel>
#include <QListView>
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
        QCOMPARE(window.RowCount(), 3);
        QCOMPARE(window.SelectedRow(), 0);
        QCOMPARE(window.Label(), QString::fromStdString(dir.Path().string()));

        app.MainFrame()->UpdateCommandUi();
        app.MainFrame()->Action(res::kCmdNext)->trigger();
        QCOMPARE(window.SelectedRow(), 1);

        window.SelectRow(2);
        window.ShowSelected();
        QCOMPARE(app.Document().FileList().Current(), 2);
        QCOMPARE(app.Document().Image().Info().fileName, std::string("c.png"));
        QVERIFY(app.MainFrame()->windowTitle().contains(QStringLiteral("c.png")));

        app.Document().RemoveCurrentEntry();
        QCOMPARE(window.RowCount(), 2);
        QCOMPARE(window.List()->model()->index(1, 0).data().toString(), QStringLiteral("b.png"));
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

        // A camera roll filled at one size, then made smaller (as the window manager does with
        // a new window): the current row stays in sight, and the folder label loses its middle.
        ImageFileList roll;
        for (int i = 0; i < 100'000; ++i) {
            roll.AddFileName("IMG_" + std::to_string(100'000 + i) + ".jpg");
        }
        const std::string folder = "/home/someone/Pictures/Phone backup 2024/DCIM/Camera";
        window.Fill(roll, 99'998, folder);
        window.resize(150, 200);
        QListView& rows = *window.List();
        QCOMPARE(window.RowCount(), 100'000);
        QVERIFY(rows.viewport()->rect().contains(rows.visualRect(rows.model()->index(99'998, 0))));
        QCOMPARE(window.Label(), QString::fromStdString(folder));
        const QString shown = window.findChild<QLabel*>()->text();
        QVERIFY(shown.startsWith(QStringLiteral("/home")) && shown.endsWith(QStringLiteral("Camera")));
        QVERIFY(shown.contains(QChar(0x2026)));
        window.resize(900, 200);
        QCOMPARE(window.findChild<QLabel*>()->text(), QString::fromStdString(folder));
    }
};

QTEST_MAIN(FileListWindowTest)
#include "FileListWindowTest.moc"
