#include "app/gui/form1_layout.h"

#include <algorithm>
#include <iterator>

namespace mirnax {

namespace {
// What a side of a control follows of the added width: nothing, the list's share, the log's
// share (the rest), or all of it.
enum TWidthShare { wNone, wList, wLog, wAll };

struct TGrowth {
  const char* Name;
  TWidthShare Left, Width;  // the left edge moves by, the width grows by
  bool Down, Taller;        // moves down by, grows by the added height
};

// The list and the log take the room; the rows above and below them stretch; the buttons keep
// their sizes and stay by their edges.
constexpr TGrowth Growth[] = {
    {"GroupBox2", wNone, wAll, false, false},  {"Edit1", wNone, wAll, false, false},
    {"Button1", wAll, wNone, false, false},    {"Edit2", wNone, wAll, false, false},
    {"Button2", wAll, wNone, false, false},    {"ListBox1", wNone, wList, false, true},
    {"Button6", wNone, wNone, true, false},    {"Button3", wNone, wNone, true, false},
    {"Button5", wNone, wNone, true, false},    {"GroupBox1", wList, wLog, false, true},
    {"Memo1", wNone, wLog, false, true},       {"CGauge1", wNone, wAll, true, false},
    {"Button4", wAll, wNone, true, false},     {"GroupBox3", wNone, wAll, true, false},
    {"CGauge2", wNone, wAll, false, false},
};

int Share(TWidthShare share, int width) {
  const int list = width / Form1ListShare;
  switch (share) {
    case wNone: return 0;
    case wList: return list;
    case wLog: return width - list;
    case wAll: return width;
  }
  return 0;
}
}  // namespace

bool Form1Grows(const QString& name) {
  return std::any_of(std::begin(Growth), std::end(Growth), [&](const TGrowth& g) { return name == QLatin1String(g.Name); });
}

QRect Form1GrownRect(const QString& name, const QRect& part, const QSize& extra) {
  for (const TGrowth& g : Growth) {
    if (name != QLatin1String(g.Name)) continue;
    const int dh = extra.height();
    return {part.x() + Share(g.Left, extra.width()), part.y() + (g.Down ? dh : 0),
            part.width() + Share(g.Width, extra.width()), part.height() + (g.Taller ? dh : 0)};
  }
  return part;
}

}  // namespace mirnax
