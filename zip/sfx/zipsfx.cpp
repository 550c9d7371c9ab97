// The self-extractor: a program with an archive behind it. It finds its options header (256 bytes:
// "MPU", the flags, three text lengths, the caption, default folder and command line) just in
// front of the archive, extracts the members into the target folder and may then run the command
// line there. It depends on nothing but the C library (zlib and the C++ runtime are linked in).
//
// Usage: the program itself, or with "-d FOLDER" to extract into FOLDER. Questions go to the
// terminal; without one, the safe answer is taken (keep existing files, run nothing).
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kAskCmdLine = 0x01, kAskFiles = 0x02, kHideOverwriteBox = 0x04, kOverwriteAlways = 0x08,
                  kOverwriteNever = 0x10, kNoCheckSize = 0x20, kAutoRun = 0x40;

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

struct TFile {
  int fd = -1;
  int64_t size = 0;
  bool ReadAt(int64_t at, void* out, size_t count) const {
    size_t done = 0;
    while (done < count) {
      const ssize_t n = ::pread(fd, static_cast<char*>(out) + done, count - done, at + static_cast<int64_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
};

bool Interactive() { return ::isatty(STDIN_FILENO) != 0; }

std::string Ask(const std::string& question, const std::string& fallback) {
  if (!Interactive()) return fallback;
  std::printf("%s", question.c_str());
  std::fflush(stdout);
  char line[1024];
  if (std::fgets(line, sizeof line, stdin) == nullptr) return fallback;
  std::string answer = line;
  while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
  return answer;
}

bool AskYes(const std::string& question, bool fallback) {
  const std::string answer = Ask(question, fallback ? "y" : "n");
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::string AskPassword(const std::string& name) {
  if (!Interactive()) return "";
  std::printf("Password for %s: ", name.c_str());
  std::fflush(stdout);
  termios old {};
  const bool quiet = ::tcgetattr(STDIN_FILENO, &old) == 0;
  if (quiet) {
    termios silent = old;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
  }
  char line[256];
  std::string answer = std::fgets(line, sizeof line, stdin) != nullptr ? line : "";
  if (quiet) ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
  std::printf("\n");
  while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
  return answer;
}

// A stored name made safe to put under the target folder: separators unified, and refused
// (empty) when it is absolute, has a drive letter, or has an empty, "." or ".." part.
std::string SafeName(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  if (name.empty() || name[0] == '/' || (name.size() > 1 && name[1] == ':')) return "";
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    const bool last = end == name.size();
    if ((part.empty() && !last) || part == "." || part == "..") return "";
    start = end + 1;
  }
  return name;
}

// Makes each folder of the relative path under base; a link in the way is refused.
bool MakeFolders(const std::string& base, const std::string& relative) {
  size_t slash = 0;
  while ((slash = relative.find('/', slash)) != std::string::npos) {
    const std::string folder = base + "/" + relative.substr(0, slash);
    struct stat st {};
    if (::lstat(folder.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return false;
    } else if (::mkdir(folder.c_str(), 0777) != 0) {
      return false;
    }
    ++slash;
  }
  return true;
}

// The traditional PKWARE cipher's keys.
struct TKeys {
  uint32_t k0 = 305419896, k1 = 591751049, k2 = 878082192;
  const z_crc_t* table = get_crc_table();
  void Update(uint8_t c) {
    k0 = table[(k0 ^ c) & 0xFF] ^ (k0 >> 8);
    k1 = (k1 + (k0 & 0xFF)) * 134775813 + 1;
    k2 = table[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8);
  }
  uint8_t Decrypt(uint8_t c) {
    const uint16_t t = static_cast<uint16_t>(k2 | 2);
    const auto plain = static_cast<uint8_t>(c ^ ((t * (t ^ 1)) >> 8));
    Update(plain);
    return plain;
  }
};

struct TMember {
  std::string name;
  uint16_t flags, method, time, date;
  uint32_t crc, compressed, size, external, local;
  uint8_t host;
};

// Extracts one member's data to out; false with a reason when it cannot.
bool Extract(const TFile& self, int64_t base, const TMember& m, int out, const std::string& password, std::string& why) {
  unsigned char local[30];
  const int64_t at = base + m.local;
  if (!self.ReadAt(at, local, 30) || Get32(local) != 0x04034B50) {
    why = "bad local header";
    return false;
  }
  int64_t pos = at + 30 + Get16(local + 26) + Get16(local + 28);
  int64_t left = m.compressed;
  if (pos + left > self.size) {
    why = "data beyond the end of the file";
    return false;
  }
  TKeys keys;
  if (m.flags & 1) {
    for (char c : password) keys.Update(static_cast<uint8_t>(c));
    unsigned char head[12];
    if (left < 12 || !self.ReadAt(pos, head, 12)) {
      why = "bad encryption header";
      return false;
    }
    for (unsigned char& c : head) c = keys.Decrypt(c);
    const uint8_t check = (m.flags & 8) ? static_cast<uint8_t>(m.time >> 8) : static_cast<uint8_t>(m.crc >> 24);
    if (head[11] != check) {
      why = "wrong password";
      return false;
    }
    pos += 12;
    left -= 12;
  }
  z_stream z {};
  if (m.method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK) {
    why = "out of memory";
    return false;
  }
  if (m.method != 0 && m.method != 8) {
    why = "unsupported compression method";
    return false;
  }
  std::vector<unsigned char> in(65536), buf(65536);
  uLong crc = crc32(0, nullptr, 0);
  uint64_t written = 0;
  bool ok = true, ended = m.method == 0;
  while (ok && (left > 0 || (m.method == 8 && !ended))) {
    const size_t n = static_cast<size_t>(left < static_cast<int64_t>(in.size()) ? left : static_cast<int64_t>(in.size()));
    if (n > 0 && !self.ReadAt(pos, in.data(), n)) {
      why = "read error";
      ok = false;
      break;
    }
    pos += static_cast<int64_t>(n);
    left -= static_cast<int64_t>(n);
    if (m.flags & 1)
      for (size_t i = 0; i < n; ++i) in[i] = keys.Decrypt(in[i]);
    auto emit = [&](const unsigned char* p, size_t count) {
      crc = crc32(crc, p, static_cast<uInt>(count));
      written += count;
      for (size_t done = 0; done < count;) {
        const ssize_t w = ::write(out, p + done, count - done);
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
      }
      return true;
    };
    if (m.method == 0) {
      ok = emit(in.data(), n);
      if (!ok) why = "write error";
      continue;
    }
    if (n == 0) {
      why = "compressed data ends early";
      ok = false;
      break;
    }
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(n);
    while (z.avail_in > 0 && !ended) {
      z.next_out = buf.data();
      z.avail_out = static_cast<uInt>(buf.size());
      const int r = inflate(&z, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END) {
        why = "damaged compressed data";
        ok = false;
        break;
      }
      if (!emit(buf.data(), buf.size() - z.avail_out)) {
        why = "write error";
        ok = false;
        break;
      }
      ended = r == Z_STREAM_END;
      if (written > m.size) break;
    }
  }
  if (m.method == 8) inflateEnd(&z);
  if (ok && (written != m.size || crc != m.crc)) {
    why = "CRC or size mismatch";
    ok = false;
  }
  return ok;
}

time_t DosTime(uint16_t date, uint16_t time) {
  struct tm t {};
  t.tm_year = ((date >> 9) & 0x7F) + 80;
  t.tm_mon = ((date >> 5) & 0x0F) - 1;
  t.tm_mday = date & 0x1F;
  t.tm_hour = (time >> 11) & 0x1F;
  t.tm_min = (time >> 5) & 0x3F;
  t.tm_sec = (time & 0x1F) * 2;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

}  // namespace

int main(int argc, char** argv) {
  TFile self;
  self.fd = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
  if (self.fd < 0) {
    std::fprintf(stderr, "Cannot read this program's file\n");
    return 2;
  }
  self.size = ::lseek(self.fd, 0, SEEK_END);

  // The end record: the last 22 bytes, or further back behind a comment.
  const int64_t tail = self.size < 65557 ? self.size : 65557;
  std::vector<unsigned char> back(static_cast<size_t>(tail));
  int64_t endAt = -1;
  if (tail >= 22 && self.ReadAt(self.size - tail, back.data(), back.size()))
    for (int64_t i = tail - 22; i >= 0; --i)
      if (Get32(&back[static_cast<size_t>(i)]) == 0x06054B50) {
        endAt = self.size - tail + i;
        break;
      }
  if (endAt < 0) {
    std::fprintf(stderr, "No archive follows this program\n");
    return 2;
  }
  const unsigned char* end = &back[static_cast<size_t>(endAt - (self.size - tail))];
  const uint16_t entries = Get16(end + 10);
  const uint32_t cdSize = Get32(end + 12);
  const int64_t cdAt = endAt - cdSize;
  // Offsets in the directory count from the start of this file, or from the archive's start
  // when they were never shifted; the difference is found where the directory really is.
  const int64_t base = cdAt - Get32(end + 16);
  if (cdAt < 0 || base < 0) {
    std::fprintf(stderr, "The archive is damaged\n");
    return 2;
  }
  std::vector<unsigned char> dir(cdSize);
  if (!self.ReadAt(cdAt, dir.data(), dir.size())) {
    std::fprintf(stderr, "The archive is damaged\n");
    return 2;
  }
  std::vector<TMember> members;
  int64_t first = cdAt - base;
  for (size_t p = 0, i = 0; i < entries; ++i) {
    if (p + 46 > dir.size() || Get32(&dir[p]) != 0x02014B50) {
      std::fprintf(stderr, "The archive's directory is damaged\n");
      return 2;
    }
    const unsigned char* h = &dir[p];
    TMember m{"", Get16(h + 8), Get16(h + 10), Get16(h + 12), Get16(h + 14), Get32(h + 16), Get32(h + 20),
              Get32(h + 24), Get32(h + 38), Get32(h + 42), h[5]};
    const size_t nameLen = Get16(h + 28), extra = Get16(h + 30), comment = Get16(h + 32);
    if (p + 46 + nameLen > dir.size()) {
      std::fprintf(stderr, "The archive's directory is damaged\n");
      return 2;
    }
    m.name.assign(reinterpret_cast<const char*>(h + 46), nameLen);
    if (m.local < first) first = m.local;
    members.push_back(m);
    p += 46 + nameLen + extra + comment;
  }
  unsigned char header[256];
  if (base + first < 256 || !self.ReadAt(base + first - 256, header, 256) || std::memcmp(header, "MPU", 3) != 0) {
    std::fprintf(stderr, "This program carries no self-extractor header\n");
    return 2;
  }
  const uint8_t flags = header[3];
  const std::string caption(reinterpret_cast<char*>(header + 7), header[4]);
  const std::string defaultDir(reinterpret_cast<char*>(header + 7 + header[4]), header[5]);
  const std::string command(reinterpret_cast<char*>(header + 7 + header[4] + header[5]), header[6]);
  if (!(flags & kNoCheckSize) && endAt + 22 + Get16(end + 20) != self.size) {
    std::fprintf(stderr, "The archive is incomplete or has bytes added behind it\n");
    return 2;
  }

  std::printf("%s\n", caption.c_str());
  std::string target;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-d") == 0) target = argv[i + 1];
  if (target.empty()) target = defaultDir;
  if (target.empty()) target = Ask("Extract to folder [.]: ", ".");
  if (target.empty()) target = ".";
  for (char& c : target)
    if (c == '\\') c = '/';
  for (size_t slash = target.find('/', 1); slash != std::string::npos; slash = target.find('/', slash + 1))
    ::mkdir(target.substr(0, slash).c_str(), 0777);
  if (::mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "Cannot make the folder %s\n", target.c_str());
    return 2;
  }
  int overwrite = (flags & kOverwriteAlways) ? 1 : (flags & kOverwriteNever) ? 2 : 0;  // 0: ask
  if (!(flags & kHideOverwriteBox) && overwrite != 0 && Interactive()) {
    const std::string a = Ask("Existing files: [o]verwrite, [s]kip, [a]sk each? ", "");
    if (!a.empty()) overwrite = a[0] == 'o' ? 1 : a[0] == 's' ? 2 : 0;
  }

  int failures = 0, extracted = 0;
  std::string password;
  for (const TMember& m : members) {
    const std::string name = SafeName(m.name);
    if (name.empty()) {
      std::fprintf(stderr, "Refused: %s (it would leave the target folder)\n", m.name.c_str());
      ++failures;
      continue;
    }
    if ((flags & kAskFiles) && !AskYes("Extract " + name + "? [Y/n] ", true)) continue;
    if (!MakeFolders(target, name)) {
      std::fprintf(stderr, "Refused: %s (a folder on its way is not a folder)\n", name.c_str());
      ++failures;
      continue;
    }
    const std::string path = target + "/" + name;
    if (name.back() == '/') {
      ::mkdir(path.c_str(), 0777);
      continue;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
      const bool replace = overwrite == 1 || (overwrite == 0 && AskYes("Overwrite " + name + "? [y/N] ", false));
      if (!replace) {
        std::printf("Skipped: %s\n", name.c_str());
        continue;
      }
      if (S_ISDIR(st.st_mode) || ::unlink(path.c_str()) != 0) {
        std::fprintf(stderr, "Cannot replace %s\n", name.c_str());
        ++failures;
        continue;
      }
    }
    if ((m.flags & 1) && password.empty()) password = AskPassword(name);
    // A fresh file only: nothing planted under that name is followed.
    const mode_t mode = m.host == 3 && (m.external >> 16) != 0 ? ((m.external >> 16) & 0777) : 0644;
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    std::string why;
    if (out < 0 || !Extract(self, base, m, out, password, why)) {
      if (out < 0) why = std::strerror(errno);
      if (out >= 0) ::close(out);
      ::unlink(path.c_str());
      std::fprintf(stderr, "Failed: %s (%s)\n", name.c_str(), why.c_str());
      if (why == "wrong password") password.clear();
      ++failures;
      continue;
    }
    const time_t when = DosTime(m.date, m.time);
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    ::futimens(out, times);
    ::close(out);
    ++extracted;
    std::printf("Extracted: %s\n", name.c_str());
  }
  std::printf("%d file(s) extracted, %d failed\n", extracted, failures);

  if ((flags & kAutoRun) && !command.empty() && failures == 0 &&
      (!(flags & kAskCmdLine) || AskYes("Run " + command + "? [y/N] ", false))) {
    if (::chdir(target.c_str()) != 0) return 2;
    const int status = std::system(command.c_str());
    return status == 0 ? 0 : 3;
  }
  return failures == 0 ? 0 : 1;
}
