#include "app/core/statics_clear.h"

#include <cstdio>
#include <string>

#include "app/core/freeze_checks.h"
#include "app/core/statics_io.h"
#include "app/core/statics_lock.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

void ClearStatics(const TStaticsPair& pair, const TMapSize& map) {
  for (const std::string* path : {&pair.Index.Given, &pair.Data.Given})
    if (path->empty()) throw EFCreateError(Format(ExceptionText(SFCreateError).c_str(), ""));
  const TStaticsLock lock(pair);
  CheckClearStatics(pair);
  bool indexCleared = false;
  try {
    TSafeReplace newIndex(pair.Index.Given);
    TSafeReplace newData(pair.Data.Given);
    std::string empty(size_t(map.IndexFileSize()), '\0');
    TClearedIndexInput(pair.Index.Given, map).ReadAt(0, empty.data(), empty.size());
    newIndex.Write(empty);
    newData.Write(std::string_view());
    // An empty index with the old data is a valid pair on its own, so the index goes first.
    newIndex.Commit();
    indexCleared = true;
    newData.Commit();
    std::remove(pair.FrozenRecord.c_str());  // nothing is frozen into empty statics
  } catch (const EFCreateError&) {
    throw;  // raised before anything was moved
  } catch (Exception& e) {
    e.Message += "\n" + TrUtf8("mirnax::ClearStatics",
                               indexCleared ? QT_TRANSLATE_NOOP("mirnax::ClearStatics",
                                                                "The statics index file was cleared; the statics data "
                                                                "file was left as it was.")
                                            : QT_TRANSLATE_NOOP("mirnax::ClearStatics",
                                                                "The statics files were left as they were."));
    throw;
  }
}

}  // namespace mirnax
