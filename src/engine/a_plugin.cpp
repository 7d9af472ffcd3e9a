#include "engine/a_plugin.h"

#include "core/form.h"
#include "core/format.h"
#include "core/published_properties.h"
#include "core/text.h"
#include "engine/data_source_cfg.h"
#include "engine/menu.h"
#include "engine/msg_array.h"
#include "engine/strings_holder.h"
#include "engine/timer.h"
#include "translation/wtransl.h"

namespace chronel {
namespace {

constexpr const char* kEventsSupported =
    "LOG-MESSAGE;NEW-LOG-FILE;LOG-FILE-DELETE;NEW-DATA-PACKET;ERROR-WRITE-FILE;PORT-OPEN;"
    "PORT-CLOSE;CONFIG-CHANGE;USER-LOGOFF;USER-LOGON;STOP-SERVICE";

// An action item and the child that names its argument; the child's Tag chooses the kind of
// argument field the options dialog shows (2 a list of data sources, 1 free text).
std::vector<TComponentDeclaration> Action(const char* name, const char* caption,
                                          const char* argument, int64_t tag,
                                          const char* argumentCaption) {
  return {
      {.Class = ClassOf<TMenuItem>(),
       .Name = name,
       .Parent = "mmActions",
       .Properties = {{"Caption", std::string(caption)}}},
      {.Class = ClassOf<TMenuItem>(),
       .Name = argument,
       .Parent = name,
       .Properties = {{"Caption", std::string(argumentCaption)}, {"Tag", tag}}},
  };
}

template <typename T>
T& Declared(const TComponent& root, const char* name) {
  return static_cast<T&>(*root.FindComponent(name));
}

// The message table as written here, in English.
const std::vector<std::string>& DeclaredMessages() {
  static const std::vector<std::string> lines = {
      "MsgExecTask||Executing task||||||D||||||||",
      "MsgInvArg||Invalid argument ||||||D||||||||",
      "MsgInvTask||Unable to add task #%d||||||D||||||||",
      "||||||||D||||||||",
      "MsgTaskCycle||Task %s skipped: it is already running in this chain||||||D||||||||",
      "MsgChainStopped||The chain started by task %s was stopped after %d steps||||||D||||||||",
      "MsgNextRuns||Next runs: %s||||||D||||||||",
      "MsgRunsOnTrigger||Runs on its trigger, not at set times||||||D||||||||",
      "MsgNoRuns||No run within the next five years||||||D||||||||",
      "MsgScheduleFails||The schedule fails: %s||||||D||||||||",
      "MsgNotSaved||The tasks could not be saved to %s; they are still here||||||D||||||||"};
  return lines;
}

// A message's English text; empty for an ID the table does not have.
std::string DeclaredMessageText(std::string_view id) {
  for (const std::string& line : DeclaredMessages()) {
    if (ExtractField(line, "||", 1, true) == id) return ExtractField(line, "||", 2, true);
  }
  return {};
}

}  // namespace

TaPlugin::TaPlugin(const plugin::TPluginCallRec* block) : TkivPlugin(block) {
  LoadDeclaration(*this, Declaration());
  messages_ = &Declared<TMsgArray>(*this, "MsgArray");
  actions_ = &Declared<TMenuItem>(*this, "mmActions");
  checkTasks_ = &Declared<TTimer>(*this, "CheckTasks");
  if (optionsDialog_ != nullptr) {
    OnShowOptionsDialog = plugin::TShowOptionsDialogEvent(
        *this, &TaPlugin::kivPluginShowOptionsDialog, "kivPluginShowOptionsDialog");
  }
}

void TaPlugin::UseOptionsDialog(TOptionsDialog show) { optionsDialog_ = show; }

// An instance released while still loaded lets go of its work as UNLOAD would, before its
// components go.
TaPlugin::~TaPlugin() { ReleaseTasks(); }

const TClassInfo& TaPlugin::StaticClassInfo() {
  static const TClassInfo info(
      "TaPlugin", &TkivPlugin::StaticClassInfo(), {},
      {
          PublishedMethod("kivPluginCreate", &TaPlugin::kivPluginCreate),
          PublishedMethod("kivPluginLoad", &TaPlugin::kivPluginLoad),
          PublishedMethod("kivPluginUnload", &TaPlugin::kivPluginUnload),
          PublishedMethod("kivPluginSaveSettingsNow", &TaPlugin::kivPluginSaveSettingsNow),
          PublishedMethod("kivPluginLoadSettingsNow", &TaPlugin::kivPluginLoadSettingsNow),
          PublishedMethod("kivPluginShowOptionsDialog", &TaPlugin::kivPluginShowOptionsDialog),
          PublishedMethod("kivPluginEvent", &TaPlugin::kivPluginEvent),
          PublishedMethod("CheckTasksTimer", &TaPlugin::CheckTasksTimer),
      });
  return info;
}

const TFormDeclaration& TaPlugin::Declaration() {
  static const TFormDeclaration declaration = [] {
    TFormDeclaration d{
        .Name = "aPlugin",
        .Properties =
            {
                {"MsgNoData", std::string("No data for processing")},
                {"MsgWriteComplete", std::string("Data have been processed successfully")},
                {"MsgWriteCompleteError", std::string("Data have been processed with errors")},
                {"MinVersion", 4.0},
                {"Description", std::string("Chronel")},
                {"LogTitle", std::string("Chronel")},
                {"ModuleType", Members({"mttEventsHandling"})},
                {"EventsSupported", std::string(kEventsSupported)},
                {"IsMultiThreadSupported", true},
            },
        .Handlers =
            {
                {"OnCreate", "kivPluginCreate"},
                {"OnLoad", "kivPluginLoad"},
                {"OnUnload", "kivPluginUnload"},
                {"OnSaveSettingsNow", "kivPluginSaveSettingsNow"},
                {"OnLoadSettingsNow", "kivPluginLoadSettingsNow"},
                {"OnEvent", "kivPluginEvent"},
            },
        .Components =
            {
                {.Class = ClassOf<TStringsHolder>(),
                 .Name = "Properties",
                 .Properties = {{"Strings",
                                 Lines({"Left,Left", "Top,Top", "Height,Height", "Width,Width",
                                        ";---short---", "lstTasks.Strings,Tasks"})}}},
                {.Class = ClassOf<TMsgArray>(),
                 .Name = "MsgArray",
                 .Properties = {{"MessagesArray", DeclaredMessages()}}},
                {.Class = ClassOf<TPopupMenu>(), .Name = "pmResources"},
                {.Class = ClassOf<TMenuItem>(),
                 .Name = "mmActions",
                 .Parent = "pmResources",
                 .Properties = {{"Caption", std::string("Actions")}}},
            },
    };
    for (const auto& action : {Action("OPEN", "Open data source", "COMBO_1", 2, "Data source"),
                               Action("CLOSE", "Close data source", "COMBO_2", 2, "Data source"),
                               Action("SEND", "Send data", "TEXT_1", 1, "Data"),
                               Action("NEWLOG", "New log file", "COMBO_3", 2, "Data source"),
                               Action("EVENT", "Generate event", "TEXT_2", 1, "Event")}) {
      d.Components.insert(d.Components.end(), action.begin(), action.end());
    }
    d.Components.push_back({.Class = ClassOf<TTimer>(),
                            .Name = "CheckTasks",
                            .Properties = {{"Interval", int64_t{500}}, {"Enabled", false}},
                            .Handlers = {{"OnTimer", "CheckTasksTimer"}}});
    return d;
  }();
  return declaration;
}

const TStringList& TaPlugin::PropertyMap() const {
  return Declared<TStringsHolder>(*this, "Properties").Strings();
}

std::pair<int, std::string> TaPlugin::ActionCaption(std::string_view action) const {
  const auto texts = ReadTexts();
  const auto items = actions_->Items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->Name() == action) return {static_cast<int>(i), items[i]->Caption()};
  }
  return {-1, {}};
}

