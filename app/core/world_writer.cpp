#include "app/core/world_writer.h"

#include <charconv>

namespace mirnax {
namespace {
// v in lower-case hex, of at least four digits.
void Hex4(std::string& out, uint32_t v) {
  static constexpr char Digits[] = "0123456789abcdef";
  char text[8];
  size_t n = 0;
  do {
    text[7 - n++] = Digits[v & 15];
    v >>= 4;
  } while (v != 0);
  while (n < 4) text[7 - n++] = '0';
  out.append(text + 8 - n, n);
}

// KEY=hhhh and the line end.
void HexLine(std::string& out, const char* key, uint32_t v) {
  out += key;
  Hex4(out, v);
  out += "\r\n";
}

void Decimal(std::string& out, int32_t v) {
  char text[12];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  out.append(text, end);
}
}  // namespace

void AppendWorldItem(std::string& out, const TWorldItem& item) {
  out += "[WORLDITEM ";
  Hex4(out, item.Tile);
  out += "]\r\n";
  if (item.Serial) HexLine(out, "SERIAL=04", item.SerialNumber);
  if (item.Id) HexLine(out, "ID=", item.Tile);
  if (item.Hue != 0 || item.AnyColor) HexLine(out, "COLOR=", item.Hue);
  out += "P=";
  Decimal(out, item.X);
  out += ',';
  Decimal(out, item.Y);
  out += ',';
  Decimal(out, item.Z);
  out += "\r\n";
  if (item.Cont) out += "CONT=-1\r\n";
  out += "\r\n";
}
}  // namespace mirnax
