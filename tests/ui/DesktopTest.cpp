// The program on a real X server with a window manager, where frames, popups, focus and
// activation behave as a user sees them (the offscreen platform has none of these).

#include "app/CPirelaDoc.h"
#include "colour/ColourTransform.h"
#include "colour/DisplayProfile.h"
#include "journal/JournalFile.h"
#include "journal/JournalLocation.h"
#include "platform/FileAccess.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "settings/IniFile.h"
#include "sandbox/DecoderPool.h"
#include "support/ColourFixtures.h"
#include "support/HeldSystemCalls.h"
#include "support/HelperProcesses.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "ui/CFileListWnd.h"
#include "ui/CFileWorkWindow.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/CSendRenameDlg.h"
#include "ui/CThumbnailGrid.h"
#include "ui/ThumbnailMode.h"
#include "ui/JapaneseInterface.h"
#include "ui/X11DisplayProfile.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

using namespace pirela;

namespace {

// How long the window manager may take to frame, place or maximise a window on a loaded
// machine; a bound, not a measure: the checks pass as soon as it is done.
constexpr int kWindowManagerWait = 20000;

QByteArray g_langBeforeStart;

QRect SavedRect(const IniFile& ini, const char* section) {
    const int left = ini.GetInt(section, "LEFT").value_or(-1);
    const int top = ini.GetInt(section, "TOP").value_or(-1);
    return QRect(QPoint(left, top), QPoint(ini.GetInt(section, "RIGHT").value_or(-1) - 1,
                                           ini.GetInt(section, "BOTTOM").value_or(-1) - 1));
}

QMenu* MenuTitled(CMainFrame& frame, const QString& title) {
    for (QMenu* menu : frame.menuBar()->findChildren<QMenu*>()) {
        if (menu->title() == title) {
            return menu;
        }
    }
    return nullptr;
}

// A photo of one colour, 0xRRGGBB.
void WriteFlatJpeg(const std::filesystem::path& file, std::uint32_t colour) {
    test::Samples flat{90, 60, 3, {}};
    for (int p = 0; p < 90 * 60; ++p) {
        flat.data.insert(flat.data.end(), {std::uint8_t(colour >> 16), std::uint8_t(colour >> 8),
                                           std::uint8_t(colour)});
    }
    test::WriteJpeg(file, flat, false);
}

// Whether the cell's thumbnail is there and its middle is mostly of that primary colour.
bool ThumbnailLooks(const CThumbnailGrid& grid, int index, std::uint32_t colour) {
    const ThumbnailProvider::Cell cell = grid.Provider().CellAt(index);
    if (cell.state != ThumbnailProvider::CellState::Ready) {
        return false;
    }
    const ScaledPicture& picture = *cell.picture;
    const std::uint32_t middle =
        picture.pixels[std::size_t(picture.height / 2 * picture.width + picture.width / 2)];
    for (int shift : {16, 8, 0}) {
        const bool wanted = ((colour >> shift) & 0xFF) > 0x80;
        if (wanted != (((middle >> shift) & 0xFF) > 0x80)) {
            return false;
        }
    }
    return true;
}

// Runs the action once a modal dialog is open, from the event loop that dialog runs: the
// command that opens it may handle other events first (file work beside the window).
void WhenModalOpens(std::function<void()> action) {
    QTimer::singleShot(10, [action] {
        if (QApplication::activeModalWidget() == nullptr) {
            WhenModalOpens(action);
            return;
        }
        action();
    });
}

// Runs the action, from the event loop that file work runs, once the disk holds the work;
// then lets the disk go on (also when a check of the action failed).
void WhileHeld(test::HeldSystemCalls& disk, std::function<void()> action) {
    QTimer::singleShot(10, [&disk, action] {
        if (!disk.Holding()) {
            WhileHeld(disk, action);
            return;
        }
        const auto release = qScopeGuard([&disk] { disk.Release(); });
        action();
    });
}

// The visible windows of a process, those whose name matches when a pattern is given.
QStringList WindowsOf(const QProcess& program, const QString& name = {}) {
    QProcess search;
    QStringList arguments{"search", "--onlyvisible", "--pid", QString::number(program.processId())};
    if (!name.isEmpty()) {
        arguments << "--all"
                  << "--name" << name;
    }
    search.start(QStringLiteral("xdotool"), arguments);
    search.waitForFinished();
    return QString::fromUtf8(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// Answers the question the process asks (a window named only "Pirela") with the key, until
// it shows the window of that name and no question.
bool AnswerUntil(const QProcess& program, const QString& key, const QString& name) {
    return QTest::qWaitFor(
        [&] {
            const QStringList questions = WindowsOf(program, "^Pirela$");
            if (questions.isEmpty()) {
                return !WindowsOf(program, name).isEmpty();
            }
            QProcess::execute(QStringLiteral("xdotool"),
                              {"windowactivate", "--sync", questions.first()});
            QProcess::execute(QStringLiteral("xdotool"), {"key", key});
            QTest::qWait(200);
            return false;
        },
        20000);
}

// The colour the screen shows at a point of the widget, as a screenshot takes it.
QColor ScreenColourAt(const QWidget& widget, QPoint point) {
    const QPoint global = widget.mapToGlobal(point);
    const QImage shot =
        QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
    return shot.pixelColor(0, 0);
}

// Whether two colours differ by at most the given steps in each channel.
bool Near(const QColor& a, const QColor& b, int steps) {
    return std::abs(a.red() - b.red()) <= steps && std::abs(a.green() - b.green()) <= steps &&
           std::abs(a.blue() - b.blue()) <= steps;
}

// The colour (90, 160, 90) of an Adobe RGB photo as a display of the given profile shows it.
QColor AdobeGreenOn(const std::shared_ptr<const ColourProfile>& display) {
    ColourDescription adobe;
    adobe.icc = test::AdobeRgbProfile();
    ScaledPicture pixel{1, 1, false, {0xFF5AA05A}};
    ColourTransform::ToDisplay(adobe, display)->ConvertPicture(pixel);
    return QColor::fromRgb(pixel.pixels[0]);
}

// Sets the X server's record of the display's colour profile, or takes it away, as a colour
// manager does.
void SetRootProfile(const std::vector<std::uint8_t>& icc) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, 12, "_ICC_PROFILE"), nullptr);
    if (icc.empty()) {
        xcb_delete_property(connection, root, atom->atom);
    } else {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_CARDINAL,
                            8, static_cast<std::uint32_t>(icc.size()), icc.data());
    }
    std::free(atom);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
}

