// A list's lines packed one after another in one store, and splitting text into lines.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/core/large_blocks.h"

namespace mirnax {

// The bytes of a list's lines.
using TTextStore = std::basic_string<char, std::char_traits<char>, TLargeAllocator<char>>;

// True when s points into the bytes of store (a line given to a list may be one of its own).
inline bool PointsInto(const TTextStore& store, std::string_view s) {
  return s.data() >= store.data() && s.data() < store.data() + store.size();
}

// Lines one after another in one byte store, in order, each with its length in one byte: about
// the size of the text itself, the form a list has after loading or adding at its end. A line's
// place is the place of its group of 32 lines plus the lengths before it in the group.
class TPackedLines {
 public:
  size_t Count() const { return count_; }
  std::string_view View(size_t index) const;
  // Views of the lines from first on, as many as fit out (max) and the list has; returns how many.
  size_t Views(size_t first, std::string_view* out, size_t max) const;
  uint64_t Length(size_t index) const {
    return lengths_[index] != LongLine ? lengths_[index] : LongLength(index);
  }
  // Appends a line that must not lie in this store. On failure nothing has changed.
  void Append(std::string_view s);
  void RemoveLast();
  void Clear();
  // Room for a text of bytes bytes in lines lines, reserved but not touched.
  void Reserve(size_t bytes, size_t lines);
  // The reserved room past the text: [first, last), untouched until lines are appended into it.
  // The text never moves while lines are appended within it.
  std::pair<char*, char*> TextRoom() { return {store_.data() + store_.size(), store_.data() + store_.capacity()}; }
  // True when s points into the store.
  bool Holds(std::string_view s) const { return PointsInto(store_, s); }
  // Hands the store over (the lines' bytes, in order) and empties the list.
  TTextStore TakeStore();

 private:
  static constexpr size_t GroupLines = 32;
  static constexpr uint8_t LongLine = 255;  // the length is kept in longs_
  struct TLong {
    size_t index;
    uint64_t length;
  };
  uint64_t LongLength(size_t index) const;

  size_t count_ = 0;
  TTextStore store_;
  // A byte per line, in whole groups: the lines a group does not have yet count 0.
  std::vector<uint8_t, TLargeAllocator<uint8_t>> lengths_;
  std::vector<uint64_t, TLargeAllocator<uint64_t>> starts_;  // place of each group's first line
  std::vector<TLong> longs_;                                   // lines of 255 bytes or more, in order
};

// Splits text that arrives in pieces into its lines as LoadFromFile does (CR, LF or CR LF ends a
// line, a last line without an end counts), joining lines and CR LF pairs a piece boundary cuts.
// Line ends are found 64 bytes at a time: world files are mostly lines of ten to twenty bytes,
// where looking for each end on its own costs more than the rest of the reading.
class TLinePieces {
 public:
  // Calls line(std::string_view) for every line the piece completes.
  template <class F>
  void Feed(const char* p, size_t n, F&& line) {
    const char* const end = p + n;
    // A CR ended the last piece: an LF that starts this one belongs to it.
    if (skipLf_ && n > 0) {
      if (*p == '\n') ++p;
      skipLf_ = false;
    }
    const char* start = p;  // where the current line begins
    for (const char* block = p; block < end; block += 64) {
      for (uint64_t marks = EndMarks(block, end); marks != 0; marks &= marks - 1) {
        const char* const stop = block + std::countr_zero(marks);
        if (stop < start) continue;  // the LF of a CR LF, taken with its CR
        if (carry_.empty()) {
          line(std::string_view(start, size_t(stop - start)));
        } else {
          carry_.append(start, stop);
          line(std::string_view(carry_));
          carry_.clear();
        }
        start = stop + 1;
        if (*stop == '\r') {
          if (start == end)
            skipLf_ = true;
          else if (*start == '\n')
            ++start;
        }
      }
    }
    carry_.append(start, end);  // the line goes on in the next piece
  }
  // After the last piece: the last line, when it has no end.
  template <class F>
  void Finish(F&& line) {
    if (!carry_.empty()) line(std::string_view(carry_));
    carry_.clear();
    skipLf_ = false;
  }

 private:
  // A bit per byte of the 64 from p on (fewer before end), set where the byte is a CR or LF.
  static uint64_t EndMarks(const char* p, const char* end);

  std::string carry_;
  bool skipLf_ = false;
};

}  // namespace mirnax
