// Plays a host against the plug-in's twelve exports, call by call plausible (a valid block, a
// live list with a host's usual parameters) or hostile: call blocks valid and broken, parameter
// lists in the library's own layout and in both layouts of the host's class tables, alive or
// with a wrong Magic, named from the host's vocabulary and holding values of every scalar variant
// type. The host is hostile in values only: every pointer it passes is to memory it owns, every
// buffer is as large as it says, and guard bytes around buffers and call blocks must come back
// untouched. Each input ends by releasing every instance, so nothing carries over from one input
// to the next.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fake_host_list.h"
#include "platform/application.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/registry.h"
#include "plugin/exports.h"
#include "plugin/params_list.h"
#include "plugin/pascal_string.h"
#include "plugin/plugin.h"

namespace {

using namespace chronel::plugin;
using chronel::platform::TVarData;
using chronel::platform::Variant;
using chronel::plugin::test::FakeHostClass;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr uint8_t kGuardByte = 0xA5;
constexpr size_t kGuardSize = 16;
constexpr int kMaxCallsPerInput = 64;
constexpr int kMaxItemsPerList = 12;
constexpr int32_t kAnswerBufferSize = 4096;
constexpr int32_t kInstanceIds[] = {1, 2, 0, 3, 4};  // the first is what an all-zero input names

// Bytes the host owns: `size` usable bytes after `lead` guard bytes, then more guard bytes.
class GuardedBytes {
 public:
  GuardedBytes(size_t size, size_t lead = 0)
      : lead_(lead), size_(size), bytes_(lead + size + kGuardSize, kGuardByte) {
    std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(lead), size, 0);
  }
  uint8_t* Data() { return bytes_.data() + lead_; }
  bool GuardsIntact() const {
    const auto intact = [](auto first, auto last) {
      return std::all_of(first, last, [](uint8_t b) { return b == kGuardByte; });
    };
    return intact(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(lead_)) &&
           intact(bytes_.begin() + static_cast<std::ptrdiff_t>(lead_ + size_), bytes_.end());
  }

 private:
  size_t lead_;
  size_t size_;
  std::vector<uint8_t> bytes_;
};

// --- what the host knows once for the whole run

struct HostWorld {
  std::filesystem::path Folder;  // the only place INI-FILE ever points to
  chronel::platform::WindowHandle Window = 0;
  // A window this host made and destroyed again: posts and sends to it fail, so lines queue.
  chronel::platform::WindowHandle GoneWindow = 0;
  FakeHostClass OlderList{TClassTableLayout::Older, FakeHostClass::Kind::List};
  FakeHostClass OlderItem{TClassTableLayout::Older, FakeHostClass::Kind::Item};
  FakeHostClass NewerList{TClassTableLayout::Newer, FakeHostClass::Kind::List};
  FakeHostClass NewerItem{TClassTableLayout::Newer, FakeHostClass::Kind::Item};
};

// Every log line the plug-in hands over: kind byte 1..3 (no caller sets the flag), then the
// title, and no line break inside.
bool IsLogLine(std::string_view line) {
  constexpr std::string_view kTitle = "Chronel. ";
  return line.size() > kTitle.size() && line[0] >= 1 && line[0] <= 3 &&
         line.substr(1, kTitle.size()) == kTitle && line.find_first_of("\r\n") == line.npos;
}

// Lines each followed by CR LF, as GetLogEx and the queued-lines copy-data deliver them.
bool IsLogText(std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    if (end == text.npos || !IsLogLine(text.substr(0, end))) return false;
    text.remove_prefix(end + 2);
  }
  return true;
}

chronel::platform::LResult HostWindowProcedure(chronel::platform::WindowHandle, uint32_t message,
                                               chronel::platform::WParam,
                                               chronel::platform::LParam lparam) {
  if (message != chronel::platform::kWmCopyData) return 0;
  const auto& record = chronel::platform::CopyDataOf(lparam);
  const std::string_view bytes(static_cast<const char*>(record.Data), record.Size);
  Check(record.Tag == kCopyDataQueuedLines ? IsLogText(bytes)
                                           : record.Tag == kCopyDataOneLine && IsLogLine(bytes));
  return 1;
}