// The message's text as the table holds it now (translated with the module), untrimmed: the
// log lines keep a translator's spacing.
std::string TaPlugin::MessageOf(std::string_view id) const {
  const auto texts = ReadTexts();
  const int index = messages_->IndexOfID(id);
  if (index < 0 || index >= messages_->MessagesText().Count()) return messages_->MessageText(id);
  return messages_->MessagesText()[index];
}

std::string TaPlugin::FormattedMessage(std::string_view id,
                                       std::initializer_list<FormatArg> args) const {
  const auto texts = ReadTexts();
  try {
    return messages_->FormatMessage(id, args);
  } catch (const EFormatError&) {
    // A translation whose placeholders do not fit the arguments: the English text says it.
    return Format(DeclaredMessageText(id), args);
  }
}

// --- life cycle

// The message table's texts and the columns of lists follow the instance's language too.
void TaPlugin::kivPluginCreate(TObject&) {
  if (TWtransl* translator = Translator()) {
    translator->ComponentProperties().Add("MessagesText");
    translator->ComponentProperties().Add("Columns");
  }
  Translate(*this);
}

void TaPlugin::kivPluginLoad(plugin::TkivPlugin&, plugin::TPluginCallRec*, int32_t&) {
  LookUpHostServices();
  tasks_ = std::make_unique<TTaskList>(true);
  events_ = std::make_unique<TSchEventList>();
  configuration_ = std::make_unique<TDataSourceCfg>(*this);
  configuration_->LoadConfig();
}