// The name in the folder that begins as the journal's temporaries do.
std::optional<std::filesystem::path> TemporaryIn(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with(".pirela-")) {
            return entry.path();
        }
    }
    return std::nullopt;
}

// Counts the paints of the widget it watches.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(int& paints) : paints_(paints) {}
    bool eventFilter(QObject*, QEvent* event) override {
        paints_ += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }

private:
    int& paints_;
};

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
    std::optional<test::TempDir> dir_;
    std::unique_ptr<CPirelaApp> app_;

    // Starts the program on the test's settings file and waits until the window manager has
    // framed and activated its main window.
    bool Start(const SystemCalls& calls = SystemCalls::Libc()) {
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini", nullptr, calls);
        if (!app_->InitInstance({})) {
            return false;
        }
        CMainFrame& frame = *app_->MainFrame();
        frame.activateWindow();
        // Generous: on a loaded machine the first window of a fresh window manager may take
        // seconds to be framed and activated.
        const bool ok = QTest::qWaitFor(
            [&frame] {
                return QApplication::activeWindow() == &frame &&
                       frame.frameGeometry() != frame.geometry();
            },
            30000);
        if (!ok) {
            qDebug() << "active" << QApplication::activeWindow() << frame.frameGeometry()
                     << frame.geometry() << QApplication::activeModalWidget();
        }
        return ok;
    }

    IniFile Saved() const { return IniFile::Parse(test::ReadFile(*dir_ / "pirela.ini")); }

    void OpenThreeImages() {
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            test::WritePng(*dir_ / name, test::PngFromSamples(test::PhotoLike(40, 30, 3)));
        }
        app_->View()->OpenFolder(dir_->Path().string());
    }

    // Types the keys through the X server, as a user does.
    static void Type(const QStringList& keys) {
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), QStringList{"key"} + keys), 0);
    }

