#include "host_services.h"

#include <atomic>
#include <string>

#include "config_table.h"
#include "core/utf.h"
#include "platform/code_page.h"
#include "platform/ole_string.h"
#include "value_text.h"

namespace chronel::host {
namespace {

std::atomic<IServiceListener*> the_listener{nullptr};

void Report(std::optional<uint32_t> notifyId, std::string_view what) {
  if (IServiceListener* listener = the_listener.load()) listener->ServiceCalled(notifyId, what);
}

std::string WideText(const char16_t* text) {
  return text ? Utf16ToUtf8(std::u16string_view(text)) : std::string();
}

// The option name that asks for a new log file: two characters of code 1.
bool IsNewLogFileOption(const char16_t* name, const platform::TVarData& value) {
  return name && std::u16string_view(name) == u"\x01\x01" && value.VType == platform::kVarNull;
}

std::string ConfigText(int32_t id) {
  std::string text = "config " + std::to_string(id);
  const std::string name = HostConfigurations().NameOf(id);
  return name.empty() ? text : text + " (" + name + ")";
}

}  // namespace

void SetServiceListener(IServiceListener* listener) { the_listener.store(listener); }

void ClearServiceListener(IServiceListener* listener) {
  the_listener.compare_exchange_strong(listener, nullptr);
}

TConfigTable& HostConfigurations() {
  static TConfigTable table;
  return table;
}

}  // namespace chronel::host

using chronel::host::ConfigText;
using chronel::host::Report;
using chronel::host::WideText;

int32_t CHRONEL_HOST_STDCALL fSendString(uint32_t notifyId, int32_t, int32_t, const char* text) {
  const std::string utf8 = chronel::platform::AnsiToUtf8(text ? text : "");
  Report(notifyId, "fSendString \"" + utf8 + "\"");
  return 0;
}

int32_t CHRONEL_HOST_STDCALL fSendData(uint32_t notifyId, int32_t, int32_t, const void*) {
  Report(notifyId, "fSendData called");
  return 0;
}

int32_t CHRONEL_HOST_STDCALL fSendByte(uint32_t notifyId, int32_t, int32_t, uint8_t value) {
  Report(notifyId, "fSendByte called with " + std::to_string(value));
  return 0;
}

int32_t CHRONEL_HOST_STDCALL Vantrel_GetConfigID(const char16_t* name) {
  const std::string text = WideText(name);
  const int32_t id = chronel::host::HostConfigurations().IdOf(text);
  Report(std::nullopt, "Vantrel_GetConfigID \"" + text + "\" -> " + std::to_string(id));
  return id;
}

int32_t CHRONEL_HOST_STDCALL Vantrel_StartPause(int32_t id, int32_t open) {
  Report(std::nullopt, "Vantrel_StartPause " + ConfigText(id) + (open ? " open" : " close"));
  return 0;
}

int32_t CHRONEL_HOST_STDCALL Vantrel_GetConfigurations(char16_t** wideStringVariable) {
  std::string lines;
  std::string shown;
  for (const std::string& name : chronel::host::HostConfigurations().Names()) {
    lines += name + "\r\n";
    shown += (shown.empty() ? "" : ", ") + name;
  }
  if (wideStringVariable) *wideStringVariable = chronel::platform::AllocOleStringFromUtf8(lines);
  Report(std::nullopt, "Vantrel_GetConfigurations " + shown);
  return 0;
}

int32_t CHRONEL_HOST_STDCALL Vantrel_SetOption(int32_t id, const char16_t* name,
                                               chronel::platform::TVarData value) {
  if (chronel::host::IsNewLogFileOption(name, value)) {
    Report(std::nullopt, "Vantrel_SetOption " + ConfigText(id) + " new log file");
    return 0;
  }
  Report(std::nullopt, "Vantrel_SetOption " + ConfigText(id) + " \"" + WideText(name) +
                           "\" = " + chronel::host::ValueText(value));
  return 0;
}
