#include "demo/gallery/gallery_pages.h"

std::vector<TGalleryPage> GalleryPages() {
  return {
      {"gauge", "Gauge", MakeGaugePage},
      {"zip", "Zip", MakeZipPage},
  };
}
