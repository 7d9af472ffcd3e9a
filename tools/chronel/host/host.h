// THost: the reference host. Loads the plug-in library at run time, drives it through its
// exports with call blocks and parameter lists of its own, owns the host window the plug-in
// posts to, collects log lines and events, and reports everything on a timeline.
//
// Threads: create, use and destroy a THost on one thread; that thread owns the host window,
// so log and event notifications are handled only while it pumps (PumpUntil, PumpFor, or any
// message loop of its own). The host's services (host_services.h) may report from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host_services.h"
#include "platform/dynamic_library.h"
#include "platform/message_window.h"
#include "platform/variant.h"
#include "plugin/params_list.h"
#include "plugin_exports.h"
#include "timeline.h"

namespace chronel::host {

// Messages the plug-in posts to the host window (wParam = NotifyID).
inline constexpr uint32_t kLogPendingMessage = 1809;
inline constexpr uint32_t kEventsPendingMessage = 1811;
// Copy-data tags: all queued log lines, each ended by CR LF; one line without a break.
inline constexpr uintptr_t kCopyDataQueuedLines = 1;
inline constexpr uintptr_t kCopyDataOneLine = 2;

// One parameter of a command.
struct THostParam {
  std::string Name;
  platform::Variant Value;
};

// One event row collected from the plug-in.
struct THostEvent {
  std::string Type;
  bool Global = false;
  std::vector<std::pair<std::string, std::string>> Pairs;  // further names and values, as text
};

// The library beside the running program: libchronel.so, or chronel.dll on Windows.
std::string DefaultPluginPath();

class THost final : private IServiceListener {
 public:
  // Reads the parameter list after the command ran, before the host frees it.
  using AnswerReader = std::function<void(const plugin::TkivParamsList& list)>;

  // Loads the library and creates the host window; raises chronel::Exception with the
  // loader's reason when the library does not load. Missing exports are not an error here:
  // a call that needs one raises.
  THost(const std::string& libraryPath, TTimeline& timeline);
  // Releases every instance still known, then unloads the library.
  ~THost();
  THost(const THost&) = delete;
  THost& operator=(const THost&) = delete;

  const std::string& LibraryPath() const { return path_; }
  const TPluginExports& Exports() const { return exports_; }
  platform::WindowHandle Window() const { return window_; }

  // The identity calls. Each but InterfaceVersion creates the instance on first use.
  int32_t InterfaceVersion();
  float AppMinVersion(int32_t instance);
  std::optional<std::string> ModuleDescription(int32_t instance);  // nothing for null
  int32_t ModuleType(int32_t instance);  // low 16 bits types, high 16 bits options
  bool MultiThreadSupport(int32_t instance);
  // The custom-command text (lines of "|"-separated fields), empty when there is none.
  std::string CustomCommands(int32_t instance);

  // Runs a command through ExecutePluginCommand and answers its result code. The list carries
  // COMMAND, the given parameters, and unless given: MessagesProcessorHandle (the host
  // window); for LOAD also HANDLE and ApplicationName (this program's module and file name).
  int32_t Command(int32_t instance, std::string_view command,
                  const std::vector<THostParam>& params = {},
                  const AnswerReader& readAnswer = {});
  // ShowOptionsDialog with a list of the given parameters and, unless given, OWNERFORM (the host
  // window); returns when the dialog is closed and answers Out.Data (0 cancelled, 1 accepted,
  // 2 no instance, 3 no options dialog).
  uint32_t ShowOptionsDialog(int32_t instance, const std::vector<THostParam>& params = {});
  // A call with Release = 0xFF: the plug-in frees the instance.
  void Release(int32_t instance);

  // GetLogEx: the waiting lines, each written to the timeline; answers them as described there.
  std::vector<std::string> CollectLog(int32_t instance);
  // GetEvents in two steps (fetch the rows, then acknowledge them), each written to the
  // timeline.
  std::vector<THostEvent> CollectEvents(int32_t instance);

  // Handles the host window's messages until `done` answers true (checked after each round)
  // or `timeoutMs` has passed; true when done.
  bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs);
  void PumpFor(uint32_t milliseconds);

  // The NotifyID this host gives an instance (fixed on first use); 0 for instance 0.
  uint32_t NotifyIdOf(int32_t instance);

  // Presses a key combination as the user would: a real key press on Windows; on Linux, which
  // has no system keyboard here, through the plug-in library's diagnostic entry point. False
  // when the press could not be made (on Linux: no window of the process holds it).
  bool PressHotKey(uint16_t shortcut);

 private:
  void ServiceCalled(std::optional<uint32_t> notifyId, std::string_view what) override;
  platform::LResult HandleMessage(uint32_t message, platform::WParam wparam,
                                  platform::LParam lparam);
  void ReceiveCopiedLog(int32_t instance, const platform::CopyData& data);

  template <typename Function>
  Function Require(PluginExport which) const;
  plugin::TPluginCallRec NewCallBlock(int32_t instance, plugin::TkivParamsList* list = nullptr);
  std::string FetchText(PluginExport which, int32_t instance);
  // 0 when the NotifyID is not one of ours.
  int32_t InstanceOfNotifyId(uint32_t notifyId) const;
  // The instance a service call belongs to when it does not say: the one whose call is under
  // way on this thread, else the only instance known, else none.
  int32_t AttributedInstance() const;

  std::string path_;
  TTimeline& timeline_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  TPluginExports exports_;
  platform::WindowHandle window_ = 0;

  mutable std::mutex instances_mutex_;  // service reports look instances up from any thread
  std::map<int32_t, uint32_t> notify_ids_;  // instance -> NotifyID
  uint32_t next_notify_id_ = 1001;
};

}  // namespace chronel::host
