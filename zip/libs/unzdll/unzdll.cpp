// The unzip library: extracts or tests the members of an archive, as an unzip command record
// asks. Extraction never writes outside the folder it starts in: names that climb out of it are
// refused, links are never created, and no link met on the way is followed.
#include "zip/libs/lib_common.h"

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#ifndef UNZDLL_VERSION
#define UNZDLL_VERSION 171
#endif

using namespace ziplib;

namespace {

constexpr bool kCompact = UNZDLL_VERSION > 151;

struct TFd {
  int fd = -1;
  explicit TFd(int f) : fd(f) {}
  ~TFd() {
    if (fd >= 0) ::close(fd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
};

// The parts of a member name, or an empty list with the reason when the name is refused:
// absolute names, drive letters and ".." parts would leave the target folder.
std::vector<std::string> SafeParts(const std::string& stored, std::string& reason) {
  const std::string name = ForwardSlashes(stored);
  std::vector<std::string> parts;
  if (name.empty()) return reason = "empty name", parts;
  if (name[0] == '/') return reason = "absolute name", parts;
  if (name.size() >= 2 && name[1] == ':') return reason = "drive letter", parts;
  if (name.find('\0') != std::string::npos) return reason = "zero byte in name", parts;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part == "..") return parts.clear(), reason = "\"..\" in name", parts;
    if (!part.empty() && part != ".") parts.push_back(part);
    start = end + 1;
  }
  if (parts.empty()) reason = "empty name";
  return parts;
}

struct TExtractor {
  const UnzipCommandHead& rec;
  TReporter& reporter;
  zip_t* za;
  int root;  // the target folder, as it was when the call began
  std::vector<char> buffer = std::vector<char>(1 << 16);

  void Refuse(const std::string& name, const std::string& why) {
    reporter.Message(leRefused, "Refused " + name + ": " + why);
  }

  // Opens (and with create, makes) the folders of parts[0 .. n-1] below the root, never through a
  // link. -1 with a message when that cannot be done.
  int OpenFolders(const std::vector<std::string>& parts, size_t n, bool create, const std::string& name) {
    int dir = ::dup(root);
    for (size_t i = 0; i < n && dir >= 0; ++i) {
      if (create && ::mkdirat(dir, parts[i].c_str(), 0777) != 0 && errno != EEXIST) {
        reporter.Message(leWrite, "Cannot create folder for " + name + ": " + std::strerror(errno));
        ::close(dir);
        return -1;
      }
      const int next = ::openat(dir, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      const int error = errno;
      ::close(dir);
      dir = next;
      if (dir < 0) {
        if (error == ELOOP || error == ENOTDIR)
          Refuse(name, "its folder " + parts[i] + " is a link or not a folder");
        else if (create)
          reporter.Message(leWrite, "Cannot open folder for " + name + ": " + std::strerror(error));
        return -1;
      }
    }
    return dir;
  }

  // Writes the member into a fresh file beside its final name, then renames it into place, so a
  // link of that name is replaced rather than followed and a failed write leaves no half file.
  bool WriteMember(zip_uint64_t index, int dir, const std::string& leaf, const zip_stat_t& zs, mode_t mode) {
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temp = "." + leaf.substr(0, 200) + ".unz" + std::to_string(::getpid()) + "_" + std::to_string(attempt);
      fd = ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      reporter.Message(leWrite, "Cannot create " + leaf + ": " + std::strerror(errno));
      return false;
    }
    TFd out(fd);
    bool ok = CopyMember(index, zs, out.fd);
    if (ok && (zs.valid & ZIP_STAT_MTIME)) {
      const struct timespec times[2] = {{zs.mtime, 0}, {zs.mtime, 0}};
      ::futimens(out.fd, times);
    }
    if (ok && ::close(out.fd) != 0) {
      reporter.Message(leWrite, "Cannot write " + leaf + ": " + std::strerror(errno));
      ok = false;
    }
    out.fd = -1;
    if (ok && ::renameat(dir, temp.c_str(), dir, leaf.c_str()) != 0) {
      reporter.Message(leWrite, "Cannot write " + leaf + ": " + std::strerror(errno));
      ok = false;
    }
    if (!ok) ::unlinkat(dir, temp.c_str(), 0);
    return ok;
  }

  // Reads the whole member (checking its CRC), writing it to fd unless fd is -1.
  bool CopyMember(zip_uint64_t index, const zip_stat_t& zs, int fd) {
    zip_file_t* file = zip_fopen_index(za, index, 0);
    if (file == nullptr) {
      const int code = zip_error_code_zip(zip_get_error(za));
      reporter.Message(code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD ? lePassword : leRead,
                       std::string(zs.name) + ": " + zip_strerror(za));
      return false;
    }
    bool ok = true;
    for (;;) {
      const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
      if (n < 0) {
        const int code = zip_error_code_zip(zip_file_get_error(file));
        reporter.Message(code == ZIP_ER_CRC && (zs.encryption_method != ZIP_EM_NONE) ? lePassword : leRead,
                         std::string(zs.name) + ": " + zip_file_strerror(file));
        ok = false;
        break;
      }
      if (n == 0) break;
      if (fd >= 0) {
        for (zip_int64_t done = 0; done < n;) {
          const ssize_t w = ::write(fd, buffer.data() + done, static_cast<size_t>(n - done));
          if (w < 0 && errno == EINTR) continue;
          if (w <= 0) {
            reporter.Message(leWrite, std::string("Cannot write ") + zs.name + ": " + std::strerror(errno));
            zip_fclose(file);
            return false;
          }
          done += w;
        }
      }
      if (!reporter.Progress(n)) {
        ok = false;
        break;
      }
    }
    zip_fclose(file);
    return ok;
  }

