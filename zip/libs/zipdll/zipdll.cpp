// The zip library: adds files to an archive or deletes members from it, as a zip command record
// asks, writing through a temporary file so the archive is replaced only when all went well.
#include "zip/libs/lib_common.h"
#include "zip/libs/zipdll/archive_source.h"
#include "zip/libs/zipdll/parallel_deflate.h"

#include <zip.h>
#include <zlib.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <set>
#include <utility>

#ifndef ZIPDLL_VERSION
#define ZIPDLL_VERSION 170
#endif

using namespace ziplib;

namespace {

constexpr bool kCompact = ZIPDLL_VERSION > 150;

struct TFileToAdd {
  std::string path;    // as the file system takes it
  std::string stored;  // the member name
  struct stat st;
};

struct TAddRequest {
  const ZipCommandHead& rec;
  TReporter& reporter;
  std::vector<TFileToAdd> files;
  std::set<std::string> seen;
  // The archive being written, when it exists already: never added to itself.
  std::optional<std::pair<dev_t, ino_t>> archive;
};

// A name as it is stored: '/' separators, no leading "/", "./" or "../" parts, which would make
// an extractor write outside its folder.
std::string StoredName(const std::string& path, const ZipCommandHead& rec) {
  std::string name = path;
  if (rec.fJunkDir) name = name.substr(name.rfind('/') + 1);
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    if (!part.empty() && part != "." && part != "..") {
      if (rec.fForceDOS) {
        for (char& c : part) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const size_t dot = part.rfind('.');
        std::string base = part.substr(0, dot), ext = dot == std::string::npos ? "" : part.substr(dot + 1);
        std::replace(base.begin(), base.end(), '.', '_');
        part = base.substr(0, 8) + (ext.empty() ? "" : "." + ext.substr(0, 3));
      }
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

bool Hidden(const char* name) { return name[0] == '.'; }

void AddFile(TAddRequest& request, const std::string& path, const struct stat& st) {
  if (request.archive && *request.archive == std::make_pair(st.st_dev, st.st_ino)) return;
  std::string stored = StoredName(path, request.rec);
  if (stored.empty() || !request.seen.insert(path).second) return;
  request.files.push_back({path, stored, st});
}

void Walk(TAddRequest& request, const std::string& folder, const std::string& mask, bool recurse, int depth) {
  if (depth > 256) return;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (Hidden(e->d_name) && !request.rec.fSystem) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string path = folder.empty() ? name : (folder.back() == '/' ? folder + name : folder + "/" + name);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) continue;
    if (S_ISREG(st.st_mode) && WildMatch(name, mask)) AddFile(request, path, st);
    struct stat lst;
    // Folders reached through links are not entered, so a link loop cannot recurse forever.
    if (S_ISDIR(st.st_mode) && recurse && ::lstat(path.c_str(), &lst) == 0 && S_ISDIR(lst.st_mode))
      Walk(request, path, mask, recurse, depth + 1);
  }
}

void Collect(TAddRequest& request, const std::string& spec) {
  const std::string s = ForwardSlashes(spec);
  const size_t before = request.files.size();
  struct stat st;
  if (!HasWildcards(s) && ::stat(s.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Walk(request, s, "*", request.rec.fRecurse != 0, 0);
    else if (S_ISREG(st.st_mode)) AddFile(request, s, st);
  } else {
    const size_t slash = s.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : s.substr(0, slash + 1);
    std::string mask = s.substr(folder.size());
    if (mask == "*.*") mask = "*";  // every file, dotted or not
    Walk(request, folder, mask, request.rec.fRecurse != 0, 0);
  }
  if (request.files.size() == before) request.reporter.Message(leNothing, "Nothing matches: " + spec);
}

// A file of the file system as a source of member data, reporting the file and its progress.
struct TFileSource {
  std::string path, stored;
  int64_t size;
  time_t mtime;
  int fd = -1;
  TReporter* reporter;
  zip_error_t error;
};

zip_int64_t FileSourceCallback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto* s = static_cast<TFileSource*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      s->fd = ::open(s->path.c_str(), O_RDONLY | O_CLOEXEC);
      if (s->fd < 0) {
        zip_error_set(&s->error, ZIP_ER_OPEN, errno);
        return -1;
      }
      if (!s->reporter->NewFile(s->stored, s->size)) {
        zip_error_set(&s->error, ZIP_ER_CANCELLED, 0);
        return -1;
      }
      return 0;
    case ZIP_SOURCE_READ: {
      ssize_t n;
      do n = ::read(s->fd, data, len);
      while (n < 0 && errno == EINTR);
      if (n < 0) {
        zip_error_set(&s->error, ZIP_ER_READ, errno);
        return -1;
      }
      if (n > 0 && !s->reporter->Progress(n)) {
        zip_error_set(&s->error, ZIP_ER_CANCELLED, 0);
        return -1;
      }
      return n;
    }
    case ZIP_SOURCE_CLOSE:
      if (s->fd >= 0) ::close(s->fd);
      s->fd = -1;
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->size = static_cast<zip_uint64_t>(s->size);
      st->mtime = s->mtime;
      st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
      return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
      if (s->fd >= 0) ::close(s->fd);
      zip_error_fini(&s->error);
      delete s;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
      zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

// The file as a source the archive library reads and deflates itself.
zip_source_t* NewFileSource(const TFileToAdd& file, TReporter& reporter) {
  auto* state = new TFileSource{file.path, file.stored, file.st.st_size, file.st.st_mtime, -1, &reporter, {}};
  zip_error_init(&state->error);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(FileSourceCallback, state, &error);
  zip_error_fini(&error);
  if (source == nullptr) {
    zip_error_fini(&state->error);
    delete state;
  }
  return source;
}

// Tells files whose samples from the start, middle and end do not shrink under a quick deflate:
// such data (already compressed, encrypted, random) is stored, which spends no time on deflating
// it and gives an archive no larger. One deflate state serves every file of an Add: setting one
// up costs more than deflating the samples.
class TIncompressibleTest {
 public:
  static constexpr int64_t kSample = 8192;

  TIncompressibleTest() : sample_(3 * kSample), out_(compressBound(3 * kSample)) {
    ok_ = deflateInit(&z_, 1) == Z_OK;
  }
  ~TIncompressibleTest() {
    if (ok_) deflateEnd(&z_);
  }
  TIncompressibleTest(const TIncompressibleTest&) = delete;
  TIncompressibleTest& operator=(const TIncompressibleTest&) = delete;

  bool operator()(const std::string& path, int64_t size) {
    if (!ok_ || size < 4 * kSample) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    size_t got = 0;
    for (const int64_t at : {int64_t(0), size / 2, size - kSample}) {
      const ssize_t n = ::pread(fd, sample_.data() + got, kSample, at);
      if (n > 0) got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (deflateReset(&z_) != Z_OK) return false;
    z_.next_in = sample_.data();
    z_.avail_in = static_cast<uInt>(got);
    z_.next_out = out_.data();
    z_.avail_out = static_cast<uInt>(out_.size());
    if (deflate(&z_, Z_FINISH) != Z_STREAM_END) return false;
    return z_.total_out * 100 >= got * 98;
  }

 private:
  z_stream z_{};
  bool ok_ = false;
  std::vector<unsigned char> sample_, out_;
};

std::string ErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

struct TArchive {
  zip_t* za = nullptr;
  ~TArchive() {
    if (za != nullptr) zip_discard(za);
  }
};

zip_t* OpenArchive(const std::string& name, int flags, TReporter& reporter) {
  for (const std::string& stale : StaleTemporariesOf(name))
    reporter.Message(0, "A temporary file left by an earlier run that did not finish may be deleted: " + stale);
  int code = 0;
  zip_t* za = OpenArchiveFile(name, flags, code);
  if (za == nullptr) reporter.Message(leOpen, "Cannot open archive " + name + ": " + ErrorText(code));
  return za;
}

// Commits the archive; false (with a message) when that failed or was cancelled, the old
// archive then being left as it was.
bool CloseArchive(TArchive& archive, TReporter& reporter, const std::string& name) {
  if (zip_close(archive.za) == 0) {
    archive.za = nullptr;
    return true;
  }
  if (reporter.Cancelled())
    reporter.Message(leCancelled, "Cancelled: " + name + " is unchanged");
  else
    reporter.Message(leWrite, "Cannot write archive " + name + ": " + zip_strerror(archive.za));
  return false;
}

// What one Add has put into the archive so far.
struct TAddBatch {
  const ZipCommandHead& rec;
  TReporter& reporter;
  zip_t* za;
  int level;
  std::string password;
  TParallelDeflate& deflater;  // members deflated on all cores, written in order
  TIncompressibleTest incompressible;
  int32_t count = 0;
  int64_t totalSize = 0;
  std::vector<const TFileToAdd*> added;
  std::set<std::string> folders;  // of the members added, each with its trailing slash
};

// With freshen or update, whether the file replaces its member (or, updating, comes in new).
bool WantedByFreshenUpdate(const TAddBatch& batch, const TFileToAdd& file) {
  if (!batch.rec.fFreshen && !batch.rec.fUpdate) return true;
  const zip_int64_t existing = zip_name_locate(batch.za, file.stored.c_str(), 0);
  zip_stat_t zs;
  const bool present = existing >= 0 && zip_stat_index(batch.za, static_cast<zip_uint64_t>(existing), 0, &zs) == 0;
  // Stored times have a resolution of two seconds.
  const bool newer = present && file.st.st_mtime > zs.mtime + 1;
  return present ? newer : !batch.rec.fFreshen;
}

// Where the archive library reads the member from: deflated by the workers, or the file itself.
zip_source_t* MemberSource(TAddBatch& batch, const TFileToAdd& file, bool store) {
  zip_source_t* source = store || batch.rec.fEncrypt
                             ? nullptr
                             : batch.deflater.Source(batch.za, file.path, file.stored, file.st.st_size,
                                                     file.st.st_mtime, batch.reporter);
  return source != nullptr ? source : NewFileSource(file, batch.reporter);
}

// Adds the file as a member; false when the whole Add must stop (a member that cannot be encrypted).
bool AddMember(TAddBatch& batch, const TFileToAdd& file) {
  const ZipCommandHead& rec = batch.rec;
  const bool store = batch.level == 0 || batch.incompressible(file.path, file.st.st_size);
  zip_source_t* source = MemberSource(batch, file, store);
  if (source == nullptr) return true;
  const zip_int64_t index = zip_file_add(batch.za, file.stored.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
  if (index < 0) {
    zip_source_free(source);
    batch.reporter.Message(leWrite, "Cannot add " + file.path + ": " + zip_strerror(batch.za));
    return true;
  }
  const auto i = static_cast<zip_uint64_t>(index);
  zip_file_set_mtime(batch.za, i, file.st.st_mtime, 0);
  zip_set_file_compression(batch.za, i, store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, static_cast<zip_uint32_t>(batch.level));
  zip_file_set_external_attributes(batch.za, i, 0, ZIP_OPSYS_UNIX, static_cast<zip_uint32_t>(file.st.st_mode) << 16);
  if (rec.fEncrypt && zip_file_set_encryption(batch.za, i, ZIP_EM_TRAD_PKWARE, batch.password.c_str()) != 0) {
    batch.reporter.Message(leWrite, "Cannot encrypt " + file.stored + ": " + zip_strerror(batch.za));
    return false;
  }
  if (!rec.fNoDirEntries && !rec.fJunkDir) {
    for (size_t slash = file.stored.find('/'); slash != std::string::npos; slash = file.stored.find('/', slash + 1))
      batch.folders.insert(file.stored.substr(0, slash + 1));
  }
  if (rec.fVerbose) batch.reporter.Message(0, "adding: " + file.stored);
  batch.totalSize += file.st.st_size;
  batch.added.push_back(&file);
  ++batch.count;
  return true;
}

// The newest modification time of the archive's members, 0 when none has one.
time_t NewestMember(zip_t* za) {
  time_t newest = 0;
  const zip_int64_t entries = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < entries; ++i) {
    zip_stat_t zs;
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &zs) == 0 && (zs.valid & ZIP_STAT_MTIME))
      newest = std::max(newest, zs.mtime);
  }
  return newest;
}

// Once the archive is written: its time set to its newest member's, the files moved into it removed.
void FinishAdd(const TAddBatch& batch, const std::string& archiveName, time_t newest) {
  if (batch.rec.fLatestTime && newest > 0) {
    const struct timespec times[2] = {{newest, 0}, {newest, 0}};
    ::utimensat(AT_FDCWD, archiveName.c_str(), times, 0);
  }
  if (batch.rec.fMove) {
    for (const TFileToAdd* file : batch.added)
      if (::unlink(file->path.c_str()) != 0)
        batch.reporter.Message(leWrite, "Cannot remove " + file->path + ": " + std::strerror(errno));
  }
}

int32_t AddFiles(const ZipCommandHead& rec, const std::vector<std::string>& specs, TReporter& reporter) {
  const std::string archiveName = rec.pZipFN != nullptr ? rec.pZipFN : "";
  const std::string password = rec.pZipPassword != nullptr ? rec.pZipPassword : "";
  if (archiveName.empty()) return reporter.Message(leBadArgs, "No archive name given"), 0;
  if (rec.fEncrypt && password.empty()) return reporter.Message(lePassword, "A password is needed to encrypt"), 0;
  TAddRequest request{rec, reporter, {}, {}, {}};
  struct stat archiveStat;
  if (::stat(archiveName.c_str(), &archiveStat) == 0) request.archive = std::make_pair(archiveStat.st_dev, archiveStat.st_ino);
  for (const std::string& spec : specs) Collect(request, spec);
  if (request.files.empty()) return 0;

  TArchive archive;
  archive.za = OpenArchive(archiveName, ZIP_CREATE, reporter);
  if (archive.za == nullptr) return 0;
  const int level = std::clamp(rec.fLevel, 0, 9);
  TParallelDeflate deflater(DeflateThreads(), level);
  TAddBatch batch{rec, reporter, archive.za, level, password, deflater, {}, 0, 0, {}, {}};
  for (const TFileToAdd& file : request.files)
    if (WantedByFreshenUpdate(batch, file) && !AddMember(batch, file)) return 0;
  if (batch.count == 0) {
    reporter.Message(leNothing, rec.fFreshen || rec.fUpdate ? "Nothing to update in " + archiveName
                                                            : "Nothing added to " + archiveName);
    return 0;
  }
  for (const std::string& folder : batch.folders)
    if (zip_name_locate(archive.za, folder.c_str(), 0) < 0) zip_dir_add(archive.za, folder.c_str(), ZIP_FL_ENC_GUESS);
  const time_t newest = NewestMember(archive.za);
  if (!reporter.Send(zaTotalFiles, batch.count) || !reporter.Send(zaTotalSize, batch.totalSize)) {
    reporter.Message(leCancelled, "Cancelled: " + archiveName + " is unchanged");
    return 0;
  }
  deflater.Start();
  if (!CloseArchive(archive, reporter, archiveName)) return 0;
  FinishAdd(batch, archiveName, newest);
  reporter.Send(zaEndOfBatch, 0);
  return batch.count;
}

// An archive without members: its end record alone.
bool WriteEmptyArchive(const std::string& name) {
  static const unsigned char kEmpty[22] = {'P', 'K', 5, 6};
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool ok = ::write(fd, kEmpty, sizeof kEmpty) == static_cast<ssize_t>(sizeof kEmpty);
  return ::close(fd) == 0 && ok;
}

int32_t DeleteMembers(const ZipCommandHead& rec, const std::vector<std::string>& specs, TReporter& reporter) {
  const std::string archiveName = rec.pZipFN != nullptr ? rec.pZipFN : "";
  if (specs.empty()) return reporter.Message(leNothing, "Nothing to delete"), 0;
  TArchive archive;
  archive.za = OpenArchive(archiveName, 0, reporter);
  if (archive.za == nullptr) return 0;
  const zip_int64_t entries = zip_get_num_entries(archive.za, 0);
  int32_t count = 0;
  for (zip_int64_t i = 0; i < entries; ++i) {
    const char* raw = zip_get_name(archive.za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
    if (raw == nullptr) continue;
    std::string name = raw;
    if (!name.empty() && name.back() == '/') name.pop_back();
    const bool match = std::any_of(specs.begin(), specs.end(), [&](const std::string& spec) {
      return WildMatch(name, ForwardSlashes(spec)) || WildMatch(raw, ForwardSlashes(spec));
    });
    if (!match) continue;
    if (zip_delete(archive.za, static_cast<zip_uint64_t>(i)) == 0) {
      if (rec.fVerbose) reporter.Message(0, "deleting: " + std::string(raw));
      ++count;
    }
  }
  if (count == 0) return reporter.Message(leNothing, "No member of " + archiveName + " matches"), 0;
  if (!CloseArchive(archive, reporter, archiveName)) return 0;
  // Deleting every member removes the file; an empty archive stays in its place.
  if (count == entries && ::access(archiveName.c_str(), F_OK) != 0 && !WriteEmptyArchive(archiveName))
    reporter.Message(leWrite, "Cannot write archive " + archiveName);
  reporter.Send(zaEndOfBatch, 0);
  return count;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t GetZipDllVersion(void) { return ZIPDLL_VERSION; }

__attribute__((visibility("default"))) int32_t ZipDllExec(ZipCommandHead* record) {
  if (record == nullptr) return 0;
  TReporter reporter(record->Callback, record->Handle, record->Caller);
  try {
    const std::vector<std::string> specs = Specs<ZipCommandCompact, ZipCommandLong>(record, kCompact);
    return record->fDeleteEntries ? DeleteMembers(*record, specs, reporter) : AddFiles(*record, specs, reporter);
  } catch (const std::exception& e) {
    reporter.Message(leWrite, std::string("Internal error: ") + e.what());
  }
  return 0;
}

}