HostWorld& World() {
  static HostWorld* world = [] {
    auto* made = new HostWorld;
    made->Folder = std::filesystem::temp_directory_path() /
                   ("chronel_host_calls_fuzz_" + std::to_string(getpid()));
    std::filesystem::create_directories(made->Folder);
    std::atexit([] { std::filesystem::remove_all(World().Folder); });
    made->Window = chronel::platform::CreateMessageWindow(HostWindowProcedure);
    made->GoneWindow = chronel::platform::CreateMessageWindow(HostWindowProcedure);
    chronel::platform::DestroyMessageWindow(made->GoneWindow);
    // Reported failures are expected here; the results say what happened.
    chronel::platform::SetApplicationExceptionHandler([](std::exception_ptr) {});
    return made;
  }();
  return *world;
}

// --- names and values from the host's vocabulary

enum class NameKind { Command, Items, Text, IniFile, Window, ZeroHandle, Any };

struct HostName {
  std::string_view Name;
  NameKind Kind;
};
constexpr HostName kHostNames[] = {
    {"COMMAND", NameKind::Command},
    {"ITEMS", NameKind::Items},
    {"RESULT", NameKind::Any},
    {"EVENT-TYPE", NameKind::Text},
    {"DATA-SOURCES-IN-CFG", NameKind::Text},
    {"TEMPORARY-LOAD", NameKind::Any},
    {"LANGUAGE", NameKind::Text},
    {"INI-FILE", NameKind::IniFile},
    {"RegistryPath", NameKind::Text},
    {"INISectionPrefix", NameKind::Text},
    {"MessagesProcessorHandle", NameKind::Window},
    {"HANDLE", NameKind::ZeroHandle},
    {"OWNERFORM", NameKind::ZeroHandle},
    {"command", NameKind::Command},
    {"$NEW_ROW$", NameKind::Any},
    {"Word", NameKind::Any},
    {" ", NameKind::Any},
};

constexpr std::string_view kCommands[] = {
    "LOAD", "UNLOAD", "SET-ITEMS", "SET-STATE", "ITEMS", "EVENTS-SUPPORT", "EVENT",
    "SAVE-SETTINGS-NOW", "LOAD-SETTINGS-NOW", "load", "LOAD ", "", "FROB"};
constexpr std::string_view kItemTexts[] = {
    "Time stamp|STAMP|datetime|1", "a|b", "x|y|Nope", "a|b|String|fmt\r\nc|d|Int64", "|||", ""};
constexpr std::string_view kTexts[] = {
    "PING", "Start", "EN", "DE", "1;Name;Text\r\n2;B;C", "x;;", "Software\\Chronel\\Fuzz",
    "Software\\\\Bad", "Cfg1", "1", "-1", "", "  "};
constexpr std::string_view kTaskFile = "tasks.ini";
constexpr std::string_view kIniFiles[] = {kTaskFile, "a.ini", "sub/b.ini", "",
                                          "missing/deeper/c.ini"};
// Stored tasks that host calls trigger: a host event PING runs the first two and both chains.
// (No time-based task: each LOAD would start a schedule thread, slowing every input tenfold;
// schedules have fuzzers of their own.)
constexpr std::string_view kStoredTasks =
    "[Common]\nTasks="
    "00000001||EVENT||EVENT||PING||pong%0d%0a"
    "00000002||SEND||EVENT||PING||hello%0d%0a"
    "00000003||OPEN||AFTER||N;;;00000001||COM1%0d%0a"
    "00000004||EVENT||AFTER||Y;3;0;00000001||later%0d%0a"
    "00000005||CLOSE||HOTKEY||Ctrl+Alt+H;C048||COM2%0d%0a\n";

// Texts the host keeps alive for the length of one input: its own 8-bit strings.
class HostTexts {
 public:
  ~HostTexts() {
    for (char* text : texts_) ReleasePascalString(text);
  }
  const char* Add(std::string_view text) {
    texts_.push_back(NewPascalString(text));
    return texts_.back();
  }

 private:
  std::vector<char*> texts_;
};

