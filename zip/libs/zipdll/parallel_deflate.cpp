#include "zip/libs/zipdll/parallel_deflate.h"

#include "zip/libs/lib_common.h"

#include <zlib.h>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>

namespace ziplib {

namespace {

constexpr size_t kReadBlock = size_t(256) << 10;
constexpr int64_t kProgressBlock = 8192;     // the archive library reads a file it deflates in such blocks
constexpr int kMemLevel = 8;
constexpr zip_uint8_t kVersionNeeded = 20;   // 2.0: deflate
constexpr zip_uint16_t kLevelBits = 0x0006;  // general purpose bits 1 and 2: how hard it deflated

// A raw deflate stream with the largest window and zlib's default memory level: the larger hash
// and buffers of memory level 9 (the archive library's choice) cost a third more time on binary
// data for no smaller archive.
class TDeflateStream {
 public:
  explicit TDeflateStream(int level) {
    ok_ = deflateInit2(&z_, level, Z_DEFLATED, -MAX_WBITS, kMemLevel, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~TDeflateStream() {
    if (ok_) deflateEnd(&z_);
  }
  TDeflateStream(const TDeflateStream&) = delete;
  TDeflateStream& operator=(const TDeflateStream&) = delete;
  bool Reset() { return ok_ && deflateReset(&z_) == Z_OK; }
  z_stream& Z() { return z_; }

 private:
  z_stream z_{};
  bool ok_ = false;
};

// Output that grows without being zero-filled first; untouched capacity costs no memory.
struct TBytes {
  std::unique_ptr<unsigned char[]> data;
  size_t size = 0;
  size_t capacity = 0;

  void Grow(size_t atLeast) {
    if (atLeast <= capacity) return;
    auto bigger = std::make_unique_for_overwrite<unsigned char[]>(atLeast);
    if (size > 0) std::memcpy(bigger.get(), data.get(), size);
    data = std::move(bigger);
    capacity = atLeast;
  }
  void Clear() {
    data.reset();
    size = capacity = 0;
  }
};

}  // namespace

// One member: the file to deflate, then what deflating it gave.
struct TJob {
  enum TState { kPending, kClaimed, kDone, kReleased };

  std::string path, stored;
  int64_t size;  // as the file's status said when it was added
  time_t mtime;
  TState state = kPending;
  bool counted = false;              // its size is in the window
  std::atomic<bool> abandon{false};  // its source was freed while a worker had it

  // Written by whoever deflates it, read once it is done.
  TBytes out;
  size_t packed = 0;  // the deflated size, kept when the bytes are let go
  uint32_t crc = 0;
  int64_t read = 0;  // bytes read from the file
  int error = ZIP_ER_OK;
  int sysError = 0;

  TJob(std::string p, std::string s, int64_t n, time_t t)
      : path(std::move(p)), stored(std::move(s)), size(n), mtime(t) {}
};

struct TParallelDeflate::TShared {
  std::mutex mutex;
  std::condition_variable workersWake;  // a job to take, room in the window, or stop
  std::condition_variable jobDone;
  std::vector<std::shared_ptr<TJob>> jobs;  // in the order they were added, which the archive keeps
  size_t next = 0;                          // jobs before it are taken
  int level;
  int64_t window;
  int64_t inFlight = 0;                     // sizes of jobs taken and not yet released
  bool sealed = false;                      // no more jobs will come
  std::atomic<bool> stop{false};

  TShared(int l, int64_t w) : level(l), window(w) {}

