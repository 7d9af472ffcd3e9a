#include "host.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "core/exception.h"
#include "core/text.h"
#include "platform/code_page.h"
#include "platform/global_hot_key.h"
#include "platform/key_press.h"
#include "platform/message_loop.h"
#include "platform/module_info.h"
#include "library_file.h"
#include "log_line.h"
#include "value_text.h"

namespace chronel::host {
namespace {

using plugin::TkivParamsList;
using plugin::TPluginCallRec;

// Large enough for the plug-in's whole log queue (100 lines); a longer text is fetched again
// with the size the plug-in reports.
constexpr size_t kTextBufferSize = 64 * 1024;
constexpr size_t kLargestText = 64 * 1024 * 1024;
constexpr uint32_t kPumpSliceMs = 20;

// Which instance's call is under way on this thread, for service calls that do not say.
thread_local int32_t calling_instance = 0;

class CallingInstanceScope {
 public:
  explicit CallingInstanceScope(int32_t instance) : outer_(calling_instance) {
    calling_instance = instance;
  }
  ~CallingInstanceScope() { calling_instance = outer_; }

 private:
  int32_t outer_;
};

struct ListDeleter {
  void operator()(TkivParamsList* list) const { plugin::FreeParamsList(list); }
};
using OwnedList = std::unique_ptr<TkivParamsList, ListDeleter>;

OwnedList NewList() { return OwnedList(plugin::NewParamsList()); }

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string DirectoryOf(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::unique_ptr<platform::DynamicLibrary> OpenLibrary(const std::string& path) {
  std::string error;
  // dlopen looks a bare name up on the library path; the user means the file here.
  const bool bare_name = path.find_first_of("/\\") == std::string::npos;
  const bool search_path = kNativeLibraryFormat == LibraryFormat::Elf;
  auto library = platform::DynamicLibrary::Open(bare_name && search_path ? "./" + path : path,
                                                error);
  if (!library) throw Exception(path + " cannot be loaded: " + error);
  return library;
}

// Handles and module addresses as the plug-in reads integers: 32 bits when they fit.
platform::Variant HandleValue(uintptr_t handle) {
  if (handle <= static_cast<uintptr_t>(std::numeric_limits<int32_t>::max())) {
    return platform::Variant(static_cast<int32_t>(handle));
  }
  return platform::Variant(static_cast<int64_t>(handle));
}

void AddUnlessGiven(TkivParamsList& list, std::string_view name,
                    const platform::Variant& value) {
  if (!plugin::FindItem(list, name)) plugin::AddValue(list, name, value);
}

std::vector<THostEvent> ReadEventRows(const TkivParamsList& rows) {
  std::vector<THostEvent> events;
  THostEvent current;
  bool open_row = false;
  for (int32_t i = 0; i < rows.Count; ++i) {
    const plugin::TkivParamsListItem* item = plugin::ItemAt(rows, i);
    if (!item) continue;
    const std::string_view name = plugin::ItemName(*item);
    if (name == plugin::kNewRowName) {
      events.push_back(std::move(current));
      current = THostEvent();
      open_row = false;
      continue;
    }
    open_row = true;
    if (SameTextAscii(name, "EVENT-TYPE")) {
      current.Type = ValueText(item->Value);
    } else if (SameTextAscii(name, "EVENT-GLOBAL")) {
      current.Global = ValueText(item->Value) == "True";
    } else {
      current.Pairs.emplace_back(std::string(name), ValueText(item->Value));
    }
  }
  if (open_row) events.push_back(std::move(current));
  return events;
}

std::string DescribeEvent(const THostEvent& event) {
  std::string text = "event " + event.Type;
  if (event.Global) text += " (global)";
  for (const auto& [name, value] : event.Pairs) text += " " + name + "=" + value;
  return text;
}

}  // namespace

std::string DefaultPluginPath() {
  const std::string directory = DirectoryOf(platform::ModuleFilePath(platform::OwnModule()));
  return directory + kPluginFileName;
}

THost::THost(const std::string& libraryPath, TTimeline& timeline)
    : path_(libraryPath),
      timeline_(timeline),
      library_(OpenLibrary(libraryPath)),
      exports_(*library_) {
  window_ = platform::CreateMessageWindow(
      [this](platform::WindowHandle, uint32_t message, platform::WParam wparam,
             platform::LParam lparam) { return HandleMessage(message, wparam, lparam); });
  SetServiceListener(this);
}

THost::~THost() {
  std::vector<int32_t> instances;
  {
    std::lock_guard lock(instances_mutex_);
    for (const auto& [instance, notify_id] : notify_ids_) instances.push_back(instance);
  }
  for (int32_t instance : instances) {
    try {
      Release(instance);
    } catch (const std::exception&) {
      // A library without the export keeps its instances until it is unloaded.
    }
  }
  ClearServiceListener(this);
  platform::DestroyMessageWindow(window_);
}

template <typename Function>
Function THost::Require(PluginExport which) const {
  if (!exports_.Has(which)) {
    throw Exception(path_ + " does not export " + std::string(NameOf(which)));
  }
  return exports_.As<Function>(which);
}

uint32_t THost::NotifyIdOf(int32_t instance) {
  if (instance == 0) return 0;
  std::lock_guard lock(instances_mutex_);
  auto [entry, added] = notify_ids_.try_emplace(instance, next_notify_id_);
  if (added) ++next_notify_id_;
  return entry->second;
}

int32_t THost::InstanceOfNotifyId(uint32_t notifyId) const {
  std::lock_guard lock(instances_mutex_);
  for (const auto& [instance, notify_id] : notify_ids_) {
    if (notify_id == notifyId) return instance;
  }
  return 0;
}

int32_t THost::AttributedInstance() const {
  if (calling_instance != 0) return calling_instance;
  std::lock_guard lock(instances_mutex_);
  return notify_ids_.size() == 1 ? notify_ids_.begin()->first : 0;
}

TPluginCallRec THost::NewCallBlock(int32_t instance, TkivParamsList* list) {
  TPluginCallRec block{};
  block.Version = plugin::kCallBlockVersion;
  block.InstanceID = instance;
  block.NotifyID = NotifyIdOf(instance);
  block.ParamList = list;
  return block;
}

int32_t THost::InterfaceVersion() {
  return Require<VersionFunction>(PluginExport::GetPluginIntfVersion)();
}

float THost::AppMinVersion(int32_t instance) {
  auto function = Require<FloatFunction>(PluginExport::GetAppMinVersion);
  TPluginCallRec block = NewCallBlock(instance);
  CallingInstanceScope scope(instance);
  return function(&block);
}

std::optional<std::string> THost::ModuleDescription(int32_t instance) {
  auto function = Require<TextFunction>(PluginExport::GetModuleDescription);
  TPluginCallRec block = NewCallBlock(instance);
  CallingInstanceScope scope(instance);
  const char* text = function(&block);
  if (!text) return std::nullopt;
  return platform::AnsiToUtf8(text);
}

int32_t THost::ModuleType(int32_t instance) {
  auto function = Require<IntegerFunction>(PluginExport::GetModuleType);
  TPluginCallRec block = NewCallBlock(instance);
  CallingInstanceScope scope(instance);
  return function(&block);
}

bool THost::MultiThreadSupport(int32_t instance) {
  auto function = Require<BooleanFunction>(PluginExport::MultiThreadSupport);
  TPluginCallRec block = NewCallBlock(instance);
  CallingInstanceScope scope(instance);
  return (function(&block) & 0xFF) != 0;
}

std::string THost::CustomCommands(int32_t instance) {
  return FetchText(PluginExport::GetCustomCommands, instance);
}

// GetLogEx and GetCustomCommands copy their text into the host's buffer, or answer 0 and the
// size they need in Out.Data. A zero-size buffer is no probe for GetLogEx: it discards the
// lines, so the first call always offers a real buffer.
std::string THost::FetchText(PluginExport which, int32_t instance) {
  auto function = Require<IntegerFunction>(which);
  std::vector<char> buffer(kTextBufferSize);
  CallingInstanceScope scope(instance);
  for (;;) {
    TPluginCallRec block = NewCallBlock(instance);
    block.In.DataSize = static_cast<int32_t>(buffer.size());
    block.In.Data = reinterpret_cast<uintptr_t>(buffer.data());
    const int32_t copied = function(&block);
    if (copied > 0) {
      return std::string(buffer.data(), std::min(static_cast<size_t>(copied), buffer.size()));
    }
    const size_t wanted = static_cast<size_t>(block.Out.Data);
    if (wanted <= buffer.size() || wanted > kLargestText) return {};
    buffer.resize(wanted);
  }
}

int32_t THost::Command(int32_t instance, std::string_view command,
                       const std::vector<THostParam>& params, const AnswerReader& readAnswer) {
  auto execute = Require<IntegerFunction>(PluginExport::ExecutePluginCommand);
  OwnedList list = NewList();
  plugin::AddValue(*list, "COMMAND", platform::Variant(command));
  for (const THostParam& param : params) plugin::AddValue(*list, param.Name, param.Value);
  AddUnlessGiven(*list, "MessagesProcessorHandle", HandleValue(window_));
  if (command == "LOAD") {
    const platform::ModuleHandle module = platform::OwnModule();
    AddUnlessGiven(*list, "HANDLE", HandleValue(module));
    AddUnlessGiven(*list, "ApplicationName",
                   platform::Variant(FileNameOf(platform::ModuleFilePath(module))));
  }
  TPluginCallRec block = NewCallBlock(instance, list.get());
  int32_t result;
  {
    CallingInstanceScope scope(instance);
    result = execute(&block);
  }
  timeline_.Write(instance, "command " + std::string(command) + " answered " +
                                std::to_string(result));
  if (readAnswer) readAnswer(*list);
  return result;
}

uint32_t THost::ShowOptionsDialog(int32_t instance, const std::vector<THostParam>& params) {
  auto show = Require<VoidFunction>(PluginExport::ShowOptionsDialog);
  OwnedList list = NewList();
  for (const THostParam& param : params) plugin::AddValue(*list, param.Name, param.Value);
  AddUnlessGiven(*list, "OWNERFORM", HandleValue(window_));
  TPluginCallRec block = NewCallBlock(instance, list.get());
  {
    CallingInstanceScope scope(instance);
    show(&block);
  }
  const auto outcome = static_cast<uint32_t>(block.Out.Data);
  timeline_.Write(instance, "options dialog answered " + std::to_string(outcome));
  return outcome;
}

void THost::Release(int32_t instance) {
  auto function = Require<IntegerFunction>(PluginExport::GetModuleType);
  TPluginCallRec block = NewCallBlock(instance);
  block.Release = plugin::kReleaseInstance;
  {
    CallingInstanceScope scope(instance);
    function(&block);
  }
  {
    std::lock_guard lock(instances_mutex_);
    notify_ids_.erase(instance);
  }
  timeline_.Write(instance, "released");
}

std::vector<std::string> THost::CollectLog(int32_t instance) {
  std::vector<std::string> lines;
  for (const std::string& line : SplitQueuedLines(FetchText(PluginExport::GetLogEx, instance))) {
    lines.push_back(DescribeLogLine(line));
    timeline_.Write(instance, lines.back());
  }
  return lines;
}

std::vector<THostEvent> THost::CollectEvents(int32_t instance) {
  auto get_events = Require<IntegerFunction>(PluginExport::GetEvents);
  OwnedList list = NewList();  // the call is valid only with a parameter list
  CallingInstanceScope scope(instance);
  TPluginCallRec fetch = NewCallBlock(instance, list.get());
  const int32_t result = get_events(&fetch);
  if (result != 0 || fetch.Out.DataKind != plugin::kDataKindParamsList || fetch.Out.Data == 0) {
    timeline_.Write(instance, "GetEvents answered " + std::to_string(result) + " without rows");
    return {};
  }
  const auto* rows = reinterpret_cast<const TkivParamsList*>(fetch.Out.Data);
  std::vector<THostEvent> events;
  if (plugin::IsAlive(rows)) events = ReadEventRows(*rows);
  // Handing the address back tells the plug-in the rows are taken.
  TPluginCallRec acknowledge = NewCallBlock(instance, list.get());
  acknowledge.Out.DataKind = plugin::kDataKindParamsList;
  acknowledge.Out.Data = fetch.Out.Data;
  get_events(&acknowledge);
  for (const THostEvent& event : events) timeline_.Write(instance, DescribeEvent(event));
  return events;
}

platform::LResult THost::HandleMessage(uint32_t message, platform::WParam wparam,
                                       platform::LParam lparam) {
  const int32_t instance = InstanceOfNotifyId(static_cast<uint32_t>(wparam));
  switch (message) {
    case kLogPendingMessage:
    case kEventsPendingMessage:
      if (instance == 0) {
        timeline_.Write(0, "message " + std::to_string(message) + " for unknown NotifyID " +
                               std::to_string(wparam));
        return 0;
      }
      if (message == kLogPendingMessage) {
        CollectLog(instance);
      } else {
        CollectEvents(instance);
      }
      return 0;
    case platform::kWmCopyData:
      ReceiveCopiedLog(instance != 0 ? instance : AttributedInstance(),
                       platform::CopyDataOf(lparam));
      return 1;
    default:
      return platform::DefaultWindowProcedure(window_, message, wparam, lparam);
  }
}

void THost::ReceiveCopiedLog(int32_t instance, const platform::CopyData& data) {
  const std::string_view bytes(static_cast<const char*>(data.Data), data.Size);
  if (data.Tag == kCopyDataOneLine) {
    timeline_.Write(instance, DescribeLogLine(bytes));
    return;
  }
  if (data.Tag != kCopyDataQueuedLines) {
    timeline_.Write(instance, "copy data with unknown tag " + std::to_string(data.Tag));
    return;
  }
  for (const std::string& line : SplitQueuedLines(bytes)) {
    timeline_.Write(instance, DescribeLogLine(line));
  }
}

void THost::ServiceCalled(std::optional<uint32_t> notifyId, std::string_view what) {
  const int32_t instance = notifyId ? InstanceOfNotifyId(*notifyId) : AttributedInstance();
  timeline_.Write(instance, what);
}

bool THost::PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    platform::ProcessMessages();
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    platform::WaitForMessages(
        static_cast<uint32_t>(std::min<int64_t>(left.count(), kPumpSliceMs)));
  }
}

void THost::PumpFor(uint32_t milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

bool THost::PressHotKey(uint16_t shortcut) {
#if defined(_WIN32)
  return platform::SendKeyPress(platform::ShortCutSystemModifiers(shortcut),
                                platform::ShortCutKey(shortcut));
#else
  using PressFunction = int32_t (*)(uint16_t);
  const auto press = library_->As<PressFunction>("chronel_press_hotkey");
  return press && press(shortcut) != 0;
#endif
}

}  // namespace chronel::host
