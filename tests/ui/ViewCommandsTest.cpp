// The view's own commands as the user reaches them: drops, the clipboard, the context menu,
// the properties dialog and the file manager's folders. The desktop's opener is replaced for
// file URLs, so no file manager or browser is ever started.
#include "app/CPirelaDoc.h"
#include "host/DesktopServices.h"
#include "image/Rotation.h"
#include "res/ResourceIds.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "ui/CContextMenu.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/DialogBuilder.h"
#include "ui/JapaneseInterface.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QtTest>
#include <functional>

using namespace pirela;
namespace fs = std::filesystem;

// The desktop's opener, recording what it was asked to open.
class OpenedFolders : public DesktopServices {
public:
    explicit OpenedFolders(std::vector<std::string>& folders) : folders_(folders) {}
    bool OpenFolder(const std::string& folder) override {
        folders_.push_back(folder);
        return true;
    }
    bool OpenFile(const std::string&) override { return false; }
    bool HasOpenerFor(const std::string&) override { return true; }
    bool StartProgram(const std::string&, const std::string&) override { return false; }

private:
    std::vector<std::string>& folders_;
};

namespace {

// A small bitmap whose every pixel differs: 24 bits, or 8 bits with a palette of its own.
void WriteBmp(const fs::path& file, int bitCount) {
    BitmapInfoHeader header;
    header.width = 3;
    header.height = 2;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    std::vector<RgbQuad> palette;
    for (int i = 0; bitCount == 8 && i < 256; ++i) {
        palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i * 7), 0});
    }
    auto bitmap = Bitmap::Create(header, palette);
    for (int y = 0; y < 2; ++y) {
        for (int i = 0; i < 3 * bitCount / 8; ++i) {
            bitmap->PictureRow(y)[i] = static_cast<std::uint8_t>(40 * y + 13 * i + 5);
        }
    }
    test::WriteBytes(file, test::EncodeBmp(*bitmap));
}

// One line of a dropped URI list, the path's bytes percent-encoded as file managers send them.
QByteArray FileUri(const std::string& path) {
    return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/");
}

