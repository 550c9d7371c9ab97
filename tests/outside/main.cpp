// Shows a gauge, a memo and a calendar from the installed component library and checks that they
// painted; zips a file and makes the archive self-extracting with DLLDirectory and SFXPath empty,
// so that the archive libraries and the stub must be found where the library is installed.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "components/components.h"
#include "controls/gauge/cgauge.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "controls/samples/ccalendar.h"
#include "mirnax/version.h"
#include "toolkit/core/dateutils.h"
#include "toolkit/core/palette.h"
#include "zip/zip_builder.h"

using mirnax::LibraryVersion;
using mirnax::PaletteEntries;
using mirnax::RegisterAll;
using mirnax::TCCalendar;
using mirnax::TCGauge;
using mirnax::TJumpMemo;
using mirnax::TZipBuilder;

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

// A file zipped, then the archive made self-extracting; false (with the component's message)
// when a step fails.
bool ZipAndConvert() {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  QFile file(dir.filePath("note.txt"));
  if (!file.open(QIODevice::WriteOnly) || file.write("a note\n") != 7) return false;
  file.close();
  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.SetHowToDelete(mirnax::htdFinal);
  zip.SetZipFileName(folder + "/notes.zip");
  zip.FSpecArgs().Add(folder + "/note.txt");
  zip.Add();
  if (zip.SuccessCnt() != 1) {
    std::fprintf(stderr, "zip Add: %d added, error %d: %s\n", zip.SuccessCnt(), zip.ErrCode(), zip.Message().c_str());
    return false;
  }
  if (zip.ConvertSFX() != 0) {
    std::fprintf(stderr, "ConvertSFX: error %d: %s\n", zip.ErrCode(), zip.Message().c_str());
    return false;
  }
  std::printf("zipped with version %d of the library, stub %s\n", zip.GetZipVers(), zip.SFXPath().c_str());
  return QFile::exists(dir.filePath("notes.exe"));
}
// A program's own gauge: its type information refers to the library's, which must be exported.
class TLabelledGauge : public TCGauge {
 public:
  using TCGauge::TCGauge;
};

// An error the library raises is caught by its class here, and a widget of ours is told apart.
bool TypesCrossTheLibrary(QWidget& parent) {
  QWidget* gauge = new TLabelledGauge(&parent);
  if (dynamic_cast<TCGauge*>(gauge) == nullptr) return false;
  try {
    mirnax::EncodeDate(2024, 13, 1);
  } catch (const mirnax::EConvertError&) {
    return true;
  }
  return false;
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
  auto* calendar = new TCCalendar;
  calendar->SetUseCurrentDate(false);
  calendar->SeTCCalendarDate(mirnax::EncodeDate(2024, 2, 1));
  layout->addWidget(gauge);
  layout->addWidget(memo);
  layout->addWidget(calendar);
  if (!TypesCrossTheLibrary(window)) {
    std::fprintf(stderr, "a class of the library is not known as such outside it\n");
    return 1;
  }
  window.resize(300, 400);
  window.show();
  QApplication::processEvents();

  // Each Register may run again (a second plugin, a second call): the palette keeps one entry per class.
  mirnax::RegisterAll();
  mirnax::RegisterAll();
  const int gaugeColours = Colours(*gauge), memoColours = Colours(*memo), calendarColours = Colours(*calendar);
  std::printf("calendar %d-%02d-%02d (%d colours)\n", calendar->Year(), calendar->Month(), calendar->Day(),
              calendarColours);
  const bool zipped = ZipAndConvert();
  std::printf("gauge %d%% (%d colours), memo with %zu jump(s) (%d colours), %zu components on the palette\n",
              gauge->GetPercentDone(), gaugeColours, memo->Jumps().size(), memoColours, PaletteEntries().size());
  return gauge->GetPercentDone() == 40 && gaugeColours > 2 && memo->Jumps().size() == 1 && memoColours > 2 &&
                 calendar->Month() == 2 && calendarColours > 2 && zipped && PaletteEntries().size() == 7
             ? 0
             : 1;
}
