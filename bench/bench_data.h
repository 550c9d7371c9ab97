// The benchmarks' data: a large world file and a statics pair, the same bytes on every run.
#pragma once

#include <cstdint>
#include <string>

namespace mirnax::bench {

inline constexpr int64_t BenchWorldItems = 2000000;
inline constexpr int64_t BenchStaticRecords = 3000000;

// Writes count [WORLDITEM records spread over the whole map, each of six lines as a game server
// saves them (the header, SERIAL=, ID=, COLOR=, P=, CONT=) and the empty line that ends it, CR LF
// ends; returns the file's size in bytes. Raises the toolkit's file errors.
int64_t WriteBenchWorld(const std::string& path, int64_t count);

// Writes a valid index (an entry for every block) and a data file of records 7-byte records spread
// over three quarters of the blocks, in block order. The empty entries mix the two empty forms
// (length -1 and length 0) and every entry carries extra bytes.
void WriteBenchStatics(const std::string& indexPath, const std::string& dataPath, int64_t records);

}  // namespace mirnax::bench
