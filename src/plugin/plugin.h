// TkivPlugin: one plug-in instance per host configuration. A data module whose published values
// and handlers come from its declaration; the framework creates it for a new InstanceID, LOAD
// gives it its host link and settings location, commands reach it through ExecuteCommand, and
// it hands log lines and events back to the host window.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <vector>

#include "core/data_module.h"
#include "core/enumeration.h"
#include "core/event.h"
#include "core/string_list.h"
#include "platform/message_window.h"
#include "platform/module_info.h"
#include "platform/thread_string_list.h"
#include "platform/variant.h"
#include "plugin/call_block.h"
#include "plugin/config_data_source.h"
#include "plugin/custom_commands.h"
#include "plugin/parser_items.h"
#include "tasks/property_store.h"
#include "tasks/registry_root.h"

namespace chronel {
class TWtransl;
}

namespace chronel::plugin {

class TkivPlugin;
struct TkivRowsParamsList;

// Host window messages (wParam = NotifyID).
inline constexpr uint32_t kLogPendingMessage = 1809;
inline constexpr uint32_t kEventsPendingMessage = 1811;
// Copy-data tags: every queued line (each followed by CR LF), or one line.
inline constexpr uintptr_t kCopyDataQueuedLines = 1;
inline constexpr uintptr_t kCopyDataOneLine = 2;
inline constexpr size_t kMaxLogLines = 100;
inline constexpr int32_t kMaxEventItems = 20000;
inline constexpr uint32_t kHostSendTimeoutMs = 1000;

enum TLogSeverity : uint8_t { lsError = 0, lsWarning = 1, lsInformation = 2 };

// Result codes of the exports and commands.
inline constexpr int32_t kResultFailed = -1;
inline constexpr int32_t kResultUnknownCommand = -2;
inline constexpr int32_t kResultException = -3;

// Handler types; the sender is the instance.
using TShowOptionsDialogEvent = TEvent<TkivPlugin&, TPluginCallRec*, bool&>;
using TExecutePluginCommandEvent = TEvent<TkivPlugin&, TPluginCallRec*, int32_t&>;
using TExecutePluginCustomCommandEvent =
    TEvent<TkivPlugin&, const std::string&, TPluginCallRec*, int32_t&>;
using TOnProcessData = TEvent<TkivPlugin&, TPluginCallRec*, int32_t&>;
using TOnPluginStateChangeNotifyEvent = TEvent<TkivPlugin&, TModuleTypes>;
using TOnPluginNotifyEvent = TEvent<TkivPlugin&>;

const TEnumInfo& ModuleTypeInfo();
const TEnumInfo& ModuleOptionInfo();

// The host's service functions, looked up in the host module at LOAD.
using TSendStringFunc = int32_t(CHRONEL_STDCALL*)(uint32_t notifyId, int32_t, int32_t,
                                                   const char* text);
using THostProc = void*;

// An instance is built, loaded, driven and freed by the framework (instance_registry.h) on the
// host's calling threads. Commands of one instance are serialised by its command lock; the log
// and the event queue may be used from any thread.
class TkivPlugin : public TDataModule {
 public:
  // Steps before the declaration is loaded (the derived class's constructor loads it, then the
  // framework calls FinishCreate).
  explicit TkivPlugin(const TPluginCallRec* block);
  ~TkivPlugin() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Translation and the creation handler, once the declaration has been loaded.
  void FinishCreate();

  // --- published values
  std::string MsgNoData;
  std::string MsgWriteComplete;
  std::string MsgWriteCompleteError;
  float MinVersion = 0;
  std::string Description;
  std::string LogTitle;
  TSet<TModuleType> ModuleType;
  TSet<TModuleOption> ModuleOptions;
  std::string EventsSupported;
  bool IsMultiThreadSupported = false;

  TShowOptionsDialogEvent OnShowOptionsDialog;
  TExecutePluginCustomCommandEvent OnExecuteCustomCommand;
  TExecutePluginCustomCommandEvent OnEvent;
  TExecutePluginCommandEvent OnLoad;
  TExecutePluginCommandEvent OnUnload;
  TNotifyEvent OnSaveSettingsNow;
  TNotifyEvent OnLoadSettingsNow;
  TNotifyEvent OnSetParserItems;
  TOnPluginStateChangeNotifyEvent OnStateChanged;
  TOnProcessData OnProcessData;
  TOnProcessData OnGetData;
  TNotifyEvent OnBeforeGetParserItems;
  TSetValueProc OnSetPropertyValue;
  TGetValueProc OnGetPropertyValue;
  TBeforeProcessItemProc OnBeforeProcessSettingsItem;
  TOnPluginNotifyEvent OnChangeLanguage;

