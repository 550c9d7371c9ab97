// The platform's base object and string lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirnax {

// Memory for large tables. A block of a few megabytes or more is mapped on its own and backed by
// 2 MB pages where the system allows: filling it then faults once per 2 MB instead of once per
// 4 KB page, which for a large file's lines cost more than copying them. Parts of a block never
// touched take no memory.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* p, size_t bytes) noexcept;
// Bytes of the blocks mapped on their own and handed out now (touched or not; not the one kept for
// reuse); the heap's statistics miss them.
size_t LargeBlocksInUse() noexcept;

// Backs the pages of a part of a large block on a helper thread while its owner fills the part
// from the front, a few megabytes ahead of it (told through FilledTo), so the kernel's work of
// backing fresh memory, a large share of filling a block, is done on a second processor. Never
// more than Window beyond what the owner has filled is backed, so a part reserved larger than it
// ends up being costs no more than that. Does nothing for a part smaller than a block from the
// heap, on a single processor, or where the system cannot be asked. The part must not move while
// the helper runs.
class TPagesAhead {
 public:
  static constexpr size_t Window = size_t{16} << 20;
  TPagesAhead(char* first, char* last);
  // Stops the helper and waits for it; the block must live until then.
  ~TPagesAhead();
  TPagesAhead(const TPagesAhead&) = delete;
  TPagesAhead& operator=(const TPagesAhead&) = delete;
  // The owner has filled the part up to at.
  void FilledTo(const char* at) noexcept;

 private:
  struct TShared;
  TShared* shared_ = nullptr;
};

template <class T>
struct TLargeAllocator {
  using value_type = T;
  TLargeAllocator() noexcept = default;
  template <class U>
  TLargeAllocator(const TLargeAllocator<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const TLargeAllocator<U>&) const noexcept {
    return true;
  }
};

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

// The first CR or LF from p on, or end.
const char* NextLineEnd(const char* p, const char* end);

// Splits text that arrives in pieces into its lines as LoadFromFile does (CR, LF or CR LF ends a
// line, a last line without an end counts), joining lines and CR LF pairs a piece boundary cuts.
class TLinePieces {
 public:
  // Calls line(std::string_view) for every line the piece completes.
  template <class F>
  void Feed(const char* p, size_t n, F&& line) {
    const char* end = p + n;
    if (skipLf_ && p < end && *p == '\n') ++p;
    if (p < end) skipLf_ = false;
    while (p < end) {
      const char* stop = NextLineEnd(p, end);
      if (stop == end) {
        carry_.append(p, end);  // the line goes on in the next piece
        return;
      }
      if (carry_.empty()) {
        line(std::string_view(p, static_cast<size_t>(stop - p)));
      } else {
        carry_.append(p, stop);
        line(std::string_view(carry_));
        carry_.clear();
      }
      p = stop + 1;
      if (*stop == '\r') {
        if (p == end)
          skipLf_ = true;
        else if (*p == '\n')
          ++p;
      }
    }
  }
  // After the last piece: the last line, when it has no end.
  template <class F>
  void Finish(F&& line) {
    if (!carry_.empty()) line(std::string_view(carry_));
    carry_.clear();
    skipLf_ = false;
  }

 private:
  std::string carry_;
  bool skipLf_ = false;
};

// Sees a piece of a file as it is read.
using TPieceWatch = std::function<void(std::string_view piece)>;

// Root of the objects that lists may own or carry beside their strings.
class TObject {
 public:
  virtual ~TObject() = default;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// An abstract list of 8-bit lines, each with an optional attached object (not owned).
class TStrings {
 public:
  virtual ~TStrings() = default;

  virtual int Count() const = 0;
  // The bytes of line index; the view stays valid until the list is next changed.
  virtual std::string_view View(int index) const = 0;
  std::string Get(int index) const { return std::string(View(index)); }
  // Views of the lines from first on, as many as max and the list allow, into out; returns how
  // many. Walking a large list this way is cheaper than line by line. Valid as View's.
  virtual int Views(int first, std::string_view* out, int max) const;
  std::string operator[](int index) const { return Get(index); }
  virtual void Put(int index, std::string_view s) = 0;
  virtual TObject* GetObject(int index) const = 0;
  virtual void PutObject(int index, TObject* object) = 0;