  void Claim(TJob& job) {
    job.state = TJob::kClaimed;
    job.counted = true;
    inFlight += job.size;
  }
  // Lets a job's bytes go (with the lock held); one a worker has is let go when it is done.
  void Release(TJob& job) {
    if (job.state == TJob::kClaimed) {
      job.abandon = true;
      return;
    }
    if (job.counted) inFlight -= job.size;
    job.counted = false;
    job.out.Clear();
    job.state = TJob::kReleased;
    workersWake.notify_all();
  }
  void Finish(TJob& job) {
    job.state = TJob::kDone;
    if (job.abandon) Release(job);
    jobDone.notify_all();
  }
};

namespace {

using TShared = TParallelDeflate::TShared;

ssize_t ReadSome(int fd, unsigned char* buffer, size_t len) {
  ssize_t n;
  do n = ::read(fd, buffer, len);
  while (n < 0 && errno == EINTR);
  return n;
}

// Deflates one block of input into the job's output (the whole rest of the stream with Z_FINISH).
bool DeflateBlock(z_stream& z, TBytes& out, const unsigned char* data, size_t n, int flush) {
  z.next_in = const_cast<unsigned char*>(data);
  z.avail_in = static_cast<uInt>(n);
  int rc;
  do {
    if (out.capacity - out.size < 64) out.Grow(out.capacity * 2 + kReadBlock);
    z.next_out = out.data.get() + out.size;
    z.avail_out = static_cast<uInt>(std::min<size_t>(out.capacity - out.size, std::numeric_limits<uInt>::max()));
    const size_t room = z.avail_out;
    rc = deflate(&z, flush);
    out.size += room - z.avail_out;
    if (rc == Z_STREAM_ERROR) return false;
  } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
  return true;
}

// Reads and deflates the job's file: its bytes, CRC and length, or the error that stopped it.
void DeflateFile(TJob& job, TDeflateStream& stream, unsigned char* buffer, const std::atomic<bool>& stop) {
  struct TFile {
    int fd;
    ~TFile() {
      if (fd >= 0) ::close(fd);
    }
  } const file{::open(job.path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    job.error = ZIP_ER_OPEN;
    job.sysError = errno;
    return;
  }
  if (!stream.Reset()) job.error = ZIP_ER_MEMORY;
  job.out.Grow(deflateBound(&stream.Z(), static_cast<uLong>(std::max<int64_t>(job.size, 0))) + 64);
  uLong crc = crc32(0, nullptr, 0);
  while (job.error == ZIP_ER_OK) {
    if (stop || job.abandon) {
      job.error = ZIP_ER_CANCELLED;
      break;
    }
    const ssize_t n = ReadSome(file.fd, buffer, kReadBlock);
    if (n < 0) {
      job.error = ZIP_ER_READ;
      job.sysError = errno;
      break;
    }
    crc = crc32(crc, buffer, static_cast<uInt>(n));
    job.read += n;
    if (!DeflateBlock(stream.Z(), job.out, buffer, static_cast<size_t>(n), n == 0 ? Z_FINISH : Z_NO_FLUSH))
      job.error = ZIP_ER_INTERNAL;
    if (n == 0) break;
  }
  job.crc = static_cast<uint32_t>(crc);
  job.packed = job.out.size;
}

// DeflateFile, a lack of memory failing the member rather than the process.
void DeflateJob(TJob& job, TDeflateStream& stream, unsigned char* buffer, const std::atomic<bool>& stop) {
  try {
    DeflateFile(job, stream, buffer, stop);
  } catch (const std::bad_alloc&) {
    job.out.Clear();
    job.error = ZIP_ER_MEMORY;
  }
}

void Work(TShared& s) {
  TDeflateStream stream(s.level);
  const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kReadBlock);
  std::unique_lock lock(s.mutex);
  for (;;) {
    while (s.next < s.jobs.size() && s.jobs[s.next]->state != TJob::kPending) ++s.next;
    if (s.stop || (s.next == s.jobs.size() && s.sealed)) return;
    if (s.next == s.jobs.size()) {  // more members are being added
      s.workersWake.wait(lock);
      continue;
    }
    // The window holds at least one job, however large: the next one written always gets done.
    const std::shared_ptr<TJob> job = s.jobs[s.next];
    if (s.inFlight > 0 && s.inFlight + job->size > s.window) {
      s.workersWake.wait(lock);
      continue;
    }
    s.Claim(*job);
    ++s.next;
    lock.unlock();
    DeflateJob(*job, stream, buffer.get(), s.stop);
    lock.lock();
    s.Finish(*job);
  }
}

// The source the archive library reads a deflated member from, on the thread that commits.
struct TMemberSource {
  std::shared_ptr<TShared> shared;
  std::shared_ptr<TJob> job;
  TReporter* reporter;
  zip_error_t error;
  bool ready = false;     // the job is done and its results may be read
  size_t pos = 0;         // deflated bytes handed out
  int64_t reported = 0;   // file bytes reported as progress

