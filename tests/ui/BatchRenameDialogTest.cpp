// The batch rename dialog (147): its controls by id, its rules, and the rename run from the
// menu command, after which the open folder is read again.
#include "app/CPirelaDoc.h"
#include "res/ResourceIds.h"
#include "settings/AppSettings.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"
#include "ui/CBatchRenameDlg.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/DialogBuilder.h"
#include "ui/JapaneseInterface.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace pirela;
namespace fs = std::filesystem;

namespace {

// Runs the action on the first modal window that satisfies the test, once it is open.
void WhenModal(std::function<bool(QWidget*)> test, std::function<void(QWidget*)> action) {
    QTimer::singleShot(10, [test, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !test(modal)) {
            WhenModal(test, action);
            return;
        }
        action(modal);
    });
}

// Clicks the button on the message box whose text begins so.
void AnswerBox(const QString& textStart, QMessageBox::StandardButton button) {
    WhenModal(
        [textStart](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            return box != nullptr && box->text().startsWith(textStart);
        },
        [button](QWidget* modal) {
            qobject_cast<QMessageBox*>(modal)->button(button)->click();
        });
}

QStringList Rows(const QWidget& dialog) {
    QStringList rows;
    auto* list = qobject_cast<QListWidget*>(FindControl(dialog, res::kBatchFiles));
    for (int i = 0; i < list->count(); ++i) {
        rows.push_back(list->item(i)->text());
    }
    return rows;
}

QAbstractButton* Button(const QWidget& dialog, int id) {
    return qobject_cast<QAbstractButton*>(FindControl(dialog, id));
}

QLineEdit* Edit(const QWidget& dialog, int id) {
    return qobject_cast<QLineEdit*>(FindControl(dialog, id));
}

} // namespace

class BatchRenameDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareJapaneseInterface(*qApp); }

    void controlsStartAsTheUserExpects() {
        test::TempDir dir;
        for (const char* name : {"b.JPG", "a.png", "c.bmp", ".hidden.jpg"}) {
            test::WriteFile(dir / name, "x");
        }
        AppSettings settings;
        test::RecordingHost user;
        CPirelaDoc doc(settings, user, user);
        doc.FileList().SetFolder(dir.Path().string());
        CBatchRenameDlg dialog(doc, user, user);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ファイル名の一括リネーム"));
        QCOMPARE(Edit(dialog, res::kBatchFolder)->text(), QString::fromStdString(dir.Path()));
        QVERIFY(Edit(dialog, res::kBatchFolder)->isReadOnly());
        QCOMPARE(Rows(dialog), (QStringList{"a.png", "b.JPG", "c.bmp"}));
        QCOMPARE(Edit(dialog, res::kBatchPrefix)->text(), QStringLiteral("image_"));
        QCOMPARE(Edit(dialog, res::kBatchDigits)->text(), QStringLiteral("2"));
        QCOMPARE(Edit(dialog, res::kBatchStart)->text(), QStringLiteral("1"));
        QVERIFY(!Button(dialog, res::kBatchAutoDigits)->isChecked());
        const std::pair<int, const char*> tips[] = {
            {res::kIdCancel, "ダイアログを閉じます"},
            {res::kBatchFolder, "リネームを適用するフォルダを指定します"},
            {res::kBatchChangeFolder, "フォルダを変更します"},
            {res::kBatchBitmaps, "ビットマップ イメージをリネームの対象にします"},
            {res::kBatchJpeg, "JPEG イメージをリネームの対象にします"},
            {res::kBatchPng, "PNG イメージをリネームの対象にします"},
            {res::kBatchOther, "HEIC、AVIF、WebP、TIFF、GIF、カメラの RAW イメージをリネームの対象にします"},
            {res::kBatchFiles, "リネームを適用するファイル名が表示されます"},
            {res::kBatchAutoDigits, "ファイルの数を数えて、自動で桁数を決定します"},
            {res::kBatchDigits, "桁数を自分で設定できます"},
            {res::kBatchStart, "連番の初期値を入力します"},
            {res::kBatchPrefix, "新しいファイル名の共通部分を入力します"},
            {res::kBatchRun, "リネームを開始します"},
        };
        for (const auto& [id, tip] : tips) {
            QCOMPARE(FindControl(dialog, id)->toolTip(), QString::fromUtf8(tip));
        }
        // A label's mnemonic leads to the next control that takes the focus, past other labels
        // ("桁(&G)" is followed by "初期値(&S):"); no label shows its "&".
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text() == QStringLiteral("共通部分(&C):")) {
                QCOMPARE(label->buddy(), FindControl(dialog, res::kBatchPrefix));
            }
            if (label->text() == QStringLiteral("桁(&G)")) {
                QCOMPARE(label->buddy(), FindControl(dialog, res::kBatchStart));
            }
            QVERIFY2(label->buddy() != nullptr || !label->text().contains(u'&'),
                     qPrintable(label->text()));
        }

        // The automatic digit count disables the typed one; the formats refill the list.
        Button(dialog, res::kBatchAutoDigits)->click();
        QVERIFY(!Edit(dialog, res::kBatchDigits)->isEnabled());
        Button(dialog, res::kBatchAutoDigits)->click();
        QVERIFY(Edit(dialog, res::kBatchDigits)->isEnabled());
        Button(dialog, res::kBatchJpeg)->click();
        QCOMPARE(Rows(dialog), (QStringList{"a.png", "c.bmp"}));

        // Enter neither runs the rename nor closes the dialog; Esc closes it.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const int id : {res::kBatchPrefix, res::kBatchRun}) {
            FindControl(dialog, id)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(user.messages.empty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.RenameDone());
    }

    void browsingChangesTheFolderAndTheList() {
        test::TempDir first;
        test::TempDir second;
        test::WriteFile(second / "z.jpg", "z");
        AppSettings settings;
        test::RecordingHost user;
        CPirelaDoc doc(settings, user, user);
        doc.FileList().SetFolder(first.Path().string());
        CBatchRenameDlg dialog(doc, user, user);
        QVERIFY(Rows(dialog).isEmpty());
        user.folderAnswers = {std::nullopt, second.Path().string()};
        Button(dialog, res::kBatchChangeFolder)->click(); // cancelled: nothing changes
        QCOMPARE(Edit(dialog, res::kBatchFolder)->text(), QString::fromStdString(first.Path()));
        Button(dialog, res::kBatchChangeFolder)->click();
        QCOMPARE(user.calls.front(), "ask folder " + first.Path().string() + " フォルダを選択してください。");
        QCOMPARE(Edit(dialog, res::kBatchFolder)->text(), QString::fromStdString(second.Path()));
        QCOMPARE(Rows(dialog), QStringList{"z.jpg"});

        user.answers = {MessageAnswer::Yes};
        Edit(dialog, res::kBatchPrefix)->setText(QStringLiteral("trip_"));
        Button(dialog, res::kBatchRun)->click();
        QCOMPARE(Rows(dialog), QStringList{"trip_01.jpg"});
        QVERIFY(dialog.RenameDone());
        QVERIFY(fs::exists(second / "trip_01.jpg"));
    }

    // Two runs, then the undo of the second: the image shown follows each to its new name,
    // without the message that would blame someone else for the change.
    void theMenuCommandRenamesAndReadsTheFolderAgain() {
        test::TempDir dir;
        for (const char* name : {"b.jpg", "a.jpg", "c.png"}) {
            test::WriteFile(dir / name, name);
        }
        CPirelaApp app(dir / "pirela.ini");
        QVERIFY(app.InitInstance({}));
        QVERIFY(app.Document().OpenImageFolder(dir.Path().string()));
        QAction* command = app.MainFrame()->Action(res::kCmdBatchRename);
        app.MainFrame()->UpdateCommandUi();
        QVERIFY(command->isEnabled());
        WhenModal([](QWidget* modal) { return qobject_cast<CBatchRenameDlg*>(modal) != nullptr; },
                  [](QWidget* modal) {
                      auto& dialog = *qobject_cast<CBatchRenameDlg*>(modal);
                      Button(dialog, res::kBatchAutoDigits)->click();
                      for (const char* prefix : {"trip_", "x_"}) {
                          Edit(dialog, res::kBatchPrefix)->setText(QString::fromUtf8(prefix));
                          AnswerBox(QStringLiteral("以下の設定で"), QMessageBox::Yes);
                          AnswerBox(QStringLiteral("リネームが完了しました。"), QMessageBox::Ok);
                          Button(dialog, res::kBatchRun)->click();
                      }
                      dialog.reject();
                  });
        static bool blamed = false; // the watch may outlive the test
        WhenModal(
            [](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                return box != nullptr && box->text().startsWith(QStringLiteral("現在表示中の"));
            },
            [](QWidget* modal) {
                blamed = true;
                qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
            });
        command->trigger();
        const ImageFileList& list = app.Document().FileList();
        QCOMPARE(list.Count(), 3);
        QCOMPARE(list.Name(0), std::string("x_1.jpg"));
        QCOMPARE(list.Name(2), std::string("x_3.png"));
        QCOMPARE(test::ReadFile(dir / "x_2.jpg"), std::string("b.jpg"));
        QCOMPARE(list.CurrentName(), std::string("x_1.jpg"));
        QCOMPARE(app.Document().Image().Info().fileName, std::string("x_1.jpg"));

        AnswerBox(QString::fromStdString(dir.Path().string() + " の一括リネーム"), QMessageBox::Yes);
        app.MainFrame()->UpdateCommandUi();
        app.MainFrame()->Action(res::kCmdUndo)->trigger();
        QCOMPARE(list.CurrentName(), std::string("trip_1.jpg"));
        QCOMPARE(app.Document().Image().Info().path, (dir / "trip_1.jpg").string());
        QVERIFY(!blamed);
    }
};

QTEST_MAIN(BatchRenameDialogTest)
#include "BatchRenameDialogTest.moc"
