#include "plugin/plugin.h"

#include <mutex>
#include <utility>

#include "core/published_properties.h"
#include "platform/module_info.h"
#include "platform/window_info.h"
#include "plugin/host_icon.h"
#include "plugin/params_list.h"
#include "tasks/file_reader.h"
#include "translation/wtransl.h"

namespace chronel::plugin {
namespace {

constexpr std::string_view kShortSettingsMarker = ";---short---";
// The language the module is written in, and the one it starts in without a language file.
constexpr const char* kBaseLanguage = "EN";

// Sets a flag for the length of a scope, also when it is left by an exception.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }

 private:
  bool& flag_;
};

std::string VersionTextOf(platform::ModuleHandle module) {
  const auto version = platform::ModuleFileVersion(module);
  if (!version) return {};
  return std::to_string(version->Major) + "." + std::to_string(version->Minor) + "." +
         std::to_string(version->Release) + " build " + std::to_string(version->Build);
}

// Directory with its trailing separator, and the file name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {{}, path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// "C:\Plugins\chronel.dll" -> "C:\Plugins\chronel.lng".
std::string WithExtension(const std::string& path, std::string_view extension) {
  const size_t name = path.find_last_of("\\/");
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (name == std::string::npos || dot > name);
  return (hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

std::string TextParameter(const TPluginCallRec* block, std::string_view name) {
  if (!block || !block->ParamList) return {};
  const auto value = GivenValue(*block->ParamList, name);
  return value ? value->ToText() : std::string();
}

}  // namespace

const TEnumInfo& ModuleTypeInfo() {
  static const TEnumInfo info("TModuleType",
                              {"mttDataQuery", "mttDataParser", "mttDataExport",
                               "mttEventsHandling", "mttLogging", "mttFilter", "mttDeviceLayer",
                               "mttMenuExt"});
  return info;
}

const TEnumInfo& ModuleOptionInfo() {
  static const TEnumInfo info("TModuleOption", {"moNoConfig", "moXMLOptions"});
  return info;
}

TkivPlugin::TkivPlugin(const TPluginCallRec* block) : TDataModule(nullptr) {
  temporaryLoad_ = block == nullptr || block->ParamList == nullptr;
  if (block && block->ParamList) {
    try {
      if (auto value = GivenValue(*block->ParamList, "TEMPORARY-LOAD")) {
        temporaryLoad_ = value->ToBoolean();
      }
    } catch (const std::exception&) {
      // an unreadable TEMPORARY-LOAD keeps the default
    }
  }
  translator_ = std::make_unique<TWtransl>(nullptr);
  versionText_ = VersionTextOf(platform::OwnModule());
  const std::string path = platform::ModuleFilePath(platform::OwnModule());
  SetUpTranslator(path);
  std::tie(moduleDir_, moduleFileName_) = SplitPath(path);
}

TkivPlugin::~TkivPlugin() {
  FreeOutputLists();
  translator_.reset();
  DestroyComponents();
}

void TkivPlugin::SetUpTranslator(const std::string& libraryPath) {
  const std::string languageFile = WithExtension(libraryPath, ".lng");
  translator_->SetDefaultLanguage(kBaseLanguage);
  language_ = kBaseLanguage;
  if (FileExists(languageFile)) {
    translator_->SetLanguageFile(languageFile);
    TStringList languages;
    // A file that names no default language leaves the instance in the base language.
    if (std::string initial = translator_->ReadLanguageList(languages); !initial.empty()) {
      language_ = std::move(initial);
    }
  } else {
    translator_->SetLanguageFile({});
  }
  for (const char* name : {"MsgNoData", "MsgWriteComplete", "MsgWriteCompleteError"}) {
    translator_->ComponentProperties().Add(name);
  }
}

const TClassInfo& TkivPlugin::StaticClassInfo() {
  static const TClassInfo info(
      "TkivPlugin", &TDataModule::StaticClassInfo(),
      {
          Published("MsgNoData", &TkivPlugin::MsgNoData),
          Published("MsgWriteComplete", &TkivPlugin::MsgWriteComplete),
          Published("MsgWriteCompleteError", &TkivPlugin::MsgWriteCompleteError),
          Published("MinVersion", &TkivPlugin::MinVersion),
          Published("Description", &TkivPlugin::Description),
          Published("LogTitle", &TkivPlugin::LogTitle),
          Published("ModuleType", &TkivPlugin::ModuleType, ModuleTypeInfo()),
          Published("ModuleOptions", &TkivPlugin::ModuleOptions, ModuleOptionInfo()),
          Published("EventsSupported", &TkivPlugin::EventsSupported),
          Published("IsMultiThreadSupported", &TkivPlugin::IsMultiThreadSupported),
          Published("OnShowOptionsDialog", &TkivPlugin::OnShowOptionsDialog),
          Published("OnExecuteCustomCommand", &TkivPlugin::OnExecuteCustomCommand),
          Published("OnEvent", &TkivPlugin::OnEvent),
          Published("OnLoad", &TkivPlugin::OnLoad),
          Published("OnUnload", &TkivPlugin::OnUnload),
          Published("OnSaveSettingsNow", &TkivPlugin::OnSaveSettingsNow),
          Published("OnLoadSettingsNow", &TkivPlugin::OnLoadSettingsNow),
          Published("OnSetParserItems", &TkivPlugin::OnSetParserItems),
          Published("OnStateChanged", &TkivPlugin::OnStateChanged),
          Published("OnProcessData", &TkivPlugin::OnProcessData),
          Published("OnGetData", &TkivPlugin::OnGetData),
          Published("OnBeforeGetParserItems", &TkivPlugin::OnBeforeGetParserItems),
          Published("OnSetPropertyValue", &TkivPlugin::OnSetPropertyValue),
          Published("OnGetPropertyValue", &TkivPlugin::OnGetPropertyValue),
          Published("OnBeforeProcessSettingsItem", &TkivPlugin::OnBeforeProcessSettingsItem),
          Published("OnChangeLanguage", &TkivPlugin::OnChangeLanguage),
      });
  return info;
}

void TkivPlugin::FinishCreate() {
  if (!translator_->LanguageFile().empty()) TranslateSelf();
  DoCreate();
}

// --- LOAD and UNLOAD

void TkivPlugin::HandleLoad(TPluginCallRec* block) {
  if (++loadCount_ > 1) return;  // only the first LOAD of a working life does work
  dialogShowing_ = false;
  notifyId_ = block->NotifyID;
  registryPath_ = TextParameter(block, "RegistryPath");
  iniSectionPrefix_ = TextParameter(block, "INISectionPrefix");
  if (auto handle = GivenValue(*block->ParamList, "HANDLE")) {
    hostModule_ = static_cast<platform::ModuleHandle>(handle->ToInt64());
  }
  applicationName_ = TextParameter(block, "ApplicationName");
  if (hostModule_ == 0 && !applicationName_.empty()) {
    hostModule_ = platform::FindLoadedModule(applicationName_);
  }
  currentIniFile_ = TextParameter(block, "INI-FILE");
  if (!outputRows_) outputRows_ = NewRowsParamsList();
  {
    // GetEvents and GenerateEvent do not wait for commands: they see both event lists or none
    // (the handed-out one is made last, and GetEvents answers -1 without it).
    std::lock_guard events(eventsLock_);
    if (!pendingEvents_) pendingEvents_ = NewRowsParamsList();
    if (!eventRows_) eventRows_ = NewRowsParamsList();
  }
  LookUpHostFunctions();
  unloaded_ = false;
  int32_t ignored = 0;
  OnLoad(*this, block, ignored);
}

void TkivPlugin::LookUpHostFunctions() {
  sendData_ = sendByte_ = nullptr;
  sendString_ = nullptr;
  if (hostModule_ == 0) return;
  AcquireHostIcon(hostModule_);
  sendData_ = platform::ModuleSymbol(hostModule_, "fSendData");
  sendString_ = reinterpret_cast<TSendStringFunc>(platform::ModuleSymbol(hostModule_, "fSendString"));
  sendByte_ = platform::ModuleSymbol(hostModule_, "fSendByte");
}

void TkivPlugin::HandleUnload(TPluginCallRec* block) {
  ReleaseHostIcon();
  const int32_t remaining = --loadCount_;
  if (remaining < 0) {
    loadCount_ = 0;
    return;
  }
  if (remaining > 0) return;
  unloaded_ = true;
  for (bool& active : activeTypes_) active = false;
  const std::string iniFile = TextParameter(block, "INI-FILE");
  if (iniFile != currentIniFile_) {
    // An UNLOAD that names another INI file saves the settings there.
    currentIniFile_ = iniFile;
    try {
      OnSaveSettingsNow(*this);
    } catch (const std::exception& error) {
      // The instance still reaches the unloaded state; the host's log says what was not saved.
      AddLog(lsError, error.what());
    }
  }
  try {
    int32_t ignored = 0;
    OnUnload(*this, block, ignored);
  } catch (const std::exception&) {
    // as above
  }
  dialogShowing_ = false;
  FreeOutputLists();
  hostModule_ = 0;
  hostWindow_ = 0;
}

void TkivPlugin::FreeOutputLists() {
  std::lock_guard events(eventsLock_);
  for (TkivRowsParamsList** list : {&outputRows_, &eventRows_, &pendingEvents_}) {
    try {
      FreeParamsList(std::exchange(*list, nullptr));
    } catch (const std::exception&) {
      // a list that fails to free is forgotten; the next LOAD makes new ones
    }
  }
}

// --- language

void TkivPlugin::ApplyLanguage(const TPluginCallRec* block) {
  const std::string language = TextParameter(block, "LANGUAGE");
  if (language.empty() || language_.empty() || language == language_) return;
  language_ = language;
  translated_ = false;
  TranslateSelf();
  try {
    OnChangeLanguage(*this);
  } catch (const std::exception&) {
    // a failing handler does not undo the change
  }
}

void TkivPlugin::Translate(TComponent& target) {
  if (language_.empty()) language_ = "NONE";
  if (!translator_) return;
  std::unique_lock texts(textsLock_);
  translator_->TranslateComponent(language_, &target, nullptr, kBaseLanguage);
}

void TkivPlugin::TranslateSelf() {
  if (translated_ || language_.empty()) return;
  try {
    Translate(*this);
  } catch (const std::exception&) {
    // translated counts as done: a broken language file is not retried on every command
  }
  translated_ = true;
}

// --- settings

bool TkivPlugin::RunStore(const TStringList& map, TObject& target, const std::string& iniFile,
                          bool load) {
  FlagScope busy(settingsBusy_);
  TWreg store;
  store.SetRegistryRoot(RegistryRoot());
  store.SetSecondRegistryRoot(SecondRegistryRoot());
  store.SetRegistryPath(registryPath_);
  store.SetINIFileSectionPrefix(iniSectionPrefix_);
  store.SetValue = OnSetPropertyValue;
  store.GetValue = OnGetPropertyValue;
  store.BeforeProcessItem = OnBeforeProcessSettingsItem;
  store.SetINIFile(iniFile.empty() ? currentIniFile_ : iniFile);
  store.PropertyList().Assign(map);
  return load ? store.ReadProperties(&target) : store.WriteProperties(&target);
}

bool TkivPlugin::LoadSettings(const TStringList* map, TObject& target, const std::string& iniFile) {
  return map && RunStore(*map, target, iniFile, true);
}

bool TkivPlugin::SaveSettings(const TStringList* map, TObject& target, const std::string& iniFile) {
  return map && RunStore(*map, target, iniFile, false);
}

bool TkivPlugin::SaveShortSettings(const TStringList* map, TObject& target,
                                   const std::string& iniFile) {
  if (!map) return false;
  std::string text = map->Text();
  const size_t marker = text.find(kShortSettingsMarker);
  if (marker != std::string::npos) text.resize(marker + kShortSettingsMarker.size());
  TStringList shortMap;
  shortMap.SetText(text);
  return RunStore(shortMap, target, iniFile, false);
}

bool TkivPlugin::DialogMoved(const TRect& form) const {
  if (ownerWindow_ == 0 || dialogBounds_.IsZero()) return false;
  return form.Left != dialogBounds_.Left || form.Right != dialogBounds_.Right ||
         form.Top != dialogBounds_.Top || form.Bottom != dialogBounds_.Bottom;
}

bool TkivPlugin::CenterOnOwner(TRect& form) const {
  if (ownerWindow_ == 0) return false;
  const auto owner = platform::WindowBounds(ownerWindow_);
  if (!owner) return false;
  const int32_t width = form.Right - form.Left;
  const int32_t height = form.Bottom - form.Top;
  form.Left = owner->Left + ((owner->Right - owner->Left) - width) / 2;
  form.Top = owner->Top + ((owner->Bottom - owner->Top) - height) / 2;
  form.Right = form.Left + width;
  form.Bottom = form.Top + height;
  return true;
}

void TkivPlugin::SettingsNowCommand(TPluginCallRec* block, bool load) {
  const std::string remembered = currentIniFile_;
  currentIniFile_ = TextParameter(block, "INI-FILE");
  try {
    if (load) {
      OnLoadSettingsNow(*this);
      currentIniFile_ = remembered;
    }
    OnSaveSettingsNow(*this);
  } catch (...) {
    currentIniFile_ = remembered;
    throw;
  }
  currentIniFile_ = remembered;
}

}  // namespace chronel::plugin
