#include "toolkit/widgets/cursor_table.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace mirnax {

namespace {

constexpr int kCursorSize = 32;

Qt::CursorShape BuiltInShape(int index) {
  switch (index) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
  }
}

QImage BlankCursorImage() {
  QImage image(kCursorSize, kCursorSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// A hand pointing up with the index finger; the hot spot is the fingertip.
QCursor DrawHandCursor() {
  QImage image = BlankCursorImage();
  {
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    static const int outline[] = {8,  2,  9,  1,  10, 1,  11, 2,  11, 11, 12, 10, 13, 10, 14, 11, 14, 12,
                                  15, 11, 16, 11, 17, 12, 17, 13, 18, 12, 19, 12, 20, 13, 20, 21, 19, 23,
                                  18, 25, 17, 27, 10, 27, 9,  25, 5,  20, 3,  17, 3,  15, 4,  14, 5,  14, 8, 17};
    QPolygon hand;
    hand.setPoints(static_cast<int>(std::size(outline) / 2), outline);
    p.drawPolygon(hand);
    p.drawLine(14, 12, 14, 16);
    p.drawLine(17, 13, 17, 17);
  }
  return QCursor(QPixmap::fromImage(image), 9, 1);
}

// The arrow with a small framed picture below right of it; the hot spot is the arrow's tip.
QCursor DrawPictureCursor() {
  QImage image = BlankCursorImage();
  {
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    static const int arrow[] = {0, 0, 0, 15, 4, 11, 7, 17, 9, 16, 6, 10, 11, 10};
    QPolygon outline;
    outline.setPoints(static_cast<int>(std::size(arrow) / 2), arrow);
    p.drawPolygon(outline);
    p.drawRect(12, 14, 16, 13);
    p.setBrush(Qt::black);
    static const int hills[] = {13, 26, 18, 19, 21, 23, 23, 21, 27, 26};
    QPolygon land;
    land.setPoints(static_cast<int>(std::size(hills) / 2), hills);
    p.drawPolygon(land);
    p.drawEllipse(QPoint(24, 17), 1, 1);
  }
  return QCursor(QPixmap::fromImage(image), 0, 0);
}

}  // namespace

QCursor TCursorTable::Cursor(int index) const {
  const auto it = cursors_.find(index);
  return it != cursors_.end() ? it->second : QCursor(BuiltInShape(index));
}

void TCursorTable::Register(int index, const QCursor& cursor) {
  static bool cleanupHooked = false;
  if (!cleanupHooked && QCoreApplication::instance()) {
    // Pixmap cursors must go while the windowing system is still there.
    qAddPostRoutine([] {
      Cursors().cursors_.clear();
      cleanupHooked = false;
    });
    cleanupHooked = true;
  }
  cursors_[index] = cursor;
}

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

bool LoadCursorResource(const std::string& name, QCursor& cursor) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
  QCursor made;
  if (name == "HANDCURSOR2")
    made = DrawHandCursor();
  else if (name == "PICTCURSOR2")
    made = DrawPictureCursor();
  else
    return false;
  if (made.pixmap().isNull()) return false;
  cursor = made;
  return true;
}

int RegisterCursorResource(int index, const std::string& name) {
  QCursor cursor;
  if (!LoadCursorResource(name, cursor)) return crUpArrow;
  Cursors().Register(index, cursor);
  return index;
}

}  // namespace mirnax
