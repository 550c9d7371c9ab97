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

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "zip/zip_codec.h"

namespace {

namespace codec = mirnax::zip_codec;

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

// A member's stored bytes from the program's file, block by block, decrypted where encrypted.
class TDataSource {
 public:
  TDataSource(const TFile& self, const TMember& m) : self_(self), member_(m), block_(65536) {}

  // Finds the data behind the local header and checks the password against the encryption
  // header; false with a reason when it cannot.
  bool Open(int64_t base, const std::string& password, std::string& why) {
    char bytes[codec::kLocalHeaderSize];
    codec::TLocalHeader local;
    const int64_t at = base + member_.local;
    if (!self_.ReadAt(at, bytes, sizeof bytes) ||
        codec::Decode(std::string_view(bytes, sizeof bytes), local) != codec::TReadResult::Ok) {
      why = "bad local header";
      return false;
    }
    pos_ = at + static_cast<int64_t>(codec::kLocalHeaderSize + local.TailLength());
    left_ = member_.compressed;
    if (pos_ + left_ > self_.size) {
      why = "data beyond the end of the file";
      return false;
    }
    return Encrypted() ? CheckPassword(password, why) : true;
  }

  bool Done() const { return left_ <= 0; }
  // The next block (empty at the end of the data); false on a read error.
  bool Next(const unsigned char*& data, size_t& size) {
    size = static_cast<size_t>(left_ < static_cast<int64_t>(block_.size()) ? left_ : static_cast<int64_t>(block_.size()));
    if (size > 0 && !self_.ReadAt(pos_, block_.data(), size)) return false;
    pos_ += static_cast<int64_t>(size);
    left_ -= static_cast<int64_t>(size);
    if (Encrypted())
      for (size_t i = 0; i < size; ++i) block_[i] = keys_.Decrypt(block_[i]);
    data = block_.data();
    return true;
  }

 private:
  bool Encrypted() const { return (member_.flags & codec::kEncryptedFlag) != 0; }

  bool CheckPassword(const std::string& password, std::string& why) {
    for (char c : password) keys_.Update(static_cast<uint8_t>(c));
    unsigned char head[codec::kEncryptionHeaderSize];
    if (left_ < static_cast<int64_t>(sizeof head) || !self_.ReadAt(pos_, head, sizeof head)) {
      why = "bad encryption header";
      return false;
    }
    for (unsigned char& c : head) c = keys_.Decrypt(c);
    const uint8_t check = (member_.flags & codec::kDescriptorFlag) ? static_cast<uint8_t>(member_.time >> 8)
                                                                    : static_cast<uint8_t>(member_.crc >> 24);
    if (head[sizeof head - 1] != check) {
      why = "wrong password";
      return false;
    }
    pos_ += static_cast<int64_t>(sizeof head);
    left_ -= static_cast<int64_t>(sizeof head);
    return true;
  }

  const TFile& self_;
  const TMember& member_;
  TKeys keys_;
  std::vector<unsigned char> block_;
  int64_t pos_ = 0;
  int64_t left_ = 0;
};

// Where the extracted bytes go, counted and summed on their way.
struct TSink {
  int out;
  uLong crc = crc32(0, nullptr, 0);
  uint64_t written = 0;

  bool Emit(const unsigned char* p, size_t count) {
    crc = crc32(crc, p, static_cast<uInt>(count));
    written += count;
    for (size_t done = 0; done < count;) {
      const ssize_t w = ::write(out, p + done, count - done);
      if (w <= 0) return false;
      done += static_cast<size_t>(w);
    }
    return true;
  }
};

bool CopyStored(TDataSource& source, TSink& sink, std::string& why) {
  while (!source.Done()) {
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!source.Next(data, size)) {
      why = "read error";
      return false;
    }
    if (!sink.Emit(data, size)) {
      why = "write error";
      return false;
    }
  }
  return true;
}

bool Inflate(TDataSource& source, TSink& sink, uint64_t expected, std::string& why) {
  z_stream z {};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
    why = "out of memory";
    return false;
  }
  std::vector<unsigned char> buf(65536);
  bool ok = true, ended = false;
  while (ok && (!source.Done() || !ended)) {
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!source.Next(data, size)) {
      why = "read error";
      ok = false;
    } else if (size == 0) {
      why = "compressed data ends early";
      ok = false;
    }
    z.next_in = const_cast<unsigned char*>(data);
    z.avail_in = ok ? static_cast<uInt>(size) : 0;
    while (z.avail_in > 0 && !ended) {
      z.next_out = buf.data();
      z.avail_out = static_cast<uInt>(buf.size());
      const int r = inflate(&z, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END) {
        why = "damaged compressed data";
        ok = false;
        break;
      }
      if (!sink.Emit(buf.data(), buf.size() - z.avail_out)) {
        why = "write error";
        ok = false;
        break;
      }
      ended = r == Z_STREAM_END;
      if (sink.written > expected) break;
    }
  }
  inflateEnd(&z);
  return ok;
}