  virtual int Add(std::string_view s);
  int AddObject(std::string_view s, TObject* object);
  virtual void Insert(int index, std::string_view s) = 0;
  void InsertObject(int index, std::string_view s, TObject* object);
  // Appends every line of other with its object.
  virtual void AddStrings(const TStrings& other);
  // Replaces the content by a copy of other's lines and objects.
  virtual void Assign(const TStrings& other);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  // First line equal to s (letter case ignored as the list's comparison says), or -1.
  virtual int IndexOf(std::string_view s) const;

  // Replaces the content by the lines of the file: CR, LF or CR LF ends a line, a last line
  // without an end counts, every other byte (NUL included) belongs to its line. watch, when
  // given, sees every byte loaded, in order, a piece at a time, as it is read (to sum the file
  // without reading it twice). Raises EFOpenError "Cannot open file %s" when the file cannot be
  // opened or read.
  virtual void LoadFromFile(const std::string& fileName, const TPieceWatch& watch = {});
  // Writes every line followed by CR LF. Raises EFCreateError / EInOutError on failure.
  void SaveToFile(const std::string& fileName) const;

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the content by the lines of text (line ends as in LoadFromFile).
  void SetText(std::string_view text) { SetTextOwned(std::string(text)); }

 protected:
  // Replaces the content by the lines of text, which the list may take over as storage.
  virtual void SetTextOwned(std::string&& text);
  virtual int CompareStrings(std::string_view a, std::string_view b) const;
  [[noreturn]] static void IndexError(int index);
};

// The platform's concrete string list. Loaded or added at the end, its lines stay packed (see
// TPackedLines), so a large text file costs little more than its own size; the first change
// elsewhere gives every line a span of its own. Objects are kept only once one is attached.
class TStringList : public TStrings {
 public:
  TStringList() = default;
  TStringList(const TStringList& other) : TStrings() { Assign(other); }
  TStringList& operator=(const TStringList& other) {
    if (this != &other) Assign(other);
    return *this;
  }

  int Count() const override { return static_cast<int>(packed_ ? lines_.Count() : spans_.size()); }
  std::string_view View(int index) const override;
  int Views(int first, std::string_view* out, int max) const override;
  void Put(int index, std::string_view s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  int Add(std::string_view s) override;
  void Insert(int index, std::string_view s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  int IndexOf(std::string_view s) const override;

  // Sorted lists keep their lines in order: Add puts a line at its place, Insert is refused.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  // Binary search of a sorted list: true when s is present; index is its place or where it belongs.
  bool Find(std::string_view s, int& index) const;
  void Sort();
  // Reads the file in pieces straight into the packed store, in one pass.
  void LoadFromFile(const std::string& fileName, const TPieceWatch& watch = {}) override;
  // Exchanges the whole content and settings of two lists; never fails, nothing is copied.
  void Swap(TStringList& other) noexcept;

 protected:
  void SetTextOwned(std::string&& text) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;

 private:
#pragma pack(push, 4)
  struct Span {
    uint64_t offset;
    uint32_t length;
  };
#pragma pack(pop)

  void CheckIndex(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
  }
  // From the packed form to a span per line.
  void Unpack();
  Span Store(std::string_view s);
  void Forget(const Span& span);
  void InsertItem(int index, std::string_view s, TObject* object);

  bool packed_ = true;
  TPackedLines lines_;
  // The spans form: a span per line into store_, which also holds bytes of lines changed since.
  TTextStore store_;
  std::vector<Span, TLargeAllocator<Span>> spans_;
  std::vector<TObject*> objects_;  // empty until an object is attached, then one per line
  uint64_t dead_ = 0;              // bytes of store_ no span refers to any more
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace mirnax