// A text as the host may hold it: an OLE string or its own 8-bit string.
TVarData HostText(std::string_view text, bool eightBit, HostTexts& texts) {
  if (!eightBit) return Variant(text).Detach();
  TVarData value;
  value.VType = chronel::platform::kVarString;
  value.VString = texts.Add(text);
  return value;
}

TVarData TextValue(FuzzedDataProvider& input, std::string_view text, HostTexts& texts) {
  return HostText(text, input.ConsumeBool(), texts);
}

// Any scalar variant type with any bits.
TVarData ScalarValue(FuzzedDataProvider& input) {
  using namespace chronel::platform;
  constexpr VarType kScalarTypes[] = {
      kVarSmallInt, kVarInteger, kVarSingle,  kVarDouble,  kVarCurrency, kVarDate,
      kVarDispatch, kVarError,   kVarBoolean, kVarUnknown, kVarShortInt, kVarByte,
      kVarWord,     kVarLongWord, kVarInt64,  kVarUInt64};
  const VarType type = input.PickValueInArray(kScalarTypes);
  const auto bits = input.ConsumeIntegral<uint64_t>();
  TVarData value;
  value.VType = type;
  // Interface values are null: a host passes no object it does not own.
  value.VUInt64 = type == kVarDispatch || type == kVarUnknown ? 0 : bits;
  return value;
}

// Values that convert to 0 (or fail to convert): handles this host never gives out.
TVarData ZeroHandleValue(FuzzedDataProvider& input, HostTexts& texts) {
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: return Variant(int32_t{0}).Detach();
    case 1: return TextValue(input, "0", texts);
    case 2: return TextValue(input, "not a handle", texts);
    case 3: return Variant(false).Detach();
    case 4: return Variant(0.25).Detach();
    default: return Variant::Null().Detach();
  }
}

TVarData WindowValue(FuzzedDataProvider& input, HostTexts& texts) {
  const auto window = static_cast<int64_t>(World().Window);
  switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0: return Variant(window).Detach();
    case 1: return TextValue(input, std::to_string(window), texts);
    case 2: return Variant(static_cast<double>(window)).Detach();
    case 3: return Variant(static_cast<int64_t>(World().GoneWindow)).Detach();
    default: return ZeroHandleValue(input, texts);
  }
}

TVarData IniFileValue(FuzzedDataProvider& input, HostTexts& texts) {
  if (input.ConsumeIntegralInRange(0, 7) == 0) return Variant::Null().Detach();
  const std::string_view file = input.PickValueInArray(kIniFiles);
  return TextValue(input, (World().Folder / file).string(), texts);
}

// Text from the name's own vocabulary, or a word the input makes up.
TVarData WordValue(FuzzedDataProvider& input, NameKind kind, HostTexts& texts) {
  if (input.ConsumeIntegralInRange(0, 5) == 0) {
    return TextValue(input, input.ConsumeRandomLengthString(24), texts);
  }
  switch (kind) {
    case NameKind::Command: return TextValue(input, input.PickValueInArray(kCommands), texts);
    case NameKind::Items: return TextValue(input, input.PickValueInArray(kItemTexts), texts);
    default: return TextValue(input, input.PickValueInArray(kTexts), texts);
  }
}

// An owning value: OLE strings belong to it; the host's 8-bit strings stay in `texts`.
TVarData HostValue(FuzzedDataProvider& input, NameKind kind, HostTexts& texts) {
  if (kind == NameKind::IniFile) return IniFileValue(input, texts);
  if (kind == NameKind::Window) return WindowValue(input, texts);
  if (kind == NameKind::ZeroHandle) return ZeroHandleValue(input, texts);
  switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0: return WordValue(input, kind, texts);
    case 1: return Variant().Detach();
    case 2: return Variant::Null().Detach();
    case 3: return Variant(input.ConsumeIntegralInRange<int32_t>(-2, 2)).Detach();
    case 4: return Variant(input.ConsumeBool()).Detach();
    case 5: return Variant(std::bit_cast<double>(input.ConsumeIntegral<uint64_t>())).Detach();
    case 6: return Variant(input.ConsumeFloatingPoint<double>()).Detach();
    default: return ScalarValue(input);
  }
}

// --- parameter lists the host passes

enum class ListKind { Own, OwnRows, HostOlder, HostNewer };

