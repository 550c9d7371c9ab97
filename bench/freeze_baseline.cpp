// The freeze benchmark's baseline: a plain program written only for this job, with the same output
// as `mirnax-freeze --keep` on the benchmark's data. It reads the world file in 1 MB pieces, finds
// line ends with memchr and parses each line as it arrives (header, ID=, COLOR=, P= and the empty line that ends a record),
// collects the items in one array with per-block counts, sorts them once by block, copies each
// block's old data from a sequential read, writes both new files through large buffers, forces
// them and the folder to disk and renames them into place. No checks beyond what the job needs.
// Usage: freeze_baseline STAIDX STATICS WORLDFILE
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int Blocks = 768 * 512;
constexpr size_t Piece = 1 << 20;

struct Item {
  int32_t block;
  uint8_t rec[7];
};

[[noreturn]] void Die(const char* what, const char* name) {
  std::fprintf(stderr, "freeze_baseline: %s %s\n", what, name);
  std::exit(1);
}

uint32_t Hex(const char* p, const char* e) {
  uint32_t v = 0;
  for (; p < e; ++p) v = v * 16 + (*p >= '0' && *p <= '9' ? uint32_t(*p - '0') : *p >= 'a' && *p <= 'f' ? uint32_t(*p - 'a' + 10) : 0);
  return v;
}

int32_t Dec(const char* p, const char* e) {
  while (p < e && *p == ' ') ++p;
  bool neg = p < e && *p == '-';
  if (p < e && (*p == '-' || *p == '+')) ++p;
  int64_t v = 0;
  for (; p < e; ++p) v = v * 10 + (*p - '0');
  return int32_t(neg ? -v : v);
}

Item* items = nullptr;
size_t count = 0, capacity = 0;
uint32_t counts[Blocks];
bool inRecord = false;
uint32_t tile, hue;
int32_t px, py, pz;

void Line(const char* p, const char* e) {
  const size_t n = size_t(e - p);
  if (n >= 12 && std::memcmp(p, "[WORLDITEM", 10) == 0) {
    inRecord = true;
    tile = Hex(p + 10, e - 1) + 0x4000;
    hue = 0;
    px = py = pz = 0;
  } else if (!inRecord) {
  } else if (n == 0) {
    inRecord = false;
    if (px < 0 || px >= 6144 || py < 0 || py >= 4096) return;
    if (count == capacity) {
      capacity = capacity ? capacity * 2 : 1 << 16;
      items = static_cast<Item*>(std::realloc(items, capacity * sizeof(Item)));
    }
    Item& it = items[count++];
    it.block = (px / 8) * 512 + py / 8;
    const uint16_t t = uint16_t(tile - 0x4000);
    const uint8_t r[7] = {uint8_t(t), uint8_t(t >> 8), uint8_t(px % 8), uint8_t(py % 8), uint8_t(pz), uint8_t(hue), uint8_t(hue >> 8)};
    std::memcpy(it.rec, r, 7);
    ++counts[it.block];
  } else if (n >= 6 && std::memcmp(p, "COLOR=", 6) == 0) {
    hue = Hex(p + 6, e);
  } else if (n >= 3 && std::memcmp(p, "ID=", 3) == 0) {
    tile = Hex(p + 3, e) + 0x4000;
  } else if (n >= 2 && std::memcmp(p, "P=", 2) == 0) {
    const char* c1 = static_cast<const char*>(std::memchr(p + 2, ',', n - 2));
    const char* c2 = static_cast<const char*>(std::memchr(c1 + 1, ',', size_t(e - c1 - 1)));
    px = Dec(p + 2, c1);
    py = Dec(c1 + 1, c2);
    pz = Dec(c2 + 1, e);
  }
}

void ReadWorld(const char* name) {
  const int fd = ::open(name, O_RDONLY);
  if (fd < 0) Die("cannot open", name);
  char* buf = static_cast<char*>(std::malloc(Piece + 4096));
  size_t carry = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buf + carry, Piece);
    if (got < 0) Die("cannot read", name);
    const char* p = buf;
    const char* end = buf + carry + size_t(got);
    // Lines end in LF or CR LF; memchr finds each end at the C library's speed.
    for (;;) {
      const char* q = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
      if (q == nullptr) break;
      Line(p, q > p && q[-1] == '\r' ? q - 1 : q);
      p = q + 1;
    }
    carry = size_t(end - p);
    if (got == 0) {
      if (carry > 0) Line(p, end);
      break;
    }
    std::memmove(buf, p, carry);  // lines are short: the rest of a piece fits the extra room
  }
  ::close(fd);
  std::free(buf);
}

