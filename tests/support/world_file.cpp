#include "tests/support/world_file.h"

#include <charconv>

namespace support {
namespace {
void Hex4(std::string& out, uint32_t v) {
  char text[8];
  const auto end = std::to_chars(text, text + sizeof text, v, 16).ptr;
  if (end - text < 4) out.append(size_t(4 - (end - text)), '0');
  out.append(text, end);
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
  if (item.Serial) out += "SERIAL=040001\r\n";
  if (item.Id) {
    out += "ID=";
    Hex4(out, item.Tile);
    out += "\r\n";
  }
  if (item.Hue != 0 || item.AnyColor) {
    out += "COLOR=";
    Hex4(out, item.Hue);
    out += "\r\n";
  }
  out += "P=";
  Decimal(out, item.X);
  out += ',';
  Decimal(out, item.Y);
  out += ',';
  Decimal(out, item.Z);
  out += "\r\n\r\n";
}
}  // namespace support
