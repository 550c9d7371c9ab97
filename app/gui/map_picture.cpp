#include "app/gui/map_picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/statics_format.h"

namespace mirnax {

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("mirnax::MapPicture", text); }
const char* const SStaticsNow = QT_TRANSLATE_NOOP("mirnax::MapPicture", "Statics now");
const char* const SNewItems = QT_TRANSLATE_NOOP("mirnax::MapPicture", "New items");
const char* const SOutside = QT_TRANSLATE_NOOP("mirnax::MapPicture", "Items outside the map: %1");

// Whether each block holds statics, by the index as it is; blocks past its end hold none.
std::vector<bool> BlocksWithStatics(const std::string& indexPath, const TMapSize& map) {
  std::vector<bool> held(static_cast<size_t>(map.BlockCount()), false);
  QFile file(QString::fromStdString(indexPath));
  if (!file.open(QIODevice::ReadOnly)) return held;
  const QByteArray bytes = file.read(map.IndexFileSize());
  const int32_t entries = static_cast<int32_t>(bytes.size() / IndexEntrySize);
  for (int32_t block = 0; block < entries; ++block)
    held[static_cast<size_t>(block)] =
        HasStatics(DecodeIndexEntry(reinterpret_cast<const uint8_t*>(bytes.constData()) + block * IndexEntrySize));
  return held;
}

QPoint BlockAt(const TMapSize& map, int32_t block) { return {map.ColumnOf(block), map.RowOf(block)}; }

// Whole blocks per pixel (QPoint's own division rounds).
QPoint Scaled(const QPoint& blocks, int scale) { return {blocks.x() / scale, blocks.y() / scale}; }

QPoint PixelOf(const TMapSize& map, int32_t block, int scale) { return Scaled(BlockAt(map, block), scale); }

// Draws the blocks of area into rect, pixels a block: statics grey, new items in their colour.
void DrawCloseUp(QPainter& p, const QRect& rect, const QRect& area, int pixels, const std::vector<bool>& held,
                 const TBlockStore& store) {
  const TMapSize& map = store.Map();
  p.fillRect(rect, QColor::fromRgb(TMapPictureColours::Ground));
  for (int x = area.left(); x <= area.right(); ++x)
    for (int y = area.top(); y <= area.bottom(); ++y) {
      const int32_t block = x * map.BlockRows() + y;
      const QRgb colour = store.Count(block) > 0       ? TMapPictureColours::NewItems
                          : held[static_cast<size_t>(block)] ? TMapPictureColours::Statics
                                                             : TMapPictureColours::Ground;
      if (colour != TMapPictureColours::Ground)
        p.fillRect(QRect(rect.topLeft() + (QPoint(x, y) - area.topLeft()) * pixels, QSize(pixels, pixels)),
                   QColor::fromRgb(colour));
    }
}
}  // namespace

QRect MapPictureCloseUp(const TBlockStore& store) {
  const TMapSize& map = store.Map();
  QRect blocks;
  for (int32_t block = 0; block < map.BlockCount(); ++block)
    if (store.Count(block) > 0) blocks |= QRect(BlockAt(map, block), QSize(1, 1));
  if (blocks.isEmpty()) return {};
  blocks.adjust(-MapPictureCloseUpMargin, -MapPictureCloseUpMargin, MapPictureCloseUpMargin, MapPictureCloseUpMargin);
  blocks &= QRect(0, 0, map.BlockColumns(), map.BlockRows());
  // A close-up of fewer pixels a block than the map's own would show nothing more.
  if (MapPictureCloseUpPixels(blocks) <= 1) return {};
  return blocks;
}

int MapPictureCloseUpPixels(const QRect& blocks) {
  if (blocks.isEmpty()) return 0;
  const int side = std::max(blocks.width(), blocks.height());
  return std::min(MapPictureCloseUpScale, MapPictureCloseUpSide / side);
}

int MapPictureScale(const TMapSize& map) {
  const int longest = std::max(map.BlockColumns(), map.BlockRows());
  return std::max(1, (longest + MapPictureSide - 1) / MapPictureSide);
}

QSize MapPictureMapSize(const TMapSize& map) {
  const int scale = MapPictureScale(map);
  return {(map.BlockColumns() + scale - 1) / scale, (map.BlockRows() + scale - 1) / scale};
}

QImage MapPicture(const std::string& indexPath, const TBlockStore& store, int64_t outside) {
  const TMapSize& map = store.Map();
  const int scale = MapPictureScale(map);
  const QSize mapSize = MapPictureMapSize(map);

  QStringList legend{Tr(SStaticsNow), Tr(SNewItems)};
  if (outside > 0) legend << Tr(SOutside).arg(outside);
  const QFont font;
  const QFontMetrics metrics(font);
  const int line = metrics.height() + 2;
  int legendWidth = 0;
  for (const QString& text : legend) legendWidth = std::max(legendWidth, line + metrics.horizontalAdvance(text) + 4);

  const QRect area = MapPictureCloseUp(store);
  const int pixels = MapPictureCloseUpPixels(area);
  const QRect closeUp(mapSize.width() + 4, 0, area.width() * pixels, area.height() * pixels);
  const int top = std::max(mapSize.height(), closeUp.height());
  QImage image(std::max(area.isEmpty() ? mapSize.width() : closeUp.right() + 1, legendWidth),
               top + 4 + line * static_cast<int>(legend.size()), QImage::Format_RGB32);
  image.fill(TMapPictureColours::Legend);
  QPainter p(&image);
  p.fillRect(QRect(QPoint(0, 0), mapSize), QColor::fromRgb(TMapPictureColours::Ground));

  const std::vector<bool> held = BlocksWithStatics(indexPath, map);
  for (int32_t block = 0; block < map.BlockCount(); ++block)
    if (held[static_cast<size_t>(block)])  // through the painter: setPixel would detach the image from it
      p.fillRect(QRect(PixelOf(map, block, scale), QSize(1, 1)), QColor::fromRgb(TMapPictureColours::Statics));
  const QRect mapRect(QPoint(0, 0), mapSize);
  for (int32_t block = 0; block < map.BlockCount(); ++block) {
    if (store.Count(block) == 0) continue;
    const QPoint at = PixelOf(map, block, scale);
    const QRect mark(at - QPoint(MapPictureMark / 2, MapPictureMark / 2), QSize(MapPictureMark, MapPictureMark));
    p.fillRect(mark & mapRect, QColor::fromRgb(TMapPictureColours::NewItems));
  }

  if (!area.isEmpty()) {
    DrawCloseUp(p, closeUp, area, pixels, held, store);
    // Where the close-up lies on the map.
    p.setPen(QColor::fromRgb(TMapPictureColours::Legend));
    const QRect framed(Scaled(area.topLeft(), scale), Scaled(area.bottomRight(), scale));
    p.drawRect(framed.adjusted(-1, -1, 1, 1));
  }

  const QRgb swatches[] = {TMapPictureColours::Statics, TMapPictureColours::NewItems};
  p.setFont(font);
  p.setPen(Qt::black);
  for (int i = 0; i < legend.size(); ++i) {
    const int y = top + 4 + i * line;
    if (i < 2) p.fillRect(QRect(2, y + 2, line - 6, line - 6), QColor::fromRgb(swatches[i]));
    p.drawText(QRect(line, y, image.width() - line, line), Qt::AlignLeft | Qt::AlignVCenter, legend[i]);
  }
  return image;
}

}  // namespace mirnax
