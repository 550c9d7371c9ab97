#include "demo/gallery/gallery_pages.h"

#include <QtGlobal>

std::vector<TGalleryPage> GalleryPages() {
  return {
      {"gauge", QT_TRANSLATE_NOOP("Gallery", "Gauge"), MakeGaugePage},
      {"memo", QT_TRANSLATE_NOOP("Gallery", "Memo"), MakeMemoPage},
      {"calendar", QT_TRANSLATE_NOOP("Gallery", "Calendar"), MakeCalendarPage},
      {"colorgrid", QT_TRANSLATE_NOOP("Gallery", "Colour grid"), MakeColorGridPage},
      {"outline", QT_TRANSLATE_NOOP("Gallery", "Directory outline"), MakeOutlinePage},
      {"graph", QT_TRANSLATE_NOOP("Gallery", "Performance graph"), MakeGraphPage},
      {"zip", QT_TRANSLATE_NOOP("Gallery", "Zip"), MakeZipPage},
  };
}
