// The world file reader: walks the lines of a saved world and files each item under its block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/block_store.h"
#include "app/core/progress.h"
#include "toolkit/core/classes.h"
#include "toolkit/core/exceptions.h"

namespace mirnax {

class TFileStream;

// Hexadecimal text to a number, the world files' way: only '0'..'9' and 'a'..'f' are digits, every
// other character (upper-case letters included) counts as a 0 digit but keeps its place; the
// result is kept modulo 2^32. "0eed" and " 0eed" give 0xEED, "0EED" gives 0, "1x2" 0x102.
uint32_t ParseHex(std::string_view text);

// The conversion error of a position, with the number (from 1) of the line that holds it.
class EPositionError : public EConvertError {
 public:
  EPositionError(std::string message, int64_t line) : EConvertError(std::move(message)), Line(line) {}
  int64_t Line;
};

// Tells whether an item's record is already in its block (duplicates.h), and notes it otherwise.
class TDuplicateCheck {
 public:
  virtual ~TDuplicateCheck() = default;
  virtual bool Seen(int32_t block, const StaticItem& item) = 0;
};

// Which of a world file's items a run takes: with Area only those inside it, with Duplicates only
// those whose record is not in their block yet.
struct TWorldFilter {
  const TMapArea* Area = nullptr;
  TDuplicateCheck* Duplicates = nullptr;
};

struct TWorldFileResult {
  int32_t Taken = 0;    // items filed in the store
  int32_t Skipped = 0;  // items whose position lies outside the map: neither filed nor taken
  int32_t OutsideArea = 0;  // items inside the map but outside the area asked for: left out
  int32_t Duplicates = 0;   // items inside the area whose record their block has already: left out
};

// Takes the lines of one world file one after another and files each complete [WORLDITEM record
// in the store as it ends. A record's keys are read once, as their lines arrive.
class TWorldParser {
 public:
  explicit TWorldParser(TBlockStore& store, TWorldFilter filter = {}) : store_(store), filter_(filter) {}
  TWorldParser(const TWorldParser&) = delete;
  TWorldParser& operator=(const TWorldParser&) = delete;
  ~TWorldParser();
  // One line without its end. Raises EPositionError when it ends a record whose position is bad.
  void Line(std::string_view line);
  // Files what is still waiting; call once after the last line.
  TWorldFileResult Finish();

 private:
  void EndRecord();
  void FileGroup();

  TBlockStore& store_;
  TWorldFilter filter_;
  TWorldFileResult result_;
  bool inRecord_ = false;
  uint32_t tileId_ = 0;
  uint32_t hue_ = 0;
  int32_t x_ = 0, y_ = 0, z_ = 0;
  bool badPosition_ = false;
  std::string badPart_;  // the first part of a position that is not an integer
  int64_t badLine_ = 0;  // the line that holds it
  int64_t lines_ = 0;    // lines seen so far
  // Items go to the store in groups.
  static constexpr size_t GroupSize = 256;
  TBlockStore::TBlockItem group_[GroupSize];
  size_t grouped_ = 0;
};

// Walks lines from first to last and appends one item per complete [WORLDITEM record to store (a
// world file's text already in memory; a run reads its files with the overload below).
// Begins gauge with the line count and adds the lines read, a few hundred at a time. A position
// part that is not a decimal integer raises EPositionError "'%s' is not a valid integer value";
// the store then holds some of the items read before it, in file order, and is not to be frozen
// (the run drops it).
TWorldFileResult ReadWorldFile(const TStrings& lines, TBlockStore& store, TProgressSink& gauge);

// The same for the text of file, read from its position to its end in pieces of a megabyte without
// keeping it: lines end at CR, LF or CR LF, a last line without an end counts. Begins gauge with
// the number of pieces. watch, when given, sees each piece as it is read. A failed read raises
// EFOpenError "Cannot open file %s".
TWorldFileResult ReadWorldFile(TFileStream& file, TBlockStore& store, TProgressSink& gauge,
                               const TPieceWatch& watch = {}, TWorldFilter filter = {});

}  // namespace mirnax