  int Fail(int code, int sys = 0) {
    zip_error_set(&error, code, sys);
    return -1;
  }
};

// Waits for the job, deflating it here when no worker has taken it.
void AwaitJob(TShared& s, TJob& job) {
  std::unique_lock lock(s.mutex);
  if (job.state == TJob::kPending) {
    s.Claim(job);
    lock.unlock();
    TDeflateStream stream(s.level);
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kReadBlock);
    DeflateJob(job, stream, buffer.get(), s.stop);
    lock.lock();
    s.Finish(job);
  }
  s.jobDone.wait(lock, [&job] { return job.state != TJob::kClaimed; });
}

zip_int64_t OnOpen(TMemberSource& m) {
  TJob& job = *m.job;
  AwaitJob(*m.shared, job);
  if (job.state == TJob::kReleased) return m.Fail(ZIP_ER_INTERNAL);  // opened twice
  if (job.error != ZIP_ER_OK && job.error != ZIP_ER_READ) return m.Fail(job.error, job.sysError);
  m.ready = true;
  m.pos = 0;
  m.reported = 0;
  if (!m.reporter->NewFile(job.stored, job.size)) return m.Fail(ZIP_ER_CANCELLED);
  return 0;
}

zip_int64_t OnRead(TMemberSource& m, void* data, zip_uint64_t len) {
  const TJob& job = *m.job;
  if (job.error == ZIP_ER_READ) return m.Fail(job.error, job.sysError);
  const size_t n = static_cast<size_t>(std::min<zip_uint64_t>(len, job.out.size - m.pos));
  if (n > 0) std::memcpy(data, job.out.data.get() + m.pos, n);
  m.pos += n;
  // Progress counts file bytes in whole blocks, in step with the deflated bytes written: the
  // same reports the archive library's own reading of the file gives.
  int64_t done = job.read;
  if (m.pos < job.out.size) {
    done = static_cast<int64_t>(static_cast<double>(job.read) * static_cast<double>(m.pos) /
                                static_cast<double>(job.out.size));
    done -= done % kProgressBlock;
  }
  while (m.reported < done) {
    const int64_t step = std::min(kProgressBlock, done - m.reported);
    m.reported += step;
    if (!m.reporter->Progress(step)) return m.Fail(ZIP_ER_CANCELLED);
  }
  return static_cast<zip_int64_t>(n);
}

zip_int64_t OnStat(const TMemberSource& m, void* data) {
  const TJob& job = *m.job;
  auto* st = static_cast<zip_stat_t*>(data);
  zip_stat_init(st);
  st->size = static_cast<zip_uint64_t>(m.ready ? job.read : job.size);
  st->mtime = job.mtime;
  st->comp_method = ZIP_CM_DEFLATE;
  st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME | ZIP_STAT_COMP_METHOD;
  if (m.ready) {
    st->comp_size = job.packed;
    st->crc = job.crc;
    st->valid |= ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC;
  }
  return sizeof(*st);
}

// What the library's deflate would say of the member: version 2.0 needed, and the level in bits
// 1 and 2 (fastest levels 1 and 2, maximum levels 8 and 9).
zip_int64_t OnAttributes(const TMemberSource& m, void* data) {
  auto* attributes = static_cast<zip_file_attributes_t*>(data);
  const int level = m.shared->level;
  attributes->valid |= ZIP_FILE_ATTRIBUTES_VERSION_NEEDED | ZIP_FILE_ATTRIBUTES_GENERAL_PURPOSE_BIT_FLAGS;
  attributes->version_needed = kVersionNeeded;
  attributes->general_purpose_bit_mask = kLevelBits;
  attributes->general_purpose_bit_flags = level < 3 ? 2 << 1 : level > 7 ? 1 << 1 : 0;
  return sizeof(*attributes);
}

zip_int64_t MemberCallback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto* m = static_cast<TMemberSource*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      return OnOpen(*m);
    case ZIP_SOURCE_READ:
      return OnRead(*m, data, len);
    case ZIP_SOURCE_CLOSE:
      // Written whole: its bytes are no longer needed (the sizes and CRC stay for the record).
      if (m->ready && m->pos == m->job->out.size) {
        std::lock_guard lock(m->shared->mutex);
        m->shared->Release(*m->job);
      }
      return 0;
    case ZIP_SOURCE_STAT:
      return len < sizeof(zip_stat_t) ? m->Fail(ZIP_ER_INVAL) : OnStat(*m, data);
    case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
      return len < sizeof(zip_file_attributes_t) ? m->Fail(ZIP_ER_INVAL) : OnAttributes(*m, data);
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&m->error, data, len);
    case ZIP_SOURCE_FREE: {
      {
        std::lock_guard lock(m->shared->mutex);
        m->shared->Release(*m->job);
      }
      zip_error_fini(&m->error);
      delete m;
      return 0;
    }
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
    default:
      return m->Fail(ZIP_ER_OPNOTSUPP);
  }
}

}  // namespace