// Extracts one member's data to out; false with a reason when it cannot.
bool Extract(const TFile& self, int64_t base, const TMember& m, int out, const std::string& password, std::string& why) {
  TDataSource source(self, m);
  if (!source.Open(base, password, why)) return false;
  if (m.method != 0 && m.method != 8) {
    why = "unsupported compression method";
    return false;
  }
  TSink sink{out};
  const bool ok = m.method == 0 ? CopyStored(source, sink, why) : Inflate(source, sink, m.size, why);
  if (ok && (sink.written != m.size || sink.crc != m.crc)) {
    why = "CRC or size mismatch";
    return false;
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

// What stands behind the program: the end record, the members and the options header.
struct TArchive {
  int64_t endAt = -1;  // where the end record begins
  int64_t base = 0;    // what the directory's offsets count from
  codec::TEndRecord end;
  std::vector<TMember> members;
  codec::TSfxHeader options;
};

bool Fail(const char* text) {
  std::fprintf(stderr, "%s\n", text);
  return false;
}

// The end record: the last 22 bytes, or further back behind a comment.
bool FindEnd(const TFile& self, TArchive& archive) {
  const int64_t tail = std::min<int64_t>(self.size, codec::kEndRecordSize + codec::kMaxCommentLength);
  std::string back(static_cast<size_t>(std::max<int64_t>(tail, 0)), '\0');
  if (tail < static_cast<int64_t>(codec::kEndRecordSize) || !self.ReadAt(self.size - tail, back.data(), back.size()))
    return Fail("No archive follows this program");
  const size_t at = codec::FindEndRecord(back);
  if (at == std::string::npos) return Fail("No archive follows this program");
  archive.endAt = self.size - tail + static_cast<int64_t>(at);
  codec::Decode(std::string_view(back).substr(at), archive.end);
  return true;
}

// The members as the central directory lists them; the lowest local header offset in first.
bool ReadMembers(const TFile& self, TArchive& archive, int64_t& first) {
  const int64_t cdAt = archive.endAt - archive.end.CentralSize;
  // Offsets in the directory count from the start of this file, or from the archive's start
  // when they were never shifted; the difference is found where the directory really is.
  archive.base = cdAt - archive.end.CentralOffset;
  if (cdAt < 0 || archive.base < 0) return Fail("The archive is damaged");
  std::string dir(archive.end.CentralSize, '\0');
  if (!self.ReadAt(cdAt, dir.data(), dir.size())) return Fail("The archive is damaged");
  first = cdAt - archive.base;
  codec::TByteReader in(dir);
  for (size_t i = 0; i < archive.end.TotalEntries; ++i) {
    codec::TCentralHeader h;
    if (codec::Read(in, h) != codec::TReadResult::Ok) return Fail("The archive's directory is damaged");
    TMember m{"", h.Flag, h.Method, h.ModTime, h.ModDate, h.Crc, h.CompressedSize, h.UncompressedSize,
              h.ExternalAttributes, h.LocalHeaderOffset, h.HostSystem};
    if (!in.Has(h.NameLength)) return Fail("The archive's directory is damaged");
    m.name = in.Bytes(h.NameLength);
    if (m.local < first) first = m.local;
    archive.members.push_back(m);
    // A last member whose extra field or comment runs past the directory is still extracted.
    in.Skip(size_t{h.ExtraLength} + h.CommentLength);
  }
  return true;
}

bool ReadArchive(const TFile& self, TArchive& archive) {
  int64_t first = 0;
  if (!FindEnd(self, archive) || !ReadMembers(self, archive, first)) return false;
  char header[codec::kSfxHeaderSize];
  const auto headerSize = static_cast<int64_t>(sizeof header);
  if (archive.base + first < headerSize || !self.ReadAt(archive.base + first - headerSize, header, sizeof header) ||
      codec::DecodeSfxHeader(std::string_view(header, sizeof header), archive.options) != codec::TReadResult::Ok)
    return Fail("This program carries no self-extractor header");
  if (!(archive.options.Flags & codec::kSfxNoCheckSize) &&
      archive.endAt + static_cast<int64_t>(codec::kEndRecordSize) + archive.end.CommentLength != self.size)
    return Fail("The archive is incomplete or has bytes added behind it");
  return true;
}

// The folder to extract into ("-d FOLDER", the default folder, or the user's answer), made with
// its parents; empty when it cannot be made.
std::string MakeTarget(int argc, char** argv, const std::string& defaultDir) {
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
    return "";
  }
  return target;
}

enum TOverwrite { kOverwriteAsk = 0, kOverwriteYes = 1, kOverwriteNo = 2 };

TOverwrite OverwriteMode(uint8_t flags) {
  TOverwrite mode = (flags & codec::kSfxOverwriteAlways) ? kOverwriteYes
                    : (flags & codec::kSfxOverwriteNever) ? kOverwriteNo
                                                          : kOverwriteAsk;
  if (!(flags & codec::kSfxHideOverwriteBox) && mode != kOverwriteAsk && Interactive()) {
    const std::string a = Ask("Existing files: [o]verwrite, [s]kip, [a]sk each? ", "");
    if (!a.empty()) mode = a[0] == 'o' ? kOverwriteYes : a[0] == 's' ? kOverwriteNo : kOverwriteAsk;
  }
  return mode;
}

enum class TOutcome { Extracted, Skipped, Failed };

// Makes room for the member's file: Skipped when the user keeps the file there, Failed when it
// cannot be replaced.
TOutcome ClearPath(const std::string& path, const std::string& name, TOverwrite overwrite) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return TOutcome::Extracted;
  const bool replace = overwrite == kOverwriteYes ||
                       (overwrite == kOverwriteAsk && AskYes("Overwrite " + name + "? [y/N] ", false));
  if (!replace) {
    std::printf("Skipped: %s\n", name.c_str());
    return TOutcome::Skipped;
  }
  if (S_ISDIR(st.st_mode) || ::unlink(path.c_str()) != 0) {
    std::fprintf(stderr, "Cannot replace %s\n", name.c_str());
    return TOutcome::Failed;
  }
  return TOutcome::Extracted;
}

