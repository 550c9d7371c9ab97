#include "app/core/world_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/packed_lines.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
constexpr std::string_view HeaderPrefix = "[WORLDITEM";
constexpr size_t HeaderMinLength = 12;
constexpr std::string_view IdKey = "ID=";
constexpr std::string_view ColorKey = "COLOR=";
constexpr std::string_view PositionKey = "P=";

// A character's worth as a hex digit: 0 to 9 and small a to f count, anything else is 0.
struct THexDigits {
  uint8_t value[256];
  constexpr THexDigits() : value() {
    for (int c = '0'; c <= '9'; ++c) value[c] = uint8_t(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) value[c] = uint8_t(c - 'a' + 10);
  }
};
constexpr THexDigits HexDigits;

// The usual position, "x,y,z" of plain decimal numbers (z may have a minus) of at most nine
// digits each, read in one pass; false for anything else, which ParsePosition then reads.
bool ParsePlainPosition(std::string_view v, int32_t& x, int32_t& y, int32_t& z) {
  const char* p = v.data();
  const char* const end = p + v.size();
  int32_t parts[3];
  for (int k = 0; k < 3; ++k) {
    const bool negative = k == 2 && p < end && *p == '-';
    if (negative) ++p;
    const char* const from = p;
    int32_t value = 0;
    for (; p < end && unsigned(*p - '0') < 10u; ++p) {
      if (p - from == 9) return false;  // a tenth digit: the general reader judges it
      value = value * 10 + (*p - '0');
    }
    if (p == from) return false;
    parts[k] = negative ? -value : value;
    if (k < 2) {
      if (p == end || *p != ',') return false;
      ++p;
    }
  }
  if (p != end) return false;
  x = parts[0];
  y = parts[1];
  z = parts[2];
  return true;
}

// "x,y,z" into x, y and z, or false with the first part that is not an integer in bad: split at the first comma and at the last comma after it; the value's last character
// is never taken as a separator. With fewer than two commas y is empty, with more than two it holds
// a comma; either way its conversion fails.
bool ParsePosition(std::string_view v, int32_t& x, int32_t& y, int32_t& z, std::string_view& bad) {
  if (ParsePlainPosition(v, x, y, z)) return true;
  size_t first = std::string_view::npos, second = std::string_view::npos;
  for (size_t i = 0; i + 1 < v.size(); ++i) {
    if (v[i] != ',') continue;
    if (first == std::string_view::npos)
      first = i;
    else
      second = i;
  }
  const std::string_view xs = first == std::string_view::npos ? v : v.substr(0, first);
  const std::string_view ys = second == std::string_view::npos ? std::string_view() : v.substr(first + 1, second - first - 1);
  const std::string_view zs = second == std::string_view::npos ? std::string_view() : v.substr(second + 1);
  for (const auto& [text, value] : {std::pair{xs, &x}, std::pair{ys, &y}, std::pair{zs, &z}}) {
    if (!TryStrToInt(text, *value)) {
      bad = text;
      return false;
    }
  }
  return true;
}
}  // namespace

uint32_t ParseHex(std::string_view text) {
  uint32_t value = 0;
  for (const char c : text) value = value * 16 + HexDigits.value[static_cast<unsigned char>(c)];
  return value;
}

TWorldParser::~TWorldParser() = default;

void TWorldParser::Line(std::string_view line) {
  ++lines_;
  // Lines are told apart by their first character before their keys are compared.
  const char first = line.empty() ? '\0' : line[0];
  if (first == '[' && line.size() >= HeaderMinLength && line.starts_with(HeaderPrefix)) {
    // Every record starts from the same defaults: position 0, 0, 0, hue 0, the header's tile.
    inRecord_ = true;
    tileId_ = ParseHex(line.substr(HeaderPrefix.size(), line.size() - HeaderPrefix.size() - 1)) + TileIdBase;
    hue_ = 0;
    x_ = y_ = z_ = 0;
    badPosition_ = false;
    return;
  }
  if (!inRecord_) return;
  // A record ends at its first empty line; a line of blanks is not empty.
  if (line.empty()) {
    EndRecord();
    return;
  }
  if (first == 'C' && line.starts_with(ColorKey)) {
    hue_ = ParseHex(line.substr(ColorKey.size()));
  } else if (first == 'I' && line.starts_with(IdKey)) {
    tileId_ = ParseHex(line.substr(IdKey.size())) + TileIdBase;
  } else if (first == 'P' && line.starts_with(PositionKey)) {
    // A bad position counts only once its record ends: a new header may still drop the record.
    if (badPosition_) return;
    std::string_view bad;
    if (ParsePosition(line.substr(PositionKey.size()), x_, y_, z_, bad)) return;
    badPosition_ = true;
    badPart_.assign(bad);
    badLine_ = lines_;
  }
}