// Several small choices packed into one number, so that a plausible call costs few input bytes
// and short inputs already hold a sequence of them.
class PackedChoices {
 public:
  explicit PackedChoices(uint32_t bits) : bits_(bits) {}
  size_t Pick(size_t count) {
    const size_t choice = bits_ % count;
    bits_ /= static_cast<uint32_t>(count);
    return choice;
  }
  template <typename T, size_t N>
  const T& PickIn(const T (&values)[N]) {
    return values[Pick(N)];
  }

 private:
  uint32_t bits_;
};

// One list for one call; freed afterwards as its owner frees it.
class HostList {
 public:
  // A hostile host's list: any names and values, and now and then dead.
  HostList(FuzzedDataProvider& input, HostTexts& texts)
      : kind_(static_cast<ListKind>(input.ConsumeIntegralInRange(0, 3))), list_(NewList()) {
    const int count = input.ConsumeIntegralInRange(0, kMaxItemsPerList);
    for (int i = 0; i < count; ++i) {
      const HostName& name = input.PickValueInArray(kHostNames);
      Add(name.Name, HostValue(input, name.Kind, texts));
    }
    if (input.ConsumeIntegralInRange(0, 7) == 7) list_->Magic = input.ConsumeIntegral<uint32_t>();
  }
  // What a host's command usually carries, so that inputs reach loaded instances and their
  // tasks quickly.
  HostList(PackedChoices& choices, HostTexts& texts)
      : kind_(static_cast<ListKind>(choices.Pick(4))), list_(NewList()) {
    Add("COMMAND", HostText(choices.PickIn(kCommands), choices.Pick(2), texts));
    Add("MessagesProcessorHandle", Variant(static_cast<int64_t>(World().Window)).Detach());
    Add("INI-FILE", Variant((World().Folder / kTaskFile).string()).Detach());
    Add("EVENT-TYPE", Variant("PING").Detach());
    Add("ITEMS", HostText(choices.PickIn(kItemTexts), choices.Pick(2), texts));
    Add("RESULT", Variant(int32_t{1}).Detach());
  }
  ~HostList() {
    if (IsOwn()) {
      FreeParamsList(list_);
      return;
    }
    // The host's items own their values; whatever the plug-in stored there is freed with them.
    for (int32_t i = 0; i < list_->Count; ++i) {
      TkivParamsListItem* item = list_->Items[i];
      if (item->ClassTable == ItemClass().Table()) chronel::platform::VariantClearData(item->Value);
    }
    CallDestroy(list_);
  }
  HostList(const HostList&) = delete;
  HostList& operator=(const HostList&) = delete;

  TkivParamsList* Get() const { return list_; }

 private:
  bool IsOwn() const { return kind_ == ListKind::Own || kind_ == ListKind::OwnRows; }
  const FakeHostClass& ItemClass() const {
    return kind_ == ListKind::HostOlder ? World().OlderItem : World().NewerItem;
  }
  TkivParamsList* NewList() const {
    switch (kind_) {
      case ListKind::Own: return NewParamsList();
      case ListKind::OwnRows: return NewRowsParamsList();
      case ListKind::HostOlder: return test::NewHostList(World().OlderList);
      case ListKind::HostNewer: return test::NewHostList(World().NewerList);
    }
    return nullptr;
  }
  void Add(std::string_view name, TVarData value) {
    if (IsOwn()) {
      AddValue(*list_, name, Variant::FromRaw(value));
      chronel::platform::VariantClearData(value);
      return;
    }
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    names_.push_back(NewPascalString(name));
    names_.push_back(NewPascalString(lower));
    test::HostAppend(*list_, test::NewHostItem(ItemClass(), names_[names_.size() - 2],
                                               names_.back(), value));
  }

  ListKind kind_;
  TkivParamsList* list_;
  struct Names : std::vector<char*> {
    ~Names() {
      for (char* text : *this) ReleasePascalString(text);
    }
  } names_;
};

// --- one call

enum class Export {
  ExecutePluginCommand, GetEvents, GetLogEx, ProcessData, GetData, ShowOptionsDialog,
  GetAppMinVersion, GetModuleDescription, GetModuleType, MultiThreadSupport, GetCustomCommands,
  GetPluginIntfVersion,
};
constexpr int kExportCount = 12;

