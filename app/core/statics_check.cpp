#include "app/core/statics_check.h"

#include <algorithm>

#include "app/core/index_scan.h"
#include "app/core/run_texts.h"
#include "app/core/statics_format.h"
#include "app/core/statics_io.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// Faults of one kind beyond this many are only counted.
constexpr int64_t ShownPerKind = 10;
// The index is read this many entries at a time, the data in pieces of whole records.
constexpr int32_t ChunkEntries = 4096;
constexpr int64_t DataPiece = int64_t{StaticRecordSize} * 149796;  // just under a megabyte

// The bytes of the data file one entry with statics refers to.
struct TSpan {
  int64_t Offset;
  int64_t Length;
  int32_t Block;
};

// Faults of one kind: the first few described, all counted.
class TFaultKind {
 public:
  explicit TFaultKind(TStaticsCheck& check) : check_(check) {}
  ~TFaultKind() {
    if (count_ > ShownPerKind)
      check_.Faults.push_back(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "... and %lld more like it"),
                                        static_cast<long long>(count_ - ShownPerKind)));
  }
  void Add(const std::string& text) {
    ++check_.FaultCount;
    if (count_++ < ShownPerKind) check_.Faults.push_back(text);
  }

 private:
  TStaticsCheck& check_;
  int64_t count_ = 0;
};

// Every entry with statics that lies inside the data file, in block order; entries outside it are
// faults. Notes whether the blocks' data lies in block order.
std::vector<TSpan> ReadSpans(TStaticsInput& index, const TStaticsInput& data, TStaticsCheck& check) {
  std::vector<TSpan> spans;
  TFaultKind outside(check);
  std::vector<uint8_t> chunk(size_t{ChunkEntries} * IndexEntrySize);
  int64_t backwards = 0;  // blocks whose data lies before that of the block with statics before them
  size_t first = 0;       // the first of them, in spans
  for (int64_t b = 0; b < check.Entries; ++b) {
    const auto slot = static_cast<size_t>(b % ChunkEntries);
    if (slot == 0) {
      const int64_t n = std::min<int64_t>(ChunkEntries, check.Entries - b);
      index.ReadAt(b * IndexEntrySize, chunk.data(), static_cast<size_t>(n) * IndexEntrySize);
    }
    const StaticIndexEntry e = DecodeIndexEntry(chunk.data() + slot * IndexEntrySize);
    if (!HasStatics(e)) continue;
    try {
      CheckEntry(e, static_cast<int32_t>(b), index, data);
    } catch (const Exception& error) {
      outside.Add(error.Message);
      continue;
    }
    if (!spans.empty() && e.Offset < spans.back().Offset && backwards++ == 0) first = spans.size();
    spans.push_back({e.Offset, e.Length, static_cast<int32_t>(b)});
  }
  if (backwards > 0) {
    check.Notes.push_back(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                      "The data of the blocks is not in block order: %lld blocks have "
                                                      "their data before that of the previous block with "
                                                      "statics, the first of them block %d (before block %d). "
                                                      "A freeze writes them in order."),
                                    static_cast<long long>(backwards), spans[first].Block, spans[first - 1].Block));
  }
  return spans;
}

void CheckLengths(const std::vector<TSpan>& spans, TStaticsCheck& check) {
  TFaultKind lengths(check);
  for (const TSpan& s : spans) {
    if (s.Length % StaticRecordSize == 0) continue;
    lengths.Add(
        RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                    "Block %d has %lld bytes of statics, not a whole number of %d-byte records."),
                  s.Block, static_cast<long long>(s.Length), StaticRecordSize));
  }
}

