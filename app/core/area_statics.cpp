#include "app/core/area_statics.h"

#include <algorithm>
#include <cstring>

#include "app/core/index_scan.h"
#include "app/core/run_texts.h"
#include "app/core/statics_format.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The world text a cut with an output keeps back before sending it on.
constexpr size_t TextPiece = size_t{256} << 10;
}  // namespace

bool TAreaCut::Touches(int32_t block) const {
  const int32_t x = map_.ColumnOf(block) * BlockSide, y = map_.RowOf(block) * BlockSide;
  return x <= area_.X2 && x + BlockSide - 1 >= area_.X1 && y <= area_.Y2 && y + BlockSide - 1 >= area_.Y1;
}

size_t TAreaCut::Cut(int32_t block, uint8_t* bytes, size_t length) {
  if (length == 0 || !Touches(block)) return length;
  if (length % StaticRecordSize != 0) {
    taken_.Unplaceable += int64_t(length / StaticRecordSize) + 1;
    return length;
  }
  const int32_t x0 = map_.ColumnOf(block) * BlockSide, y0 = map_.RowOf(block) * BlockSide;
  size_t kept = 0;
  bool took = false;
  for (size_t at = 0; at < length; at += StaticRecordSize) {
    const uint8_t* r = bytes + at;
    const uint8_t cellX = r[2], cellY = r[3];
    if (cellX >= BlockSide || cellY >= BlockSide) {
      ++taken_.Unplaceable;
    } else if (area_.Contains(x0 + cellX, y0 + cellY)) {
      TWorldItem item;
      item.Tile = uint32_t(r[0] | r[1] << 8);
      item.X = x0 + cellX;
      item.Y = y0 + cellY;
      item.Z = int8_t(r[4]);
      item.Hue = uint32_t(r[5] | r[6] << 8);
      item.SerialNumber = UnfreezeSerialBase + uint32_t(taken_.Count++);
      item.Id = true;
      item.AnyColor = true;
      if (!countOnly_) AppendWorldItem(taken_.Text, item);
      took = true;
      continue;
    }
    if (kept != at) std::memmove(bytes + kept, r, StaticRecordSize);
    kept += StaticRecordSize;
  }
  if (took) ++taken_.Blocks;
  if (out_ && taken_.Text.size() >= TextPiece) Flush();
  return kept;
}

void TAreaCut::Flush() {
  if (!out_ || taken_.Text.empty()) return;
  out_->Write(taken_.Text.data(), taken_.Text.size());
  taken_.Text.clear();
}

const TAreaStatics& ReadAreaStatics(TStaticsInput& index, TStaticsInput& data, TAreaCut& cut) {
  const TMapSize& map = cut.Map();
  const TMapArea& area = cut.Area();
  CheckIndexSize(index, map);
  std::vector<uint8_t> bytes;
  // Only the block columns of the area are read: each is a run of entries side by side.
  const int32_t rows = map.BlockRows();
  for (int32_t column = area.X1 / BlockSide; column <= area.X2 / BlockSide; ++column) {
    const int32_t first = column * rows + area.Y1 / BlockSide, last = column * rows + area.Y2 / BlockSide;
    std::vector<uint8_t> entries(size_t(last - first + 1) * IndexEntrySize);
    index.ReadAt(int64_t{first} * IndexEntrySize, entries.data(), entries.size());
    for (int32_t block = first; block <= last; ++block) {
      const StaticIndexEntry e = DecodeIndexEntry(entries.data() + size_t(block - first) * IndexEntrySize);
      CheckEntry(e, block, index, data);
      if (!HasStatics(e)) continue;
      bytes.resize(size_t(e.Length));
      data.ReadAt(e.Offset, bytes.data(), bytes.size());
      cut.Cut(block, bytes.data(), bytes.size());
    }
  }
  cut.Flush();
  return cut.Taken();
}

void CheckWorldOut(const std::string& name, bool replace) {
  if (name.empty()) throw EFCreateError(Format(SFCreateError, ""));
  if (!replace && PathExists(NativePath(name)))
    throw EFCreateError(RunFormat(
        QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The file %s exists; give --force to replace it."), name.c_str()));
}

}  // namespace mirnax
