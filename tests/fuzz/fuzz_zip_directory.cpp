// Fuzz target: the zip component's directory reader (end record search, central headers, names
// and comments) on any bytes, written to a file as an archive would be.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "zip/zip_builder.h"

using mirnax::TZipBuilder;
using mirnax::ZipDirEntry;

namespace {
std::string ArchivePath() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/fuzz_zip_directory." + std::to_string(::getpid()) + ".zip";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = ArchivePath();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  FUZZ_CHECK(fd >= 0);
  FUZZ_CHECK(::write(fd, data, size) == static_cast<ssize_t>(size));
  ::close(fd);

  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.SetZipFileName(path);
  // Everything listed was read from the file: names and comments cannot outgrow it.
  size_t listed = 0;
  for (const ZipDirEntry& e : zip.ZipContents()) {
    FUZZ_CHECK(e.FileNameLength <= e.FileName.size());  // a converted name only grows
    listed += 46 + e.FileNameLength + e.FileCommentLen;
  }
  FUZZ_CHECK(listed <= size);
  FUZZ_CHECK(zip.ZipComment().size() <= 3 * size);
  FUZZ_CHECK(zip.Count() == 0 || !zip.ZipFileName().empty());
  return 0;
}
