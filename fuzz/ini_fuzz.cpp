// Fuzzes INI loading: any bytes load, every key reads, and a file the engine wrote reads back
// to the same content (writing it again gives the same bytes).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tasks/ini_file.h"

namespace {

std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReadEverything(const chronel::TBigIniFile& ini) {
  std::vector<std::string> sections, keys;
  ini.ReadSections(sections);
  for (const std::string& section : sections) {
    keys.clear();
    ini.ReadSection(section, keys);
    for (const std::string& key : keys) {
      ini.ReadString(section, key, "");
      ini.ReadInteger(section, key, 0);
      ini.ReadFloat(section, key, 0);
      if (!ini.ValueExists(section, key)) __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file = (std::filesystem::temp_directory_path() /
                                   ("chronel_ini_fuzz_" + std::to_string(getpid()) + ".ini"))
                                      .string();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  {
    chronel::TBigIniFile ini(file);
    ReadEverything(ini);
    // Two changes force a rewrite in the engine's own form even where the input already held
    // k=v (writing a value a key already has leaves the file alone).
    ini.WriteString("~fuzz~", "k", "w");
    ini.WriteString("~fuzz~", "k", "v");
  }
  const std::string written = ReadAll(file);
  {
    chronel::TBigIniFile ini(file);
    ReadEverything(ini);
    ini.WriteString("~fuzz~", "k", "w");
    ini.WriteString("~fuzz~", "k", "v");
  }
  if (ReadAll(file) != written) __builtin_trap();
  std::filesystem::remove(file);
  return 0;
}
