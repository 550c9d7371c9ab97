// The world file reader: walks the lines of a saved world and files each item under its block.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/core/block_store.h"
#include "app/core/progress.h"
#include "toolkit/classes.h"

// Hexadecimal text to a number, the world files' way: only '0'..'9' and 'a'..'f' are digits, every
// other character (upper-case letters included) counts as a 0 digit but keeps its place; the
// result is kept modulo 2^32. "0eed" and " 0eed" give 0xEED, "0EED" gives 0, "1x2" 0x102.
uint32_t ParseHex(std::string_view text);

struct TWorldFileResult {
  int32_t Taken = 0;    // items filed in the store
  int32_t Skipped = 0;  // items whose position lies outside the map: neither filed nor taken
};

// Walks lines from first to last and appends one item per complete [WORLDITEM record to store.
// Begins gauge with the line count and steps it once per line. A position part that is not a
// decimal integer raises EConvertError "'%s' is not a valid integer value"; the store then holds
// some of the items read before it, in file order, and is not to be frozen (the run drops it).
TWorldFileResult ReadWorldFile(const TStrings& lines, TBlockStore& store, TProgressSink& gauge);
