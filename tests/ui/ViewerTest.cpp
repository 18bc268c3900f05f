#include "app/CPirelaDoc.h"
#include "res/ResourceIds.h"
#include "support/CameraFixtures.h"
#include "support/ChildProcess.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "ui/CBusyWindow.h"
#include "ui/CFileListWnd.h"
#include "ui/CFolderBrowser.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/JapaneseInterface.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <functional>
#include <png.h>

using namespace pirela;

namespace {

// Runs the action on the next modal dialog that opens (a message box or a file dialog).
void WhenModalOpens(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            WhenModalOpens(action);
            return;
        }
        action(modal);
    });
}

void Answer(QMessageBox::StandardButton button) {
    WhenModalOpens([button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        box->button(button)->click();
    });
}

// A picture whose pixels are known exactly: a gAMA of 1/2.2 leaves its samples unchanged.
test::Samples WriteExactPng(const std::filesystem::path& file, int width, int height) {
    const test::Samples samples = test::PhotoLike(width, height, 3, 9);
    test::PngImage png = test::PngFromSamples(samples);
    png.gamma = 1 / 2.2;
    test::WritePng(file, png);
    return samples;
}

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 100;
}

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareJapaneseInterface(*qApp); }

    void init() {
        dir_ = std::make_unique<test::TempDir>();
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini");
        QVERIFY(app_->InitInstance({}));
        app_->Settings().options.rate = 100; // the tests' pictures are smaller than the view
        app_->MainFrame()->resize(640, 480);
        QVERIFY(QTest::qWaitForWindowExposed(app_->MainFrame()));
    }

    void cleanup() {
        app_.reset();
        dir_.reset();
    }

    void openingAFolderFillsTitlePanesAndMenus() {
        std::filesystem::create_directory(*dir_ / "pics");
        WriteExactPng(*dir_ / "pics" / "a.png", 300, 200);
        WriteExactPng(*dir_ / "pics" / "b.png", 30, 20);
        CMainFrame& frame = *app_->MainFrame();
        frame.UpdateCommandUi();
        QVERIFY(!frame.Action(res::kCmdZoom100)->isEnabled());
        QVERIFY(!frame.Action(res::kCmdRefresh)->isEnabled());

        const std::string folder = (*dir_ / "pics").string();
        app_->View()->OpenFolder(folder);
        frame.UpdateCommandUi();
        QCOMPARE(frame.windowTitle(), QString::fromStdString("Pirela - a.png [ " + folder + " ] "));
        QCOMPARE(frame.PaneText(res::kPaneImage), QStringLiteral("イメージ: 300 x 200, 24 ビット"));
        QVERIFY(frame.PaneText(res::kPaneFileSize).endsWith(QStringLiteral(" KB")));
        QCOMPARE(frame.PaneText(res::kPaneFile), QStringLiteral("ファイル: 1/2"));
        QVERIFY(frame.Action(res::kCmdZoom100)->isEnabled());
        QVERIFY(frame.Action(res::kCmdZoom100)->isChecked());
        QVERIFY(!frame.Action(res::kCmdZoomFit)->isChecked());
        QVERIFY(frame.Action(res::kCmdRefresh)->isEnabled());

        frame.Action(res::kCmdZoomFit)->trigger();
        QVERIFY(frame.Action(res::kCmdZoomFit)->isChecked());
        QVERIFY(!frame.Action(res::kCmdZoom100)->isChecked());
        QCOMPARE(app_->Settings().options.rate, 0.0f);
        const QString fitZoom = frame.PaneText(res::kPaneZoom);
        QVERIFY(fitZoom != QStringLiteral("100.0 %"));

        // In the fit modes the zoom follows the window's size; at a fixed rate it stays.
        frame.resize(900, 700);
        QCoreApplication::processEvents();
        QVERIFY(frame.PaneText(res::kPaneZoom) != fitZoom);
        frame.Action(res::kCmdZoom50)->trigger();
        frame.resize(700, 500);
        QCoreApplication::processEvents();
        QCOMPARE(frame.PaneText(res::kPaneZoom), QStringLiteral("50.0 %"));
    }

    // Fitted, the picture follows the view whenever a bar beside it comes or goes: no scroll
    // bars, and the zoom pane tells the size it is drawn at. A wide picture follows the send
    // bar's width, a tall one the bars' heights.
    void theFitFollowsTheBarsAroundTheView() {
        WriteExactPng(*dir_ / "a.png", 1600, 300);
        WriteExactPng(*dir_ / "b.png", 300, 1600);
        CMainFrame& frame = *app_->MainFrame();
        CPirelaView& view = *app_->View();
        view.OpenFolder(dir_->Path().string());
        frame.UpdateCommandUi();
        frame.Action(res::kCmdZoomFit)->trigger();
        for (int image = 0; image < 2; ++image) {
            for (int bar : {res::kCmdSendBar, res::kCmdToolBar, res::kCmdStatusBar,
                            res::kCmdSendBar, res::kCmdToolBar, res::kCmdStatusBar}) {
                frame.Action(bar)->trigger();
                QTRY_COMPARE(view.horizontalScrollBar()->maximum() +
                                 view.verticalScrollBar()->maximum(),
                             0);
                const int width = app_->Document().Image().Info().width;
                QCOMPARE(frame.PaneText(res::kPaneZoom),
                         QString::asprintf("%3.1f %%", view.DrawSize().width * 100.0 / width));
            }
            frame.Action(res::kCmdNext)->trigger();
        }
    }

    // In the middle of the view, or at its top left corner when the user wants it there.
    void atOneHundredPerCentThePictureIsCopiedPixelForPixel() {
        const test::Samples samples = WriteExactPng(*dir_ / "exact.png", 120, 90);
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        CPirelaView& view = *app_->View();
        view.UpdateScrollSizes();
        const PixelSize client = view.ClientSize();
        for (const bool centred : {true, false}) {
            app_->Settings().options.centreImage = centred ? 1 : 0;
            const QPoint at = centred ? QPoint((client.width - 120) / 2, (client.height - 90) / 2)
                                      : QPoint();
            const QImage shot = WholeShot();
            bool exact = true;
            for (int y = 0; y < 90 && exact; ++y) {
                for (int x = 0; x < 120 && exact; ++x) {
                    const std::uint8_t* s = samples.data.data() + (std::size_t(y) * 120 + x) * 3;
                    exact = shot.pixel(at + QPoint(x, y)) == qRgb(s[0], s[1], s[2]);
                }
            }
            QVERIFY2(exact, centred ? "centred" : "top left");
            // The window's own background beside it.
            QCOMPARE(shot.pixel(at + QPoint(125, 10)), qRgb(255, 255, 255));
        }
    }

    // Zooming by keys keeps the picture's point in the middle of the view where it was; by the
    // wheel with Ctrl, the point under the pointer. The keys step through the fixed zooms, and
    // 0 switches between 100 % and the fit mode.
    void zoomKeepsItsPointInPlace() {
        WriteExactPng(*dir_ / "big.png", 2000, 1500);
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        CMainFrame& frame = *app_->MainFrame();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CPirelaView& view = *app_->View();
        view.UpdateScrollSizes();
        view.ScrollTo({600, 400});
        const PixelSize client = view.ClientSize();
        const auto pictureAt = [&view](QPoint viewport) { // in pixels of the picture as loaded
            const ScrollPoint scroll = view.ScrollPosition();
            const double scale = 2000.0 / view.DrawSize().width;
            return QPointF((viewport.x() + scroll.x) * scale, (viewport.y() + scroll.y) * scale);
        };
        const QPoint middle(client.width / 2, client.height / 2);
        const QPointF before = pictureAt(middle);
        QTest::keyClick(&frame, Qt::Key_Plus, Qt::ShiftModifier); // "+" as most keyboards type it
        QCOMPARE(app_->Settings().options.rate, 200.0f);
        QVERIFY((pictureAt(middle) - before).manhattanLength() <= 2);
        QTest::keyClick(&frame, Qt::Key_Minus, Qt::KeypadModifier);
        QTest::keyClick(&frame, Qt::Key_Minus);
        QCOMPARE(app_->Settings().options.rate, 50.0f);
        QVERIFY((pictureAt(middle) - before).manhattanLength() <= 2);

        const QPoint pointer(100, 80);
        const QPointF underPointer = pictureAt(pointer);
        QWheelEvent wheel(pointer, view.viewport()->mapToGlobal(pointer), {}, {0, 120},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
        QCOMPARE(app_->Settings().options.rate, 100.0f);
        QVERIFY((pictureAt(pointer) - underPointer).manhattanLength() <= 2);

        QTest::keyClick(&frame, Qt::Key_0);
        QCOMPARE(app_->Settings().options.rate, kRateShrink);
        QCOMPARE(frame.PaneText(res::kPaneZoom),
                 QString::asprintf("%3.1f %%", view.DrawSize().width * 100.0 / 2000));
        const double fitted = view.DrawSize().width * 100.0 / 2000;
        QTest::keyClick(&frame, Qt::Key_Equal); // the next fixed zoom above the fitted one
        QVERIFY(app_->Settings().options.rate > fitted &&
                app_->Settings().options.rate <= 2 * fitted);
        QTest::keyClick(&frame, Qt::Key_0);
        QCOMPARE(app_->Settings().options.rate, 100.0f);
        QTest::keyClick(&frame, Qt::Key_0); // back to the fit mode last used
        QCOMPARE(app_->Settings().options.rate, kRateShrink);
    }

    void homeEndAndThePageKeysPage() {
        for (int i = 0; i < 25; ++i) {
            test::WriteFile(*dir_ / QString::asprintf("%02d.bmp", i).toStdString(), "");
        }
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        CMainFrame& frame = *app_->MainFrame();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        const ImageFileList& list = app_->Document().FileList();
        const struct {
            Qt::Key key;
            int current;
        } steps[] = {{Qt::Key_End, 24},      {Qt::Key_PageUp, 14}, {Qt::Key_PageUp, 4},
                     {Qt::Key_PageUp, 4},    {Qt::Key_Home, 0},    {Qt::Key_PageDown, 10}};
        for (const auto& step : steps) {
            QTest::keyClick(&frame, step.key);
            QCOMPARE(list.Current(), step.current);
        }
    }

    void aPreviewGivesWayToTheWholeBitmapInTheSamePlace() {
        // Large enough that its whole decode still runs when the first picture is painted.
        test::WriteJpeg(*dir_ / "big.jpg", test::PhotoLike(6000, 4000, 3, 3), false);
        app_->Settings().options.rate = kRateFit;
        CPirelaView& view = *app_->View();
        view.viewport()->repaint(); // the view hands its plan to the decodes as it paints
        CPirelaDoc& doc = app_->Document();
        QVERIFY(doc.OpenImageFile((*dir_ / "big.jpg").string()));
        const DecodeJob* decode = doc.Image().Decode();
        QVERIFY(decode != nullptr && decode->WaitForPreview() != nullptr);
        const QImage first = view.viewport()->grab().toImage();
        if (decode->HasEnded()) {
            QSKIP("the whole decode ended before the first paint; nothing to compare");
        }
        QVERIFY(decode->WaitForBitmap() != nullptr);
        doc.OnDecodeEnded();
        const QImage sharp = view.viewport()->grab().toImage();

        const auto pictureRect = [](const QImage& shot) {
            QRect rect;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    if (shot.pixel(x, y) != qRgb(255, 255, 255)) {
                        rect |= QRect(x, y, 1, 1);
                    }
                }
            }
            return rect;
        };
        QCOMPARE(pictureRect(first), pictureRect(sharp));
        QCOMPARE(pictureRect(sharp).size(), QSize(view.DrawSize().width, view.DrawSize().height));
        double difference = 0;
        for (int y = 0; y < sharp.height(); ++y) {
            for (int x = 0; x < sharp.width(); ++x) {
                difference += std::abs(qGray(first.pixel(x, y)) - qGray(sharp.pixel(x, y)));
            }
        }
        QVERIFY(difference / (sharp.width() * sharp.height()) < 6); // only sharper
    }

    void aPaintNeverWaitsForTheDecode() {
        // A progressive file's rows are final only when its last scan is read: a paint that
        // waited for the rows in sight would wait for the whole decode.
        test::WriteJpeg(*dir_ / "slow.jpg", test::PhotoLike(6000, 4000, 3, 5), true);
        app_->Settings().options.rate = 100;
        CPirelaDoc& doc = app_->Document();
        QVERIFY(doc.OpenImageFile((*dir_ / "slow.jpg").string()));
        const DecodeJob* decode = doc.Image().Decode();
        QVERIFY(decode != nullptr);
        const QImage first = app_->View()->viewport()->grab().toImage();
        if (decode->HasEnded()) {
            QSKIP("the whole decode ended before the first paint; nothing to tell");
        }
        QCOMPARE(first.pixel(10, 10), qRgb(255, 255, 255)); // the background, nothing unmade
        QCOMPARE(WholeShot().pixel(10, 10) == qRgb(255, 255, 255), false);
    }

    void arrowKeysScrollHalfAWindow() {
        WriteExactPng(*dir_ / "big.png", 2000, 1500);
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        CPirelaView& view = *app_->View();
        view.UpdateScrollSizes();
        app_->MainFrame()->Action(res::kCmdScrollRight)->trigger();
        QCOMPARE(view.ScrollPosition().x, view.ClientSize().width / 2);
        QCOMPARE(view.ScrollPosition().y, 0);
        for (int i = 0; i < 20; ++i) {
            app_->MainFrame()->Action(res::kCmdScrollDown)->trigger();
        }
        QCOMPARE(view.ScrollPosition().y, 1500 - view.ClientSize().height); // held at the limit
    }

    void draggingMovesTheImageWithTheMouse() {
        WriteExactPng(*dir_ / "big.png", 2000, 300); // wider than the window, not higher
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        CPirelaView& view = *app_->View();
        view.UpdateScrollSizes();
        QWidget* area = view.viewport();
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        QCOMPARE(area->cursor().shape(), Qt::BitmapCursor); // our four-way arrow
        QMouseEvent move(QEvent::MouseMove, QPointF(200, 150), area->mapToGlobal(QPointF(200, 150)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &move);
        QCOMPARE(view.ScrollPosition(), (ScrollPoint{100, 0})); // only sideways
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
        QCOMPARE(area->cursor().shape(), Qt::ArrowCursor);
    }

    void anUndecodableFileShowsTwoErrorLines() {
        test::WriteFile(*dir_ / "broken.png", "not a png at all");
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        QVERIFY(!app_->Document().Image().Shown());
        const QImage shot = WholeShot();
        const auto darkInRows = [&shot](int top, int bottom) {
            int dark = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = 0; x < 300; ++x) {
                    dark += IsDark(shot.pixel(x, y)) ? 1 : 0;
                }
            }
            return dark;
        };
        QCOMPARE(darkInRows(0, 5), 0);
        QVERIFY(darkInRows(5, 19) > 20);
        QVERIFY(darkInRows(20, 34) > 20);
        QCOMPARE(app_->MainFrame()->PaneText(res::kPaneImage), QString());
        QVERIFY(!app_->MainFrame()->PaneText(res::kPaneFileSize).isEmpty());
    }

    void transparentPixelsShowTheBackgroundColour() {
        test::PngImage png;
        png.width = png.height = 4;
        png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        png.gamma = 1 / 2.2;
        png.rows.assign(4, std::vector<std::uint8_t>(16, 0)); // all transparent
        test::WritePng(*dir_ / "clear.png", png);
        app_->Settings().options.bgColorType = 1;
        app_->Settings().options.bgColor = 0x0000FF; // red, as 0x00BBGGRR
        QVERIFY(app_->Document().OpenImageFolder(dir_->Path().string()));
        const QImage shot = WholeShot();
        QCOMPARE(shot.pixel(1, 1), qRgb(255, 0, 0));
    }

    void theBusyWindowStandsCentredOnTheMainWindow() {
        CMainFrame& frame = *app_->MainFrame();
        CBusyWindow busy(&frame);
        busy.SetText(QStringLiteral("イメージ ファイルを検索しています..."));
        QCOMPARE(busy.Text(), QStringLiteral("イメージ ファイルを検索しています..."));
        const QRect outer = frame.frameGeometry();
        const QPoint centre(outer.left() + outer.width() / 2, outer.top() + outer.height() / 2);
        QVERIFY((busy.geometry().center() - centre).manhattanLength() <= 2);
        QVERIFY(busy.windowFlags() & Qt::FramelessWindowHint);
    }

    void theSubfolderQuestionSetsTheSetting() {
        std::filesystem::create_directories(*dir_ / "top" / "sub");
        WriteExactPng(*dir_ / "top" / "sub" / "deep.png", 10, 10);
        app_.reset();
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini");
        Answer(QMessageBox::Yes);
        QVERIFY(app_->InitInstance({(*dir_ / "top").string()}));
        QCOMPARE(app_->Settings().options.findSubfolder, 1);
        QCOMPARE(app_->Document().FileList().Count(), 1);
        QCOMPARE(app_->MainFrame()->PaneText(res::kPaneFile), QStringLiteral("ファイル: 1/1"));
    }

    void startedWithAFileItShowsItsRowWhateverTheBytesOfItsName() {
        WriteExactPng(*dir_ / "a.png", 4, 4);
        const std::string latin1 = "caf\xE9.png"; // not UTF-8
        WriteExactPng(*dir_ / latin1, 6, 5);
        WriteExactPng(*dir_ / "d.png", 4, 4);
        app_.reset();
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini");
        Answer(QMessageBox::No);
        QVERIFY(app_->InitInstance({(*dir_ / latin1).string()}));
        QCOMPARE(app_->Document().Image().Info().fileName, latin1);
        QVERIFY(app_->Document().Image().HasBitmap());
        QCOMPARE(app_->Document().FileList().Current(), 1);
        QCOMPARE(app_->FileListWindow()->SelectedRow(), 1);

        // A file missing at startup: its name in the title over the error text, no facts.
        app_.reset();
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini");
        Answer(QMessageBox::No);
        WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
        QVERIFY(app_->InitInstance({(*dir_ / "missing.png").string()}));
        QVERIFY(app_->MainFrame()->windowTitle().startsWith(QStringLiteral("Pirela - missing.png [")));
        QVERIFY(!app_->Document().Image().Shown());
        QCOMPARE(app_->MainFrame()->PaneText(res::kPaneImage), QString());
        QCOMPARE(app_->MainFrame()->PaneText(res::kPaneFileSize), QString());
    }

    void aSurfaceWithoutMemoryShowsTheErrorText() {
        if (test::kAddressSanitizer) {
            QSKIP("AddressSanitizer reserves more address space than any limit allows");
        }
        const int result = test::ExitCodeInChild([this] {
            BitmapInfoHeader header; // 72 MB of bitmap, never touched; its surface needs 96 MB
            header.width = 6000;
            header.height = 4000;
            header.bitCount = 24;
            app_->Document().Image().Install(Bitmap::Create(header));
            if (!app_->Document().Image().HasBitmap() || !test::LimitAddressSpaceTo(32 << 20)) {
                return test::kChildCannotPrepare;
            }
            const QImage shot = app_->View()->viewport()->grab().toImage();
            for (int y = 5; y < 20; ++y) {
                for (int x = 5; x < 100; ++x) {
                    if (IsDark(shot.pixel(x, y))) {
                        return 0;
                    }
                }
            }
            return 1;
        });
        if (result == test::kChildCannotPrepare) {
            QSKIP("the bitmap or the memory limit could not be set up");
        }
        QCOMPARE(result, 0);
    }

    void keysNavigateAndTurn() {
        WriteExactPng(*dir_ / "a.png", 20, 10);
        WriteExactPng(*dir_ / "b.png", 20, 10);
        WriteExactPng(*dir_ / "c.png", 20, 10);
        CMainFrame& frame = *app_->MainFrame();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        app_->View()->OpenFolder(dir_->Path().string());
        const ImageFileList& list = app_->Document().FileList();
        const auto press = [&frame](int key) {
            frame.UpdateCommandUi(); // as the event loop does when it goes idle
            QTest::keyClick(&frame, static_cast<Qt::Key>(key));
        };
        press(Qt::Key_N);
        QCOMPARE(list.Current(), 1);
        press(Qt::Key_Space);
        QCOMPARE(list.Current(), 2);
        press(Qt::Key_N); // at the end: nothing
        QCOMPARE(list.Current(), 2);
        QCOMPARE(app_->Document().Image().Info().fileName, std::string("c.png"));
        press(Qt::Key_B);
        press(Qt::Key_Backspace);
        QCOMPARE(list.Current(), 0);
        press(Qt::Key_B);
        QCOMPARE(list.Current(), 0);

        press(Qt::Key_L);
        QCOMPARE(app_->Document().TurnState(), 1);
        QCOMPARE(app_->Document().Image().Pixels()->Width(), 10);
        press(Qt::Key_N); // the turn is not kept: the next image comes as it is
        QCOMPARE(app_->Document().TurnState(), 0);

        frame.Action(res::kCmdKeepTurn)->trigger();
        frame.UpdateCommandUi();
        QVERIFY(frame.Action(res::kCmdKeepTurn)->isChecked());
        press(Qt::Key_R);
        press(Qt::Key_N);
        QCOMPARE(list.Current(), 2);
        QCOMPARE(app_->Document().TurnState(), 3);
        QCOMPARE(app_->Document().Image().Pixels()->Width(), 10);
        frame.Action(res::kCmdTurnReset)->trigger();
        QCOMPARE(app_->Document().TurnState(), 0);
        QCOMPARE(app_->Document().Image().Pixels()->Width(), 20);

        frame.Action(res::kCmdFileClose)->trigger();
        QCOMPARE(list.Count(), 0);
        QCOMPARE(frame.windowTitle(), QStringLiteral("Pirela"));
        frame.UpdateCommandUi();
        QVERIFY(!frame.Action(res::kCmdTurnLeft)->isEnabled());
        QVERIFY(!frame.Action(res::kCmdResearch)->isEnabled());
    }

    void theOpenFileCommandOpensTheChosenFile() {
        std::filesystem::create_directory(*dir_ / "album");
        WriteExactPng(*dir_ / "album" / "a.png", 8, 8);
        WriteExactPng(*dir_ / "album" / "b.png", 8, 8);
        const std::string album = (*dir_ / "album").string();
        app_->Settings().lastOpen = album;
        WhenModalOpens([album](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("ファイルを開く"));
            QCOMPARE(dialog->directory().absolutePath(), QString::fromStdString(album));
            QCOMPARE(dialog->nameFilters().size(), 11);
            QVERIFY(dialog->nameFilters()[0].startsWith(
                QStringLiteral("展開可能なすべてのイメージ (*.bmp;*.dib;*.jpg;*.jpe;*.png;*.jpeg;*.heic;")));
            QVERIFY(dialog->nameFilters()[4].startsWith(
                QStringLiteral("HEIF イメージ (*.heic;*.heif;*.hif)")));
            dialog->selectFile(QString::fromStdString(album + "/b.png"));
            qobject_cast<QDialog*>(dialog)->accept();
        });
        app_->MainFrame()->Action(res::kCmdFileOpen)->trigger();
        QCOMPARE(app_->Document().FileList().Current(), 1);
        QCOMPARE(app_->Document().Image().Info().fileName, std::string("b.png"));
        QCOMPARE(app_->Settings().lastOpen, album);
        QCOMPARE(app_->MainFrame()->PaneText(res::kPaneFile), QStringLiteral("ファイル: 2/2"));

        // With a folder open, the dialog starts there, wherever the last file came from.
        app_->Settings().lastOpen = dir_->Path().string();
        WhenModalOpens([album](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QCOMPARE(dialog->directory().absolutePath(), QString::fromStdString(album));
            dialog->reject();
        });
        app_->MainFrame()->Action(res::kCmdFileOpen)->trigger();
    }

    // A helper's photo comes after the window painted while it was loading: it shows all the
    // same.
    void aPhotoFromTheHelperShowsOnceItComes() {
        const std::filesystem::path folder = *dir_ / "helper";
        std::filesystem::create_directory(folder);
        test::WriteAnimatedGif(folder / "a.gif", 40, 40, {0, 0, 0, 255, 0, 0},
                               {test::FilledGifFrame(0, 0, 40, 40, 1, 0)}, -1);
        CPirelaView& view = *app_->View();
        view.OpenFolder(folder.string());
        view.viewport()->repaint(); // while the helper decodes
        QTRY_VERIFY(!app_->Document().Image().Loading());
        const QPoint middle = view.viewport()->rect().center();
        QTRY_COMPARE(view.viewport()->grab().toImage().pixelColor(middle), QColor(255, 0, 0));
    }

    void anAnimatedGifPlaysItsFramesInOrderUntilPagedAway() {
        const std::filesystem::path folder = *dir_ / "moving";
        std::filesystem::create_directory(folder);
        WriteExactPng(folder / "a.png", 30, 20);
        test::WriteAnimatedGif(folder / "b.gif", 20, 20, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255},
                               {test::FilledGifFrame(0, 0, 20, 20, 1, 4),
                                test::FilledGifFrame(0, 0, 20, 20, 2, 0),
                                test::FilledGifFrame(0, 0, 20, 20, 3, 6)},
                               0);
        CPirelaView& view = *app_->View();
        view.OpenFolder(folder.string());
        QTest::qWait(500); // the GIF is decoded ahead by then: it plays all the same
        app_->Document().ShowListedImage(app_->Document().NextImage());
        // Its frames come from a decoder helper, as in the program.
        QVERIFY(QTest::qWaitFor([&] { return view.Animating(); }, 5000));

        // Frame by frame in order, each for its delay (the second's 0 counts as 100 ms).
        std::vector<int> shown{view.ShownFrame()};
        QElapsedTimer clock;
        clock.start();
        std::vector<qint64> changedAt;
        while (shown.size() < 7 && clock.elapsed() < 10000) {
            QTest::qWait(2);
            if (view.ShownFrame() != shown.back()) {
                shown.push_back(view.ShownFrame());
                changedAt.push_back(clock.elapsed());
            }
        }
        QCOMPARE(shown, (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));
        QVERIFY2(changedAt[1] - changedAt[0] >= 95, "the second frame stays 100 ms");
        QVERIFY2(changedAt[2] - changedAt[1] >= 55, "the third its 60 ms");

        // Paging away stops it at once.
        app_->Document().ShowListedImage(app_->Document().PrevImage());
        QVERIFY(!view.Animating());
        QCOMPARE(app_->Document().Image().Animation(), nullptr);
        QTest::qWait(50);
        QCOMPARE(view.ShownFrame(), 1);
    }

    void theFolderBrowserCarriesTheCheckBoxLeftOfOk() {
        std::filesystem::create_directory(*dir_ / "chosen");
        CFolderBrowser browser(true, false);
        WhenModalOpens([](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("開くフォルダを選択してください。"));
            auto* check = dialog->findChild<QCheckBox*>(QString::number(res::kFolderBrowserCheckBox));
            QVERIFY(check != nullptr);
            QCOMPARE(check->text(), QStringLiteral("サブフォルダも検索する(&S)"));
            auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
            const QRect checkAt(check->mapTo(dialog, QPoint()), check->size());
            const QRect okAt(ok->mapTo(dialog, QPoint()), ok->size());
            QVERIFY(checkAt.right() < okAt.left());
            QVERIFY(checkAt.bottom() > okAt.top() && checkAt.top() < okAt.bottom()); // one row
            check->setChecked(true);
            qobject_cast<QDialog*>(dialog)->accept();
        });
        QString folder = QString::fromStdString((*dir_ / "chosen").string());
        QVERIFY(browser.Browse(folder, QStringLiteral("開くフォルダを選択してください。")));
        QVERIFY(browser.CheckBoxState());
        QCOMPARE(folder, QString::fromStdString((*dir_ / "chosen").string()));

        CFolderBrowser cancelled(true, false);
        WhenModalOpens([](QWidget* modal) {
            modal->findChild<QCheckBox*>()->setChecked(true);
            qobject_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(!cancelled.Browse(folder, QStringLiteral("x")));
        QVERIFY(!cancelled.CheckBoxState());
    }

private:
    // The view as painted once the current image's decode has ended: a paint never waits.
    QImage WholeShot() {
        app_->Document().Image().Pixels();
        return app_->View()->viewport()->grab().toImage();
    }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<CPirelaApp> app_;
};

QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
