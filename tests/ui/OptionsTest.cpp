// External programs and the options sheet on real widgets: the programs' start, the pages'
// lifecycle, the program list's editing and the launcher, in a sandboxed home.
#include "app/DesktopPrograms.h"
#include "res/ResourceIds.h"
#include "send/ExternalPrograms.h"
#include "send/ProgramStarter.h"
#include "settings/AppSettings.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"
#include "ui/COFind.h"
#include "ui/COGeneral.h"
#include "ui/COSend.h"
#include "ui/COptionPSheet.h"
#include "ui/DialogBuilder.h"
#include "ui/JapaneseInterface.h"
#include "ui/ProgramFileDialog.h"
#include "ui/ShowOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <filesystem>
#include <functional>

using namespace pirela;
namespace fs = std::filesystem;

namespace {

// Runs the action on the next modal dialog once its event loop runs.
void OnNextModal(std::function<void(QWidget&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog != nullptr);
        action(*dialog);
    });
}

void Click(const QWidget& dialog, int id) {
    qobject_cast<QAbstractButton*>(FindControl(dialog, id))->click();
}

QLineEdit* Edit(const QWidget& dialog, int id) {
    return qobject_cast<QLineEdit*>(FindControl(dialog, id));
}

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(PrepareJapaneseInterface(*qApp));
        test::SandboxDesktopHome(home_);
    }

    void init() {
        settings_ = AppSettings();
        host_ = test::RecordingHost();
    }

    void aHostileFileNameReachesTheProgramAsOneArgument() {
        // A tiny program in a folder with a space, writing each argument it gets, NUL-ended.
        const fs::path writer = home_ / "my tools/argv writer";
        fs::create_directories(writer.parent_path());
        test::WriteFile(writer, "#!/bin/sh\nfor a; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n");
        fs::permissions(writer, fs::perms::owner_all);
        settings_.options.programNames = {"writer", "gone"};
        settings_.options.programCommands = {writer.string(), "/no/such/program"};
        DesktopPrograms desktop;
        ProgramStarter starter(settings_, host_, host_, desktop);

        // Quotes, a command and a name that is not UTF-8: the bytes arrive as they are.
        const std::string image = (home_ / "a\"$(touch x)`touch y`\x95\x5c.jpg").string();
        fs::current_path(home_.Path());
        starter.Run(0, image);
        QTRY_VERIFY(fs::exists(writer.string() + ".args"));
        QTRY_COMPARE(test::ReadFile(writer.string() + ".args"), image + '\0');
        QVERIFY(!fs::exists(home_ / "x") && !fs::exists(home_ / "y"));

        starter.Run(1, image);
        QCOMPARE(host_.messages, std::vector<std::string>{
            image + " を gone で開くのに失敗しました。プログラムのパスまたはコマンドが正しいか確認してください。"});
        QCOMPARE(settings_.options.programNames[0], std::string("writer"));
    }

    // The program picker lists the folders and the files one may run, nothing else.
    void theProgramPickerListsFoldersAndPrograms() {
        const fs::path folder = home_ / "programs";
        fs::create_directories(folder / "sub");
        test::WriteFile(folder / "tool", "#!/bin/sh\n");
        fs::permissions(folder / "tool", fs::perms::owner_all);
        test::WriteFile(folder / "notes.txt", "text");
        QStringList listed;
        OnNextModal([&](QWidget& modal) {
            auto& dialog = static_cast<QFileDialog&>(modal);
            const auto closeDialog = qScopeGuard([&dialog] { dialog.reject(); });
            auto* files = dialog.findChild<QFileSystemModel*>();
            QTRY_COMPARE(files->rowCount(files->index(QString::fromStdString(folder.string()))), 3);
            auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            }
        });
        QCOMPARE(AskForProgramFile(nullptr, folder.string()), std::nullopt);
        listed.sort();
        QCOMPARE(listed, QStringList({"sub", "tool"}));
    }

    void aPageStoresOnlyWhenItWasShown() {
        settings_.options.findSubfolder = 1;
        settings_.options.ask = 1;
        COptionPSheet sheet(Context());
        OnNextModal([&sheet](QWidget&) { sheet.Buttons()->button(QDialogButtonBox::Ok)->click(); });
        sheet.exec();
        QVERIFY(!sheet.Find().WasShown());
        QCOMPARE(settings_.options.findSubfolder, 1);
        QCOMPARE(settings_.options.ask, 1);

        OnNextModal([&sheet](QWidget&) {
            sheet.Tabs()->setCurrentIndex(1);
            QVERIFY(!sheet.Buttons()->button(QDialogButtonBox::Apply)->isEnabled());
            Click(sheet.Find(), res::kFindSubfolders);
            QVERIFY(sheet.Buttons()->button(QDialogButtonBox::Apply)->isEnabled());
            sheet.Buttons()->button(QDialogButtonBox::Ok)->click();
        });
        sheet.exec();
        QCOMPARE(settings_.options.findSubfolder, 0);
    }

    void cancelKeepsWhatApplyStoredAndStillSavesAndRefreshes() {
        settings_.options.programNames = {"A", "B", "C"};
        settings_.options.programCommands = {"a", "b", "c"};
        host_.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
        COptionPSheet sheet(Context());
        OnNextModal([&sheet](QWidget&) {
            sheet.Tabs()->setCurrentIndex(2);
            auto* list = qobject_cast<QListWidget*>(FindControl(sheet.Send(), res::kSendPagePrograms));
            list->setCurrentRow(0);
            Click(sheet.Send(), res::kSendPageDelete);
            sheet.Buttons()->button(QDialogButtonBox::Apply)->click();
            list->setCurrentRow(0);
            Click(sheet.Send(), res::kSendPageDelete);
            QTest::keyClick(list, Qt::Key_Escape); // the sheet's Cancel, not the page's own
        });
        std::vector<std::string> callsAtSave;
        ShowOptions(sheet, host_, [&] { callsAtSave = host_.calls; });
        QCOMPARE(host_.messages.front(), std::string("プログラム A をリストから削除してもよろしいですか ?"));
        QCOMPARE(ExternalPrograms::FromOptions(settings_.options).ListLines(),
                 (std::vector<std::string>{"B - b", "C - c"}));
        QCOMPARE(callsAtSave.back(), std::string("program menu"));
        QCOMPARE(host_.calls.back(), std::string("send bar"));
        QVERIFY(!sheet.Send().isHidden());
    }

    void anEmptyBoxAsksAgainWithWhatWasTypedAndTheEighthFillsTheList() {
        for (int i = 0; i < 7; ++i) {
            settings_.options.programNames[static_cast<std::size_t>(i)] = "p" + std::to_string(i);
            settings_.options.programCommands[static_cast<std::size_t>(i)] = "c";
        }
        OptionsContext context = Context();
        COSend page(context, nullptr);
        page.EnsureInitialised();
        OnNextModal([](QWidget& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("新規プログラムの追加"));
            Edit(dialog, res::kProgramEditCommand)->setText(QStringLiteral("/opt/viewer"));
            OnNextModal([](QWidget& again) {
                QCOMPARE(Edit(again, res::kProgramEditCommand)->text(), QStringLiteral("/opt/viewer"));
                Edit(again, res::kProgramEditName)->setText(QStringLiteral("Viewer"));
                Click(again, res::kIdOk);
            });
            Click(dialog, res::kIdOk);
        });
        page.AddProgram();
        QCOMPARE(host_.messages, std::vector<std::string>{"空欄は入力できません。"});
        QVERIFY(!FindControl(page, res::kSendPageAdd)->isEnabled());
        page.Store();
        QCOMPARE(settings_.options.programNames[7], std::string("Viewer"));
        QCOMPARE(settings_.options.programCommands[7], std::string("/opt/viewer"));
    }

    void theGeneralPageKeepsTheColourAndMakesAValidLauncher() {
        settings_.options.bgColor = 0x123456;
        OptionsContext context = Context();
        {
            COGeneral page(context, nullptr);
            page.EnsureInitialised();
            QVERIFY(!FindControl(page, res::kGeneralShortcutName)->isEnabled());
            // Alt+N reaches the name box through its label.
            QCOMPARE(qobject_cast<QLabel*>(FindControl(page, res::kGeneralShortcutNameLabel))->buddy(),
                     FindControl(page, res::kGeneralShortcutName));
            QCOMPARE(Edit(page, res::kGeneralShortcutName)->text(), QStringLiteral("PIRELA"));
            page.TakeSystemColour();
            Click(page, res::kGeneralShortcut);
            Edit(page, res::kGeneralShortcutName)->clear();
            page.Store();
        }
        QCOMPARE(settings_.options.bgColor, kWorkspaceColour); // stored though the box is unticked
        const QString launcher = QString::fromStdString((home_ / "data/applications/PIRELA.desktop").string());
        QVERIFY(QFile::exists(launcher));
        QCOMPARE(QProcess::execute(QStringLiteral("desktop-file-validate"), {launcher}), 0);
        QVERIFY(fs::exists(home_ / "data/icons/hicolor/scalable/apps/pirela.svg"));

        COGeneral again(context, nullptr);
        again.EnsureInitialised();
        QVERIFY(qobject_cast<QCheckBox*>(FindControl(again, res::kGeneralShortcut))->isChecked());
        Click(again, res::kGeneralShortcut);
        again.Store();
        QVERIFY(!QFile::exists(launcher));

        COGeneral refused(context, nullptr);
        refused.EnsureInitialised();
        Click(refused, res::kGeneralShortcut);
        Edit(refused, res::kGeneralShortcutName)->setText(QStringLiteral("a/b"));
        refused.Store();
        QCOMPARE(host_.messages, std::vector<std::string>{"ランチャーは作成できませんでした。"});
        QCOMPARE(host_.icons.front(), MessageIcon::Error);
    }

    void thePhotoOptionsAreOnByDefaultAndStoredFromTheirBoxes() {
        OptionsContext context = Context();
        COGeneral general(context, nullptr);
        COFind find(context, nullptr);
        general.EnsureInitialised();
        find.EnsureInitialised();
        const auto box = [](QWidget& page, int id) {
            return qobject_cast<QCheckBox*>(FindControl(page, id));
        };
        QVERIFY(box(general, res::kGeneralApplyOrientation)->isChecked());
        QVERIFY(box(find, res::kFindNewFormats)->isChecked());
        Click(general, res::kGeneralApplyOrientation);
        Click(find, res::kFindNewFormats);
        general.Store();
        find.Store();
        QCOMPARE(settings_.options.applyOrientation, 0);
        QCOMPARE(settings_.options.findNewFormats, 0);
    }

    void theListsOrderIsOneChoiceOfThree() {
        OptionsContext context = Context();
        settings_.options.sortOrder = 7; // a value no version wrote: the name order
        COFind find(context, nullptr);
        find.EnsureInitialised();
        const auto choice = [&find](int id) {
            return qobject_cast<QRadioButton*>(FindControl(find, id));
        };
        QVERIFY(choice(res::kFindOrderName)->isChecked());
        QCOMPARE(choice(res::kFindOrderNatural)->text(), QStringLiteral("名前順 (数字を数値として比較)"));
        Click(find, res::kFindOrderDate);
        QVERIFY(!choice(res::kFindOrderName)->isChecked());
        find.Store();
        QCOMPARE(settings_.options.sortOrder, 2);
    }

private:
    OptionsContext Context() {
        return {settings_, host_, host_,
                {(home_ / "data/applications").string(),
                 (home_ / "data/icons/hicolor/scalable/apps").string(),
                 QCoreApplication::applicationFilePath().toStdString()}};
    }

    test::TempDir home_;
    AppSettings settings_;
    test::RecordingHost host_;
};

QTEST_MAIN(OptionsTest)
#include "OptionsTest.moc"