// Writes the member's file, fresh, with its permission bits and time.
TOutcome WriteMember(const TFile& self, const TArchive& archive, const TMember& m, const std::string& path,
                     const std::string& name, std::string& password) {
  if ((m.flags & codec::kEncryptedFlag) && password.empty()) password = AskPassword(name);
  // A fresh file only: nothing planted under that name is followed.
  const mode_t mode = m.host == codec::kHostUnix && (m.external >> 16) != 0 ? ((m.external >> 16) & 0777) : 0644;
  const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  std::string why;
  if (out < 0 || !Extract(self, archive.base, m, out, password, why)) {
    if (out < 0) why = std::strerror(errno);
    if (out >= 0) ::close(out);
    ::unlink(path.c_str());
    std::fprintf(stderr, "Failed: %s (%s)\n", name.c_str(), why.c_str());
    if (why == "wrong password") password.clear();
    return TOutcome::Failed;
  }
  const time_t when = DosTime(m.date, m.time);
  const struct timespec times[2] = {{when, 0}, {when, 0}};
  ::futimens(out, times);
  ::close(out);
  std::printf("Extracted: %s\n", name.c_str());
  return TOutcome::Extracted;
}

TOutcome ExtractMember(const TFile& self, const TArchive& archive, const TMember& m, const std::string& target,
                       TOverwrite overwrite, std::string& password) {
  const std::string name = SafeName(m.name);
  if (name.empty()) {
    std::fprintf(stderr, "Refused: %s (it would leave the target folder)\n", m.name.c_str());
    return TOutcome::Failed;
  }
  if ((archive.options.Flags & codec::kSfxAskFiles) && !AskYes("Extract " + name + "? [Y/n] ", true))
    return TOutcome::Skipped;
  if (!MakeFolders(target, name)) {
    std::fprintf(stderr, "Refused: %s (a folder on its way is not a folder)\n", name.c_str());
    return TOutcome::Failed;
  }
  const std::string path = target + "/" + name;
  if (name.back() == '/') {
    ::mkdir(path.c_str(), 0777);
    return TOutcome::Skipped;
  }
  const TOutcome cleared = ClearPath(path, name, overwrite);
  if (cleared != TOutcome::Extracted) return cleared;
  return WriteMember(self, archive, m, path, name, password);
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
  TArchive archive;
  if (!ReadArchive(self, archive)) return 2;
  const codec::TSfxHeader& options = archive.options;

  std::printf("%s\n", options.Caption.c_str());
  const std::string target = MakeTarget(argc, argv, options.DefaultDir);
  if (target.empty()) return 2;
  const TOverwrite overwrite = OverwriteMode(options.Flags);
  int failures = 0, extracted = 0;
  std::string password;
  for (const TMember& m : archive.members) {
    const TOutcome outcome = ExtractMember(self, archive, m, target, overwrite, password);
    if (outcome == TOutcome::Extracted) ++extracted;
    if (outcome == TOutcome::Failed) ++failures;
  }
  std::printf("%d file(s) extracted, %d failed\n", extracted, failures);

  if ((options.Flags & codec::kSfxAutoRun) && !options.CommandLine.empty() && failures == 0 &&
      (!(options.Flags & codec::kSfxAskCmdLine) || AskYes("Run " + options.CommandLine + "? [y/N] ", false))) {
    if (::chdir(target.c_str()) != 0) return 2;
    const int status = std::system(options.CommandLine.c_str());
    return status == 0 ? 0 : 3;
  }
  return failures == 0 ? 0 : 1;
}
