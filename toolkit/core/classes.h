// The platform's base object and string lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// Sees a piece of a file as it is read.
using TPieceWatch = std::function<void(std::string_view piece)>;

/// Root of the objects that lists may own or carry beside their strings.
class MIRNAX_EXPORT TObject {
 public:
  virtual ~TObject() = default;
};

/// What a sorted list does with a line it already holds: ignore it, accept it, or raise EStringListError.
enum TDuplicates { dupIgnore, dupAccept, dupError };

/// An abstract list of 8-bit lines, each with an optional attached object (not owned).
class MIRNAX_EXPORT TStrings {
 public:
  virtual ~TStrings() = default;

  virtual int Count() const = 0;  ///< The number of lines.
  /// The bytes of line index; the view stays valid until the list is next changed.
  virtual std::string_view View(int index) const = 0;
  std::string Get(int index) const { return std::string(View(index)); }  ///< A copy of line index.
  /// Views of the lines from first on, as many as max and the list allow, into out; returns how
  /// many. Walking a large list this way is cheaper than line by line. Valid as View's.
  virtual int Views(int first, std::string_view* out, int max) const;
  std::string operator[](int index) const { return Get(index); }  ///< A copy of line index.
  virtual void Put(int index, std::string_view s) = 0;  ///< Replaces line index; its object stays.
  virtual TObject* GetObject(int index) const = 0;  ///< The object attached to line index, nullptr for none.
  virtual void PutObject(int index, TObject* object) = 0;  ///< Attaches object to line index (not owned).

  virtual int Add(std::string_view s);  ///< Appends a line; returns its index.
  /// Appends a line with an attached object; returns its index.
  int AddObject(std::string_view s, TObject* object);
  /// Inserts a line before index (index Count appends).
  virtual void Insert(int index, std::string_view s) = 0;
  /// Inserts a line with an attached object before index.
  void InsertObject(int index, std::string_view s, TObject* object);
  /// Appends every line of other with its object.
  virtual void AddStrings(const TStrings& other);
  /// Replaces the content by a copy of other's lines and objects.
  virtual void Assign(const TStrings& other);
  virtual void Delete(int index) = 0;  ///< Deletes line index.
  virtual void Clear() = 0;  ///< Deletes every line.
  virtual void Exchange(int index1, int index2);  ///< Exchanges two lines with their objects.
  /// First line equal to s (letter case ignored as the list's comparison says), or -1.
  virtual int IndexOf(std::string_view s) const;

  /// Replaces the content by the lines of the file: CR, LF or CR LF ends a line, a last line
  /// without an end counts, every other byte (NUL included) belongs to its line. watch, when
  /// given, sees every byte loaded, in order, a piece at a time, as it is read (to sum the file
  /// without reading it twice). Raises EFOpenError "Cannot open file %s" when the file cannot be
  /// opened or read.
  virtual void LoadFromFile(const std::string& fileName, const TPieceWatch& watch = {});
  /// Writes every line followed by CR LF. Raises EFCreateError / EInOutError on failure.
  void SaveToFile(const std::string& fileName) const;

  /// Every line followed by CR LF.
  std::string Text() const;
  /// Replaces the content by the lines of text (line ends as in LoadFromFile).
  void SetText(std::string_view text) { SetTextOwned(std::string(text)); }

 protected:
  /// Replaces the content by the lines of text, which the list may take over as storage.
  virtual void SetTextOwned(std::string&& text);
  virtual int CompareStrings(std::string_view a, std::string_view b) const;
  [[noreturn]] static void IndexError(int index);
};

/// The platform's concrete string list. Loaded or added at the end, its lines stay packed (see
/// TPackedLines), so a large text file costs little more than its own size; the first change
/// elsewhere gives every line a span of its own. Objects are kept only once one is attached.
class MIRNAX_EXPORT TStringList : public TStrings {
 public:
  TStringList();  ///< An empty list.
  TStringList(const TStringList& other);  ///< A copy of other's lines and objects.
  ~TStringList() override;
  /// Copies other's lines and objects.
  TStringList& operator=(const TStringList& other) {
    if (this != &other) Assign(other);
    return *this;
  }

  int Count() const override;
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

  /// Whether the list is kept sorted. Sorted lists keep their lines in order: Add puts a line at
  /// its place, Insert is refused.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);  ///< Sets Sorted; turning it on sorts the list.
  TDuplicates Duplicates() const { return duplicates_; }  ///< What a sorted list does with a duplicate.
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }  ///< Sets Duplicates.
  bool CaseSensitive() const { return caseSensitive_; }  ///< Whether comparisons heed letter case.
  void SetCaseSensitive(bool value);  ///< Sets CaseSensitive; a sorted list is sorted again.
  /// Binary search of a sorted list: true when s is present; index is its place or where it belongs.
  bool Find(std::string_view s, int& index) const;
  void Sort();  ///< Sorts the lines with their objects.
  /// Reads the file in pieces straight into the packed store, in one pass.
  void LoadFromFile(const std::string& fileName, const TPieceWatch& watch = {}) override;
  /// Exchanges the whole content and settings of two lists; never fails, nothing is copied.
  void Swap(TStringList& other) noexcept;

 protected:
  void SetTextOwned(std::string&& text) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;

 private:
  struct Span;
  struct TLines;

  void CheckIndex(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
  }
  /// From the packed form to a span per line.
  MIRNAX_NO_EXPORT void Unpack();
  MIRNAX_NO_EXPORT Span Store(std::string_view s);
  MIRNAX_NO_EXPORT void Forget(const Span& span);
  MIRNAX_NO_EXPORT void InsertItem(int index, std::string_view s, TObject* object);

  std::unique_ptr<TLines> d_;  // the lines, in one of their two forms (classes.cpp)
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace mirnax