void TaPlugin::LookUpHostServices() {
  const platform::ModuleHandle host = HostModule();
  auto find = [host](const char* name) {
    return host == 0 ? nullptr : platform::ModuleSymbol(host, name);
  };
  getConfigId_ = reinterpret_cast<TGetConfigIDFunc>(find("Vantrel_GetConfigID"));
  startPause_ = reinterpret_cast<TStartPauseFunc>(find("Vantrel_StartPause"));
  getConfigurations_ = reinterpret_cast<TGetConfigurationsFunc>(find("Vantrel_GetConfigurations"));
  setOption_ = reinterpret_cast<TSetOptionFunc>(find("Vantrel_SetOption"));
}

void TaPlugin::kivPluginUnload(plugin::TkivPlugin&, plugin::TPluginCallRec*, int32_t&) {
  ReleaseTasks();
}

// Every source of work stops before the task list goes: the timer, the schedules, then the
// tasks with their hotkeys.
void TaPlugin::ReleaseTasks() {
  checkTasks_->SetEnabled(false);
  configuration_.reset();
  events_.reset();
  tasks_.reset();
}

void TaPlugin::kivPluginSaveSettingsNow(TObject&) {
  if (configuration_) configuration_->SaveConfig();
}

void TaPlugin::kivPluginLoadSettingsNow(TObject&) {
  if (configuration_) configuration_->LoadConfig();
}

// The editor stores what OK kept; a loaded instance then runs the stored tasks from a fresh
// configuration. One that is not loaded has nothing running: its next LOAD reads the store.
void TaPlugin::kivPluginShowOptionsDialog(plugin::TkivPlugin&, plugin::TPluginCallRec*,
                                          bool& success) {
  success = false;
  if (optionsDialog_(*this) != mrOk) return;
  const auto held = HoldCommands();  // an UNLOAD from another thread waits, or came first
  if (tasks_ != nullptr) {
    auto configuration = std::make_unique<TDataSourceCfg>(*this);
    configuration->LoadConfig();
    configuration_ = std::move(configuration);
  }
  success = true;
}

}  // namespace chronel

