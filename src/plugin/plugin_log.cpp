// Log lines and events on their way to the host window.
#include <cstddef>
#include <span>
#include <string>

#include "core/text.h"
#include "platform/code_page.h"
#include "platform/locale_services.h"
#include "plugin/params_list.h"
#include "plugin/plugin.h"

namespace chronel::plugin {
namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void AppendItems(TkivParamsList& target, TkivParamsList& source) {
  for (int32_t i = 0; i < source.Count; ++i) {
    TkivParamsListItem* item = ItemAt(source, i);
    AddValue(target, ItemName(*item), platform::Variant::FromRaw(item->Value));
  }
  ClearList(source);
}

}  // namespace

// The host reads 8-bit log text in its own code page.
std::string TkivPlugin::FormatLogLine(uint8_t severity, const std::string& text, bool flag) const {
  std::string line(1, static_cast<char>(severity + 1 + (flag ? 128 : 0)));
  if (!LogTitle.empty()) line += LogTitle + ". ";
  line += ReplaceAll(ReplaceAll(text, "\r", " "), "\n", " ");
  return line;
}

void TkivPlugin::PostToHost(uint32_t message, platform::LParam lparam) {
  const platform::WindowHandle window = hostWindow_;
  if (window == 0) return;
  if (platform::PostWindowMessage(window, message, notifyId_, lparam) == 0) return;
  platform::SendMessageWithTimeout(window, message, notifyId_, lparam, kHostSendTimeoutMs);
}

void TkivPlugin::AddLog(uint8_t severity, const std::string& text, bool flag) {
  if (hostWindow_ == 0) return;
  try {
    const std::string line = platform::Utf8ToAnsi(FormatLogLine(severity, text, flag));
    {
      auto lines = log_.Lock();
      lines->push_back(line);
      if (lines->size() > kMaxLogLines) {
        lines->erase(lines->begin(), lines->end() - kMaxLogLines);
      }
    }
    PostToHost(kLogPendingMessage, 0);
  } catch (const std::exception&) {
    // logging never fails its caller
  }
}

bool TkivPlugin::SendToHost(uintptr_t tag, const std::string& bytes) {
  const auto data = std::as_bytes(std::span(bytes.data(), bytes.size()));
  return platform::SendCopyData(hostWindow_, notifyId_, tag, data, kHostSendTimeoutMs).Delivered;
}

// Queued lines go first, so the host sees them in the order they were written.
void TkivPlugin::SendLog(uint8_t severity, const std::string& text, bool flag) {
  if (hostWindow_ == 0) return;
  try {
    std::vector<std::string> taken;
    {
      auto lines = log_.Lock();
      taken.swap(*lines);
    }
    if (!taken.empty() && !SendToHost(kCopyDataQueuedLines, JoinLines(taken))) {
      {
        auto lines = log_.Lock();
        lines->insert(lines->begin(), taken.begin(), taken.end());
      }
      AddLog(severity, text, flag);
      return;
    }
    const std::string line = platform::Utf8ToAnsi(FormatLogLine(severity, text, flag));
    if (!SendToHost(kCopyDataOneLine, line)) AddLog(severity, text, flag);
  } catch (const std::exception&) {
    // as AddLog
  }
}

std::string TkivPlugin::PendingLogText(bool take) {
  auto lines = log_.Lock();
  std::string text = JoinLines(*lines);
  if (take) lines->clear();
  return text;
}

void TkivPlugin::GenerateEvent(bool global, const std::string& eventType,
                               std::span<const platform::Variant> args) {
  {
    std::lock_guard events(eventsLock_);
    if (!pendingEvents_) return;  // not loaded: nobody collects
    if (pendingEvents_->Count > kMaxEventItems) ClearList(*pendingEvents_);
    if (global) AddValue(*pendingEvents_, "EVENT-GLOBAL", platform::Variant(true));
    AddValue(*pendingEvents_, "EVENT-TYPE", platform::Variant(platform::UpperCaseLocale(eventType)));
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
      AddValue(*pendingEvents_, args[i].ToText(), args[i + 1]);
    }
    NewRow(*pendingEvents_);
  }
  PostToHost(kEventsPendingMessage, 0);
}

// The host's first call receives the handed-out list, its second (with that address) empties
// it. Events raised in between wait in the pending list for the next exchange.
int32_t TkivPlugin::GetEventsWorker(TPluginCallRec* block) {
  bool morePending = false;
  {
    std::lock_guard events(eventsLock_);
    if (!eventRows_) return kResultFailed;
    try {
      if (block->Out.Data == reinterpret_cast<uintptr_t>(eventRows_)) {
        ClearList(*eventRows_);
        morePending = pendingEvents_->Count > 0;
      } else {
        // A host that takes the events but never acknowledges them gets the old ones again
        // with the new; past the bound they are dropped, as uncollected pending events are.
        if (eventRows_->Count > kMaxEventItems) ClearList(*eventRows_);
        AppendItems(*eventRows_, *pendingEvents_);
        block->Out.DataKind = kDataKindParamsList;
        block->Out.Data = reinterpret_cast<uintptr_t>(eventRows_);
      }
    } catch (const std::exception&) {
      return kResultException;
    }
  }
  if (morePending) PostToHost(kEventsPendingMessage, 0);
  return 0;
}

int32_t TkivPlugin::PendingEventItems() {
  std::lock_guard events(eventsLock_);
  return (pendingEvents_ ? pendingEvents_->Count : 0) + (eventRows_ ? eventRows_->Count : 0);
}

}  // namespace chronel::plugin
