// The thumbnail grid as a widget: thumbnails painted where their cells stand once the workers
// made them, keys and clicks moving and extending the choice, Return and a double click opening.
#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "ui/CThumbnailGrid.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace pirela;

namespace {

constexpr int kBox = 64;
constexpr int kPhotos = 30;

// Photos of one flat colour each: red for even, blue for odd positions.
std::vector<std::string> WriteShoot(const test::TempDir& dir) {
    std::vector<std::string> paths;
    for (int i = 0; i < kPhotos; ++i) {
        test::Samples flat{120, 80, 3, {}};
        for (int p = 0; p < 120 * 80; ++p) {
            flat.data.insert(flat.data.end(),
                             {std::uint8_t(i % 2 ? 20 : 230), 30, std::uint8_t(i % 2 ? 230 : 20)});
        }
        paths.push_back((dir / ("p" + std::to_string(100 + i) + ".jpg")).string());
        test::WriteJpeg(paths.back(), flat, false);
    }
    return paths;
}

CThumbnailGrid::TextOf NamesOf(const std::vector<std::string>& paths) {
    return [paths](int index) {
        return QString::fromStdString(std::filesystem::path(paths[index]).filename().string());
    };
}

} // namespace

class ThumbnailGridTest : public QObject {
    Q_OBJECT
private slots:
    void paintsThumbnailsAndMovesTheChoice() {
        test::TempDir dir;
        const std::vector<std::string> paths = WriteShoot(dir);
        CThumbnailGrid grid(ThumbnailCache(dir / "cache", "pirela-test"), kBox, 16 << 20);
        grid.resize(600, 300);
        grid.show();
        grid.SetList(paths, NamesOf(paths), 3);
        grid.SetActive(true);
        const int columns = grid.Layout().Columns();
        QVERIFY(columns >= 4);
        QTRY_COMPARE_WITH_TIMEOUT(grid.Provider().CellAt(3).state,
                                  ThumbnailProvider::CellState::Ready, 30000);
        const QImage shown = grid.viewport()->grab().toImage();
        const QRect cell = grid.CellRect(3); // an odd position: blue
        const QColor middle = shown.pixelColor(cell.center().x(), cell.top() + 8 + kBox / 2);
        QVERIFY2(middle.blue() > 150 && middle.red() < 100, qPrintable(middle.name()));

        QSignalSpy moved(&grid, &CThumbnailGrid::CurrentChanged);
        QSignalSpy opened(&grid, &CThumbnailGrid::Activated);
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(moved.takeLast().at(0).toInt(), 4);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid.Selection().SelectedCount(), columns + 1);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(opened.takeLast().at(0).toInt(), 4 + columns);
        QTest::keyClick(&grid, Qt::Key_End);
        QCOMPARE(grid.Current(), kPhotos - 1);
        QVERIFY(grid.verticalScrollBar()->value() > 0); // the last cell scrolled into sight
        QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(grid.Selection().SelectedCount(), kPhotos);
        grid.SetCurrent(0);
        QCOMPARE(grid.verticalScrollBar()->value(), 0);
        QCOMPARE(grid.Selection().SelectedCount(), 1);
    }
};

QTEST_MAIN(ThumbnailGridTest)
#include "ThumbnailGridTest.moc"