void WhenPopupOpens(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* popup = QApplication::activeModalWidget() != nullptr
                             ? QApplication::activeModalWidget()
                             : QApplication::activePopupWidget();
        popup != nullptr ? action(popup) : WhenPopupOpens(action);
    });
}

} // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareJapaneseInterface(*qApp); }

    void init() {
        dir_ = std::make_unique<test::TempDir>();
        opened_.clear();
        app_ = std::make_unique<CPirelaApp>(*dir_ / "pirela.ini",
                                            std::make_unique<OpenedFolders>(opened_));
        QVERIFY(app_->InitInstance({}));
    }

    void cleanup() {
        app_.reset();
        dir_.reset();
    }

    void dropOpensTheFirstLocalPathWithItsBytes() {
        fs::create_directory(*dir_ / "pics");
        const std::string shiftJis = (*dir_ / "pics" / "\x95\x5c.bmp").string(); // 表, trail byte '\'
        WriteBmp(shiftJis, 24);
        WriteBmp(*dir_ / "pics" / "b.bmp", 24);
        CPirelaDoc& doc = app_->Document();
        const auto drop = [this](const QList<QByteArray>& uris) {
            QMimeData data;
            data.setData(QStringLiteral("text/uri-list"), uris.join("\r\n") + "\r\n");
            // As the window system delivers it: the drop goes to the widget that took the enter.
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(app_->View()->viewport(), &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(app_->View()->viewport(), &event);
        };
        drop({"https://example.com/a.bmp", "file://otherhost/a.bmp", FileUri(shiftJis),
              FileUri((*dir_ / "pics" / "b.bmp").string())});
        QCOMPARE(QByteArray::fromStdString(doc.FileList().CurrentImagePath()), QByteArray::fromStdString(shiftJis));
        QVERIFY(doc.Image().HasBitmap());
        QCOMPARE(app_->Settings().lastSelectFolder, (*dir_ / "pics").string());

        // A file that will not open still closes the folder that was open.
        test::WriteFile(*dir_ / "notes.txt", "text");
        QString message;
        WhenPopupOpens([&message](QWidget* box) {
            message = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            box->close();
        });
        drop({FileUri((*dir_ / "notes.txt").string())});
        QVERIFY(doc.FileList().Folder().empty());
        QVERIFY(message.startsWith(QStringLiteral("notes.txt")));

        drop({FileUri((*dir_ / "pics").string())});
        QCOMPARE(doc.FileList().Folder(), (*dir_ / "pics").string());
        QCOMPARE(app_->Settings().lastSelectFolder, (*dir_ / "pics").string());

        drop({"https://example.com/"}); // not ours: nothing changes
        QCOMPARE(doc.FileList().Folder(), (*dir_ / "pics").string());
    }

    void clipboardGetsTheTurnedBitmapAtItsOwnSize() {
        for (const int bits : {8, 24}) {
            const fs::path file = *dir_ / ("c" + std::to_string(bits) + ".bmp");
            WriteBmp(file, bits);
            QVERIFY(app_->Document().OpenImageFile(file.string()));
            app_->Document().ApplyTurn(kTurnLeft);
            app_->MainFrame()->Commands().Execute(res::kCmdCopyToClipboard);
            const QImage expected = QImage(QString::fromStdString(file.string()))
                                        .transformed(QTransform().rotate(-90))
                                        .convertToFormat(QImage::Format_RGB32);
            const QImage copied =
                QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(copied.size(), QSize(2, 3));
            QCOMPARE(copied, expected);
        }
    }

    void contextMenuHasItsOwnTextsAndTheMainMenusRules() {
        CMainFrame& frame = *app_->MainFrame();
        auto* menu = app_->View()->findChild<CContextMenu*>();
        QVERIFY(menu != nullptr);
        app_->Settings().destinationFolders[0] = dir_->Path().string();
        emit menu->aboutToShow();
        QCOMPARE(menu->Item(res::kCmdCopyToClipboard)->text(), QStringLiteral("コピー(&C)"));
        QCOMPARE(menu->Item(res::kCmdZoomFit)->text(), QStringLiteral("常に画面にあわせる(&F)"));
        QCOMPARE(menu->Item(res::kCmdProperties)->text(), QStringLiteral("プロパティ(&R)..."));
        QCOMPARE(menu->Item(res::kCmdDestinations[0])->text(),
                 frame.Action(res::kCmdDestinations[0])->text());
        QVERIFY(!menu->Item(res::kCmdCopyToClipboard)->isEnabled());
        QVERIFY(!menu->Item(res::kCmdProperties)->isEnabled());
        QVERIFY(menu->Item(res::kCmdDestinationFolders)->isEnabled());

        WriteBmp(*dir_ / "a.bmp", 24);
        QVERIFY(app_->Document().OpenImageFile((*dir_ / "a.bmp").string()));
        emit menu->aboutToShow();
        QVERIFY(menu->Item(res::kCmdCopyToClipboard)->isEnabled());
        QVERIFY(menu->Item(res::kCmdProperties)->isEnabled());
        QVERIFY(menu->Item(res::kCmdZoomShrink)->isChecked());
        QVERIFY(menu->Item(res::kCmdZoomShrink)->actionGroup()->isExclusive()); // radio marks
        menu->Item(res::kCmdZoomFit)->trigger(); // routed like the main menu's item
        QCOMPARE(app_->Settings().options.rate, 0.0f);

        // The window system's request (a right-button press, the Menu key) opens it.
        bool shown = false;
        WhenPopupOpens([&shown, menu](QWidget* popup) {
            shown = popup == menu;
            popup->close();
        });
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(20, 20), app_->View()->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(app_->View()->viewport(), &request);
        QVERIFY(shown);
    }

    void propertiesDialogShowsTheFile() {
        const fs::path file = *dir_ / "p.bmp";
        WriteBmp(file, 8);
        QVERIFY(app_->Document().OpenImageFile(file.string()));
        QString caption;
        QStringList fields;
        WhenPopupOpens([&](QWidget* dialog) {
            caption = dialog->windowTitle();
            for (int id : {res::kPropertiesFolder, res::kPropertiesPixels, res::kPropertiesColours,
                           res::kPropertiesType, res::kPropertiesTaken}) {
                fields << qobject_cast<QLineEdit*>(FindControl(*dialog, id))->text();
            }
            qobject_cast<QDialog*>(dialog)->accept();
        });
        app_->MainFrame()->Commands().Execute(res::kCmdProperties);
        QCOMPARE(caption, QStringLiteral("p.bmp のプロパティ"));
        QCOMPARE(fields.mid(0, 3), (QStringList{QString::fromStdString(dir_->Path().string()),
                                                QStringLiteral("3 x 2 ピクセル"),
                                                QStringLiteral("8 ビット (256 色)")}));
        QVERIFY(!fields[3].isEmpty() && fields[3] == fields[3].trimmed());
        QCOMPARE(fields[4], QStringLiteral("不明")); // a bitmap records no camera
    }

    void foldersOpenInTheFileManagerOnlyWhenTheyExist() {
        CMainFrame& frame = *app_->MainFrame();
        frame.UpdateCommandUi();
        QVERIFY(!frame.Action(res::kCmdExploreSource)->isEnabled());
        QVERIFY(!frame.Action(res::kCmdExploreFirst + 2)->isEnabled());
        const fs::path kept = *dir_ / "kept";
        fs::create_directory(kept);
        app_->Settings().destinationFolders[2] = kept.string();
        frame.UpdateCommandUi();
        QVERIFY(frame.Action(res::kCmdExploreFirst + 2)->isEnabled());
        frame.Commands().Execute(res::kCmdExploreFirst + 2);
        QCOMPARE(opened_, std::vector<std::string>{kept.string()});

        fs::remove(kept);
        QString message;
        WhenPopupOpens([&message](QWidget* box) {
            message = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            box->close();
        });
        frame.Commands().Execute(res::kCmdExploreFirst + 2);
        QCOMPARE(message, QString::fromStdString(kept.string() + " が開けません。"));
        QCOMPARE(opened_.size(), std::size_t(1));

        // The toolbar's button drops down the same submenu as the main menu's.
        frame.Commands().Execute(res::kCmdExplorerMenu);
        auto* dropDown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(dropDown != nullptr && dropDown->actions().contains(frame.Action(res::kCmdExploreSource)));
        dropDown->close();
    }

private:
    std::vector<std::string> opened_;
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<CPirelaApp> app_;
};

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
