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

QPoint PixelOf(const TMapSize& map, int32_t block, int scale) {
  return {block / map.BlockRows() / scale, block % map.BlockRows() / scale};
}
}  // namespace

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

  QImage image(std::max(mapSize.width(), legendWidth), mapSize.height() + 4 + line * static_cast<int>(legend.size()),
               QImage::Format_RGB32);
  image.fill(TMapPictureColours::Legend);
  QPainter p(&image);
  p.fillRect(QRect(QPoint(0, 0), mapSize), QColor::fromRgb(TMapPictureColours::Ground));

  const std::vector<bool> held = BlocksWithStatics(indexPath, map);
  for (int32_t block = 0; block < map.BlockCount(); ++block)
    if (held[static_cast<size_t>(block)]) image.setPixel(PixelOf(map, block, scale), TMapPictureColours::Statics);
  const QRect mapRect(QPoint(0, 0), mapSize);
  for (int32_t block = 0; block < map.BlockCount(); ++block) {
    if (store.Count(block) == 0) continue;
    const QPoint at = PixelOf(map, block, scale);
    const QRect mark(at - QPoint(MapPictureMark / 2, MapPictureMark / 2), QSize(MapPictureMark, MapPictureMark));
    p.fillRect(mark & mapRect, QColor::fromRgb(TMapPictureColours::NewItems));
  }

  const QRgb swatches[] = {TMapPictureColours::Statics, TMapPictureColours::NewItems};
  p.setFont(font);
  p.setPen(Qt::black);
  for (int i = 0; i < legend.size(); ++i) {
    const int top = mapSize.height() + 4 + i * line;
    if (i < 2) p.fillRect(QRect(2, top + 2, line - 6, line - 6), QColor::fromRgb(swatches[i]));
    p.drawText(QRect(line, top, image.width() - line, line), Qt::AlignLeft | Qt::AlignVCenter, legend[i]);
  }
  return image;
}

}  // namespace mirnax
