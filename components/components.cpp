#include "components/components.h"

#include "controls/gauge/cgauge.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "controls/samples/ccalendar.h"
#include "controls/samples/ccolorgrid.h"
#include "controls/samples/cdirectory_outline.h"
#include "controls/samples/performance_graph.h"
#include "mirnax/version.h"
#include "zip/zip_builder.h"

const char* mirnax::LibraryVersion() { return MIRNAX_VERSION; }

void mirnax::RegisterAll() {
  cgauge::Register();
  jumpmemo::Register();
  ccalendar::Register();
  ccolorgrid::Register();
  cdirectory_outline::Register();
  performance_graph::Register();
  zip_builder::Register();
}