private slots:
    void init() {
        dir_.emplace();
        // The journal and the trash of each test are its own.
        test::SandboxDesktopHome(*dir_);
    }
    void cleanup() {
        app_.reset();
        dir_.reset();
    }

    void keysStayOutOfDialogsAndTheirPopups() {
        QVERIFY(Start());
        OpenThreeImages();
        CMainFrame& frame = *app_->MainFrame();
        bool sawDialog = false;
        WhenModalOpens([&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            const auto closeDialog = qScopeGuard([dialog] { dialog->reject(); }); // also on failure
            sawDialog = true;
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setFocus();
            QTest::keyClicks(name, QString::fromStdString(dir_->Path().string() + "/"));
            QVERIFY(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; },
                                    20000));
            QWidget* completions = QApplication::activePopupWidget();
            QTest::keyClick(completions, Qt::Key_Return);
            QTest::keyClick(completions, Qt::Key_N);
            QTest::keyClick(completions, Qt::Key_Escape);
            for (const Qt::Key key : {Qt::Key_N, Qt::Key_1, Qt::Key_L, Qt::Key_Delete}) {
                QTest::keyClick(name, key);
            }
            // Return on a name that does not exist would open Qt's own warning box, which
            // nobody here closes; whether the completion made one depends on timing.
            name->clear();
            QTest::keyClick(name, Qt::Key_Return);
            QTest::keyClick(name, Qt::Key_O, Qt::ControlModifier);
            QCOMPARE(dialog->findChildren<QFileDialog*>().size() +
                         frame.findChildren<QFileDialog*>().size(),
                     1);
            QCOMPARE(app_->Document().FileList().Current(), 0);
        });
        QTest::keyClick(&frame, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(sawDialog);
        QCOMPARE(app_->Document().FileList().Current(), 0);
        QCOMPARE(app_->Document().TurnState(), 0);
        // With the dialog gone, and the main window active again, the keys are the program's.
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        QTest::keyClick(&frame, Qt::Key_N);
        QCOMPARE(app_->Document().FileList().Current(), 1);
    }

    // Destination 1 set, moving without a question: what "1" does once the images are shown.
    std::filesystem::path SortInto(int changeFileName) {
        const std::filesystem::path sorted = dir_->Path() / "sorted";
        std::filesystem::create_directory(sorted);
        AppSettings& settings = app_->Settings();
        settings.destinationFolders[0] = sorted.string();
        settings.options.sendType = 0;
        settings.options.ask = 0;
        settings.options.changeFileName = changeFileName;
        return sorted;
    }

    void aDigitMovesTheImageAndShowsTheNext() {
        QVERIFY(Start());
        OpenThreeImages();
        const std::filesystem::path sorted = SortInto(0);
        CMainFrame& frame = *app_->MainFrame();
        QTest::keyClick(&frame, Qt::Key_1);
        QVERIFY(std::filesystem::exists(sorted / "a.png"));
        QVERIFY(!std::filesystem::exists(*dir_ / "a.png"));
        QCOMPARE(app_->Document().Image().Info().fileName, std::string("b.png"));
        QTest::keyClick(&frame, Qt::Key_1, Qt::KeypadModifier);
        QVERIFY(std::filesystem::exists(sorted / "b.png"));
        QCOMPARE(app_->Document().Image().Info().fileName, std::string("c.png"));
    }

    // Space and Return page through the photos; at the overwrite question, typed through the
    // X server as a user types them, they answer キャンセル and the old file stays.
    void pagingKeysAtTheOverwriteQuestionKeepTheOldFile() {
        QVERIFY(Start());
        OpenThreeImages();
        const std::filesystem::path sorted = SortInto(0);
        app_->Settings().options.sendType = 1;
        test::WriteFile(sorted / "a.png", "the old one");
        CMainFrame& frame = *app_->MainFrame();
        for (const char* key : {"space", "Return"}) {
            QVERIFY(QTest::qWaitForWindowActive(&frame)); // back from the last question
            bool answered = false;
            QTimer::singleShot(0, [&answered, key] {
                QVERIFY(
                    QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                const auto closeBox = qScopeGuard([box] { box->reject(); }); // also on failure
                // Keys count once the question is on the screen and has the keyboard.
                QVERIFY(QTest::qWaitForWindowExposed(box) && QTest::qWaitForWindowActive(box));
                QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
                answered = QTest::qWaitFor([box] { return !box->isVisible(); });
            });
            QTest::keyClick(&frame, Qt::Key_1);
            QVERIFY2(answered, key);
            QCOMPARE(test::ReadFile(sorted / "a.png"), std::string("the old one"));
            QCOMPARE(app_->Document().Image().Info().fileName, std::string("a.png"));
        }
    }

    void aDigitTypedIntoTheNewNameSendsNothingMore() {
        QVERIFY(Start());
        OpenThreeImages();
        const std::filesystem::path sorted = SortInto(1);
        CMainFrame& frame = *app_->MainFrame();
        WhenModalOpens([&] {
            // Whatever went wrong, no dialog may stay open to block the run.
            auto closeDialog = qScopeGuard([] {
                if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    open->reject();
                }
            });
            auto* dialog = qobject_cast<CSendRenameDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            QTest::keyClicks(dialog->NewNameEdit(), QStringLiteral("1"));
            QCOMPARE(dialog->NewNameEdit()->text(), QStringLiteral("1"));
            QVERIFY(std::filesystem::is_empty(sorted));
            QCOMPARE(QApplication::activeModalWidget(), dialog);
            closeDialog.dismiss();
            QTest::keyClick(dialog->NewNameEdit(), Qt::Key_Return);
        });
        QTest::keyClick(&frame, Qt::Key_1);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(sorted),
                               std::filesystem::directory_iterator()),
                 1);
        QVERIFY(std::filesystem::exists(sorted / "1.png"));
        QCOMPARE(app_->Document().Image().Info().fileName, std::string("b.png"));
    }

    void fileWorkLeavesTheWindowAliveAndNeverKeepsItsKeys() {
        test::HeldSystemCalls disk;
        QVERIFY(Start(disk.Calls()));
        OpenThreeImages();
        const std::filesystem::path first = SortInto(0);
        const std::filesystem::path second = *dir_ / "second";
        std::filesystem::create_directory(second);
        app_->Settings().destinationFolders[1] = second.string();
        app_->Settings().options.sendType = 1; // copies: the photo shown stays
        CMainFrame& frame = *app_->MainFrame();

        // 1 starts a copy the disk holds: the loop runs on, and 2 and N are dropped for good.
        disk.Hold();
        WhileHeld(disk, [&] {
            bool fired = false;
            QTimer::singleShot(0, [&fired] { fired = true; });
            QTRY_VERIFY(fired);
            QTest::keyClick(&frame, Qt::Key_2);
            QTest::keyClick(&frame, Qt::Key_N);
            CFileListWnd& list = *app_->FileListWindow(); // its own way to another photo
            list.SelectRow(2);
            QTest::keyClick(&list, Qt::Key_Return);
            QCOMPARE(frame.statusBar()->currentMessage(),
                     QString::fromUtf8(res::kStatusFileWorkRunning));
        });
        QTest::keyClick(&frame, Qt::Key_1);
        QVERIFY(std::filesystem::exists(first / "a.png"));
        QVERIFY(std::filesystem::is_empty(second));
        QCOMPARE(app_->Document().FileList().Current(), 0);

        // Escape cancels: no copy, no temporary, the source whole.
        std::filesystem::remove(first / "a.png");
        disk.Hold();
        WhileHeld(disk, [&] { QTest::keyClick(&frame, Qt::Key_Escape); });
        QTest::keyClick(&frame, Qt::Key_1);
        QVERIFY(std::filesystem::is_empty(first));
        QVERIFY(std::filesystem::exists(*dir_ / "a.png"));
        QVERIFY(frame.statusBar()->currentMessage().contains(QStringLiteral("中止")));

        // Work that goes on shows a window whose キャンセル cancels it, without taking the keys;
        // closing that window cancels too.
        for (const bool byButton : {true, false}) {
            disk.Hold();
            WhileHeld(disk, [&] {
                QTRY_VERIFY(frame.findChild<CFileWorkWindow*>() != nullptr);
                auto* window = frame.findChild<CFileWorkWindow*>();
                QTRY_VERIFY(window->isVisible());
                QCOMPARE(QApplication::activeWindow(), &frame);
                if (byButton) {
                    window->findChild<QPushButton*>()->click();
                } else {
                    window->close();
                }
            });
            QTest::keyClick(&frame, Qt::Key_1);
            QVERIFY(std::filesystem::is_empty(first));
            QVERIFY(frame.findChild<CFileWorkWindow*>() == nullptr);
        }
    }

    // A helper that hangs, then one that is stopped (SIGSTOP): the window repaints, a menu
    // opens, the status bar says the photo is loading, and paging away is at once; the helper
    // left behind is killed and reaped.
    void theWindowLivesWhileAHelperDecodes() {
        DecoderPool::Shared().SetProgram(PIRELA_DECODER_HOOKS_PROGRAM);
        const auto restore = qScopeGuard(
            [] { DecoderPool::Shared().SetProgram(PIRELA_DECODER_PROGRAM); });
        QVERIFY(Start());
        for (const char* name : {"a.png", "d.png"}) {
            test::WritePng(*dir_ / name, test::PngFromSamples(test::PhotoLike(40, 30, 3)));
        }
        for (const char* name : {"b.webp", "c.webp"}) {
            test::WriteFile(*dir_ / name, "PIRELA-TEST-HOOK:hang\n");
        }
        app_->View()->OpenFolder(dir_->Path().string());
        CMainFrame& frame = *app_->MainFrame();
        QWidget& viewport = *app_->View()->viewport();
        int paints = 0;
        const auto counter = std::make_unique<PaintCounter>(paints);
        viewport.installEventFilter(counter.get());
        pid_t previous = -1;
        for (const bool stopped : {false, true}) {
            QTest::keyClick(&frame, Qt::Key_N);
            if (previous > 0) {
                QVERIFY(test::Reaped(previous)); // paged away from: killed and reaped
            }
            const pid_t helper = test::BusyHelper();
            QVERIFY(helper > 0);
            if (stopped) {
                ::kill(helper, SIGSTOP);
            }
            QCOMPARE(frame.PaneText(res::kPaneImage), QString::fromUtf8(res::kStatusLoading));
            const int before = paints;
            viewport.update();
            QTRY_VERIFY(paints > before);
            QMenu* view = MenuTitled(frame, QStringLiteral("表示(&V)"));
            QTest::keyClick(&frame, Qt::Key_V, Qt::AltModifier);
            QTRY_COMPARE(QApplication::activePopupWidget(), view);
            QTest::keyClick(view, Qt::Key_Escape);
            QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
            QCOMPARE(::kill(helper, 0), 0); // still at work, or stopped, all the while
            previous = helper;
        }
        QTest::keyClick(&frame, Qt::Key_N); // away from the stopped one, to a PNG
        QVERIFY(app_->Document().Image().HasBitmap());
        QVERIFY(test::Reaped(previous));
    }

    void anOpenMenuKeepsItsKeys() {
        QVERIFY(Start());
        OpenThreeImages();
        CMainFrame& frame = *app_->MainFrame();
        QMenu* view = MenuTitled(frame, QStringLiteral("表示(&V)"));
        QTest::keyClick(&frame, Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), view);
        QTest::keyClick(view, Qt::Key_Right); // the next menu, not a scroll
        QTRY_COMPARE(QApplication::activePopupWidget(),
                     MenuTitled(frame, QStringLiteral("ツール(&T)")));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Left);
        QTRY_COMPARE(QApplication::activePopupWidget(), view);
        const bool listShown = app_->FileListWindow()->IsShown();
        QTest::keyClick(view, Qt::Key_L); // the mnemonic of ファイル リスト, not a turn
        QTRY_COMPARE(app_->FileListWindow()->IsShown(), !listShown);
        QCOMPARE(app_->Document().TurnState(), 0);
        QCOMPARE(app_->Document().FileList().Current(), 0);
    }

    // Escape out of a menu of the menu bar, opened from the keyboard or with the pointer, and
    // the next key is the program's again. The keys go through the X server as a user's do.
    void aKeyAfterEscapingAMenuActs() {
        QVERIFY(Start());
        OpenThreeImages();
        const std::filesystem::path sorted = SortInto(0);
        CMainFrame& frame = *app_->MainFrame();
        app_->FileListWindow()->HideWindow(); // the keys must reach the main window
        frame.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        QMenu* send = MenuTitled(frame, QStringLiteral("送る(&R)"));
        const QPoint title = frame.menuBar()->mapToGlobal(
            frame.menuBar()->actionGeometry(send->menuAction()).center());
        const struct {
            QStringList opening;
            const char* sent;
        } cases[] = {
            {{"key", "alt+r"}, "a.png"},
            {{"mousemove", QString::number(title.x()), QString::number(title.y()), "click", "1"},
             "b.png"},
        };
        for (const auto& c : cases) {
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), c.opening), 0);
            QTRY_COMPARE(QApplication::activePopupWidget(), send);
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {"key", "Escape"}), 0);
            QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {"key", "1"}), 0);
            QTRY_VERIFY2(std::filesystem::exists(sorted / c.sent), c.sent);
        }
        // A lone Alt leaves the keys to the program as well: nothing on screen would say why
        // the next one did nothing.
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {"key", "alt", "1"}), 0);
        QTRY_VERIFY(std::filesystem::exists(sorted / "c.png"));
    }

    // A phone's camera roll copied whole: 50,000 photos (links to three), opened at one of its
    // last from outside as a file manager opens it. The photo shows, its place comes once the
    // folder is listed, N reaches the last photo and a send takes it out of the list.
    void aCameraRollOf50000PhotosOpensAtOneOfItsLast() {
        const std::filesystem::path roll = dir_->Path() / "roll";
        std::filesystem::create_directory(roll);
        for (int i = 0; i < 3; ++i) {
            test::WritePng(roll / ("photo" + std::to_string(i) + ".png"),
                           test::PngFromSamples(test::PhotoLike(60, 40, 3, unsigned(i + 1))));
        }
        for (int i = 1; i <= 50'000; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "IMG_%06d.png", i);
            std::filesystem::create_hard_link(roll / ("photo" + std::to_string(i % 3) + ".png"),
                                              roll / name);
        }
        for (int i = 0; i < 3; ++i) {
            std::filesystem::remove(roll / ("photo" + std::to_string(i) + ".png"));
        }
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini");
        WhenModalOpens([] { // the question about subfolders
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(app_->InitInstance({(roll / "IMG_049999.png").string()}));
        CPirelaDoc& doc = app_->Document();
        QVERIFY(doc.Image().HasBitmap());
        QCOMPARE(doc.Image().Info().fileName, std::string("IMG_049999.png"));
        CMainFrame& frame = *app_->MainFrame();
        QTRY_COMPARE_WITH_TIMEOUT(frame.PaneText(res::kPaneFile),
                                  QStringLiteral("ファイル: 49,999/50,000"), 20000);
        QCOMPARE(app_->FileListWindow()->RowCount(), 50'000);
        QCOMPARE(app_->FileListWindow()->SelectedRow(), 49'998);

        QVERIFY(QTest::qWaitForWindowActive(&frame, 30000));
        QTest::keyClick(&frame, Qt::Key_N);
        QCOMPARE(doc.Image().Info().fileName, std::string("IMG_050000.png"));
        QTest::keyClick(&frame, Qt::Key_N); // the last: nothing moves
        QCOMPARE(doc.FileList().Current(), 49'999);

        const std::filesystem::path sorted = SortInto(0);
        QTest::keyClick(&frame, Qt::Key_1);
        QVERIFY(std::filesystem::exists(sorted / "IMG_050000.png"));
        QCOMPARE(doc.FileList().Count(), 49'999);
        QCOMPARE(doc.Image().Info().fileName, std::string("IMG_049999.png"));
        QCOMPARE(frame.PaneText(res::kPaneFile), QStringLiteral("ファイル: 49,999/49,999"));
        QCOMPARE(app_->FileListWindow()->RowCount(), 49'999);
    }

    void theFileListKeepsItsOwnKeys() {
        QVERIFY(Start());
        OpenThreeImages();
        CFileListWnd& list = *app_->FileListWindow();
        if (!list.IsShown()) {
            list.Toggle();
        }
        list.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &list);
        list.List()->setFocus();
        QTest::keyClick(list.List(), Qt::Key_Down);
        QCOMPARE(list.SelectedRow(), 1);
        QCOMPARE(app_->Document().FileList().Current(), 0);
        QTest::keyClick(list.List(), Qt::Key_Return); // shows the chosen row
        QCOMPARE(app_->Document().FileList().Current(), 1);
        QTest::keyClick(list.List(), Qt::Key_N); // the program's keys work here too
        QCOMPARE(app_->Document().FileList().Current(), 2);
    }

    void greyedAndDropDownItemsShowTheirPrompts() {
        QVERIFY(Start());
        CMainFrame& frame = *app_->MainFrame();
        frame.UpdateCommandUi();
        const auto promptUnderPointer = [&frame](QMenu* menu, int commandId) {
            QAction* item = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->text().startsWith(
                        frame.Action(commandId)->text().section('\t', 0, 0))) {
                    item = action;
                }
            }
            menu->popup(frame.mapToGlobal(QPoint(40, 40)));
            if (!QTest::qWaitForWindowExposed(menu) || item == nullptr) {
                return QString();
            }
            QTest::mouseMove(menu, menu->actionGeometry(item).center());
            QTest::qWait(50);
            const QString prompt = frame.statusBar()->currentMessage();
            menu->hide();
            return prompt;
        };
        QVERIFY(!frame.Action(res::kCmdRecycleBin)->isEnabled());
        QCOMPARE(
            promptUnderPointer(MenuTitled(frame, QStringLiteral("送る(&R)")), res::kCmdRecycleBin),
            QStringLiteral("現在のイメージ ファイルをごみ箱に捨てます。"));
        QMenu* dropDown = frame.DropDownMenu(true);
        QTest::mouseMove(dropDown, QPoint());
        dropDown->popup(frame.mapToGlobal(QPoint(40, 40)));
        QVERIFY(QTest::qWaitForWindowExposed(dropDown));
        QTest::mouseMove(dropDown, dropDown->actionGeometry(dropDown->actions().at(1)).center());
        QTRY_COMPARE(frame.statusBar()->currentMessage(),
                     QStringLiteral("10 個うしろのイメージを開きます。"));
        dropDown->hide();
    }

    // Four starts: moved on the first, maximised on the second, coming back maximised on the
    // third and on the fourth, where it is restored; the saved rectangles never change.
    void windowsComeBackWhereTheyWere() {
        QRect main;
        QRect list;
        for (int start = 1; start <= 4; ++start) {
            const bool maximised = start == 2 || start == 3;
            QVERIFY(Start());
            CMainFrame& frame = *app_->MainFrame();
            if (start == 1) {
                // Three quarters of the 1280 × 800 screen, frame included.
                QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry(), QRect(0, 0, 960, 600),
                                          kWindowManagerWait);
                frame.setGeometry(frame.geometry().translated(100, 80));
                QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry().topLeft(), QPoint(100, 80),
                                          kWindowManagerWait);
            } else if (start == 2) {
                QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry(), main, kWindowManagerWait);
                QTRY_COMPARE_WITH_TIMEOUT(app_->FileListWindow()->frameGeometry(), list,
                                          kWindowManagerWait);
                frame.showMaximized();
            } else if (start == 4) {
                // Restored, it stands at its rectangle, not grown by its frame.
                QTRY_VERIFY_WITH_TIMEOUT(frame.isMaximized(), kWindowManagerWait);
                frame.showNormal();
                QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry(), main, kWindowManagerWait);
            }
            QTRY_COMPARE_WITH_TIMEOUT(frame.isMaximized(), maximised, kWindowManagerWait);
            QVERIFY(frame.close());
            const IniFile saved = Saved();
            if (start == 1) {
                main = SavedRect(saved, "WINDOW");
                list = SavedRect(saved, "FILELISTWINDOW");
                QCOMPARE(main, QRect(100, 80, 960, 600));
            }
            // Maximised, the window keeps its normal rectangle for the day it is restored.
            QCOMPARE(SavedRect(saved, "WINDOW"), main);
            QCOMPARE(SavedRect(saved, "FILELISTWINDOW"), list);
            QCOMPARE(saved.GetInt("WINDOW", "MAX"), std::optional<int>(maximised ? 1 : 0));
            app_.reset();
        }
    }

    void aFloatingToolBarNeitherKeepsTheProgramAliveNorHides() {
        QVERIFY(Start());
        CMainFrame& frame = *app_->MainFrame();
        auto* toolBar = frame.findChild<QToolBar*>();
        app_->FileListWindow()->HideWindow(); // it stands over the toolbar's handle
        // Drag the toolbar by its handle into the middle of the screen, as a user does.
        const QPoint handle = toolBar->mapToGlobal(QPoint(6, toolBar->height() / 2));
        QStringList steps{"mousemove",
                          QString::number(handle.x()),
                          QString::number(handle.y()),
                          "sleep",
                          "0.3",
                          "mousedown",
                          "1"};
        for (const QPoint& point : {handle + QPoint(30, 30), QPoint(200, 250), QPoint(500, 500)}) {
            steps << "sleep"
                  << "0.3"
                  << "mousemove" << QString::number(point.x()) << QString::number(point.y());
        }
        steps << "sleep"
              << "0.3"
              << "mouseup"
              << "1";
        QProcess drag;
        drag.start(QStringLiteral("xdotool"), steps);
        QTRY_VERIFY_WITH_TIMEOUT(toolBar->isFloating(), 10000);
        QVERIFY(drag.waitForFinished());

        QTimer tooLate;
        tooLate.setSingleShot(true);
        connect(&tooLate, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        tooLate.start(10000);
        QTimer::singleShot(0, &frame, &QWidget::close);
        QCOMPARE(qApp->exec(), 0); // closing the main window ends the event loop
        tooLate.stop();
        const QRect main = SavedRect(Saved(), "WINDOW");
        app_.reset();

        QVERIFY(Start());
        toolBar = app_->MainFrame()->findChild<QToolBar*>();
        QTRY_VERIFY(toolBar->isFloating() && toolBar->isVisible());
        QTRY_COMPARE(app_->MainFrame()->frameGeometry(), main);
        app_->MainFrame()->UpdateCommandUi();
        QVERIFY(app_->MainFrame()->Action(res::kCmdToolBar)->isChecked());
    }

    void theFileListWindowIsNeverMaximised() {
        QVERIFY(Start());
        CFileListWnd& list = *app_->FileListWindow();
        if (!list.IsShown()) {
            list.Toggle();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QTRY_VERIFY(list.frameGeometry() != list.geometry());
        const QRect before = list.frameGeometry();
        list.setWindowState(Qt::WindowMaximized);
        QTest::qWait(300);
        QVERIFY(!list.isMaximized());
        QCOMPARE(list.frameGeometry(), before);
    }

    // The program itself, killed as a crash or a power cut would kill it while it moves a large
    // file to another disk, then started again: its recovery leaves no temporary and exactly
    // one whole copy, and says so once its window shows.
    void aKillDuringALargeMoveAcrossDisksLeavesOneWholeCopy() {
        namespace fs = std::filesystem;
        const test::TempDir shm(fs::path("/dev/shm"));
        const fs::path source = shm / "big.bmp"; // not an image: listed, and sent all the same
        const fs::path reference = shm / "reference";
        {
            std::string bytes(256 << 20, '\0');
            std::uint32_t state = 12345;
            for (char& byte : bytes) {
                state = state * 1664525u + 1013904223u;
                byte = static_cast<char>(state >> 24);
            }
            test::WriteFile(reference, bytes);
            test::WriteFile(source, bytes);
        }
        // A copy of the program of its own, whose settings lie beside it.
        const fs::path bin = *dir_ / "bin";
        const fs::path sorted = *dir_ / "sorted";
        fs::create_directories(bin);
        fs::create_directories(sorted);
        std::error_code linked;
        fs::create_hard_link(PIRELA_PROGRAM, bin / "pirela", linked);
        if (linked) {
            fs::copy_file(PIRELA_PROGRAM, bin / "pirela");
        }
        test::WriteFile(bin / "pirela.ini", "[OPTIONS]\nASK=0\nSENDTYPE=0\n[SENDTO]\nFOLDER1=" +
                                                sorted.string() + "\n");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable :
             {"HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            environment.insert(variable, QString::fromStdString((*dir_ / variable).string()));
        }
        const fs::path journal = JournalFileIn(*dir_ / "XDG_STATE_HOME" / "pirela");
        const auto start = [&](QProcess& program, const QStringList& arguments) {
            program.setProcessEnvironment(environment);
            program.start(QString::fromStdString((bin / "pirela").string()), arguments);
            return program.waitForStarted();
        };

        QProcess first;
        QVERIFY(start(first, {QString::fromStdString(source.string())}));
        const auto killFirst = qScopeGuard([&first] {
            first.kill();
            first.waitForFinished();
        });
        QVERIFY(QTest::qWaitFor([&] { return !WindowsOf(first).isEmpty(); }, 20000));
        QVERIFY(AnswerUntil(first, "n", "big.bmp")); // no subfolders; the file is open
        const QString window = WindowsOf(first, "big.bmp").first();
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {"windowactivate", "--sync", window}),
                 0);
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {"key", "1"}), 0);
        QVERIFY(QTest::qWaitFor(
            [&] {
                const auto temporary = TemporaryIn(sorted);
                std::error_code error;
                return temporary && fs::file_size(*temporary, error) > 0 && !error;
            },
            20000));
        first.kill(); // SIGKILL, in the middle of the copy
        first.waitForFinished();
        QVERIFY(TemporaryIn(sorted).has_value());

        QProcess second;
        QVERIFY(start(second, {}));
        const auto killSecond = qScopeGuard([&second] {
            second.kill();
            second.waitForFinished();
        });
        // The main window and the message over it.
        QVERIFY(QTest::qWaitFor([&] { return WindowsOf(second, "^Pirela$").size() == 2; }, 20000));
        QVERIFY(JournalFile(journal).Scan().unfinished.empty());
        QVERIFY(!TemporaryIn(sorted).has_value());
        const bool moved = fs::exists(sorted / "big.bmp");
        QCOMPARE(fs::exists(source), !moved);                                     // one copy
        QVERIFY(HaveSameContent(moved ? sorted / "big.bmp" : source, reference)); // whole
    }

    void theViewersKeysPageAndZoom() {
        for (int i = 0; i < 12; ++i) {
            test::WritePng(*dir_ / QString::asprintf("%02d.png", i).toStdString(),
                           test::PngFromSamples(test::PhotoLike(400, 300, 3)));
        }
        QVERIFY(Start());
        app_->View()->OpenFolder(dir_->Path().string());
        app_->FileListWindow()->HideWindow(); // the keys must reach the main window
        CMainFrame& frame = *app_->MainFrame();
        frame.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        const ImageFileList& list = app_->Document().FileList();
        const std::pair<const char*, int> paging[] = {
            {"End", 11}, {"Prior", 1}, {"Home", 0}, {"Next", 10}, {"Prior", 0}};
        for (const auto& [key, current] : paging) {
            Type({key});
            QTRY_COMPARE(list.Current(), current);
        }
        const float& rate = app_->Settings().options.rate;
        const std::pair<QStringList, float> zooms[] = {
            {{"0"}, 100.0f},           {{"plus"}, 200.0f},       {{"KP_Subtract"}, 100.0f},
            {{"minus"}, 50.0f},        {{"KP_Add"}, 100.0f},     {{"equal"}, 200.0f},
            {{"0"}, 100.0f},           {{"0"}, kRateShrink},
        };
        for (const auto& [keys, expected] : zooms) {
            Type(keys);
            QTRY_COMPARE(rate, expected);
        }
        // Ctrl with the wheel, over the view.
        const QPoint middle = app_->View()->viewport()->mapToGlobal(
            app_->View()->viewport()->rect().center());
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                                   {"mousemove", QString::number(middle.x()),
                                    QString::number(middle.y()), "keydown", "ctrl", "click", "4",
                                    "keyup", "ctrl"}),
                 0);
        QTRY_VERIFY(rate > 0);
    }

    void fullScreenShowsThePictureAloneUntilEscape() {
        QVERIFY(Start());
        OpenThreeImages();
        CMainFrame& frame = *app_->MainFrame();
        CFileListWnd& list = *app_->FileListWindow();
        if (!list.IsShown()) {
            list.Toggle();
        }
        frame.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        const QRect before = frame.frameGeometry();
        for (const char* key : {"F11", "f"}) {
            Type({key});
            QTRY_COMPARE_WITH_TIMEOUT(frame.geometry(), frame.screen()->geometry(),
                                      kWindowManagerWait);
            QVERIFY(!frame.menuBar()->isVisible() && !frame.statusBar()->isVisible());
            QVERIFY(!frame.findChild<QToolBar*>()->isVisible() && !list.isVisible());
            Type({"n"}); // the other keys act as ever
            QTRY_COMPARE(app_->Document().FileList().Current(), key[0] == 'F' ? 1 : 2);
            Type({"Escape"});
            QTRY_COMPARE_WITH_TIMEOUT(frame.frameGeometry(), before, kWindowManagerWait);
            QVERIFY(frame.menuBar()->isVisible() && frame.statusBar()->isVisible());
            QVERIFY(frame.findChild<QToolBar*>()->isVisible() && list.IsShown());
            frame.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &frame);
        }
        Type({"Escape"}); // out of the full screen, Escape changes nothing
        QTest::qWait(300);
        QCOMPARE(frame.frameGeometry(), before);
        QVERIFY(!frame.isFullScreen());
    }

    // T shows the grid with the current photo chosen, the arrows move the choice with the file
    // list in step, Return shows the chosen photo; a photo changed on disk meanwhile gets a
    // new thumbnail when the grid shows again.
    void theThumbnailGridChoosesAPhotoAndSeesItChange() {
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
            WriteFlatJpeg(*dir_ / name, 0xE01010);
        }
        QVERIFY(Start());
        app_->View()->OpenFolder(dir_->Path().string());
        CMainFrame& frame = *app_->MainFrame();
        CFileListWnd& list = *app_->FileListWindow();
        CThumbnailGrid& grid = *app_->Thumbnails()->Grid();
        Type({"t"});
        QTRY_VERIFY(grid.isVisible() && !app_->View()->isVisible());
        QCOMPARE(grid.Current(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(ThumbnailLooks(grid, 2, 0xFF0000), 30000);
        Type({"Right", "Right"});
        QTRY_COMPARE(app_->Document().FileList().Current(), 2);
        QCOMPARE(grid.Current(), 2);
        QCOMPARE(list.SelectedRow(), 2);
        Type({"Return"});
        QTRY_VERIFY(app_->View()->isVisible() && !grid.isVisible());
        QTRY_COMPARE(app_->Document().Image().Info().fileName, std::string("c.jpg"));
        QVERIFY(!frame.Action(res::kCmdThumbnails)->isChecked());

        WriteFlatJpeg(*dir_ / "c.jpg", 0x1010E0);
        Type({"t"});
        QTRY_VERIFY(grid.isVisible());
        QCOMPARE(grid.Current(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(ThumbnailLooks(grid, 2, 0x0000FF), 30000);
        Type({"t"});
        QTRY_VERIFY(app_->View()->isVisible());
        QCOMPARE(app_->Document().FileList().Current(), 2);
    }

    // Three photos chosen in the grid go with one key, and one Ctrl+Z brings all three back.
    void threeChosenPhotosGoAndComeBackTogether() {
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}) {
            WriteFlatJpeg(*dir_ / name, 0x10E010);
        }
        QVERIFY(Start());
        app_->View()->OpenFolder(dir_->Path().string());
        const std::filesystem::path sorted = SortInto(0);
        CThumbnailGrid& grid = *app_->Thumbnails()->Grid();
        Type({"t"});
        QTRY_VERIFY(grid.isVisible());
        Type({"Right", "shift+Right", "shift+Right"});
        QTRY_COMPARE(grid.Selection().SelectedCount(), 3);
        QCOMPARE(app_->Document().FileList().Current(), 3);
        Type({"1"});
        QTRY_VERIFY(std::filesystem::exists(sorted / "d.jpg"));
        for (const char* name : {"b.jpg", "c.jpg", "d.jpg"}) {
            QVERIFY(std::filesystem::exists(sorted / name) &&
                    !std::filesystem::exists(*dir_ / name));
        }
        QCOMPARE(app_->Document().FileList().Count(), 2);
        QTRY_COMPARE(grid.Selection().Count(), 2);
        QCOMPARE(grid.Current(), 1); // e.jpg, which followed them
        WhenModalOpens([] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QVERIFY(box->text().contains(QStringLiteral("b.jpg ほか 2 個のファイル")));
            QVERIFY(QTest::qWaitForWindowExposed(box) && QTest::qWaitForWindowActive(box));
            QProcess::execute(QStringLiteral("xdotool"), {"key", "Return"}); // はい
        });
        Type({"ctrl+z"});
        QTRY_VERIFY(std::filesystem::exists(*dir_ / "d.jpg"));
        for (const char* name : {"b.jpg", "c.jpg"}) {
            QVERIFY(std::filesystem::exists(*dir_ / name) &&
                    !std::filesystem::exists(sorted / name));
        }
        QTRY_COMPARE(grid.Selection().Count(), 5);
    }

    void aRestartWithoutAPathShowsTheLastPhotoAgain() {
        QVERIFY(Start());
        OpenThreeImages();
        app_->MainFrame()->UpdateCommandUi();
        app_->MainFrame()->Action(res::kCmdNext)->trigger();
        QVERIFY(app_->MainFrame()->close());
        app_.reset();
        QVERIFY(Start());
        QCOMPARE(app_->Document().FileList().CurrentName(), std::string("b.png"));
        QCOMPARE(app_->Document().FileList().Count(), 3);
        QVERIFY(app_->MainFrame()->windowTitle().startsWith(QStringLiteral("Pirela - b.png")));
        QVERIFY(QTest::qWaitForWindowExposed(app_->FileListWindow()) ||
                !app_->FileListWindow()->IsShown());

        // Gone since: an empty start, with nothing to say.
        QVERIFY(app_->MainFrame()->close());
        app_.reset();
        std::filesystem::remove(*dir_ / "b.png");
        QVERIFY(Start());
        QCOMPARE(app_->Document().FileList().Folder(), std::string());
        QCOMPARE(app_->MainFrame()->windowTitle(), QStringLiteral("Pirela"));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void eachFileOperationSaysWhatItDid() {
        QVERIFY(Start());
        OpenThreeImages();
        const std::filesystem::path sorted = SortInto(0);
        AppSettings& settings = app_->Settings();
        settings.options.sendType = 1;
        CMainFrame& frame = *app_->MainFrame();
        app_->FileListWindow()->HideWindow();
        frame.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &frame);
        const auto said = [&frame] { return frame.statusBar()->currentMessage(); };
        const auto answerYes = [] {
            WhenModalOpens([] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                QVERIFY(QTest::qWaitForWindowExposed(box) && QTest::qWaitForWindowActive(box));
                QProcess::execute(QStringLiteral("xdotool"), {"key", "Return"}); // はい
            });
        };

        Type({"1"});
        QTRY_COMPARE(said(), QStringLiteral("a.png を sorted にコピーしました。"));
        QVERIFY(frame.windowTitle().startsWith(QStringLiteral("Pirela - a.png → sorted [")));
        QTRY_COMPARE_WITH_TIMEOUT(said(), QStringLiteral("レディ"), 5000); // after a while

        settings.options.sendType = 0;
        Type({"n", "1"});
        QTRY_COMPARE(said(), QStringLiteral("b.png を sorted に移動しました。"));
        answerYes();
        Type({"Delete"}); // the last of the list: the one before it shows, seen already
        QTRY_COMPARE(said(), QStringLiteral("最後のイメージを送りました。c.png をごみ箱に送りました。"));
        QCOMPARE(app_->Document().FileList().CurrentName(), std::string("a.png"));
        answerYes();
        Type({"ctrl+z"});
        QTRY_COMPARE(said(), QStringLiteral("c.png のごみ箱への移動を元に戻しました。"));
        QVERIFY(std::filesystem::exists(*dir_ / "c.png"));
    }

    void aTaggedPhotoShowsTheColoursOfItsProfileForTheDisplay() {
        const std::filesystem::path folder = *dir_ / "photos";
        std::filesystem::create_directory(folder);
        // Larger than the window, so that wherever the view puts it, it fills the view.
        test::Samples green{1800, 1200, 3, {}};
        for (int i = 0; i < green.width * green.height; ++i) {
            green.data.insert(green.data.end(), {90, 160, 90});
        }
        test::WriteJpeg(folder / "adobe.jpg", green, false, 100);
        test::EmbedIccInJpeg(folder / "adobe.jpg", test::AdobeRgbProfile());
        QVERIFY(Start());
        CPirelaView& view = *app_->View();
        const QPoint inside = view.viewport()->rect().center();
        const auto shows = [&](const QColor& colour) {
            return QTest::qWaitFor(
                [&] { return Near(ScreenColourAt(*view.viewport(), inside), colour, 3); }, 10000);
        };
        view.OpenFolder(folder.string());
        QVERIFY2(shows(AdobeGreenOn(ColourProfile::Srgb())),
                 qPrintable(ScreenColourAt(*view.viewport(), inside).name()));

        // With the option off, the stored colour.
        app_->Settings().options.colourProfile = 0;
        app_->Document().ApplyDecodeSettings();
        QVERIFY2(shows(QColor(90, 160, 90)),
                 qPrintable(ScreenColourAt(*view.viewport(), inside).name()));

        // A Display P3 screen, as the X server records it: converted for that display instead.
        const std::vector<std::uint8_t> p3 = test::DisplayP3Profile();
        SetRootProfile(p3);
        const auto forget = qScopeGuard([] {
            SetRootProfile({});
            SetDisplayProfileReader(ReadX11DisplayProfile);
        });
        SetDisplayProfileReader(ReadX11DisplayProfile);
        app_->Settings().options.colourProfile = 1;
        app_->Document().ApplyDecodeSettings();
        const QColor onP3 = AdobeGreenOn(ColourProfile::FromIcc(p3));
        QVERIFY(!Near(onP3, AdobeGreenOn(ColourProfile::Srgb()), 3));
        QVERIFY2(shows(onP3), qPrintable(ScreenColourAt(*view.viewport(), inside).name()));
    }

    void fileDialogsSpeakJapanese() {
        QCOMPARE(QLocale::system().language(), QLocale::Japanese);
        QCOMPARE(qgetenv("LANG"), g_langBeforeStart); // left as it was for the programs we start
        QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())), QStringLiteral("フォルダ"));
    }
};

int main(int argc, char* argv[]) {
    g_langBeforeStart = qgetenv("LANG");
    ReadSystemLocaleAsJapanese();
    QApplication application(argc, argv);
    PrepareJapaneseInterface(application);
    SetDisplayProfileReader(ReadX11DisplayProfile);
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopTest.moc"
