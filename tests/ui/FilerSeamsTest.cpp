// The user interface's side of the filer's seams: the desktop's programs, the new-name question
// and the status bar's message pane.
#include "app/CPirelaDoc.h"
#include "app/DesktopPrograms.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "settings/AppSettings.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "ui/CDocumentHost.h"
#include "ui/CMainFrame.h"
#include "ui/CMessagePrompter.h"
#include "ui/CPirelaApp.h"
#include "ui/DialogBuilder.h"
#include "ui/JapaneseInterface.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QRadioButton>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

using namespace pirela;
namespace fs = std::filesystem;

class FilerSeamsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(PrepareJapaneseInterface(*qApp));
        // The trash and the desktop's files of this run live in the test's own folder.
        test::SandboxDesktopHome(home_);
    }

    // Undo waits for a send; Del through the frame's command, answered Yes, puts the image into
    // the home trash and shows the next one.
    void undoAndTrashRunFromTheFrame() {
        const fs::path pics = home_ / "pics";
        const fs::path sorted = home_ / "sorted";
        fs::create_directories(pics);
        fs::create_directories(sorted);
        for (const char* name : {"a.png", "b.png"}) {
            test::WritePng(pics / name, test::PngFromSamples(test::PhotoLike(8, 6, 3)));
        }
        CPirelaApp app(home_ / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        CMainFrame& frame = *app.MainFrame();
        app.Settings().options.ask = 0;
        app.Settings().options.sendType = 1;
        app.Settings().destinationFolders[0] = sorted.string();
        QVERIFY(app.Document().OpenImageFolder(pics.string()));
        frame.UpdateCommandUi();
        QVERIFY(frame.Action(res::kCmdRecycleBin)->isEnabled());
        QVERIFY(!frame.Action(res::kCmdUndo)->isEnabled());
        frame.Action(res::kCmdDestinations[0])->trigger();
        QVERIFY(fs::exists(sorted / "a.png"));
        QVERIFY(frame.Action(res::kCmdUndo)->isEnabled());

        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            box->button(QMessageBox::Yes)->click();
        });
        frame.Action(res::kCmdRecycleBin)->trigger();
        QVERIFY(!fs::exists(pics / "a.png"));
        QVERIFY(fs::exists(home_ / "data" / "Trash" / "files" / "a.png"));
        const std::string info =
            test::ReadFile(home_ / "data" / "Trash" / "info" / "a.png.trashinfo");
        QVERIFY(info.find("Path=" + (pics / "a.png").string() + "\n") != std::string::npos);
        QCOMPARE(app.Document().FileList().Names(), std::vector<std::string>{"b.png"});
        QCOMPARE(app.Document().Image().Info().fileName, std::string("b.png"));
    }

    void everyControlKindIsBuiltWithItsToolTip() {
        using res::ControlKind;
        const res::DialogTemplate dialogTemplate{
            900, "kinds", 200, 100,
            {{10, ControlKind::Edit, "e", 0, 0, 50, 12, 0, "edit tip"},
             {11, ControlKind::ReadOnlyEdit, "r", 0, 12, 50, 12},
             {12, ControlKind::CheckBox, "c", 0, 24, 50, 10, 0, "check tip"},
             {13, ControlKind::RadioButton, "r1", 0, 34, 50, 10},
             {14, ControlKind::GroupBox, "g", 60, 0, 50, 50},
             {15, ControlKind::SunkenFrame, "", 60, 50, 20, 20},
             {16, ControlKind::IconButton, "folder", 100, 0, 75, 19, res::kMainFrame}}};
        QDialog dialog;
        BuildDialog(dialog, dialogTemplate);
        QCOMPARE(FindControl(dialog, 10)->toolTip(), QStringLiteral("edit tip"));
        QVERIFY(!qobject_cast<QLineEdit*>(FindControl(dialog, 10))->isReadOnly());
        QVERIFY(qobject_cast<QLineEdit*>(FindControl(dialog, 11))->isReadOnly());
        QCOMPARE(qobject_cast<QCheckBox*>(FindControl(dialog, 12))->text(), QStringLiteral("c"));
        QCOMPARE(FindControl(dialog, 12)->toolTip(), QStringLiteral("check tip"));
        QVERIFY(qobject_cast<QRadioButton*>(FindControl(dialog, 13)) != nullptr);
        QCOMPARE(qobject_cast<QGroupBox*>(FindControl(dialog, 14))->title(), QStringLiteral("g"));
        QCOMPARE(qobject_cast<QFrame*>(FindControl(dialog, 15))->frameShadow(), QFrame::Sunken);
        auto* iconButton = qobject_cast<QAbstractButton*>(FindControl(dialog, 16));
        QVERIFY(iconButton != nullptr && !iconButton->icon().isNull());
        QCOMPARE(iconButton->text(), QStringLiteral("folder"));
    }

    // Whatever font stands in for the dialogs' own, no text is cut and nothing lies outside.
    void everyTemplateShowsItsTextsWhole() {
        const res::DialogTemplate* const templates[] = {
            &res::AboutBoxTemplate(),     &res::FileListTemplate(),     &res::SendRenameTemplate(),
            &res::BatchRenameTemplate(),  &res::GeneralPageTemplate(),  &res::FindPageTemplate(),
            &res::SendPageTemplate(),     &res::ProgramEditTemplate(),  &res::SendBarTemplate(),
            &res::DestFoldersTemplate(),  &res::PropertiesTemplate()};
        for (const res::DialogTemplate* dialogTemplate : templates) {
            QDialog dialog;
            BuildDialog(dialog, *dialogTemplate);
            for (QWidget* control : dialog.findChildren<QWidget*>()) {
                const auto* label = qobject_cast<QLabel*>(control);
                const auto* button = qobject_cast<QAbstractButton*>(control);
                const QString text = label ? label->text() : button ? button->text() : QString();
                const QString where = QString::number(dialogTemplate->id) + " " + text;
                QVERIFY2(QRect(QPoint(), dialog.size()).contains(control->geometry()),
                         qPrintable(where));
                int needed = control->fontMetrics().horizontalAdvance(WithoutMnemonic(text));
                if (label != nullptr && label->wordWrap()) {
                    needed = 0;
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                             qPrintable(where));
                } else if (qobject_cast<const QCheckBox*>(control) != nullptr ||
                           qobject_cast<const QRadioButton*>(control) != nullptr) {
                    needed = control->sizeHint().width();
                }
                QVERIFY2(needed <= control->width(),
                         qPrintable(where + QString(" %1 > %2").arg(needed).arg(control->width())));
            }
        }
    }

    void openingSomethingMissingFailsWithoutAskingTheDesktop() {
        DesktopPrograms desktop;
        test::WriteFile(home_ / "file.jpg", "x");
        QVERIFY(!desktop.OpenFolder((home_ / "no such folder").string()));
        QVERIFY(!desktop.OpenFolder((home_ / "file.jpg").string()));
        QVERIFY(!desktop.OpenFile((home_ / "missing.jpg").string()));
        QVERIFY(!desktop.OpenFile(home_.Path().string()));
    }

    void aProgramGetsThePathAsOneArgumentWithoutAShell() {
        DesktopPrograms desktop;
        const fs::path target = home_ / "made by $(touch pwned) `touch pwned2` 表.txt";
        QVERIFY(desktop.StartProgram("touch", target.string()));
        QTRY_VERIFY(fs::exists(target));
        QVERIFY(!fs::exists("pwned") && !fs::exists(home_ / "pwned"));
        QVERIFY(!desktop.StartProgram("/no/such/program", target.string()));
        QVERIFY(!desktop.StartProgram("", target.string()));
    }

    void aMessageBoxLetterAnswersTheMomentItIsPressed() {
        CMessagePrompter prompter;
        for (const auto modifier : {Qt::NoModifier, Qt::AltModifier}) {
            bool closedAtOnce = false;
            QTimer::singleShot(0, [&closedAtOnce, modifier] {
                QWidget* box = QApplication::activeModalWidget();
                QVERIFY(box != nullptr);
                // A key that came before the box was on the screen would not count.
                QVERIFY(QTest::qWaitForWindowExposed(box));
                QTest::keyClick(box, Qt::Key_N, modifier);
                // Qt's own mnemonic click would still be showing the button pressed here.
                closedAtOnce = !box->isVisible();
                if (!closedAtOnce) {
                    qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
                }
            });
            QCOMPARE(prompter.ShowMessage("?", MessageIcon::Question, MessageButtons::YesNo),
                     MessageAnswer::No);
            QVERIFY(closedAtOnce);
        }
    }

    // Return reaches the question before it is on the screen, and then as a held key's repeat:
    // neither answers. Once it is there, Space and Return answer キャンセル at the overwrite
    // question, whose Yes cannot be taken back.
    void onlyAKeyPressedForTheQuestionAnswersIt() {
        CMessagePrompter prompter;
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
            QTimer::singleShot(0, [key] {
                QWidget* box = QApplication::activeModalWidget();
                QVERIFY(box != nullptr && !box->windowHandle()->isExposed());
                QTest::keyClick(box, Qt::Key_Return);
                QVERIFY(box->isVisible());
                QVERIFY(QTest::qWaitForWindowExposed(box));
                QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
                QApplication::sendEvent(QApplication::focusWidget(), &repeat);
                QVERIFY(box->isVisible());
                QTest::keyClick(QApplication::focusWidget(), key);
            });
            QCOMPARE(prompter.ShowMessage("?", MessageIcon::Question,
                                          MessageButtons::YesNoCancelDefaultCancel),
                     MessageAnswer::Cancel);
        }
    }

    // The send's confirmation ended by anything but a button (here its loop) is no consent.
    void aBoxClosedWithoutAButtonAnswersCancel() {
        CMessagePrompter prompter;
        for (const bool click : {true, false}) {
            QTimer::singleShot(0, [click] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                click ? box->button(QMessageBox::Ok)->click() : box->reject();
            });
            QCOMPARE(prompter.ShowMessage("?", MessageIcon::Information, MessageButtons::OkCancel),
                     click ? MessageAnswer::Ok : MessageAnswer::Cancel);
        }
    }

    void theNewNameDialogOffersTheCurrentNameAndReturnsTheTypedOne() {
        CMessagePrompter prompter;
        QTimer::singleShot(0, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            const auto text = [dialog](int id) {
                return qobject_cast<QLineEdit*>(FindControl(*dialog, id))->text();
            };
            QCOMPARE(text(res::kRenameCurrentName), QStringLiteral("photo.2001"));
            QCOMPARE(text(res::kRenameNewName), QStringLiteral("photo.2001"));
            QCOMPARE(text(res::kRenameCurrentExtension), QStringLiteral(".jpg"));
            QCOMPARE(text(res::kRenameNewExtension), QStringLiteral(".jpg"));
            QCOMPARE(qobject_cast<QLabel*>(FindControl(*dialog, res::kRenameDestination))->text(),
                     QStringLiteral("/photos/猫"));
            QVERIFY(qobject_cast<QLineEdit*>(FindControl(*dialog, res::kRenameCurrentName))
                        ->isReadOnly());
            qobject_cast<QLineEdit*>(FindControl(*dialog, res::kRenameNewName))
                ->setText(QStringLiteral("猫"));
            qobject_cast<QPushButton*>(FindControl(*dialog, res::kIdOk))->click();
        });
        QCOMPARE(prompter.AskNewName("/photos/猫", "photo.2001", "jpg", ""),
                 std::optional<std::string>("猫"));

        QTimer::singleShot(0, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            qobject_cast<QPushButton*>(FindControl(*dialog, res::kIdCancel))->click();
        });
        QCOMPARE(prompter.AskNewName("/", "a", "png", ""), std::optional<std::string>());

        // Enter is OK; a name kept as offered keeps its bytes, UTF-8 or not.
        QTimer::singleShot(0, [] {
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        });
        QCOMPARE(prompter.AskNewName("/", "\x95\x5c", "jpg", ""),
                 std::optional<std::string>("\x95\x5c"));
    }

    void aStatusMessageShowsAtOnceAndTheOldTextComesBack() {
        AppSettings settings;
        CMainFrame frame({});
        CDocumentHost host(settings);
        host.Attach(&frame, nullptr, nullptr);
        const QString before = frame.statusBar()->currentMessage();
        host.ShowStatusMessage("ファイルをコピーしています...");
        host.ShowStatusMessage("ファイルをコピーしています... 50%");
        QCOMPARE(frame.statusBar()->currentMessage(),
                 QStringLiteral("ファイルをコピーしています... 50%"));
        host.RestoreStatusMessage();
        QCOMPARE(frame.statusBar()->currentMessage(), before);
    }

private:
    test::TempDir home_;
};

QTEST_MAIN(FilerSeamsTest)
#include "FilerSeamsTest.moc"