// What the host's state carries from one call to the next within an input.
struct HostState {
  uintptr_t LastEventList = 0;
};

// One call as a plausible host makes it (a valid block, a live list with the usual parameters,
// a buffer for answers) or as a hostile one does (anything in any field).
class Call {
 public:
  Call(FuzzedDataProvider& input, PackedChoices& choices, Export call, HostTexts& texts,
       const HostState& state)
      : call_(call),
        hostile_(choices.Pick(2) == 1),
        storage_(sizeof(TPluginCallRec), hostile_ ? input.ConsumeIntegralInRange(0, 3) : 0) {
    if (!hostile_) {
      MakePlausible(choices, texts, state);
      return;
    }
    if (input.ConsumeIntegralInRange(0, 15) == 15) return;  // no block at all
    block_ = reinterpret_cast<TPluginCallRec*>(storage_.Data());
    FillHostileHeader(input);
    if (input.ConsumeIntegralInRange(0, 7) != 7) {
      list_ = std::make_unique<HostList>(input, texts);
      block_->ParamList = list_->Get();
    }
    FillIn(input, texts);
    FillOut(input, state);
  }

  Export Which() const { return call_; }
  TPluginCallRec* Block() const { return block_; }
  bool GuardsIntact() const {
    return storage_.GuardsIntact() && (!buffer_ || buffer_->GuardsIntact());
  }
  // What the plug-in's rules make of this block before looking at the instance.
  bool Valid() const { return IsValidCallBlock(block_); }
  bool NamesInstance() const {
    return block_ && block_->InstanceID != 0 && block_->Release != kReleaseInstance;
  }
  std::string_view BufferText(int32_t length) const {
    return {reinterpret_cast<const char*>(bufferAddress_), static_cast<size_t>(length)};
  }
  int32_t BufferSize() const { return bufferSize_; }

 private:
  // No data for ProcessData, room for answers otherwise; GetEvents hands back what it got.
  void MakePlausible(PackedChoices& choices, HostTexts& texts, const HostState& state) {
    constexpr TModuleTypes kModuleTypes[] = {ModuleTypeBit(mttEventsHandling),
                                             ModuleTypeBit(mttDataExport), 0};
    block_ = reinterpret_cast<TPluginCallRec*>(storage_.Data());
    block_->Version = kCallBlockVersion;
    block_->Release = choices.Pick(16) == 15 ? kReleaseInstance : 0;
    block_->InstanceID = choices.PickIn(kInstanceIds);
    block_->NotifyID = static_cast<uint32_t>(block_->InstanceID);
    block_->ModuleTypes = choices.PickIn(kModuleTypes);
    if (choices.Pick(2) == 1) block_->Out.Data = state.LastEventList;
    list_ = std::make_unique<HostList>(choices, texts);
    block_->ParamList = list_->Get();
    if (call_ == Export::ProcessData) {
      block_->In.DataKind = kDataKindInteger;
      return;
    }
    UseBuffer(kAnswerBufferSize);
  }

  void FillHostileHeader(FuzzedDataProvider& input) {
    constexpr uint32_t kVersions[] = {kCallBlockVersion, 101, 0, 103, 0xFFFFFFFF};
    constexpr uint8_t kReleases[] = {0, kReleaseInstance, 1, 0x7F};
    block_->Version = input.PickValueInArray(kVersions);
    block_->Release = input.PickValueInArray(kReleases);
    block_->InstanceID = input.PickValueInArray(kInstanceIds);
    block_->NotifyID = input.ConsumeIntegral<uint32_t>();
    block_->Reserved1 = input.ConsumeIntegral<uint32_t>();
    block_->Reserved2 = input.ConsumeIntegral<uint32_t>();
    block_->ModuleTypes = input.ConsumeIntegral<uint8_t>();
  }

