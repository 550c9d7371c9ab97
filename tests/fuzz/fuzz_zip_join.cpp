// Fuzz target: joining the volumes of a spanned archive. The input is cut into one to three
// numbered volume files (its first bytes say where); the join must end in success or a reported
// failure, leave the volumes as they were, write nothing but its one output in the output folder,
// and never write more than the volumes hold. A joined archive is one volume: its end record,
// read with the record codec, closes the file right behind its directory, all on disk 0.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "zip/zip_builder.h"
#include "zip/zip_codec.h"

using mirnax::TZipBuilder;

namespace codec = mirnax::zip_codec;

namespace fs = std::filesystem;

namespace {
fs::path WorkFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return fs::path(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") / ("fuzz_zip_join." + std::to_string(::getpid()));
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Whether an end record (the comment may hold others) ends the archive with its comment, on disk
// 0, right behind a directory that starts where it says.
bool EndsAsOneVolume(const std::string& archive) {
  for (size_t at = codec::FindEndRecord(archive); at != std::string::npos;
       at = at == 0 ? std::string::npos : codec::FindEndRecord(archive, at - 1)) {
    codec::TEndRecord end;
    if (codec::Decode(std::string_view(archive).substr(at), end) != codec::TReadResult::Ok) continue;
    if (at + codec::kEndRecordSize + end.CommentLength == archive.size() && end.ThisDisk == 0 &&
        end.CentralDisk == 0 && uint64_t{end.CentralOffset} + end.CentralSize == at)
      return true;
  }
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path work = WorkFolder();
  fs::remove_all(work);
  fs::create_directories(work / "out");
  if (size == 0) return 0;

  const size_t count = 1 + data[0] % 3;
  size_t at = 1;
  std::vector<size_t> cuts;
  for (size_t i = 1; i < count && at + 2 <= size; ++i, at += 2) cuts.push_back(data[at] | (data[at + 1] << 8));
  std::vector<std::string> volumes;
  const std::string rest(reinterpret_cast<const char*>(data) + std::min(at, size), size - std::min(at, size));
  size_t from = 0;
  for (size_t cut : cuts) {
    const size_t to = std::min(rest.size(), from + cut);
    volumes.push_back(rest.substr(from, to - from));
    from = to;
  }
  volumes.push_back(rest.substr(from));
  for (size_t i = 0; i < volumes.size(); ++i) {
    std::ofstream out(work / ("J00" + std::to_string(i + 1) + ".zip"), std::ios::binary);
    out << volumes[i];
  }

  TZipBuilder zip;
  zip.SetUnattended(true);
  std::string output = (work / "out").string() + "/";
  const int result = zip.ReadSpan((work / ("J00" + std::to_string(volumes.size()) + ".zip")).string(), output);
  FUZZ_CHECK(result == 0 || result == -7 || result == -8 || result == -9);

  for (size_t i = 0; i < volumes.size(); ++i)
    FUZZ_CHECK(Contents(work / ("J00" + std::to_string(i + 1) + ".zip")) == volumes[i]);
  size_t outputs = 0;
  for (const auto& entry : fs::directory_iterator(work / "out")) {
    ++outputs;
    FUZZ_CHECK(result == 0 && entry.path().string() == output);
    FUZZ_CHECK(entry.file_size() <= rest.size());
    FUZZ_CHECK(EndsAsOneVolume(Contents(entry.path())));
  }
  FUZZ_CHECK(outputs == (result == 0 ? 1u : 0u));
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(work)) {
    (void)entry;
    ++files;
  }
  FUZZ_CHECK(files == volumes.size() + 1);
  return 0;
}
