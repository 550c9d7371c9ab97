// INI files from the fuzzer. The input names a section, a key and a value and gives the file they
// are written into. Whatever the file holds, a written key must read back as written, only that
// key's line may change (every other byte stays), and writing the same value again changes nothing.
//
// Input: byte 0 and 1 the lengths of the section and key names (1 to 8; their bytes are mapped to
// letters, digits and '_'), byte 2 the value's length (0 to 31), then the names, the value, and
// the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/inifile.h"

using mirnax::TIniFile;

namespace fs = std::filesystem;

namespace {
std::string Name(std::string_view bytes) {
  static constexpr std::string_view Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
  std::string name;
  for (const char c : bytes) name.push_back(Letters[static_cast<uint8_t>(c) % Letters.size()]);
  return name;
}

// What a read gives back for a written value: one line, without the blanks around it.
std::string AsRead(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  const size_t first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return value.substr(first, value.find_last_not_of(" \t") - first + 1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  FUZZ_CHECK(in.good());
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

const std::string& WorkFile() {
  static const std::string path = [] {
    const fs::path dir = fs::temp_directory_path() / ("mirnax_fuzz_inifile_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return (dir / "mirnax.ini").string();
  }();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t sectionSize = 1 + data[0] % 8, keySize = 1 + data[1] % 8, valueSize = data[2] % 32;
  if (size < 3 + sectionSize + keySize + valueSize) return 0;
  const std::string section = Name(input.substr(3, sectionSize));
  const std::string key = Name(input.substr(3 + sectionSize, keySize));
  const std::string value(input.substr(3 + sectionSize + keySize, valueSize));
  const std::string_view old = input.substr(3 + sectionSize + keySize + valueSize);

  const std::string& path = WorkFile();
  WriteFile(path, old);
  TIniFile ini(path);
  ini.ReadString(section, key, "");
  ini.WriteString(section, key, value);
  FUZZ_CHECK(ini.ReadString(section, key, "\x01") == AsRead(value));

  // The change is one run of bytes inside one line of the old file.
  const std::string written = ReadFile(path);
  size_t prefix = 0;
  while (prefix < old.size() && prefix < written.size() && old[prefix] == written[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < written.size() - prefix &&
         old[old.size() - 1 - suffix] == written[written.size() - 1 - suffix])
    ++suffix;
  const std::string_view removed = old.substr(prefix, old.size() - prefix - suffix);
  FUZZ_CHECK(removed.find_first_of("\r\n") == std::string_view::npos);

  ini.WriteString(section, key, value);
  FUZZ_CHECK(ReadFile(path) == written);
  return 0;
}
