// Fuzz target: the zip component's directory reader (end record search, central headers, names
// and comments) on any bytes, written to a file as an archive would be; and the record codec it
// reads them with, each record read from the bytes written back to the very same bytes.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "zip/zip_builder.h"
#include "zip/zip_codec.h"

using mirnax::TZipBuilder;
using mirnax::ZipDirEntry;

namespace codec = mirnax::zip_codec;

namespace {
// A record the codec reads from the start of bytes is written back as those bytes.
template <class Record>
void CheckRoundTrip(std::string_view bytes) {
  Record record;
  const codec::TReadResult result = codec::Decode(bytes, record);
  FUZZ_CHECK((result == codec::TReadResult::Truncated) == (bytes.size() < Record::kFixedSize));
  if (result == codec::TReadResult::Ok) FUZZ_CHECK(codec::Encode(record) == bytes.substr(0, Record::kFixedSize));
}

void CheckCodec(std::string_view bytes) {
  CheckRoundTrip<codec::TLocalHeader>(bytes);
  CheckRoundTrip<codec::TCentralHeader>(bytes);
  CheckRoundTrip<codec::TEndRecord>(bytes);
  CheckRoundTrip<codec::TZip64EndRecord>(bytes);
  CheckRoundTrip<codec::TZip64Locator>(bytes);
  codec::TDataDescriptor descriptor;
  if (codec::Decode(bytes, descriptor) == codec::TReadResult::Ok)
    FUZZ_CHECK(codec::Encode(descriptor) == bytes.substr(0, descriptor.Size()));
  const size_t end = codec::FindEndRecord(bytes);
  if (end != std::string_view::npos) FUZZ_CHECK(codec::StartsWith(bytes.substr(end), codec::kEndRecordSig));
}
std::string ArchivePath() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/fuzz_zip_directory." + std::to_string(::getpid()) + ".zip";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckCodec(std::string_view(reinterpret_cast<const char*>(data), size));
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
    listed += codec::kCentralHeaderSize + e.FileNameLength + e.FileCommentLen;
  }
  FUZZ_CHECK(listed <= size);
  FUZZ_CHECK(zip.ZipComment().size() <= 3 * size);
  FUZZ_CHECK(zip.Count() == 0 || !zip.ZipFileName().empty());
  return 0;
}