void TWorldParser::EndRecord() {
  inRecord_ = false;
  if (badPosition_) throw EPositionError(Format(ExceptionText(SInvalidInteger).c_str(), badPart_.c_str()), badLine_);
  if (!store_.Map().Inside(x_, y_)) {
    ++result_.Skipped;
    return;
  }
  if (filter_.Area && !filter_.Area->Contains(x_, y_)) {
    ++result_.OutsideArea;
    return;
  }
  StaticItem item;
  item.TileId = static_cast<uint16_t>(tileId_);
  item.Hue = static_cast<uint16_t>(hue_);
  item.CellX = static_cast<uint8_t>(x_ % BlockSide);
  item.CellY = static_cast<uint8_t>(y_ % BlockSide);
  item.Z = static_cast<int8_t>(static_cast<uint8_t>(z_));
  const int32_t block = store_.Map().BlockOf(x_, y_);
  if (filter_.Duplicates && filter_.Duplicates->Seen(block, item)) {
    ++result_.Duplicates;
    return;
  }
  group_[grouped_++] = {block, item};
  if (grouped_ == GroupSize) FileGroup();
  ++result_.Taken;
}

void TWorldParser::FileGroup() {
  store_.AppendMany(group_, grouped_);
  grouped_ = 0;
}

TWorldFileResult TWorldParser::Finish() {
  FileGroup();
  return result_;
}

TWorldFileResult ReadWorldFile(const TStrings& lines, TBlockStore& store, TProgressSink& gauge) {
  const int count = lines.Count();
  gauge.Begin(count);
  TWorldParser parser(store);
  // Lines are taken from the list, and counted on the gauge, in batches: one call per batch
  // instead of one per line.
  constexpr int Batch = 256;
  std::string_view batch[Batch];
  for (int l = 0; l < count;) {
    const int n = lines.Views(l, batch, std::min(Batch, count - l));
    for (int k = 0; k < n; ++k) parser.Line(batch[k]);
    gauge.Step(n);
    l += n;
  }
  return parser.Finish();
}

TWorldFileResult ReadWorldFile(TFileStream& file, TBlockStore& store, TProgressSink& gauge,
                               const TPieceWatch& watch, TWorldFilter filter) {
  constexpr size_t PieceSize = size_t{1} << 20;
  const int64_t size = file.Size();
  gauge.Begin(static_cast<int32_t>(std::min<int64_t>(INT32_MAX, (size + int64_t{PieceSize} - 1) / int64_t{PieceSize})));
  TWorldParser parser(store, filter);
  TLinePieces pieces;
  const auto line = [&parser](std::string_view text) { parser.Line(text); };
  std::vector<char> piece(PieceSize);
  // Never more than the size seen at the start: a file that keeps growing does not hold the run.
  for (int64_t left = size; left > 0;) {
    size_t n = 0;
    try {
      n = file.Read(piece.data(), size_t(std::min<int64_t>(left, int64_t(piece.size()))));
    } catch (const EInOutError& e) {
      throw ReadFailure(file.FileName(), e.ErrorCode);
    }
    if (n == 0) break;
    left -= int64_t(n);
    if (watch) watch(std::string_view(piece.data(), n));
    pieces.Feed(piece.data(), n, line);
    gauge.Add(1);
  }
  pieces.Finish(line);
  return parser.Finish();
}

}  // namespace mirnax
