#include "library_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "core/utf.h"

namespace chronel::host {
namespace {

constexpr size_t kHeaderBytes = 4096;
constexpr uint8_t kElfClass32 = 1;
constexpr uint8_t kElfClass64 = 2;
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineArm64 = 0xAA64;

uint16_t ReadU16(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               static_cast<uint8_t>(bytes[at + 1]) << 8);
}

uint32_t ReadU32(const std::string& bytes, size_t at) {
  return ReadU16(bytes, at) | static_cast<uint32_t>(ReadU16(bytes, at + 2)) << 16;
}

std::filesystem::path FilePath(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::filesystem::path(wide);
}

TLibraryFile InspectElf(const std::string& header) {
  if (header.size() < 5) return {LibraryFormat::NotALibrary, 0};
  switch (static_cast<uint8_t>(header[4])) {
    case kElfClass32: return {LibraryFormat::Elf, 32};
    case kElfClass64: return {LibraryFormat::Elf, 64};
    default: return {LibraryFormat::Elf, 0};
  }
}

// "MZ", the PE header's offset at 0x3C, "PE\0\0", then the machine field.
TLibraryFile InspectPortableExecutable(const std::string& header) {
  if (header.size() < 0x40) return {LibraryFormat::NotALibrary, 0};
  const uint32_t pe = ReadU32(header, 0x3C);
  if (pe > header.size() - 6 || header.compare(pe, 4, std::string("PE\0\0", 4)) != 0) {
    return {LibraryFormat::NotALibrary, 0};
  }
  switch (ReadU16(header, pe + 4)) {
    case kMachineI386: return {LibraryFormat::PortableExecutable, 32};
    case kMachineAmd64:
    case kMachineArm64: return {LibraryFormat::PortableExecutable, 64};
    default: return {LibraryFormat::PortableExecutable, 0};
  }
}

const char* FormatName(LibraryFormat format) {
  return format == LibraryFormat::Elf ? "an ELF (Linux) library" : "a Windows library";
}

}  // namespace

TLibraryFile InspectLibraryFile(const std::string& path) {
  const std::filesystem::path file = FilePath(path);
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return {LibraryFormat::Missing, 0};
  if (!std::filesystem::is_regular_file(file, error)) return {LibraryFormat::NotALibrary, 0};
  std::ifstream stream(file, std::ios::binary);
  if (!stream) return {LibraryFormat::Unreadable, 0};
  std::string header(kHeaderBytes, '\0');
  stream.read(header.data(), static_cast<std::streamsize>(header.size()));
  header.resize(static_cast<size_t>(stream.gcount()));
  if (header.compare(0, 4, "\x7f" "ELF") == 0) return InspectElf(header);
  if (header.compare(0, 2, "MZ") == 0) return InspectPortableExecutable(header);
  return {LibraryFormat::NotALibrary, 0};
}

std::string WhyNotLoadable(const std::string& path, const TLibraryFile& file) {
  switch (file.Format) {
    case LibraryFormat::Missing: return path + " does not exist";
    case LibraryFormat::Unreadable: return path + " cannot be read";
    case LibraryFormat::NotALibrary: return path + " is not a library";
    case LibraryFormat::Elf:
    case LibraryFormat::PortableExecutable: break;
  }
  if (file.Format != kNativeLibraryFormat) {
    return path + " is " + FormatName(file.Format) + ", not " + FormatName(kNativeLibraryFormat);
  }
  if (file.Bits != 0 && file.Bits != kNativeBits) {
    return path + " is a " + std::to_string(file.Bits) + "-bit library; this chronel is " +
           std::to_string(kNativeBits) + "-bit";
  }
  return {};
}

}  // namespace chronel::host
