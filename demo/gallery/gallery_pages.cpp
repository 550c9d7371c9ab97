#include "demo/gallery/gallery_pages.h"

std::vector<TGalleryPage> GalleryPages() {
  return {
      {"gauge", "Gauge", MakeGaugePage},
      {"memo", "Memo", MakeMemoPage},
      {"calendar", "Calendar", MakeCalendarPage},
      {"colorgrid", "Colour grid", MakeColorGridPage},
      {"outline", "Directory outline", MakeOutlinePage},
      {"graph", "Performance graph", MakeGraphPage},
      {"zip", "Zip", MakeZipPage},
  };
}
