// Writing world files: [WORLDITEM records as the reader reads them, with CR LF line ends.
#pragma once

#include <cstdint>
#include <string>

namespace mirnax {
struct TWorldItem {
  uint32_t Tile = 0;  // the number the header shows, in hex
  int32_t X = 0, Y = 0, Z = 0;
  uint32_t Hue = 0;
  bool Serial = true;     // a SERIAL= line after the header, as the game writes
  uint32_t SerialNumber = 0x0001;  // its number, after the 04 prefix
  bool Id = false;        // an ID= line repeating the tile
  bool AnyColor = false;  // a COLOR= line for hue 0 too (otherwise only for a hue)
  bool Cont = false;      // a CONT=-1 line after the position: the item lies in no container
};

// Appends the record: the header, the lines asked for, P=x,y,z, CONT when asked and the empty
// line that ends it. Numbers in hex are lower-case, of at least four digits.
void AppendWorldItem(std::string& out, const TWorldItem& item);
}  // namespace mirnax