int DeflateThreads() {
  if (const char* text = std::getenv("MIRNAX_ZIP_THREADS"); text != nullptr && *text != 0) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*end == 0 && n >= 0) return static_cast<int>(std::min(n, 256L));
  }
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

TParallelDeflate::TParallelDeflate(int threads, int level, TLimits limits)
    : shared_(std::make_shared<TShared>(std::clamp(level, 1, 9), limits.window)),
      threads_(threads),
      largeMember_(limits.largeMember) {}

TParallelDeflate::~TParallelDeflate() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stop = true;
    shared_->workersWake.notify_all();
  }
  for (std::thread& worker : workers_) worker.join();
}

zip_source_t* TParallelDeflate::Source(zip_t* za, const std::string& path, const std::string& stored, int64_t size,
                                       time_t mtime, TReporter& reporter) {
  // A member that replaces one of the archive as it was opened is the library's to deflate: it
  // chooses the level and may store it, where a new member gets what was asked.
  if (threads_ <= 0 || size > largeMember_ || zip_name_locate(za, stored.c_str(), ZIP_FL_UNCHANGED) >= 0)
    return nullptr;
  auto job = std::make_shared<TJob>(path, stored, size, mtime);
  auto* state = new TMemberSource{shared_, job, &reporter, {}};
  zip_error_init(&state->error);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(MemberCallback, state, &error);
  zip_error_fini(&error);
  if (source == nullptr) {
    zip_error_fini(&state->error);
    delete state;
    return nullptr;
  }
  {
    std::lock_guard lock(shared_->mutex);
    shared_->jobs.push_back(std::move(job));
    shared_->workersWake.notify_one();
  }
  // Workers start with the first member, deflating while the rest are looked at and added.
  if (workers_.empty()) StartWorkers();
  return source;
}

void TParallelDeflate::StartWorkers() {
  try {
    for (int i = 0; i < threads_; ++i) workers_.emplace_back(Work, std::ref(*shared_));
  } catch (const std::system_error&) {
    // Fewer threads than asked: what no worker takes is deflated as it is written.
  }
}

void TParallelDeflate::Start() {
  std::lock_guard lock(shared_->mutex);
  shared_->sealed = true;
  shared_->workersWake.notify_all();
}

}  // namespace ziplib