  // True when the member was extracted (or tested) well.
  bool Member(zip_uint64_t index, const zip_stat_t& zs) {
    const std::string name = zs.name;
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    zip_file_get_external_attributes(za, index, 0, &opsys, &attributes);
    const mode_t unixMode = opsys == ZIP_OPSYS_UNIX ? static_cast<mode_t>(attributes >> 16) : 0;
    const bool folder = !name.empty() && name.back() == '/';
    if (!reporter.NewFile(name, static_cast<int64_t>(zs.size))) return false;
    if (rec.fTest) return folder || CopyMember(index, zs, -1);

    std::string reason;
    std::vector<std::string> parts = SafeParts(name, reason);
    if (parts.empty()) return Refuse(name, reason), false;
    if (S_ISLNK(unixMode)) return Refuse(name, "links are not extracted"), false;
    if (folder) {
      if (!rec.fDirectories) return true;
      const int dir = OpenFolders(parts, parts.size(), true, name);
      if (dir >= 0) ::close(dir);
      return dir >= 0;
    }
    if (!rec.fDirectories) parts.erase(parts.begin(), parts.end() - 1);
    const std::string& leaf = parts.back();
    const int dirFd = OpenFolders(parts, parts.size() - 1, true, name);
    if (dirFd < 0) return false;
    TFd dir(dirFd);
    struct stat st;
    if (::fstatat(dir.fd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISDIR(st.st_mode)) return Refuse(name, "a folder of that name exists"), false;
      const bool older = !(zs.valid & ZIP_STAT_MTIME) || st.st_mtime + 1 < zs.mtime;
      if (rec.fFreshen || rec.fUpdate) {
        if (!older) return false;
      } else if (!rec.fOverwrite) {
        reporter.Message(0, "Skipped " + name + ": the file exists");
        return false;
      }
    } else if (rec.fFreshen) {
      return false;
    }
    mode_t mode = 0666;
    // The member's permission bits, never set-id bits, and always readable by its owner.
    if (S_ISREG(unixMode)) mode = (unixMode & 0777) | 0400;
    const bool ok = WriteMember(index, dir.fd, leaf, zs, mode);
    if (ok && rec.fVerbose) reporter.Message(0, "extracting: " + name);
    return ok;
  }
};

int32_t Extract(const UnzipCommandHead& rec, const std::vector<std::string>& specs, TReporter& reporter) {
  const std::string archiveName = rec.pZipFN != nullptr ? rec.pZipFN : "";
  int code = 0;
  zip_t* za = zip_open(archiveName.c_str(), ZIP_RDONLY, &code);
  if (za == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    reporter.Message(leOpen, "Cannot open archive " + archiveName + ": " + zip_error_strerror(&error));
    zip_error_fini(&error);
    return 0;
  }
  std::unique_ptr<zip_t, decltype(&zip_discard)> archive(za, zip_discard);
  if (rec.pZipPassword != nullptr && *rec.pZipPassword != 0) zip_set_default_password(za, rec.pZipPassword);
  const zip_flags_t encoding = rec.fCodePage == 1 ? ZIP_FL_ENC_RAW : rec.fCodePage == 2 ? ZIP_FL_ENC_STRICT : ZIP_FL_ENC_GUESS;

  const int root = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (root < 0) return reporter.Message(leOpen, std::string("Cannot open the target folder: ") + std::strerror(errno)), 0;
  TFd rootFd(root);
  TExtractor extractor{rec, reporter, za, root};

  std::vector<std::pair<zip_uint64_t, zip_stat_t>> chosen;
  int64_t totalSize = 0;
  const zip_int64_t entries = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < entries; ++i) {
    zip_stat_t zs;
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), encoding, &zs) != 0 || zs.name == nullptr) continue;
    const std::string name = zs.name;
    const bool wanted = specs.empty() || std::any_of(specs.begin(), specs.end(), [&](const std::string& spec) {
      const std::string mask = ForwardSlashes(spec);
      // A mask without a folder also matches the name part of members in folders.
      return WildMatch(name, mask) ||
             (mask.find('/') == std::string::npos && WildMatch(name.substr(name.rfind('/') + 1), mask));
    });
    if (!wanted) continue;
    chosen.emplace_back(static_cast<zip_uint64_t>(i), zs);
    totalSize += static_cast<int64_t>(zs.size);
  }
  if (chosen.empty()) return reporter.Message(leNothing, "No member of " + archiveName + " matches"), 0;
  if (!reporter.Send(zaTotalFiles, static_cast<int64_t>(chosen.size())) || !reporter.Send(zaTotalSize, totalSize))
    return 0;
  int32_t count = 0;
  for (const auto& [index, zs] : chosen) {
    const std::string_view name = zs.name;
    if (extractor.Member(index, zs) && !name.ends_with('/')) ++count;
    if (reporter.Cancelled()) {
      reporter.Message(leCancelled, "Cancelled");
      break;
    }
  }
  if (rec.fTest && count > 0 && !reporter.Cancelled())
    reporter.Message(0, "Tested " + std::to_string(count) + " member(s) of " + archiveName + ": no errors");
  reporter.Send(zaEndOfBatch, 0);
  return count;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t GetUnzDllVersion(void) { return UNZDLL_VERSION; }

__attribute__((visibility("default"))) int32_t UnzDllExec(UnzipCommandHead* record) {
  if (record == nullptr) return 0;
  TReporter reporter(record->Callback, record->Handle, record->Caller);
  try {
    const std::vector<std::string> specs = Specs<UnzipCommandCompact, UnzipCommandLong>(record, kCompact);
    return Extract(*record, specs, reporter);
  } catch (const std::exception& e) {
    reporter.Message(leRead, std::string("Internal error: ") + e.what());
  }
  return 0;
}

}
