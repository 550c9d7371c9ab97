#include "app/core/world_files.h"

#include <algorithm>
#include <string_view>

#include "app/core/map_size.h"
#include "app/core/run_texts.h"
#include "app/core/world_reader.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The first bytes of a file as they go by, enough to tell a byte-order mark.
struct TFileStart {
  std::string Bytes;
  void Add(std::string_view piece) {
    if (Bytes.size() < 2) Bytes += piece.substr(0, 2 - Bytes.size());
  }
  // Windows' editors save "Unicode" text with a mark: FF FE (little-endian) or FE FF.
  bool LooksLikeUtf16() const { return Bytes == "\xFF\xFE" || Bytes == "\xFE\xFF"; }
};

// Reads one world file into store; sum gets the size and checksum of the bytes read, summed as
// they go by, and start its first bytes.
TWorldFileResult ReadOne(const TRunRequest::TWorldFile& file, TWorldFilter filter, TBlockStore& store,
                         TRunHost& host, TFileSummer& sum, TFileStart& start) {
  const TPieceWatch summed = [&sum, &start](std::string_view piece) {
    sum.Add(piece.data(), piece.size());
    start.Add(piece);
  };
  TFileStream stream(file.Path, fmOpenRead);
  host.Log(RunText(SParsing) + file.Name);
  return ReadWorldFile(stream, store, host.StepGauge(), summed, filter);
}
}  // namespace

TFrozenWorlds::TFrozenWorlds(const TStaticsPair& pair, bool warnAgain)
    : before_(pair.FrozenRecord.empty() ? std::vector<TFrozenWorld>() : ReadFrozenWorlds(pair.FrozenRecord)),
      warnAgain_(warnAgain) {}

bool TFrozenWorlds::WantsCrc32() const {
  return std::any_of(before_.begin(), before_.end(), [](const TFrozenWorld& w) { return !w.Sum.Xxh3; });
}

void TFrozenWorlds::Read(const TRunRequest::TWorldFile& file, const TFileSum& sum, TRunHost& host) {
  if (const TFrozenWorld* before = Find(sum)) {
    const std::string said = Format(RunText(SFrozenBefore).c_str(), file.Name.c_str(), before->Date.c_str());
    host.Log(said);
    if (warnAgain_) host.FrozenAgain(said);
  }
  now_.push_back({sum, FrozenDateNow(), file.Name});
}

const TFrozenWorld* TFrozenWorlds::Find(const TFileSum& sum) const {
  for (const std::vector<TFrozenWorld>* list : {&before_, &now_})
    for (const TFrozenWorld& w : *list)
      if (SameFile(w.Sum, sum)) return &w;
  return nullptr;
}

int64_t ReadWorldFiles(const TRunRequest& request, TBlockStore& store, TRunHost& host, TFrozenWorlds& frozen,
                       TDuplicateCheck* duplicates, int64_t* outsideMap) {
  const TWorldFilter filter{request.Area ? &*request.Area : nullptr, duplicates};
  int64_t items = 0;
  for (const TRunRequest::TWorldFile& file : request.WorldFiles) {
    host.Log("");
    host.Log(RunText(SLoading) + file.Name);
    // A large file takes seconds to read: the step gauge shows none of it done meanwhile, not the
    // end of the previous step.
    host.StepGauge().Begin(0);
    TWorldFileResult read;
    TFileSummer sum(frozen.WantsCrc32());
    TFileStart start;
    try {
      read = ReadOne(file, filter, store, host, sum, start);
    } catch (const EPositionError& e) {
      host.Log(Format(RunText(SErrorInLine).c_str(), file.Name.c_str(), static_cast<long long>(e.Line)));
      throw;
    }
    host.Log(RunText(SWorldfileContains) + std::to_string(read.Taken) + RunText(SItems));
    // Such a file reads as no items at all; the log says why.
    if (start.LooksLikeUtf16()) host.Log(Format(RunText(SLooksLikeUtf16).c_str(), file.Name.c_str()));
    frozen.Read(file, sum.Sum(), host);
    if (read.Skipped > 0) host.Log(RunText(SSkipped) + std::to_string(read.Skipped) + RunText(SItemsOutside));
    if (read.OutsideArea > 0)
      host.Log(RunText(SLeftOut) + std::to_string(read.OutsideArea) + RunText(SItemsOutsideArea) +
               MapAreaText(*request.Area));
    if (read.Duplicates > 0)
      host.Log(RunText(SLeftOut) + std::to_string(read.Duplicates) + RunText(SDuplicatesLeftOut));
    items += read.Taken;
    if (outsideMap) *outsideMap += read.Skipped;
    host.TotalGauge().Add(1);
  }
  return items;
}

}  // namespace mirnax