// spans sorted by offset. Blocks that share bytes are faults; bytes no block refers to are noted.
void CheckOverlaps(const std::vector<TSpan>& spans, TStaticsCheck& check) {
  TFaultKind overlaps(check);
  int64_t end = 0;                 // the furthest byte referred to so far
  const TSpan* furthest = nullptr;  // the block that reaches it
  int64_t gaps = 0, unused = 0;
  for (const TSpan& s : spans) {
    if (furthest && s.Offset < end) {
      overlaps.Add(RunFormat(
          QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                            "Blocks %d and %d share data: bytes %lld to %lld of the data file belong to both."),
          furthest->Block, s.Block, static_cast<long long>(s.Offset),
          static_cast<long long>(std::min(end, s.Offset + s.Length) - 1)));
    } else if (s.Offset > end) {
      ++gaps;
      unused += s.Offset - end;
    }
    if (s.Offset + s.Length > end) {
      end = s.Offset + s.Length;
      furthest = &s;
    }
  }
  if (check.DataBytes > end) {
    ++gaps;
    unused += check.DataBytes - end;
  }
  if (gaps > 0)
    check.Notes.push_back(RunFormat(
        QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                          "%lld bytes of the data file, in %lld places, belong to no block. A freeze drops them."),
        static_cast<long long>(unused), static_cast<long long>(gaps)));
}

// Counts the statics of every block and checks that each lies inside its block (cell 0 to 7).
void CheckCells(const std::vector<TSpan>& spans, TStaticsInput& data, TStaticsCheck& check) {
  TFaultKind cells(check);
  std::vector<uint8_t> piece;
  for (const TSpan& s : spans) {
    const int64_t whole = s.Length - s.Length % StaticRecordSize;
    check.Statics += whole / StaticRecordSize;
    for (int64_t at = 0; at < whole; at += DataPiece) {
      const auto n = static_cast<size_t>(std::min(DataPiece, whole - at));
      piece.resize(n);
      data.ReadAt(s.Offset + at, piece.data(), n);
      for (size_t r = 0; r < n; r += StaticRecordSize) {
        const uint8_t* record = piece.data() + r;
        if (record[2] < BlockSide && record[3] < BlockSide) continue;
        cells.Add(
            RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                        "Block %d: static %lld (tile 0x%04X) lies at cell (%u, %u), outside 0 to %d."),
                      s.Block, static_cast<long long>((at + int64_t(r)) / StaticRecordSize + 1),
                      unsigned(record[0] | record[1] << 8), unsigned(record[2]), unsigned(record[3]), BlockSide - 1));
      }
    }
  }
}

void NoteInterruptedFreeze(const TStaticsPair& pair, TStaticsCheck& check) {
  for (const std::string* left : {&pair.Journal, &pair.Index.Temp, &pair.Data.Temp}) {
    if (left->empty() || !PathExists(*left)) continue;
    check.Notes.push_back(
        RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                    "A freeze of these statics did not finish and left %s; the next freeze "
                                    "settles it. What is checked here are the files under "
                                    "the configured names."),
                  left->c_str()));
    return;
  }
}
}  // namespace

TStaticsCheck CheckStaticsPair(const TStaticsPair& pair, const TMapSize& map) {
  TFileStream indexFile(pair.Index.Given, fmOpenRead);
  TFileStream dataFile(pair.Data.Given, fmOpenRead);
  TFileStaticsInput index(indexFile), data(dataFile);
  TStaticsCheck check;
  check.Entries = index.Size() / IndexEntrySize;
  check.DataBytes = data.Size();
  {
    TFaultKind size(check);
    try {
      CheckIndexSize(index, map);
    } catch (const Exception& e) {
      size.Add(e.Message);
    }
  }
  std::vector<TSpan> spans = ReadSpans(index, data, check);
  check.BlocksWithStatics = static_cast<int64_t>(spans.size());
  CheckLengths(spans, check);
  std::stable_sort(spans.begin(), spans.end(), [](const TSpan& a, const TSpan& b) { return a.Offset < b.Offset; });
  CheckOverlaps(spans, check);
  CheckCells(spans, data, check);
  NoteInterruptedFreeze(pair, check);
  return check;
}

}  // namespace mirnax
