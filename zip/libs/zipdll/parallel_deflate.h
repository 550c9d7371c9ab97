// Deflating members on worker threads ahead of the archive library. The library writes members
// one after another when the archive is committed and would deflate each on the calling thread;
// here each member's file is read and deflated by a worker while earlier members are written, and
// the library is handed the deflated bytes with their sizes and CRC, copying them as they are.
//
// Each member is one deflate stream with fixed parameters, its bytes depending only on the file
// and the level, so an archive does not depend on how many threads made it; its records (method,
// level bits, version needed, CRC, sizes) are those the library's own deflate gives. Reports (the
// member's name, its progress in the same blocks) reach the caller on the committing thread, in
// member order, as they did. Memory stays bounded: workers stay within a window of bytes taken and not
// yet written, and members larger than the window are left to the library.
#pragma once

#include <zip.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ziplib {

class TReporter;

// Threads to deflate with: the variable MIRNAX_ZIP_THREADS when set (0: none, the archive library
// deflates every member itself), else the processors this process may run on.
int DeflateThreads();

class TParallelDeflate {
 public:
  struct TLimits {
    // Bytes of files taken by workers and not yet written; a member larger than the window is
    // taken alone.
    int64_t window = int64_t(64) << 20;
    int64_t largeMember = int64_t(32) << 20;  // larger members are deflated by the archive library
  };

  // level 1 to 9, as set on the members with zip_set_file_compression.
  TParallelDeflate(int threads, int level, TLimits limits);
  TParallelDeflate(int threads, int level) : TParallelDeflate(threads, level, TLimits{}) {}
  // Stops the workers; sources still held by an archive stay valid (they fail when opened).
  ~TParallelDeflate();
  TParallelDeflate(const TParallelDeflate&) = delete;
  TParallelDeflate& operator=(const TParallelDeflate&) = delete;

  // A source whose data is the file deflated, for a new entry of the archive whose compression is
  // deflate at this object's level and which is not encrypted; null when the member is better
  // left to the library (no threads, a member too large, or one replacing a member the archive
  // had), the caller then giving a source of its own. The source reports the member and its
  // progress to the reporter when the archive is committed. Entries are written in the order
  // they were added, and workers take them in that order.
  zip_source_t* Source(zip_t* za, const std::string& path, const std::string& stored, int64_t size, time_t mtime,
                       TReporter& reporter);

  // Says all members are added: call before zip_close. Workers start with the first member and
  // end when none is left; a member no worker reached is deflated when it is written.
  void Start();

  struct TShared;

 private:
  void StartWorkers();

  std::shared_ptr<TShared> shared_;
  int threads_;
  int64_t largeMember_;
  std::vector<std::thread> workers_;
};

}  // namespace ziplib
