// The call block: the packed record the host fills and passes to every export but
// GetPluginIntfVersion. The layout is the host's binary contract: 52 bytes on 32-bit Windows
// (offsets below); on 64-bit builds every pointer field widens to 8 bytes in place, the record
// stays packed. The library reads and writes only these fields; anything the host appends is
// the host's.
#pragma once

#include <cstddef>
#include <cstdint>

// The calling convention of the exports and of the host's service functions.
#if defined(_WIN32)
#define CHRONEL_STDCALL __stdcall
#else
#define CHRONEL_STDCALL
#endif

namespace chronel::plugin {

struct TkivParamsList;

// The set of module types (bit i stands for TModuleType i) and of module options.
enum TModuleType : uint8_t {
  mttDataQuery = 0,
  mttDataParser = 1,
  mttDataExport = 2,
  mttEventsHandling = 3,
  mttLogging = 4,
  mttFilter = 5,
  mttDeviceLayer = 6,
  mttMenuExt = 7,
};
using TModuleTypes = uint8_t;
inline constexpr TModuleTypes ModuleTypeBit(TModuleType type) {
  return static_cast<TModuleTypes>(1u << type);
}

enum TModuleOption : uint8_t { moNoConfig = 0, moXMLOptions = 1 };
using TModuleOptions = uint8_t;

// DataKind values the library interprets.
inline constexpr uint8_t kDataKindParamsList = 1;
inline constexpr uint8_t kDataKindInteger = 5;

inline constexpr uint32_t kCallBlockVersion = 102;
inline constexpr uint8_t kReleaseInstance = 0xFF;

#pragma pack(push, 1)
struct TPluginData {
  uint32_t DataReserved;
  int32_t DataSize;
  uint8_t DataKind;
  // A pointer to a buffer or a parameter list, or a 32-bit integer (kDataKindInteger).
  uintptr_t Data;
};

struct TPluginCallRec {
  uint32_t Version;
  uint8_t Release;
  int32_t InstanceID;
  uint32_t NotifyID;
  uint32_t Reserved1;
  uint32_t Reserved2;
  TModuleTypes ModuleTypes;
  TkivParamsList* ParamList;
  TPluginData In;
  TPluginData Out;
};
#pragma pack(pop)

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(TPluginData) == 13);
static_assert(sizeof(TPluginCallRec) == 52);
static_assert(offsetof(TPluginCallRec, InstanceID) == 5);
static_assert(offsetof(TPluginCallRec, NotifyID) == 9);
static_assert(offsetof(TPluginCallRec, ModuleTypes) == 21);
static_assert(offsetof(TPluginCallRec, ParamList) == 22);
static_assert(offsetof(TPluginCallRec, In) + offsetof(TPluginData, DataSize) == 30);
static_assert(offsetof(TPluginCallRec, In) + offsetof(TPluginData, DataKind) == 34);
static_assert(offsetof(TPluginCallRec, In) + offsetof(TPluginData, Data) == 35);
static_assert(offsetof(TPluginCallRec, Out) + offsetof(TPluginData, DataSize) == 43);
static_assert(offsetof(TPluginCallRec, Out) + offsetof(TPluginData, DataKind) == 47);
static_assert(offsetof(TPluginCallRec, Out) + offsetof(TPluginData, Data) == 48);
#else
static_assert(sizeof(TPluginData) == 17);
static_assert(sizeof(TPluginCallRec) == 64);
static_assert(offsetof(TPluginCallRec, ParamList) == 22);
#endif

// The validity rule of the command and data exports: non-null, version 102, and a parameter
// list unless the call releases the instance.
inline bool IsValidCallBlock(const TPluginCallRec* block) {
  return block != nullptr && block->Version == kCallBlockVersion &&
         (block->ParamList != nullptr || block->Release == kReleaseInstance);
}

}  // namespace chronel::plugin
