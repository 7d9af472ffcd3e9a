// Loading a shared library at run time and finding its exported symbols (dlopen / LoadLibrary).
#pragma once

#include <memory>
#include <string>

namespace chronel::platform {

// Owns one load of a library; destroying it unloads. Use from any thread.
class DynamicLibrary {
 public:
  // Null and a reason in `error` when the library cannot be loaded.
  static std::unique_ptr<DynamicLibrary> Open(const std::string& path, std::string& error);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The undecorated exported name; null when absent.
  void* Symbol(const char* name) const;

  // Symbol cast to a function pointer type.
  template <typename Function>
  Function As(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace chronel::platform
