#include "app/core/run.h"

#include <csignal>
#include <new>

#include "app/core/block_store.h"
#include "app/core/statics.h"
#include "app/core/world_reader.h"
#include "toolkit/exceptions.h"
#include "toolkit/fileio.h"

namespace {
void Run(const TRunRequest& request, TRunHost& host) {
  host.ClearLog();
  TProgressSink& total = host.TotalGauge();
  total.Begin(static_cast<int32_t>(request.WorldFiles.size()) + request.Unchosen + 1);

  TBlockStore store;
  int64_t items = 0;
  for (const TRunRequest::TWorldFile& file : request.WorldFiles) {
    host.Log("");
    host.Log("Loading ... " + file.Name);
    TWorldFileResult read;
    if (TS_StringList* lines = host.Lines()) {
      // The previous file's text goes before the next is read, so two are never held at once.
      lines->Clear();
      lines->LoadFromFile(file.Path);
      host.Log("Parsing ... " + file.Name);
      read = ReadWorldFile(*lines, store, host.StepGauge());
      // Read: nothing of the run needs the text any more, and the freeze's memory comes on top.
      lines->Clear();
    } else {
      // Nobody shows the text: it is parsed as it is read.
      TFileStream stream(file.Path, fmOpenRead);
      host.Log("Parsing ... " + file.Name);
      read = ReadWorldFile(stream, store, host.StepGauge());
    }
    host.Log("The Worldfile contains ... " + std::to_string(read.Taken) + " Items");
    if (read.Skipped > 0) host.Log("Skipped " + std::to_string(read.Skipped) + " items outside the map");
    items += read.Taken;
    total.Add(1);
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
    CheckClearStatics(request.IndexPath, request.DataPath);
    host.AppendToLastLine(" OK");
  }
  host.Log("");
  host.Log("Start freezing....");
  if (clear)
    ClearAndFreezeStatics(store, request.IndexPath, request.DataPath, host.StepGauge());
  else
    FreezeStatics(store, request.IndexPath, request.DataPath, host.StepGauge());
  total.Add(1);
  host.AppendToLastLine(" OK");
  host.Log(SProcessFinished);
}
}  // namespace

void RunFreeze(const TRunRequest& request, TRunHost& host) {
  try {
    Run(request, host);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();  // the store is gone by now
  }
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }
