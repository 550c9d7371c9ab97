#include "util/s_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {

constexpr int32_t MaxSlots = std::numeric_limits<int32_t>::max();

// Slots [from, to) of items, shifted by memmove; the counts are small non-negative ints.
void MoveSlots(void** items, int32_t to, int32_t from, int32_t count) {
  if (count > 0) std::memmove(items + to, items + from, static_cast<size_t>(count) * sizeof(void*));
}

}  // namespace

// ---- TS_CustomList ----

TS_CustomList::~TS_CustomList() { std::free(items_); }

void** TS_CustomList::GetPointer(int32_t index) const { return items_ + index; }

void TS_CustomList::ReAllocList(int32_t n) {
  if (n < 0) throw EListError(Format(ExceptionText(SListCapacityError).c_str(), n));
  if (static_cast<uint64_t>(n) > std::numeric_limits<size_t>::max() / sizeof(void*)) throw EOutOfMemory();
  const int32_t kept = std::min(count_, n);
  void** block = nullptr;
  int32_t granted = n;
  if (n == 0) {
    std::free(items_);
  } else {
    // realloc resizes in place when it can, otherwise moves the slots to a new block.
    block = static_cast<void**>(std::realloc(items_, static_cast<size_t>(n) * sizeof(void*)));
    if (block == nullptr) {
      if (n > capacity_) throw EOutOfMemory();  // the old block is still intact
      // A refused shrink keeps the larger block it already has.
      block = items_;
      granted = capacity_;
    }
  }
  items_ = block;
  count_ = kept;
  capacity_ = granted;
  for (int32_t i = count_; i < capacity_; ++i) items_[i] = nullptr;
}

void TS_CustomList::CheckIndex(int32_t index) const {
  if (index < 0 || index >= count_) throw EListError(Format(ExceptionText(SListIndexError).c_str(), index));
}

int32_t TS_CustomList::ExpandSize() const {
  const int32_t step = capacity_ <= 4 ? 4 : capacity_ <= 8 ? 8 : 16;
  if (capacity_ > MaxSlots - step) throw EOutOfMemory();
  return capacity_ + step;
}

void* TS_CustomList::GetItem(int32_t index) const {
  CheckIndex(index);
  return items_[index];
}

void TS_CustomList::SetItem(int32_t index, void* item) {
  CheckIndex(index);
  items_[index] = item;
}

void TS_CustomList::SetCapacity(int32_t n) {
  if (n != capacity_) ReAllocList(n);
}

void TS_CustomList::CheckNewCount(int32_t n) const {
  if (n < 0) throw EListError(Format(ExceptionText(SListCountError).c_str(), n));
}

void TS_CustomList::SetCount(int32_t n) {
  CheckNewCount(n);
  if (n > capacity_) SetCapacity(n);
  if (n > capacity_) throw EOutOfMemory();  // an override granted less than asked
  // Items beyond the count are null, whichever way it moves.
  const int32_t from = std::min(n, count_), to = std::max(n, count_);
  for (int32_t i = from; i < to; ++i) items_[i] = nullptr;
  count_ = n;
}

int32_t TS_CustomList::Add(void* item) {
  const int32_t index = count_;
  Insert(index, item);
  return index;
}

void TS_CustomList::Clear() {
  std::free(items_);
  items_ = nullptr;
  count_ = 0;
  capacity_ = 0;
}

void* TS_CustomList::Delete(int32_t index) {
  CheckIndex(index);
  void* item = items_[index];
  --count_;
  MoveSlots(items_, index, index + 1, count_ - index);
  // Keeps the free slots null, so that no freed object is ever seen twice by an owner list.
  items_[count_] = nullptr;
  return item;
}

void TS_CustomList::Exchange(int32_t index1, int32_t index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

int32_t TS_CustomList::IndexOf(void* item) const {
  for (int32_t i = 0; i < count_; ++i)
    if (items_[i] == item) return i;
  return -1;
}

void TS_CustomList::Insert(int32_t index, void* item) {
  if (index < 0 || index > count_) throw EListError(Format(ExceptionText(SListIndexError).c_str(), index));
  if (count_ >= capacity_) Expand();
  if (count_ >= capacity_) throw EOutOfMemory();  // an override granted nothing more
  MoveSlots(items_, index + 1, index, count_ - index);
  items_[index] = item;
  ++count_;
}

void TS_CustomList::Move(int32_t curIndex, int32_t newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  void* item = items_[curIndex];
  if (newIndex < curIndex)
    MoveSlots(items_, newIndex + 1, newIndex, curIndex - newIndex);
  else
    MoveSlots(items_, curIndex, curIndex + 1, newIndex - curIndex);
  items_[newIndex] = item;
}

void TS_CustomList::Pack() { DoPack(nullptr); }

int32_t TS_CustomList::Remove(void* item) {
  const int32_t index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TS_CustomList::DoPack(const TS_PackProc& packProc) {
  int32_t write = 0, read = 0;
  // Closes the gap between the packed part and the unread rest; runs also when packProc throws,
  // which leaves the null it was told about in the list.
  struct Closer {
    TS_CustomList& list;
    int32_t& write;
    int32_t& read;
    ~Closer() {
      const int32_t rest = list.count_ - read;
      MoveSlots(list.items_, write, read, rest);
      for (int32_t i = write + rest; i < list.count_; ++i) list.items_[i] = nullptr;
      list.count_ = write + rest;
    }
  } closer{*this, write, read};
  for (; read < count_; ++read) {
    void* item = items_[read];
    if (item == nullptr) {
      if (packProc) packProc(write);
    } else {
      items_[write++] = item;
    }
  }
}

// ---- TS_OwnerList ----

TS_OwnerList::~TS_OwnerList() { FreeFrom(0); }

void TS_OwnerList::FreeFrom(int32_t n) {
  for (int32_t i = n; i < count_; ++i) {
    TObject* object = static_cast<TObject*>(items_[i]);
    items_[i] = nullptr;
    delete object;
  }
}

void TS_OwnerList::ReAllocList(int32_t n) {
  if (n < 0) throw EListError(Format(ExceptionText(SListCapacityError).c_str(), n));
  if (n < count_) FreeFrom(n);
  TS_ObjectList::ReAllocList(n);
}

void TS_OwnerList::SetCapacity(int32_t n) {
  if (n < 0) throw EListError(Format(ExceptionText(SListCapacityError).c_str(), n));
  // Slots from Count on are null, so the objects to free are those of n .. Count - 1.
  if (n < count_) FreeFrom(n);
  TS_ObjectList::SetCapacity(n);
}

void TS_OwnerList::SetCount(int32_t n) {
  if (n < 0) throw EListError(Format(ExceptionText(SListCountError).c_str(), n));
  if (n < count_) FreeFrom(n);
  TS_ObjectList::SetCount(n);
}

void TS_OwnerList::Clear() {
  FreeFrom(0);
  TS_ObjectList::Clear();
}

void* TS_OwnerList::Delete(int32_t index) {
  delete static_cast<TObject*>(TS_ObjectList::Delete(index));
  return nullptr;
}

}  // namespace mirnax
