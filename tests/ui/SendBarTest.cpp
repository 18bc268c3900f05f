#include "app/CPirelaDoc.h"
#include "res/ResourceIds.h"
#include "support/ImageFixtures.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"
#include "ui/CDestFoldersDlg.h"
#include "ui/CIconButton.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/CSendBar.h"
#include "ui/DialogBuilder.h"
#include "ui/JapaneseInterface.h"
#include "ui/KeyboardAccelerators.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <vector>

using namespace pirela;

namespace {

// Plays the user's part each time the dialog shows, one step per showing.
void ScriptDialog(QDialog& dialog, QTimer& timer, std::vector<std::function<void()>>& steps) {
    auto next = std::make_shared<std::size_t>(0);
    QObject::connect(&timer, &QTimer::timeout, &dialog, [&dialog, &steps, next] {
        if (dialog.isVisible() && *next < steps.size()) {
            steps[(*next)++]();
        }
    });
    timer.start(10);
}

} // namespace

class SendBarTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(PrepareJapaneseInterface(*qApp)); }

    void buttonsNameTheirFoldersAndGiveTheKeysCommands() {
        test::TempDir dir;
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        app.Settings().destinationFolders[2] = "/home/me/photos/cats";
        app.Settings().destinationFolders[4] = "/";
        app.Settings().destinationFolders[0].clear();
        app.Settings().options.sendType = 0;
        CMainFrame& frame = *app.MainFrame();
        CSendBar& bar = *app.SendBar();
        bar.Refresh();
        QCOMPARE(bar.DestinationButton(2)->text(), QStringLiteral("&3 cats"));
        QCOMPARE(bar.DestinationButton(2)->toolTip(), QStringLiteral("/home/me/photos/cats へ送る"));
        QCOMPARE(bar.DestinationButton(4)->text(), QStringLiteral("&5 /"));
        QCOMPARE(bar.DestinationButton(0)->text(), QStringLiteral("&1 (未設定)"));
        QCOMPARE(bar.DestinationButton(0)->toolTip(), QStringLiteral("未設定"));
        QVERIFY(bar.Control(res::kSendBarMove)->isChecked() && !bar.Control(res::kSendBarCopy)->isChecked());
        QCOMPARE(bar.Control(res::kSendBarFolderButton)->toolTip(), QStringLiteral("送り先フォルダを指定します"));

        // The send commands as the send itself registers them: enabled while an image is open.
        std::vector<int> sent;
        for (int command : res::kCmdDestinations) {
            frame.Commands().Add(command, [&sent, command] { sent.push_back(command); },
                                 [&app] { return app.Document().FileList().HasCurrentImage(); });
        }
        frame.UpdateCommandUi();
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!bar.DestinationButton(i)->isEnabled());
        }
        // Without an image the options still work, and write the settings.
        QTest::mouseClick(bar.Control(res::kSendBarCopy), Qt::LeftButton);
        QCOMPARE(app.Settings().options.sendType, 1);
        bar.Control(res::kSendBarRename)->click();
        QCOMPARE(app.Settings().options.changeFileName, 1);
        QVERIFY(bar.Control(res::kSendBarFolderButton)->isEnabled());

        test::WritePng(dir / "a.png", test::PngFromSamples(test::PhotoLike(20, 10, 3)));
        app.View()->OpenFolder(dir.Path().string());
        frame.UpdateCommandUi();
        QVERIFY(bar.DestinationButton(0)->isEnabled() && bar.DestinationButton(7)->isEnabled());
        QTest::mouseClick(bar.DestinationButton(2), Qt::LeftButton);
        QCOMPARE(sent, std::vector<int>{frame.Accelerators().CommandFor(QKeyCombination(Qt::Key_3)).value()});

        // Settings changed elsewhere (the options sheet) leave exactly one radio checked.
        app.Settings().options.sendType = 0;
        bar.Refresh();
        QVERIFY(bar.Control(res::kSendBarMove)->isChecked() && !bar.Control(res::kSendBarCopy)->isChecked());
    }

    void aLongCaptionEndsInAnEllipsisAndNothingLightsUpWhileInactive() {
        test::TempDir dir;
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        app.Settings().destinationFolders[0] = "/a/" + std::string(60, 'w');
        app.Settings().destinationFolders[1] = "/a/b";
        app.SendBar()->Refresh();
        CIconButton& button = *app.SendBar()->DestinationButton(0);
        QVERIFY(button.ShownCaption().endsWith(QChar(0x2026)));
        QVERIFY(button.ShownCaption().startsWith(QStringLiteral("1 ww")));
        QCOMPARE(app.SendBar()->DestinationButton(1)->ShownCaption(), QStringLiteral("2 b"));

        // The folder button is always enabled; a disabled button never lights up.
        auto& folderButton = *static_cast<CIconButton*>(app.SendBar()->Control(res::kSendBarFolderButton));
        QVERIFY(button.ShownCaption().size() > 0 && folderButton.ShownCaption().isEmpty());
        QApplication::setActiveWindow(nullptr);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(&folderButton, &enter);
        QVERIFY(!folderButton.IsHot());
        QApplication::setActiveWindow(app.MainFrame());
        QVERIFY(folderButton.IsHot());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&folderButton, &leave);
        QVERIFY(!folderButton.IsHot());
    }

    void theBarsPlaceAndVisibilitySurviveARestart() {
        test::TempDir dir;
        const auto file = dir / "pirela.ini";
        {
            CPirelaApp app(file);
            QVERIFY(app.InitInstance({}));
            CMainFrame& frame = *app.MainFrame();
            QCOMPARE(frame.dockWidgetArea(app.SendBar()), Qt::LeftDockWidgetArea);
            QVERIFY(frame.Action(res::kCmdSendBar)->isChecked());
            frame.addDockWidget(Qt::RightDockWidgetArea, app.SendBar());
            QVERIFY(frame.close());
        }
        {
            CPirelaApp app(file);
            QVERIFY(app.InitInstance({}));
            QCOMPARE(app.MainFrame()->dockWidgetArea(app.SendBar()), Qt::RightDockWidgetArea);
            app.MainFrame()->Action(res::kCmdSendBar)->trigger();
            QVERIFY(!app.SendBar()->isVisible());
            QVERIFY(!app.MainFrame()->Action(res::kCmdSendBar)->isChecked());
            QVERIFY(app.MainFrame()->close());
        }
        CPirelaApp app(file);
        QVERIFY(app.InitInstance({}));
        QVERIFY(!app.SendBar()->isVisible());
    }

    void badRowsAreNamedInOrderAndTheDialogComesBackAsTyped() {
        test::TempDir dir;
        const std::string good = dir.Path().string();
        AppSettings settings;
        settings.destinationFolders[1] = "/old";
        CDestFoldersDlg dialog(settings);
        QCOMPARE(dialog.Edit(1)->text(), QStringLiteral("/old"));
        test::RecordingHost prompter;
        QTimer timer;
        QStringList reopenedWith;
        std::vector<std::function<void()>> steps{
            [&] {
                dialog.Edit(0)->setText(QString::fromStdString(good));
                dialog.Edit(1)->setText(QStringLiteral("pics"));
                dialog.Edit(3)->setText(QStringLiteral("/no/such/folder"));
                qobject_cast<QPushButton*>(FindControl(dialog, res::kIdOk))->click();
            },
            [&] {
                reopenedWith << dialog.Edit(1)->text() << dialog.Edit(3)->text();
                dialog.reject();
            },
        };
        ScriptDialog(dialog, timer, steps);
        QVERIFY(!dialog.Run(settings, prompter));
        QCOMPARE(reopenedWith, (QStringList{"pics", "/no/such/folder"}));
        QCOMPARE(prompter.messages.size(), std::size_t(2));
        QVERIFY(prompter.messages[0].find(" pics ") != std::string::npos);
        QVERIFY(prompter.messages[1].find("/no/such/folder") != std::string::npos);
        // The good row is stored though the user cancelled afterwards; the bad ones are not.
        QCOMPARE(settings.destinationFolders[0], good);
        QCOMPARE(settings.destinationFolders[1], std::string("/old"));

        steps.push_back([&] {
            qobject_cast<QPushButton*>(FindControl(dialog, res::kDestinationClearAll))->click();
            dialog.accept();
        });
        QVERIFY(dialog.Run(settings, prompter));
        QCOMPARE(settings.destinationFolders, DestinationRows{});
        QCOMPARE(prompter.messages.size(), std::size_t(2));
    }
};

QTEST_MAIN(SendBarTest)
#include "SendBarTest.moc"
