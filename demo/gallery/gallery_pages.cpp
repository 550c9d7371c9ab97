#include "demo/gallery/gallery_pages.h"

std::vector<TGalleryPage> GalleryPages() {
  return {
      {"gauge", "Gauge", MakeGaugePage},
      {"memo", "Memo", MakeMemoPage},
  };
}
