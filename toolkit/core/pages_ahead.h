// Backing a large block's pages ahead of the code that fills it.
#pragma once

#include <cstddef>

namespace mirnax {

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

}  // namespace mirnax
