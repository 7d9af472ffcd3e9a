// The command dispatcher and the data workers of an instance.
#include <optional>
#include <string>

#include "core/exception.h"
#include "core/text.h"
#include "plugin/params_list.h"
#include "plugin/plugin.h"

namespace chronel::plugin {
namespace {

bool IsTextVariant(const platform::TVarData& value) {
  return value.VType == platform::kVarOleStr || value.VType == platform::kVarString;
}

// Leaves the command lock and the dispatch counter as they were, however the dispatch ends.
class DispatchScope {
 public:
  DispatchScope(std::recursive_mutex& lock, std::atomic<int32_t>& depth)
      : lock_(lock), depth_(depth) {
    lock_.lock();
    ++depth_;
  }
  ~DispatchScope() {
    --depth_;
    lock_.unlock();
  }
  bool Nested() const { return depth_ != 1; }

 private:
  std::recursive_mutex& lock_;
  std::atomic<int32_t>& depth_;
};

std::string TextOf(const std::optional<platform::Variant>& value) {
  return value ? value->ToText() : std::string();
}

}  // namespace

void TkivPlugin::ReadHostWindows(const TPluginCallRec* block) {
  if (auto window = GivenValue(*block->ParamList, "MessagesProcessorHandle")) {
    hostWindow_ = static_cast<platform::WindowHandle>(window->ToInt64());
  }
  if (auto owner = GivenValue(*block->ParamList, "OWNERFORM")) {
    ownerWindow_ = static_cast<platform::WindowHandle>(owner->ToInt64());
  }
}

void TkivPlugin::ReadDialogParameters(const TPluginCallRec* block) {
  currentIniFile_ = TextOf(GivenValue(*block->ParamList, "INI-FILE"));
  ApplyLanguage(block);
  if (auto owner = GivenValue(*block->ParamList, "OWNERFORM")) {
    ownerWindow_ = static_cast<platform::WindowHandle>(owner->ToInt64());
  }
}

int32_t TkivPlugin::ExecuteCommand(const std::string& command, TPluginCallRec* block) {
  DispatchScope dispatch(commandLock_, dispatchDepth_);
  // A handler that sends a command to its own instance would run it inside the first.
  if (dispatch.Nested()) throw Exception("Assertion failure");
  ApplyLanguage(block);
  ReadHostWindows(block);
  int32_t result = kResultUnknownCommand;
  RunCommand(command, block, result);
  return result;
}

void TkivPlugin::RunCommand(const std::string& command, TPluginCallRec* block, int32_t& result) {
  if (command == "LOAD") {
    HandleLoad(block);
    result = 0;
  } else if (command == "UNLOAD") {
    HandleUnload(block);
    result = 0;
  } else if (command == "SET-ITEMS") {
    result = SetItemsCommand(block);
  } else if (command == "SET-STATE") {
    result = SetStateCommand(block);
  } else if (command == "ITEMS") {
    result = ItemsCommand(block);
  } else if (command == "EVENTS-SUPPORT") {
    SetValue(*block->ParamList, "RESULT", platform::Variant(EventsSupported), false);
    result = 0;
  } else if (command == "EVENT") {
    result = EventCommand(block);
  } else if (command == "SAVE-SETTINGS-NOW" || command == "LOAD-SETTINGS-NOW") {
    SettingsNowCommand(block, command == "LOAD-SETTINGS-NOW");
    result = 0;
  } else if (OnExecuteCustomCommand) {
    OnExecuteCustomCommand(*this, command, block, result);
  }
}

int32_t TkivPlugin::SetItemsCommand(TPluginCallRec* block) {
  TkivParamsListItem* items = FindItem(*block->ParamList, "ITEMS");
  if (!items || !IsTextVariant(items->Value)) return kResultFailed;
  SetParserItems(parserItems_, platform::Variant::FromRaw(items->Value).ToText(), true);
  OnSetParserItems(*this);
  return 0;
}

int32_t TkivPlugin::SetStateCommand(TPluginCallRec* block) {
  if (auto sources = GivenValue(*block->ParamList, "DATA-SOURCES-IN-CFG")) {
    dataSources_ = ParseDataSources(sources->ToText());
  }
  const auto state = GivenValue(*block->ParamList, "RESULT");
  if (!state) return kResultFailed;
  const bool active = state->ToInt32() == 1;
  for (int type = 0; type < 8; ++type) {
    if (block->ModuleTypes & (1u << type)) activeTypes_[type] = active;
  }
  OnStateChanged(*this, block->ModuleTypes);
  return 0;
}

int32_t TkivPlugin::ItemsCommand(TPluginCallRec* block) {
  if (IndexOfName(*block->ParamList, "RESULT") < 0) return kResultFailed;
  OnBeforeGetParserItems(*this);
  itemsText_ = ParserItemsText(parserItems_);
  SetValue(*block->ParamList, "RESULT", platform::Variant(itemsText_), false);
  return 0;
}

int32_t TkivPlugin::EventCommand(TPluginCallRec* block) {
  int32_t result = kResultFailed;
  const auto eventType = GivenValue(*block->ParamList, "EVENT-TYPE");
  if (!eventType) return result;
  if (!OnEvent) return 0;
  OnEvent(*this, eventType->ToText(), block, result);
  return result;
}

// --- data workers (called with Busy set)

void TkivPlugin::HandOutRows(TPluginCallRec* block) {
  if (!outputRows_ || outputRows_->Count == 0) return;
  block->Out.DataKind = kDataKindParamsList;
  block->Out.Data = reinterpret_cast<uintptr_t>(outputRows_);
}

int32_t TkivPlugin::GetDataWorker(TPluginCallRec* block) {
  int32_t result = 0;
  block->Out.Data = 0;
  if (block->ModuleTypes == 0) return 0;
  block->In.Data = 0;
  if (!OnGetData) return 0;
  try {
    OnGetData(*this, block, result);
    HandOutRows(block);
    if (result > 0 && block->In.Data == 0) result = 0;
  } catch (const std::exception&) {
    result = kResultException;
    if (!MsgWriteCompleteError.empty()) SendLog(lsWarning, MsgWriteCompleteError);
  }
  return result;
}

int32_t TkivPlugin::ProcessDataWorker(TPluginCallRec* block) {
  int32_t result = 0;
  block->Out.Data = 0;
  if (!IsAlive(block->ParamList)) return kResultException;
  const uintptr_t received = block->In.Data;
  const TModuleTypes types = block->ModuleTypes;
  // Only data of the list kind is a list: other kinds hold a number, which must not be read.
  auto* hostRows = block->In.DataKind == kDataKindParamsList
                       ? reinterpret_cast<TkivParamsList*>(block->In.Data)
                       : nullptr;
  if (types != 0) {
    if (!(types & ModuleTypeBit(mttDataQuery)) && hostRows && hostRows->Count == 0) {
      block->In.Data = 0;
    }
    if ((types & ModuleTypeBit(mttDataExport)) && block->In.Data == 0) {
      if (!MsgNoData.empty()) SendLog(lsWarning, MsgNoData);
    } else {
      if ((types & ModuleTypeBit(mttDataExport)) && IsAlive(hostRows) &&
          SameTextAscii(ClassNameOf(*hostRows), "TkivRowsParamsList") && hostRows->Count > 0 &&
          ItemName(*ItemAt(*hostRows, hostRows->Count - 1)) != kNewRowName) {
        NewRow(*hostRows);  // closes the host's last row
      }
      if (OnProcessData) {
        const bool reports = types & (ModuleTypeBit(mttDataExport) |
                                      ModuleTypeBit(mttEventsHandling));
        try {
          OnProcessData(*this, block, result);
          HandOutRows(block);
          if (result > 0 && block->In.Data == 0) result = 0;
          if (reports) {
            const std::string& message = result < 0 ? MsgWriteCompleteError : MsgWriteComplete;
            if (!message.empty()) SendLog(result < 0 ? lsWarning : lsInformation, message);
          }
        } catch (const std::exception&) {
          result = kResultException;
          if (!MsgWriteCompleteError.empty()) SendLog(lsWarning, MsgWriteCompleteError);
        }
      }
    }
  }
  // Only a pointer the handler put there survives the call.
  if (block->In.Data == received) block->In.Data = 0;
  return result;
}

}  // namespace chronel::plugin
