// The map beside the clear question: statics now, new items in a second colour, items outside.
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/block_store.h"
#include "app/gui/map_picture.h"
#include "support/statics_builder.h"
#include "tests/support/file_helpers.h"

using mirnax::MapPicture;
using mirnax::MapPictureMapSize;
using mirnax::MapPictureScale;
using mirnax::TBlockStore;
using mirnax::TMapPictureColours;
using mirnax::TMapSize;

class MapPictureTest : public QObject {
  Q_OBJECT

 private slots:
  void scaleKeepsTheMapSmall_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QSize>("size");
    QTest::newRow("6144x4096") << 6144 << 4096 << 3 << QSize(256, 171);
    QTest::newRow("1024x1024: a pixel a block") << 1024 << 1024 << 1 << QSize(128, 128);
    QTest::newRow("2048x2048: just fits") << 2048 << 2048 << 1 << QSize(256, 256);
    QTest::newRow("2056x8") << 2056 << 8 << 2 << QSize(129, 1);
    QTest::newRow("32768x32768") << 32768 << 32768 << 16 << QSize(256, 256);
  }
  void scaleKeepsTheMapSmall() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, scale);
    QFETCH(QSize, size);
    const TMapSize map{width, height};
    QCOMPARE(MapPictureScale(map), scale);
    QCOMPARE(MapPictureMapSize(map), size);
  }

  void blocksAreDrawnWhereTheyAre_data() {
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<uint>("colour");
    // Default map, 3 blocks a pixel: statics in block (column 100, row 200), a new item at tile
    // (2400, 800), block (300, 100).
    QTest::newRow("statics now") << QPoint(33, 66) << uint(TMapPictureColours::Statics);
    QTest::newRow("new item") << QPoint(100, 33) << uint(TMapPictureColours::NewItems);
    QTest::newRow("new item's mark") << QPoint(101, 34) << uint(TMapPictureColours::NewItems);
    QTest::newRow("beyond the mark") << QPoint(104, 33) << uint(TMapPictureColours::Ground);
    QTest::newRow("the close-up's place, framed") << QPoint(98, 33) << uint(TMapPictureColours::Legend);
    // The close-up right of the map (256 + 4): blocks 297..303 x 97..103, 12 pixels a block.
    QTest::newRow("close-up: the new item") << QPoint(260 + 3 * 12, 3 * 12) << uint(TMapPictureColours::NewItems);
    QTest::newRow("close-up: its block's far corner") << QPoint(260 + 4 * 12 - 1, 4 * 12 - 1) << uint(TMapPictureColours::NewItems);
    QTest::newRow("close-up: the next block") << QPoint(260 + 4 * 12, 3 * 12) << uint(TMapPictureColours::Ground);
    QTest::newRow("ground") << QPoint(200, 150) << uint(TMapPictureColours::Ground);
    QTest::newRow("the map's corner") << QPoint(0, 0) << uint(TMapPictureColours::Ground);
    QTest::newRow("under the map") << QPoint(200, 172) << uint(TMapPictureColours::Legend);
  }
  void blocksAreDrawnWhereTheyAre() {
    QFETCH(QPoint, pixel);
    QFETCH(uint, colour);
    QTemporaryDir dir;
    std::string index = mirnax::support::EmptyIndex();
    mirnax::support::SetIndexEntry(index, 100 * 512 + 200, 0, 7);
    const std::string path = dir.filePath("staidx0.mul").toStdString();
    mirnax::support::WriteBytes(path, mirnax::support::Bytes(index));
    TBlockStore store;
    store.Append(store.Map().BlockOf(2400, 800), {});
    const QImage picture = MapPicture(path, store, 0);
    QCOMPARE(picture.pixel(pixel), QRgb(colour));
  }

  void closeUpShowsTheNewItemsArea_data() {
    QTest::addColumn<QList<QPoint>>("tiles");
    QTest::addColumn<QRect>("blocks");
    QTest::addColumn<int>("pixels");
    QTest::newRow("none") << QList<QPoint>{} << QRect() << 0;
    QTest::newRow("one item") << QList<QPoint>{{2400, 800}} << QRect(297, 97, 7, 7) << 12;
    QTest::newRow("the demo's three objects") << QList<QPoint>{{1431, 1700}, {1434, 1726}, {1466, 1704}}
                                             << QRect(175, 209, 12, 10) << 12;
    QTest::newRow("by the map's edge") << QList<QPoint>{{0, 0}} << QRect(0, 0, 4, 4) << 12;
    QTest::newRow("far apart: no close-up") << QList<QPoint>{{0, 0}, {6000, 4000}} << QRect() << 0;
  }
  void closeUpShowsTheNewItemsArea() {
    QFETCH(QList<QPoint>, tiles);
    QFETCH(QRect, blocks);
    QFETCH(int, pixels);
    TBlockStore store;
    for (const QPoint& t : tiles) store.Append(store.Map().BlockOf(t.x(), t.y()), {});
    QCOMPARE(mirnax::MapPictureCloseUp(store), blocks);
    QCOMPARE(mirnax::MapPictureCloseUpPixels(blocks), pixels);
  }

  void anIndexThatCannotBeReadShowsNoStatics() {
    TBlockStore store;
    const QImage picture = MapPicture("/nonexistent/staidx0.mul", store, 0);
    const QSize map = MapPictureMapSize(store.Map());
    for (int y = 0; y < map.height(); y += 7)
      for (int x = 0; x < map.width(); x += 5) QCOMPARE(picture.pixel(x, y), TMapPictureColours::Ground);
  }

  void itemsOutsideTheMapAddALine() {
    TBlockStore store;
    const QImage without = MapPicture("", store, 0);
    const QImage with = MapPicture("", store, 12);
    QVERIFY(with.height() > without.height());
    QCOMPARE(with.copy(QRect(QPoint(0, 0), MapPictureMapSize(store.Map()))),
             without.copy(QRect(QPoint(0, 0), MapPictureMapSize(store.Map()))));
  }
};

QTEST_MAIN(MapPictureTest)
#include "map_picture_test.moc"
