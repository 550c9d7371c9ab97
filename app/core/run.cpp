#include "app/core/run.h"

#include <csignal>
#include <new>

#include "app/core/block_store.h"
#include "app/core/statics.h"
#include "app/core/world_reader.h"
#include "toolkit/exceptions.h"

namespace {
void Run(TRunHost& host, const std::string& baseDir) {
  host.ClearLog();
  TProgressSink& total = host.TotalGauge();
  const int entries = host.EntryCount();
  total.SetMinValue(0);
  total.SetMaxValue(entries + 1);
  total.SetProgress(0);

  TBlockStore store;
  int64_t items = 0;
  for (int i = 0; i < entries; ++i) {
    if (!host.EntrySelected(i)) continue;
    const std::string name = host.EntryName(i);
    host.Log("");
    host.Log("Loading ... " + name);
    TS_StringList& lines = host.Lines();
    // The previous file's text goes before the next is read, so two are never held at once.
    lines.Clear();
    lines.LoadFromFile(host.EntryPath(i, baseDir));
    host.Log("Parsing ... " + name);
    const TWorldFileResult read = ReadWorldFile(lines, store, host.StepGauge());
    host.Log("The Worldfile contains ... " + std::to_string(read.Taken) + " Items");
    if (read.Skipped > 0) host.Log("Skipped " + std::to_string(read.Skipped) + " items outside the map");
    items += read.Taken;
    total.AddProgress(1);
  }
  if (items == 0) {
    host.Log("No items found");
    return;
  }
  // A Yes writes nothing yet: the freeze then starts from empty statics and replaces the old files
  // only once the new pair is complete, so a failed freeze leaves the statics as they were.
  const bool clear = host.AskYesNo(SClearStatics);
  if (clear) {
    host.Log("");
    host.Log("Clean statics....");
    CheckClearStatics(host.IndexPath(), host.DataPath());
    host.AppendToLastLine(" OK");
  }
  host.Log("");
  host.Log("Start freezing....");
  if (clear)
    ClearAndFreezeStatics(store, host.IndexPath(), host.DataPath(), host.StepGauge());
  else
    FreezeStatics(store, host.IndexPath(), host.DataPath(), host.StepGauge());
  total.AddProgress(1);
  host.AppendToLastLine(" OK");
  host.Log("Process finished");
}
}  // namespace

void RunFreeze(TRunHost& host, const std::string& baseDir) {
  try {
    Run(host, baseDir);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();  // the store is gone by now
  }
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }
