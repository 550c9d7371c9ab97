// World files from the fuzzer: the bytes are split into lines as a loaded file is, then read into
// an item store. The conversion error of a position that is not a number is the reader's answer;
// any other exception, a crash or a broken invariant is a finding.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/core/block_store.h"
#include "app/core/progress.h"
#include "app/core/world_reader.h"
#include "tests/fuzz/fuzz_check.h"
#include "toolkit/core/exceptions.h"
#include "util/s_strlst.h"

using mirnax::EConvertError;
using mirnax::ReadWorldFile;
using mirnax::TBlockStore;
using mirnax::TNullProgress;
using mirnax::TS_StringList;
using mirnax::TWorldFileResult;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TS_StringList lines;
  lines.SetText(text);

  // No byte is lost or doubled by the split: the lines and their ends make up the text.
  size_t kept = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines.View(i);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
    kept += line.size();
  }
  size_t ends = 0;
  for (const char c : text) ends += c == '\r' || c == '\n';
  FUZZ_CHECK(kept + ends == size);

  // One store for many inputs, as for the files of a run: a new or cleared one costs its three
  // tables of 393,216 entries.
  static TBlockStore store;
  if (store.TotalCount() > (uint64_t{1} << 20)) store.Clear();
  const uint64_t before = store.TotalCount();
  TNullProgress gauge;
  try {
    const TWorldFileResult result = ReadWorldFile(lines, store, gauge);
    FUZZ_CHECK(result.Taken >= 0 && result.Skipped >= 0);
    FUZZ_CHECK(store.TotalCount() == before + static_cast<uint64_t>(result.Taken));
    FUZZ_CHECK(gauge.Progress() == lines.Count());
  } catch (const EConvertError& e) {
    // The one failure a world file can cause: a position part that is not a decimal integer.
    const std::string_view message = e.Message;
    FUZZ_CHECK(message.starts_with("'") && message.ends_with("' is not a valid integer value"));
  }
  return 0;
}