struct Out {
  int fd;
  char* buf;
  size_t used;
  void Put(const void* p, size_t n) {
    if (used + n > Piece * 4) Flush();
    std::memcpy(buf + used, p, n);
    used += n;
  }
  void Flush() {
    if (used && ::write(fd, buf, used) != ssize_t(used)) Die("cannot write", "");
    used = 0;
  }
};

Out Create(const char* name) {
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Die("cannot create", name);
  return Out{fd, static_cast<char*>(std::malloc(Piece * 4)), 0};
}

void Finish(Out& o) {
  o.Flush();
  if (::fsync(o.fd) != 0 || ::close(o.fd) != 0) Die("cannot sync", "");
  std::free(o.buf);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "Usage: freeze_baseline STAIDX STATICS WORLDFILE\n");
    return 2;
  }
  const char* idxName = argv[1];
  const char* dataName = argv[2];
  ReadWorld(argv[3]);

  // One counting sort by block.
  static uint32_t start[Blocks + 1];
  for (int b = 0; b < Blocks; ++b) start[b + 1] = start[b] + counts[b];
  uint8_t* sorted = static_cast<uint8_t*>(std::malloc(count * 7 + 1));
  {
    static uint32_t next[Blocks];
    std::memcpy(next, start, sizeof next);
    for (size_t i = 0; i < count; ++i) std::memcpy(sorted + size_t(next[items[i].block]++) * 7, items[i].rec, 7);
    std::free(items);
  }

  const int oldIdx = ::open(idxName, O_RDONLY);
  const int oldData = ::open(dataName, O_RDONLY);
  if (oldIdx < 0 || oldData < 0) Die("cannot open", idxName);
  uint8_t* index = static_cast<uint8_t*>(std::malloc(size_t(Blocks) * 12));
  if (::read(oldIdx, index, size_t(Blocks) * 12) != ssize_t(Blocks) * 12) Die("cannot read", idxName);
  ::close(oldIdx);

  char newIdxName[4096], newDataName[4096];
  std::snprintf(newIdxName, sizeof newIdxName, "%s.new", idxName);
  std::snprintf(newDataName, sizeof newDataName, "%s.new", dataName);
  Out idx = Create(newIdxName);
  Out data = Create(newDataName);
  char* window = static_cast<char*>(std::malloc(Piece));
  int64_t winStart = 0, winLen = 0;
  int32_t offset = 0;
  for (int b = 0; b < Blocks; ++b) {
    uint8_t* e = index + size_t(b) * 12;
    int32_t off, len;
    std::memcpy(&off, e, 4);
    std::memcpy(&len, e + 4, 4);
    const bool has = off != -1 && len != 0 && len != -1;
    const int32_t size = (has ? len : 0) + int32_t(counts[b]) * 7;
    if (has) {
      // The old data, from a read-ahead window that moves forward through the file.
      int64_t at = off, left = len;
      while (left > 0) {
        if (at < winStart || at >= winStart + winLen) {
          winStart = at;
          winLen = ::pread(oldData, window, Piece, at);
          if (winLen <= 0) Die("cannot read", dataName);
        }
        const int64_t n = left < winStart + winLen - at ? left : winStart + winLen - at;
        data.Put(window + (at - winStart), size_t(n));
        at += n;
        left -= n;
      }
    }
    data.Put(sorted + size_t(start[b]) * 7, size_t(counts[b]) * 7);
    const int32_t no = -1;
    idx.Put(size ? &offset : &no, 4);
    idx.Put(size ? &size : &no, 4);
    idx.Put(e + 8, 4);
    offset += size;
  }
  ::close(oldData);
  Finish(idx);
  Finish(data);
  if (std::rename(newIdxName, idxName) != 0 || std::rename(newDataName, dataName) != 0) Die("cannot rename", idxName);
  const int dir = ::open(".", O_RDONLY | O_DIRECTORY);
  if (dir < 0 || ::fsync(dir) != 0) Die("cannot sync", ".");
  ::close(dir);
  std::free(window);
  std::free(sorted);
  std::free(index);
  return 0;
}
