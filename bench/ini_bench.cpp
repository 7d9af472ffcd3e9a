// The INI engine on a 10 MB file of 2,000 sections with 50 keys each: load, reading every key in
// order, random reads, changing one value and saving, and the peak heap of all of it.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tasks/ini_file.h"

namespace {

// Heap accounting for the peak figure: every allocation carries its size in front.
std::atomic<size_t> heap_in_use{0};
std::atomic<size_t> heap_peak{0};
constexpr size_t kHeader = alignof(std::max_align_t);

void* Allocate(size_t size) {
  auto* block = static_cast<char*>(std::malloc(size + kHeader));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<size_t*>(block) = size;
  const size_t now = heap_in_use += size;
  for (size_t peak = heap_peak; now > peak && !heap_peak.compare_exchange_weak(peak, now);) {
  }
  return block + kHeader;
}

void Release(void* pointer) {
  if (!pointer) return;
  char* block = static_cast<char*>(pointer) - kHeader;
  heap_in_use -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

constexpr int kSections = 2000;
constexpr int kKeys = 50;

std::string SectionName(int s) { return "Section" + std::to_string(s); }
std::string KeyName(int k) { return "Key" + std::to_string(k); }

// About 100 bytes a line: 10 MB in all.
const std::string& BenchFile() {
  static const std::string file = [] {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "chronel_ini_bench.ini";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string filler(84, 'v');
    for (int s = 0; s < kSections; ++s) {
      out << '[' << SectionName(s) << "]\r\n";
      for (int k = 0; k < kKeys; ++k) out << KeyName(k) << '=' << filler << s % 10 << "\r\n";
      out << "\r\n";
    }
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  }();
  return file;
}

void BM_IniLoad(benchmark::State& state) {
  const std::string& file = BenchFile();
  for (auto _ : state) {
    chronel::TBigIniFile ini(file);
    benchmark::DoNotOptimize(&ini);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(BM_IniLoad)->Unit(benchmark::kMillisecond);

void BM_IniReadAllKeysInOrder(benchmark::State& state) {
  const chronel::TBigIniFile ini(BenchFile());
  std::vector<std::string> sections, keys;
  for (int s = 0; s < kSections; ++s) sections.push_back(SectionName(s));
  for (int k = 0; k < kKeys; ++k) keys.push_back(KeyName(k));
  for (auto _ : state) {
    for (const std::string& section : sections) {
      for (const std::string& key : keys) {
        benchmark::DoNotOptimize(ini.ReadString(section, key, ""));
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kSections * kKeys);
}
BENCHMARK(BM_IniReadAllKeysInOrder)->Unit(benchmark::kMillisecond);

void BM_Ini10000RandomReads(benchmark::State& state) {
  const chronel::TBigIniFile ini(BenchFile());
  std::mt19937 random(42);
  std::vector<std::pair<std::string, std::string>> probes;
  for (int i = 0; i < 10000; ++i) {
    probes.emplace_back(SectionName(static_cast<int>(random() % kSections)),
                        KeyName(static_cast<int>(random() % kKeys)));
  }
  for (auto _ : state) {
    for (const auto& [section, key] : probes) {
      benchmark::DoNotOptimize(ini.ReadString(section, key, ""));
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Ini10000RandomReads)->Unit(benchmark::kMillisecond);

void BM_IniChangeOneValueAndSave(benchmark::State& state) {
  const std::string copy = BenchFile() + ".save";
  std::filesystem::copy_file(BenchFile(), copy,
                             std::filesystem::copy_options::overwrite_existing);
  chronel::TBigIniFile ini(copy);
  int round = 0;
  for (auto _ : state) {
    ini.WriteString("Section1000", "Key25", std::to_string(++round));
    ini.UpdateFile();
  }
  std::filesystem::remove(copy);
}
BENCHMARK(BM_IniChangeOneValueAndSave)->Unit(benchmark::kMillisecond);

// Peak heap from loading to saving, over what was in use before.
void BM_IniPeakHeap(benchmark::State& state) {
  const std::string copy = BenchFile() + ".peak";
  std::filesystem::copy_file(BenchFile(), copy,
                             std::filesystem::copy_options::overwrite_existing);
  size_t peak = 0;
  for (auto _ : state) {
    const size_t base = heap_in_use;
    heap_peak = base;
    {
      chronel::TBigIniFile ini(copy);
      for (int s = 0; s < kSections; ++s) {
        for (int k = 0; k < kKeys; ++k) {
          benchmark::DoNotOptimize(ini.ReadString(SectionName(s), KeyName(k), ""));
        }
      }
      ini.WriteString("Section1000", "Key25", "changed");
    }
    peak = heap_peak - base;
  }
  state.counters["peak_MiB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
  std::filesystem::remove(copy);
}
BENCHMARK(BM_IniPeakHeap)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Release(pointer); }