  // In: a host list or nothing for ProcessData (which reads In.Data as a list), else an honest
  // buffer, or a size with nothing behind it.
  void FillIn(FuzzedDataProvider& input, HostTexts& texts) {
    if (call_ == Export::ProcessData) return FillRowsIn(input, texts);
    block_->In.DataReserved = input.ConsumeIntegral<uint32_t>();
    block_->In.DataKind = input.ConsumeIntegral<uint8_t>();
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0: return UseBuffer(input.ConsumeIntegralInRange(0, kAnswerBufferSize));
      case 1: return UseBuffer(input.ConsumeIntegralInRange(0, 8));
      case 2: return UseBuffer(input.ConsumeIntegralInRange(INT32_MIN, -1));
      default: block_->In.DataSize = input.ConsumeIntegral<int32_t>();
    }
  }

  void FillRowsIn(FuzzedDataProvider& input, HostTexts& texts) {
    const bool kindSaysList = input.ConsumeBool();
    block_->In.DataKind = kindSaysList ? kDataKindParamsList : input.ConsumeIntegral<uint8_t>();
    if (!input.ConsumeBool()) return;
    inList_ = std::make_unique<HostList>(input, texts);
    block_->In.Data = reinterpret_cast<uintptr_t>(inList_->Get());
  }

  // A buffer of `size` bytes (none for a negative size) with guard bytes after it.
  void UseBuffer(int32_t size) {
    buffer_ = std::make_unique<GuardedBytes>(std::max(size, 0));
    bufferSize_ = size;
    bufferAddress_ = buffer_->Data();
    block_->In.DataSize = size;
    block_->In.Data = reinterpret_cast<uintptr_t>(bufferAddress_);
  }

  // Out.Data is only ever compared by the plug-in; GetEvents may hand back a list it received.
  void FillOut(FuzzedDataProvider& input, const HostState& state) {
    if (input.ConsumeBool()) {
      block_->Out.Data = state.LastEventList;
      return;
    }
    block_->Out.DataReserved = input.ConsumeIntegral<uint32_t>();
    block_->Out.DataSize = input.ConsumeIntegral<int32_t>();
    block_->Out.DataKind = input.ConsumeIntegral<uint8_t>();
    block_->Out.Data = input.ConsumeIntegral<uint32_t>();
  }

  Export call_;
  bool hostile_;
  GuardedBytes storage_;
  TPluginCallRec* block_ = nullptr;
  std::unique_ptr<HostList> list_;
  std::unique_ptr<HostList> inList_;
  std::unique_ptr<GuardedBytes> buffer_;
  uint8_t* bufferAddress_ = nullptr;
  int32_t bufferSize_ = 0;
};

bool IsResultCode(int32_t result) { return result >= -3 && result <= 0; }

// A list the plug-in handed out is alive and readable right after the call.
void ReadHandedOutList(uintptr_t address) {
  const auto* list = reinterpret_cast<const TkivParamsList*>(address);
  Check(IsAlive(list) && list->Count >= 0 && list->Count <= list->Capacity);
  for (int32_t i = 0; i < list->Count; ++i) {
    const TkivParamsListItem* item = ItemAt(*list, i);
    Check(item != nullptr);
    (void)ItemName(*item);
    (void)Variant::FromRaw(item->Value);
  }
}

void CheckDataCall(const Call& call, int32_t result) {
  Check(result == 0 || result == kResultFailed || result == kResultException);
  if (!call.Valid() || call.Block()->Release == kReleaseInstance) Check(result == kResultFailed);
}

void CheckGetEvents(const Call& call, uintptr_t passed, int32_t result, HostState& state) {
  CheckDataCall(call, result);
  const TPluginCallRec* block = call.Block();
  if (result != 0 || block->Out.Data == passed) return;  // an acknowledgement
  Check(block->Out.DataKind == kDataKindParamsList);
  ReadHandedOutList(block->Out.Data);
  state.LastEventList = block->Out.Data;
}

void CheckGetLogEx(const Call& call, int32_t result) {
  const TPluginCallRec* block = call.Block();
  if (!block) return Check(result == 0);
  Check(block->Out.DataKind == kDataKindInteger);
  if (result == 0) return;
  Check(result > 0 && static_cast<uintptr_t>(result) == block->Out.Data &&
        result <= call.BufferSize());
  Check(IsLogText(call.BufferText(result)));
}

