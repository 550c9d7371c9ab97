// Shows a gauge and a memo from the installed component library and checks that both painted.
#include <QApplication>
#include <QImage>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "components/components.h"
#include "controls/gauge/cgauge.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "mirnax/version.h"
#include "toolkit/core/palette.h"

using mirnax::LibraryVersion;
using mirnax::PaletteEntries;
using mirnax::RegisterAll;
using mirnax::TCGauge;
using mirnax::TJumpMemo;

namespace {
// Distinct colours in the widget's picture: a blank widget has one or two.
int Colours(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  QList<QRgb> seen;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!seen.contains(image.pixel(x, y)) && seen.size() < 16) seen.append(image.pixel(x, y));
  return static_cast<int>(seen.size());
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (std::strcmp(mirnax::LibraryVersion(), MIRNAX_VERSION) != 0) {
    std::fprintf(stderr, "headers %s, library %s\n", MIRNAX_VERSION, mirnax::LibraryVersion());
    return 1;
  }
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* gauge = new TCGauge;
  gauge->SetProgress(40);
  auto* memo = new TJumpMemo;
  memo->Add("Plain text, then a ~jump to follow.");
  layout->addWidget(gauge);
  layout->addWidget(memo);
  window.resize(300, 200);
  window.show();
  QApplication::processEvents();

  // Each Register may run again (a second plugin, a second call): the palette keeps one entry per class.
  mirnax::RegisterAll();
  mirnax::RegisterAll();
  const int gaugeColours = Colours(*gauge), memoColours = Colours(*memo);
  std::printf("gauge %d%% (%d colours), memo with %zu jump(s) (%d colours), %zu components on the palette\n",
              gauge->GetPercentDone(), gaugeColours, memo->Jumps().size(), memoColours, PaletteEntries().size());
  return gauge->GetPercentDone() == 40 && gaugeColours > 2 && memo->Jumps().size() == 1 && memoColours > 2 &&
                 PaletteEntries().size() == 7
             ? 0
             : 1;
}
