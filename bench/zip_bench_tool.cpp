// The zip benchmark's driver: makes the corpus, and runs one TZipBuilder operation per call so a
// wrapper can time it against the standard tools.
//   zip_bench_tool corpus FOLDER [MB]   a text and binary mix of a few thousand files
//   zip_bench_tool add ARCHIVE FOLDER [THREADS]
//                                       Add at level 9 with folder names, recursively, deflating
//                                       on THREADS threads (default: the processors it may use)
//   zip_bench_tool extract ARCHIVE DIR  Extract with folder names, overwriting
//   zip_bench_tool list ARCHIVE         List, printing the member count
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zip/zip_builder.h"

using mirnax::AddDirNames;
using mirnax::AddRecurseDirs;
using mirnax::ExtrDirNames;
using mirnax::ExtrOverWrite;
using mirnax::TZipBuilder;
using mirnax::htdFinal;

namespace {

struct TRandom {
  uint64_t state;
  uint64_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  uint64_t Below(uint64_t n) { return Next() % n; }
};

const char* const kWords[] = {"archive", "member", "central", "directory", "volume", "statics", "freeze", "world",
                              "item", "block", "index", "record", "server", "client", "map", "tile", "the", "and",
                              "of", "to", "in", "is", "with", "for", "data", "file", "name", "size", "offset"};

std::string Text(TRandom& r, size_t size) {
  std::string s;
  s.reserve(size + 16);
  while (s.size() < size) {
    s += kWords[r.Below(std::size(kWords))];
    s += r.Below(12) == 0 ? ".\n" : " ";
    if (r.Below(40) == 0) s += std::to_string(r.Next() % 100000) + " ";
  }
  s.resize(size);
  return s;
}

std::string Binary(TRandom& r, size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; i += 8) {
    const uint64_t v = r.Next();
    for (size_t k = 0; k < 8 && i + k < size; ++k) s[i + k] = static_cast<char>(v >> (8 * k));
  }
  return s;
}

// Records of a fixed layout with a few varying fields: compresses, but not as well as text.
std::string Records(TRandom& r, size_t size) {
  std::string s;
  s.reserve(size + 16);
  uint32_t id = static_cast<uint32_t>(r.Below(1000));
  while (s.size() < size) {
    const uint32_t fields[4] = {id++, static_cast<uint32_t>(r.Below(6144)), static_cast<uint32_t>(r.Below(4096)),
                                static_cast<uint32_t>(r.Below(0x4000))};
    s.append(reinterpret_cast<const char*>(fields), sizeof fields);
  }
  s.resize(size);
  return s;
}

int Corpus(const std::string& folder, int megabytes) {
  TRandom r{0x9E3779B97F4A7C15ull};
  const uint64_t target = static_cast<uint64_t>(megabytes) << 20;
  uint64_t total = 0;
  int files = 0;
  while (total < target) {
    const std::string dir = folder + "/d" + std::to_string(files / 50) + (files % 3 == 0 ? "/sub" : "");
    std::filesystem::create_directories(dir);
    // Mostly small and middling files, now and then a large one.
    const size_t size = r.Below(100) < 2 ? 1000000 + r.Below(2000000) : 512 + r.Below(50000);
    const uint64_t kind = r.Below(4);
    const std::string data = kind < 2 ? Text(r, size) : kind == 2 ? Binary(r, size) : Records(r, size);
    std::ofstream(dir + "/f" + std::to_string(files) + (kind < 2 ? ".txt" : ".bin"), std::ios::binary) << data;
    total += size;
    ++files;
  }
  std::printf("%d files, %.1f MB\n", files, total / 1e6);
  return 0;
}

int Report(const TZipBuilder& zip, const char* what) {
  if (zip.SuccessCnt() <= 0) {
    std::fprintf(stderr, "zip_bench_tool: %s failed: %s\n", what, zip.Message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.SetHowToDelete(htdFinal);
  if (command == "corpus" && argc >= 3) return Corpus(argv[2], argc > 3 ? std::atoi(argv[3]) : 100);
  if (command == "add" && (argc == 4 || argc == 5)) {
    if (argc == 5) ::setenv("MIRNAX_ZIP_THREADS", argv[4], 1);
    const std::filesystem::path folder = std::filesystem::absolute(argv[3]);
    const std::string archive = std::filesystem::absolute(argv[2]).string();
    std::filesystem::current_path(folder.parent_path());
    zip.SetAddCompLevel(9);
    zip.SetAddOptions({AddDirNames, AddRecurseDirs});
    zip.SetZipFileName(archive);
    zip.FSpecArgs().Add(folder.filename().string());
    zip.Add();
    return Report(zip, "add");
  }
  if (command == "extract" && argc == 4) {
    zip.SetZipFileName(argv[2]);
    zip.SetExtrBaseDir(argv[3]);
    zip.SetExtrOptions({ExtrDirNames, ExtrOverWrite});
    zip.Extract();
    return Report(zip, "extract");
  }
  if (command == "list" && argc == 3) {
    zip.SetZipFileName(argv[2]);
    std::printf("%d members\n", zip.Count());
    return zip.Count() > 0 ? 0 : 1;
  }
  if (command == "span" && argc == 5) {
    zip.SetMaxVolumeSize(std::atoll(argv[4]));
    const int result = zip.WriteSpan(argv[2], argv[3]);
    if (result != 0) std::fprintf(stderr, "span: %d %s\n", result, zip.Message().c_str());
    return result == 0 ? 0 : 1;
  }
  if (command == "join" && argc == 4) {
    std::string out = argv[3];
    const int result = zip.ReadSpan(argv[2], out);
    if (result != 0) std::fprintf(stderr, "join: %d %s\n", result, zip.Message().c_str());
    return result == 0 ? 0 : 1;
  }
  std::fprintf(stderr,
               "Usage: zip_bench_tool corpus FOLDER [MB] | add ARCHIVE FOLDER [THREADS] | extract ARCHIVE DIR |\n"
               "       list ARCHIVE | span ARCHIVE VOLUME_NAME MAX_VOLUME_SIZE | join LAST_VOLUME OUTPUT\n");
  return 2;
}
