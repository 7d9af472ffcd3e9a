// What a file is before a host tries to load it: missing, not a library, or a library of a
// given format and bitness. Read from the file's header (the ELF class byte; the PE machine
// field), so a library of the wrong bitness gets a clear answer instead of a loader error.
#pragma once

#include <string>

namespace chronel::host {

enum class LibraryFormat { Missing, Unreadable, NotALibrary, Elf, PortableExecutable };

struct TLibraryFile {
  LibraryFormat Format = LibraryFormat::Missing;
  int Bits = 0;  // 32 or 64 for a library; 0 when unknown
};

// The format this program loads, its bitness and the plug-in's file name here.
#if defined(_WIN32)
inline constexpr LibraryFormat kNativeLibraryFormat = LibraryFormat::PortableExecutable;
inline constexpr const char* kPluginFileName = "chronel.dll";
#else
inline constexpr LibraryFormat kNativeLibraryFormat = LibraryFormat::Elf;
inline constexpr const char* kPluginFileName = "libchronel.so";
#endif
inline constexpr int kNativeBits = static_cast<int>(sizeof(void*) * 8);

// Any thread.
TLibraryFile InspectLibraryFile(const std::string& path);

// Why this program cannot load the file as a library, e.g. "<path> is a 32-bit library; this
// chronel is 64-bit"; empty when the header looks loadable.
std::string WhyNotLoadable(const std::string& path, const TLibraryFile& file);

}  // namespace chronel::host
