// Growable lists of untyped pointers, of objects, and of owned objects.
#pragma once

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"

namespace mirnax {

/// The message for a capacity no list can have (a negative one, or one past 32 bits).
inline constexpr const char* SListCapacityError =
    QT_TRANSLATE_NOOP("mirnax::Exception", "List capacity out of bounds (%d)");
/// The message for a count no list can have.
inline constexpr const char* SListCountError = QT_TRANSLATE_NOOP("mirnax::Exception", "List count out of bounds (%d)");

/// Told the index of each null item that DoPack removes, counted in the list as it stands at
/// that moment (the nulls met before are already gone), so a parallel list can Delete the same
/// index and stay in step.
using TS_PackProc = std::function<void(int32_t index)>;

/// A list of pointer slots. Null is a legal item. Slots from Count to Capacity - 1 always hold
/// null. Every operation that reads, writes or moves an item checks its index; a bad index raises
/// EListError "List index out of bounds (%d)" and leaves the list as it was.
class MIRNAX_EXPORT TS_CustomList : public TObject {
 public:
  TS_CustomList() = default;
  /// Frees the storage. A derived class that overrides Clear must call it from its own
  /// destructor: the base destructor no longer reaches the override.
  ~TS_CustomList() override;
  TS_CustomList(const TS_CustomList&) = delete;
  TS_CustomList& operator=(const TS_CustomList&) = delete;

  int32_t Count() const { return count_; }  ///< The number of items.
  int32_t Capacity() const { return capacity_; }  ///< The number of slots.

  /// Address of slot index; no check. index must lie within 0 .. Capacity.
  virtual void** GetPointer(int32_t index) const;
  /// Resizes the storage to n slots; n < Count drops the items beyond n. Raises EOutOfMemory "Out
  /// of memory" when the storage cannot grow, leaving the list unchanged; a shrink always succeeds.
  virtual void ReAllocList(int32_t n);
  /// Raises EListError "List index out of bounds (%d)" unless 0 <= index < Count.
  virtual void CheckIndex(int32_t index) const;
  /// The capacity the next growth asks for: steps of 4 up to 8, then 8, then 16.
  virtual int32_t ExpandSize() const;
  virtual void* GetItem(int32_t index) const;  ///< Item index.
  virtual void SetItem(int32_t index, void* item);  ///< Replaces item index.
  virtual void SetCapacity(int32_t n);  ///< Resizes the storage to n slots, as ReAllocList does.
  /// Grows or shrinks the list to n items; new items are null.
  virtual void SetCount(int32_t n);
  /// Appends item; returns its index.
  virtual int32_t Add(void* item);
  virtual void Clear();  ///< Deletes every item and frees the storage.
  /// Deletes item index; returns the removed item.
  virtual void* Delete(int32_t index);
  virtual void Exchange(int32_t index1, int32_t index2);  ///< Exchanges two items.
  /// First index holding item, or -1.
  virtual int32_t IndexOf(void* item) const;
  /// Inserts item before index; index may be Count (append).
  virtual void Insert(int32_t index, void* item);
  /// Moves an item from curIndex to newIndex, the others closing up.
  virtual void Move(int32_t curIndex, int32_t newIndex);
  /// Removes every null item, keeping the order of the others.
  virtual void Pack();
  /// Deletes the first slot holding item; returns its index, or -1 when absent.
  virtual int32_t Remove(void* item);

  void* First() const { return GetItem(0); }  ///< The first item.
  void* Last() const { return GetItem(count_ - 1); }  ///< The last item.
  void Expand() { SetCapacity(ExpandSize()); }  ///< Grows the storage by ExpandSize.
  /// Pack, calling packProc (when assigned) for each null item before it goes. packProc must not
  /// change the list; when it raises, the list is left whole, the null it was told about included.
  void DoPack(const TS_PackProc& packProc);

 protected:
  void** items_ = nullptr;  ///< null while the capacity is 0
  int32_t count_ = 0;
  int32_t capacity_ = 0;

 private:
  MIRNAX_NO_EXPORT void CheckNewCount(int32_t n) const;
};

/// The plain pointer list.
class MIRNAX_EXPORT TS_List : public TS_CustomList {};

/// The list typed for objects. The untyped Add, Insert, Remove, IndexOf and SetItem are hidden so
/// that only objects go in (an owner list destroys what it holds as objects).
class MIRNAX_EXPORT TS_ObjectList : public TS_CustomList {
 public:
  /// Object index.
  TObject* GetObject(int32_t index) const { return static_cast<TObject*>(GetItem(index)); }
  /// Replaces object index; nothing is freed.
  void SetObject(int32_t index, TObject* object) { Base().SetItem(index, object); }
  int32_t Add(TObject* object) { return Base().Add(object); }  ///< Appends an object; returns its index.
  /// Inserts an object before index (index Count appends).
  void Insert(int32_t index, TObject* object) { Base().Insert(index, object); }
  /// A bare nullptr converts as well to the hidden untyped overloads; these take it as no object.
  int32_t Add(std::nullptr_t) { return Add(static_cast<TObject*>(nullptr)); }
  /// Inserts no object before index.
  void Insert(int32_t index, std::nullptr_t) { Insert(index, static_cast<TObject*>(nullptr)); }
  /// The typed Delete: returns the removed object (null from an owner list, which frees it).
  /// A name of its own because C++ cannot overload the untyped Delete on its result alone.
  TObject* DeleteObject(int32_t index) { return static_cast<TObject*>(Delete(index)); }
  TObject* First() const { return GetObject(0); }  ///< The first object.
  TObject* Last() const { return GetObject(count_ - 1); }  ///< The last object.
  /// First index holding object, or -1.
  int32_t IndexOf(TObject* object) const { return Base().IndexOf(object); }
  /// Deletes the first slot holding object; returns its index, or -1 when absent.
  int32_t Remove(TObject* object) { return Base().Remove(object); }
  /// First index holding no object, or -1.
  int32_t IndexOf(std::nullptr_t) const { return IndexOf(static_cast<TObject*>(nullptr)); }
  /// Deletes the first slot holding no object; returns its index, or -1 when absent.
  int32_t Remove(std::nullptr_t) { return Remove(static_cast<TObject*>(nullptr)); }

 private:
  using TS_CustomList::Add;
  using TS_CustomList::IndexOf;
  using TS_CustomList::Insert;
  using TS_CustomList::Remove;
  using TS_CustomList::SetItem;

  /// Calls through the base reach the virtual slots, so an override further down still applies.
  TS_CustomList& Base() { return *this; }
  const TS_CustomList& Base() const { return *this; }
};

/// An object list that owns its objects: whatever leaves the list through ReAllocList, SetCapacity,
/// SetCount, Clear, Delete (and so Remove) or the list's destruction is destroyed. An object must
/// be in the list at most once. SetObject and Exchange move objects without freeing any.
class MIRNAX_EXPORT TS_OwnerList : public TS_ObjectList {
 public:
  TS_OwnerList() = default;
  ~TS_OwnerList() override;

  void ReAllocList(int32_t n) override;
  void SetCapacity(int32_t n) override;  ///< Resizes the storage to n slots, freeing the objects beyond n.
  void SetCount(int32_t n) override;
  void Clear() override;  ///< Frees every object and the storage.
  /// Removes and frees item index; returns null.
  void* Delete(int32_t index) override;

 private:
  MIRNAX_NO_EXPORT void FreeFrom(int32_t n);
};

}  // namespace mirnax