  // --- identity and state
  int32_t InstanceID() const { return instanceId_; }
  void SetInstanceID(int32_t id) { instanceId_ = id; }
  uint32_t NotifyID() const { return notifyId_; }
  int32_t LoadCount() const { return loadCount_; }
  bool TemporaryLoad() const { return temporaryLoad_; }
  const std::string& VersionText() const { return versionText_; }
  const std::string& ModuleDir() const { return moduleDir_; }
  const std::string& ModuleFileName() const { return moduleFileName_; }
  const std::string& ApplicationName() const { return applicationName_; }
  const std::string& Language() const { return language_; }
  platform::ModuleHandle HostModule() const { return hostModule_; }
  platform::WindowHandle HostWindow() const { return hostWindow_; }
  platform::WindowHandle OwnerWindow() const { return ownerWindow_; }
  TSendStringFunc SendString() const { return sendString_; }
  bool ActiveType(TModuleType type) const { return activeTypes_[type]; }
  std::atomic<bool>& Busy() { return busy_; }
  std::atomic<bool>& Unloaded() { return unloaded_; }
  std::atomic<bool>& DialogShowing() { return dialogShowing_; }
  const std::string& ItemsText() const { return itemsText_; }
  const std::vector<TParserItem>& ParserItems() const { return parserItems_; }
  TkivPluginCustomCmdList& CustomCommands() { return customCommands_; }
  const std::vector<TConfigDataSource>& DataSources() const { return dataSources_; }
  // Pending log lines (each without CR LF).
  platform::TThreadStringList& Log() { return log_; }
  TkivRowsParamsList* OutputRows() const { return outputRows_; }

  // --- settings location
  TRegistryRoot RegistryRoot() const { return TRegistryRoot::rrHKEY_LOCAL_MACHINE; }
  TRegistryRoot SecondRegistryRoot() const { return TRegistryRoot::rrHKEY_CURRENT_USER; }
  const std::string& RegistryPath() const { return registryPath_; }
  const std::string& INISectionPrefix() const { return iniSectionPrefix_; }
  // LOAD sets it from INISectionPrefix; a program that edits settings without loading sets it.
  void SetINISectionPrefix(std::string prefix) { iniSectionPrefix_ = std::move(prefix); }
  const std::string& CurrentIniFile() const { return currentIniFile_; }
  void SetCurrentIniFile(std::string file) { currentIniFile_ = std::move(file); }
  bool SettingsBusy() const { return settingsBusy_; }

  // The property store over `target` with `map` (null: nothing, false). An empty `iniFile`
  // uses CurrentIniFile.
  bool LoadSettings(const TStringList* map, TObject& target, const std::string& iniFile = {});
  bool SaveSettings(const TStringList* map, TObject& target, const std::string& iniFile = {});
  // Only the lines up to and including ";---short---" (the whole map without the marker).
  bool SaveShortSettings(const TStringList* map, TObject& target,
                         const std::string& iniFile = {});

  // The options dialog's placement over the host window.
  struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool IsZero() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
  };
  const TRect& DialogBounds() const { return dialogBounds_; }
  void SaveDialogBounds(const TRect& formBounds) { dialogBounds_ = formBounds; }
  bool DialogMoved(const TRect& formBounds) const;
  // The new bounds centred over the owner window; false when there is no readable owner.
  bool CenterOnOwner(TRect& formBounds) const;

  // ShowOptionsDialog's parameters: INI-FILE (none: the registry), LANGUAGE and OWNERFORM.
  void ReadDialogParameters(const TPluginCallRec* block);
  // Host commands from other threads wait while the holder changes what they use: the options
  // dialog holds it while it reads its parameters and while the instance takes up what OK
  // stored, but not while the user works in the dialog.
  std::unique_lock<std::recursive_mutex> HoldCommands() { return std::unique_lock(commandLock_); }

