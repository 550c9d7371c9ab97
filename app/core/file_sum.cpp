#include "app/core/file_sum.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

namespace mirnax {

namespace {
constexpr size_t SumBlock = size_t{1} << 20;
constexpr size_t Xxh3Digits = 16, Crc32Digits = 8;
}  // namespace

bool SameFile(const TFileSum& recorded, const TFileSum& now) {
  if (recorded.Size != now.Size) return false;
  if (recorded.Xxh3) return recorded.Xxh3 == now.Xxh3;
  return recorded.Crc32 && recorded.Crc32 == now.Crc32;
}

bool SameFile(const std::optional<TFileSum>& recorded, const std::optional<TFileSum>& now) {
  if (!recorded || !now) return !recorded && !now;
  return SameFile(*recorded, *now);
}

void TFileSummer::TFree::operator()(XXH3_state_s* state) const { XXH3_freeState(state); }

TFileSummer::TFileSummer(bool withCrc32) : state_(XXH3_createState()), withCrc32_(withCrc32) {
  if (!state_) throw std::bad_alloc();
  XXH3_64bits_reset(state_.get());
}

TFileSummer::~TFileSummer() = default;

void TFileSummer::Add(const void* bytes, size_t count) {
  size_ += int64_t(count);
  XXH3_64bits_update(state_.get(), bytes, count);
  if (!withCrc32_) return;
  const auto* p = static_cast<const Bytef*>(bytes);
  while (count > 0) {
    const uInt piece = uInt(std::min(count, SumBlock));
    crc32_ = uint32_t(crc32(crc32_, p, piece));
    p += piece;
    count -= piece;
  }
}

TFileSum TFileSummer::Sum() const {
  TFileSum sum;
  sum.Size = size_;
  sum.Xxh3 = XXH3_64bits_digest(state_.get());
  if (withCrc32_) sum.Crc32 = crc32_;
  return sum;
}

std::optional<TFileSum> SumOfFile(const std::string& native, std::string* failure, bool withCrc32) {
  std::string why;
  std::optional<TFileSum> sum;
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0) {
    why = std::strerror(errno);
  } else if (::fstat(fd, &st) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    why = "it is not a regular file";
  } else {
    TFileSummer summer(withCrc32);
    // No larger than the file: statics of a small map are summed at every freeze too.
    std::vector<char> buffer(size_t(std::clamp<int64_t>(int64_t(st.st_size) + 1, 1, int64_t(SumBlock))));
    for (;;) {
      const ssize_t n = ::read(fd, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        why = std::strerror(errno);
        break;
      }
      if (n == 0) {
        sum = summer.Sum();
        break;
      }
      summer.Add(buffer.data(), size_t(n));
    }
    if (sum && sum->Size != st.st_size) {
      why = "it changed while it was read";
      sum.reset();
    }
  }
  if (fd >= 0) ::close(fd);
  if (failure) *failure = why;
  return sum;
}

std::optional<TFileSum> SumOfFileLike(const std::string& native, const std::optional<TFileSum>& recorded,
                                      std::string* failure) {
  return SumOfFile(native, failure, recorded && !recorded->Xxh3);
}

std::string SumText(const TFileSum& sum) {
  char text[40];
  if (sum.Xxh3)
    std::snprintf(text, sizeof text, "%lld:%016llx", static_cast<long long>(sum.Size),
                  static_cast<unsigned long long>(*sum.Xxh3));
  else
    std::snprintf(text, sizeof text, "%lld:%08x", static_cast<long long>(sum.Size), unsigned(sum.Crc32.value_or(0)));
  return text;
}

bool ParseSumText(std::string_view text, TFileSum& sum) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const size_t digits = text.size() - colon - 1;
  if (digits != Xxh3Digits && digits != Crc32Digits) return false;
  TFileSum s;
  const char* end = text.data() + colon;
  if (std::from_chars(text.data(), end, s.Size).ptr != end || s.Size < 0) return false;
  end = text.data() + text.size();
  uint64_t value = 0;
  const auto [ptr, error] = std::from_chars(text.data() + colon + 1, end, value, 16);
  if (ptr != end || error != std::errc()) return false;
  if (digits == Xxh3Digits)
    s.Xxh3 = value;
  else
    s.Crc32 = uint32_t(value);
  sum = s;
  return true;
}

}  // namespace mirnax
