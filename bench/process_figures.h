// What a measuring program reads about its own process: memory, threads, the calling thread's
// CPU time and the machine's load. Linux reads /proc; Windows asks the system (there the
// time a thread waited for a CPU and the load average are not known and read as 0 and "n/a").
#pragma once

#include <string>

#ifdef _WIN32
#include "platform/win32/windows_api.h"

#include <psapi.h>
#include <tlhelp32.h>
#else
#include <unistd.h>

#include <fstream>
#include <sstream>
#endif

namespace chronel::bench {

struct TProcessStatus {
  long RssKiB = 0;
  long SizeKiB = 0;  // the address space in use: what a 32-bit process runs out of
  long Threads = 0;
};

// Running, and runnable but waiting for a CPU.
struct TThreadTimes {
  double CpuMs = 0;
  double RunQueueMs = 0;
};

#ifdef _WIN32

inline TProcessStatus ReadProcessStatus() {
  TProcessStatus status;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory))) {
    status.RssKiB = static_cast<long>(memory.WorkingSetSize / 1024);
    status.SizeKiB = static_cast<long>(memory.PrivateUsage / 1024);
  }
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 thread{};
  thread.dwSize = sizeof(thread);
  for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread)) {
    if (thread.th32OwnerProcessID == GetCurrentProcessId()) ++status.Threads;
  }
  CloseHandle(snapshot);
  return status;
}

inline std::string LoadAverage() { return "n/a"; }

inline TThreadTimes ReadThreadTimes() {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return {};
  const auto ms = [](const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e4;
  };
  return {ms(kernel) + ms(user), 0};
}

inline unsigned long ProcessId() { return GetCurrentProcessId(); }

#else

inline TProcessStatus ReadProcessStatus() {
  TProcessStatus status;
  std::ifstream file("/proc/self/status");
  for (std::string line; std::getline(file, line);) {
    std::istringstream fields(line);
    std::string key;
    long value = 0;
    fields >> key >> value;
    if (key == "VmRSS:") status.RssKiB = value;
    if (key == "VmSize:") status.SizeKiB = value;
    if (key == "Threads:") status.Threads = value;
  }
  return status;
}

inline std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string text;
  std::getline(file, text);
  return text;
}

// From /proc/thread-self/schedstat.
inline TThreadTimes ReadThreadTimes() {
  std::ifstream file("/proc/thread-self/schedstat");
  double cpuNs = 0, runQueueNs = 0;
  file >> cpuNs >> runQueueNs;
  return {cpuNs / 1e6, runQueueNs / 1e6};
}

inline unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

#endif

}  // namespace chronel::bench