  // --- language
  // The instance's translation engine. Its language file is the library's path with ".lng"
  // (none when there is no such file); the instance starts in that file's default language, or
  // in "EN".
  TWtransl* Translator() const { return translator_.get(); }
  void ApplyLanguage(const TPluginCallRec* block);
  // Translates `target` from "EN" into Language. Holds the texts lock for writing.
  void Translate(TComponent& target);
  void TranslateSelf();
  // Translate changes the module's texts under this lock; code that reads them on a thread
  // other than the command's (the log lines of running tasks) holds it shared.
  std::shared_lock<std::shared_mutex> ReadTexts() const {
    return std::shared_lock(textsLock_);
  }

  // --- commands, data, events, log
  int32_t ExecuteCommand(const std::string& command, TPluginCallRec* block);
  int32_t GetDataWorker(TPluginCallRec* block);
  int32_t GetEventsWorker(TPluginCallRec* block);
  int32_t ProcessDataWorker(TPluginCallRec* block);
  // Queues one event row (name/value pairs follow the type) and tells the host window.
  void GenerateEvent(bool global, const std::string& eventType,
                     std::span<const platform::Variant> args = {});
  void AddLog(uint8_t severity, const std::string& text, bool flag = false);
  void SendLog(uint8_t severity, const std::string& text, bool flag = false);
  void PostToHost(uint32_t message, platform::LParam lparam);
  std::string FormatLogLine(uint8_t severity, const std::string& text, bool flag) const;
  // The pending lines, each followed by CR LF (GetLogEx); `take` empties the queue.
  std::string PendingLogText(bool take);
  // Events queued and not yet handed to the host (for tests and the host's timeline).
  int32_t PendingEventItems();

  // LOAD and UNLOAD.
  void HandleLoad(TPluginCallRec* block);
  void HandleUnload(TPluginCallRec* block);

 private:
  void RunCommand(const std::string& command, TPluginCallRec* block, int32_t& result);
  int32_t SetItemsCommand(TPluginCallRec* block);
  int32_t SetStateCommand(TPluginCallRec* block);
  int32_t ItemsCommand(TPluginCallRec* block);
  int32_t EventCommand(TPluginCallRec* block);
  void SettingsNowCommand(TPluginCallRec* block, bool load);
  void ReadHostWindows(const TPluginCallRec* block);
  bool RunStore(const TStringList& map, TObject& target, const std::string& iniFile, bool load);
  void LookUpHostFunctions();
  void SetUpTranslator(const std::string& libraryPath);
  void FreeOutputLists();
  void HandOutRows(TPluginCallRec* block);
  bool SendToHost(uintptr_t tag, const std::string& bytes);

  std::recursive_mutex commandLock_;
  std::atomic<int32_t> dispatchDepth_{0};
  std::atomic<int32_t> loadCount_{0};
  // Set by LOAD; read by every post and send to the host, also from data calls and handlers
  // that do not wait for commands.
  std::atomic<uint32_t> notifyId_{0};
  int32_t instanceId_ = 0;
  std::string itemsText_;
  std::string moduleDir_;
  std::string moduleFileName_;
  std::string applicationName_;
  std::string versionText_;
  std::vector<TParserItem> parserItems_;
  TkivPluginCustomCmdList customCommands_;
  platform::TThreadStringList log_;
  TkivRowsParamsList* outputRows_ = nullptr;
  // Events wait in pendingEvents_; GetEvents moves them into eventRows_, the list whose address
  // the host holds until it acknowledges, so an event raised between the host's two calls is
  // kept for the next exchange instead of being emptied unseen.
  TkivRowsParamsList* eventRows_ = nullptr;
  TkivRowsParamsList* pendingEvents_ = nullptr;
  std::mutex eventsLock_;
  std::atomic<bool> unloaded_{false};
  std::vector<TConfigDataSource> dataSources_;
  std::string currentIniFile_;
  std::string registryPath_;
  std::string iniSectionPrefix_;
  bool activeTypes_[8] = {};
  bool temporaryLoad_ = false;
  bool settingsBusy_ = false;
  TRect dialogBounds_;
  std::atomic<platform::WindowHandle> ownerWindow_{0};
  platform::ModuleHandle hostModule_ = 0;
  std::atomic<platform::WindowHandle> hostWindow_{0};
  std::atomic<bool> busy_{false};
  std::unique_ptr<TWtransl> translator_;
  mutable std::shared_mutex textsLock_;
  bool translated_ = false;
  std::atomic<bool> dialogShowing_{false};
  std::string language_;
  TSendStringFunc sendString_ = nullptr;
  THostProc sendByte_ = nullptr;
  THostProc sendData_ = nullptr;
};

}  // namespace chronel::plugin
