// Writes the benchmark workspace into a folder: STATICS/BENCH.SCP (the world) and the statics pair
// staidx0.mul / statics0.mul.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_data.h"
#include "toolkit/core/exceptions.h"

using mirnax::bench::BenchStaticRecords;
using mirnax::bench::BenchWorldItems;
using mirnax::bench::WriteBenchStatics;
using mirnax::bench::WriteBenchWorld;

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "Usage: make_bench_data DIR [ITEMS [RECORDS]]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int64_t items = argc > 2 ? std::atoll(argv[2]) : BenchWorldItems;
  const int64_t records = argc > 3 ? std::atoll(argv[3]) : BenchStaticRecords;
  if (items <= 0 || records < 0) {
    std::fprintf(stderr, "make_bench_data: ITEMS must be positive and RECORDS not negative\n");
    return 2;
  }
  try {
    std::filesystem::create_directories(dir + "/STATICS");
    const int64_t worldSize = WriteBenchWorld(dir + "/STATICS/BENCH.SCP", items);
    WriteBenchStatics(dir + "/staidx0.mul", dir + "/statics0.mul", records);
    std::printf("world STATICS/BENCH.SCP: %lld items, %lld bytes\n", static_cast<long long>(items),
                static_cast<long long>(worldSize));
    std::printf("statics staidx0.mul / statics0.mul: %lld records\n", static_cast<long long>(records));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_bench_data: %s\n", e.what());
    return 1;
  }
  return 0;
}
