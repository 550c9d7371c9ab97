// The unfreeze: the statics that stand in an area of the map, written out as a world file.
#pragma once

#include <string>

#include "app/core/map.h"
#include "app/core/run.h"

namespace mirnax {

struct TUnfreezeRequest {
  std::string IndexPath;
  std::string DataPath;
  TMapSize Map;
  TMapArea Area;
  std::string OutPath;  // the world file written
  bool Force = false;   // an existing world file may be replaced
  bool KeepBackup = true;  // the statics replaced are kept as "<file>.bak" (an unfreeze only)
};

// --unfreeze --copy: settles an interrupted freeze of the pair as a freeze does, then, under the
// pair's lock, reads the statics that stand in the area (every entry of its blocks checked as a
// freeze checks it) and writes them as world items to OutPath, whole or not at all (a side file
// renamed into place), leaving the pair as it is. OutPath is replaced only with Force: otherwise
// an existing file is refused before anything is read. Logs through host what it found and did;
// raises the toolkit's exceptions.
void CopyAreaStatics(const TUnfreezeRequest& request, TRunHost& host);

// --unfreeze: the same world file, and the statics written to it taken out of the pair, as one
// transaction of the freeze's kind (UnfreezeStatics, freeze.h): lock, journal, settling after a
// kill, backup and --undo, free-space check, owner kept. The statics that cannot be placed again
// stay in the pair and are counted in the log. An area where no statics stand changes nothing.
void UnfreezeArea(const TUnfreezeRequest& request, TRunHost& host);

}  // namespace mirnax