void CheckIdentity(const Call& call) {
  TPluginCallRec* block = call.Block();
  const bool found = call.NamesInstance();
  switch (call.Which()) {
    case Export::GetAppMinVersion: return Check(GetAppMinVersion(block) == (found ? 4.0f : -1.0f));
    case Export::GetModuleType: return Check(GetModuleType(block) == (found ? 8 : 0));
    case Export::MultiThreadSupport: return Check(MultiThreadSupport(block) == found);
    case Export::GetModuleDescription: {
      const char* description = GetModuleDescription(block);
      return Check(found ? description && std::string_view(description) == "Chronel"
                         : description == nullptr);
    }
    default: return;
  }
}

void Run(const Call& call, HostState& state) {
  TPluginCallRec* block = call.Block();
  switch (call.Which()) {
    case Export::ExecutePluginCommand: {
      const int32_t result = ExecutePluginCommand(block);
      Check(IsResultCode(result));
      if (!call.Valid() || block->Release == kReleaseInstance) Check(result == kResultFailed);
      return;
    }
    case Export::GetEvents: {
      const uintptr_t passed = block ? block->Out.Data : 0;
      return CheckGetEvents(call, passed, GetEvents(block), state);
    }
    case Export::ProcessData: return CheckDataCall(call, ProcessData(block));
    case Export::GetData: return CheckDataCall(call, GetData(block));
    case Export::GetLogEx: return CheckGetLogEx(call, GetLogEx(block));
    case Export::GetCustomCommands:
      // This plug-in has no menu extension: nothing to copy, nothing needed.
      Check(GetCustomCommands(block) == 0);
      return Check(!block || (block->Out.Data == 0 && block->Out.DataKind == kDataKindInteger));
    case Export::ShowOptionsDialog:
      ShowOptionsDialog(block);
      // Cancelled, accepted or no dialog; 4 (showing) never outlives the call.
      return Check(!block || (call.NamesInstance() ? block->Out.Data <= 3 && block->Out.Data != 2
                                                   : block->Out.Data == 2));
    case Export::GetPluginIntfVersion: return Check(GetPluginIntfVersion() == 4);
    default: return CheckIdentity(call);
  }
}

// Every input starts where a host usually is: the first instance loaded from the task file, with
// the host window, through a list of the layout the input names.
void LoadFirstInstance(FuzzedDataProvider& input, HostTexts& texts) {
  static_assert(kCommands[0] == "LOAD", "the usual parameters' first command is LOAD");
  PackedChoices layoutOnly(input.ConsumeIntegralInRange<uint32_t>(0, 3));
  HostList list(layoutOnly, texts);
  TPluginCallRec block{};
  block.Version = kCallBlockVersion;
  block.InstanceID = kInstanceIds[0];
  block.NotifyID = static_cast<uint32_t>(block.InstanceID);
  block.ParamList = list.Get();
  Check(ExecutePluginCommand(&block) == 0);
}

void ReleaseEveryInstance() {
  for (const int32_t id : kInstanceIds) {
    TPluginCallRec block{};
    block.Version = kCallBlockVersion;
    block.Release = kReleaseInstance;
    block.InstanceID = id;
    Check(GetModuleType(&block) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Saving settings may have rewritten the task file in an earlier input.
  std::ofstream(World().Folder / kTaskFile, std::ios::binary | std::ios::trunc) << kStoredTasks;
  ResetClassTableLayoutForTesting();  // the first host list of this input decides the layout
  FuzzedDataProvider input(data, size);
  HostTexts texts;
  HostState state;
  LoadFirstInstance(input, texts);
  for (int i = 0; i < kMaxCallsPerInput && input.remaining_bytes() > 0; ++i) {
    // A plausible call is these three bytes and no more.
    PackedChoices choices(input.ConsumeIntegralInRange<uint32_t>(0, 0xFFFFFF));
    const auto which = static_cast<Export>(choices.Pick(kExportCount));
    Call call(input, choices, which, texts, state);
    Run(call, state);
    Check(call.GuardsIntact());
    chronel::platform::ProcessMessages();  // the notifications the plug-in posted
  }
  ReleaseEveryInstance();
  chronel::platform::ProcessMessages();
  // Settings without an INI file go to the registry, which here lives in memory only (no
  // registry file is ever named); empty it so the next input starts from nothing.
  chronel::platform::UseRegistryFile("");
  return 0;
}
