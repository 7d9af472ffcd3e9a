#include "run_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/numbers.h"
#include "core/text.h"
#include "host/config_table.h"
#include "host/host.h"
#include "platform/global_hot_key.h"
#include "tasks/file_reader.h"

namespace chronel {
namespace {

constexpr int32_t kInstance = 1;
constexpr double kDefaultSeconds = 60;

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

struct TScheduledInput {
  double AtSeconds = 0;
  bool IsHotKey = false;
  std::string Text;             // the event type, or the keys as written
  platform::TShortCut Keys = 0;  // hotkeys
};

struct TRunOptions {
  std::string Plugin;
  std::string IniFile;
  std::string SectionPrefix;
  std::string RegistryPath;
  std::string Language;  // LANGUAGE on every command; empty: none
  bool Dialog = false;    // the options dialog first, as a user opens it after LOAD
  std::vector<std::string> Configurations;
  double Seconds = kDefaultSeconds;
  std::vector<TScheduledInput> Inputs;
};

class EUsage : public Exception {
 public:
  using Exception::Exception;
};

double ParseSeconds(const std::string& text, const std::string& option) {
  try {
    size_t used = 0;
    const double seconds = std::stod(text, &used);
    if (used == text.size() && seconds >= 0 && seconds <= 31 * 86400.0) return seconds;
  } catch (const std::exception&) {
    // reported below
  }
  throw EUsage("'" + text + "' is not a number of seconds for " + option);
}

// "Ctrl+Alt+H", "Shift+F5", "Ctrl+7": modifiers, then one letter, digit or function key.
platform::TShortCut ParseKeys(const std::string& keys) {
  platform::TShortCut shortcut = 0;
  std::string rest = keys;
  for (;;) {
    const size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 == rest.size()) break;
    const std::string modifier = UpperCaseAscii(rest.substr(0, plus));
    if (modifier == "CTRL") shortcut |= platform::scCtrl;
    else if (modifier == "ALT") shortcut |= platform::scAlt;
    else if (modifier == "SHIFT") shortcut |= platform::scShift;
    else throw EUsage("'" + keys + "': unknown modifier '" + rest.substr(0, plus) + "'");
    rest = rest.substr(plus + 1);
  }
  const std::string key = UpperCaseAscii(rest);
  if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0]))) return shortcut | key[0];
  if (key.size() >= 2 && key[0] == 'F') {
    const int number = StrToIntDef(key.substr(1), 0);
    if (number >= 1 && number <= 24) return shortcut | static_cast<platform::TShortCut>(0x6F + number);
  }
  throw EUsage("'" + keys + "' is not a key combination such as Ctrl+Alt+H");
}

TScheduledInput ParseInput(const std::string& value, bool hotKey, const std::string& option) {
  TScheduledInput input;
  input.IsHotKey = hotKey;
  const size_t at = value.rfind('@');
  input.Text = value.substr(0, at);
  if (at != std::string::npos) input.AtSeconds = ParseSeconds(value.substr(at + 1), option);
  if (input.Text.empty()) throw EUsage(option + " needs a value");
  if (hotKey) input.Keys = ParseKeys(input.Text);
  return input;
}

TRunOptions ParseOptions(const std::vector<std::string>& args) {
  TRunOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--dialog") {
      options.Dialog = true;
      continue;
    }
    const bool takesValue = arg.rfind("--", 0) == 0;
    if (!takesValue) {
      if (!options.Plugin.empty()) throw EUsage("unexpected argument '" + arg + "'");
      options.Plugin = arg;
      continue;
    }
    // Taken only once the option is known, so that a mistyped last option is named as unknown.
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw EUsage(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--ini") options.IniFile = value();
    else if (arg == "--section-prefix") options.SectionPrefix = value();
    else if (arg == "--registry") options.RegistryPath = value();
    else if (arg == "--config") options.Configurations.push_back(value());
    else if (arg == "--language") options.Language = value();
    else if (arg == "--for") options.Seconds = ParseSeconds(value(), arg);
    else if (arg == "--event") options.Inputs.push_back(ParseInput(value(), false, arg));
    else if (arg == "--hotkey") options.Inputs.push_back(ParseInput(value(), true, arg));
    else throw EUsage("unknown option " + arg);
  }
  if (!options.IniFile.empty() && !options.RegistryPath.empty()) {
    throw EUsage("--ini and --registry name two settings locations; give one");
  }
  if (!options.SectionPrefix.empty() && options.IniFile.empty()) {
    throw EUsage("--section-prefix belongs to --ini");
  }
  std::stable_sort(options.Inputs.begin(), options.Inputs.end(),
                   [](const auto& a, const auto& b) { return a.AtSeconds < b.AtSeconds; });
  return options;
}

std::vector<host::THostParam> SettingsLocation(const TRunOptions& options) {
  if (!options.IniFile.empty()) {
    return {{"INI-FILE", platform::Variant(options.IniFile)},
            {"INISectionPrefix", platform::Variant(options.SectionPrefix)}};
  }
  return {{"RegistryPath", platform::Variant(options.RegistryPath)}};
}

// A host names its user-interface language on every command.
std::vector<host::THostParam> WithLanguage(std::vector<host::THostParam> params,
                                           const TRunOptions& options) {
  if (options.Language.empty()) return params;
  params.push_back({"LANGUAGE", platform::Variant(options.Language)});
  return params;
}

void Deliver(host::THost& host, host::TTimeline& timeline, const TScheduledInput& input,
             const TRunOptions& options) {
  if (!input.IsHotKey) {
    host.Command(kInstance, "EVENT",
                 WithLanguage({{"EVENT-TYPE", platform::Variant(input.Text)}}, options));
    return;
  }
  timeline.Write(kInstance, "hotkey " + input.Text + " pressed");
  if (!host.PressHotKey(input.Keys)) timeline.Write(kInstance, "hotkey " + input.Text + " is held by nobody");
}

using Clock = std::chrono::steady_clock;

// Runs the host's loop until the time is up or the user interrupts, delivering each input at
// its offset.
void RunLoop(host::THost& host, host::TTimeline& timeline, const TRunOptions& options) {
  const auto start = Clock::now();
  auto elapsed = [start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  size_t next = 0;
  while (!interrupted && elapsed() < options.Seconds) {
    while (next < options.Inputs.size() && options.Inputs[next].AtSeconds <= elapsed()) {
      Deliver(host, timeline, options.Inputs[next++], options);
    }
    host.PumpFor(20);
  }
  if (interrupted) timeline.Write(0, "interrupted");
}

}  // namespace

int RunRunCommand(const std::vector<std::string>& args) {
  TRunOptions options;
  try {
    options = ParseOptions(args);
  } catch (const EUsage& error) {
    std::fprintf(stderr, "chronel run: %s\n", error.what());
    return 2;
  }
  std::error_code unreadable;  // a folder the user may not look into is not "missing"
  if (!options.IniFile.empty() &&
      !std::filesystem::exists(PathFromUtf8(options.IniFile), unreadable) && !unreadable) {
    // The plug-in takes a missing file for empty settings, which a mistyped path also is.
    std::fprintf(stderr, "chronel run: note: the settings file %s does not exist; the plug-in "
                 "starts with no tasks\n", options.IniFile.c_str());
  }
  if (options.Plugin.empty()) options.Plugin = host::DefaultPluginPath();
  if (!options.Configurations.empty()) host::HostConfigurations().Replace(options.Configurations);

  host::TTimeline timeline(host::TTimeline::StandardOutput());
  std::unique_ptr<host::THost> host;
  try {
    host = std::make_unique<host::THost>(options.Plugin, timeline);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "chronel run: cannot load %s: %s\n", options.Plugin.c_str(), error.what());
    return 2;
  }
  interrupted = false;
  auto previous = std::signal(SIGINT, OnInterrupt);
  const int32_t loaded =
      host->Command(kInstance, "LOAD", WithLanguage(SettingsLocation(options), options));
  if (loaded == 0 && options.Dialog) {
    host->ShowOptionsDialog(kInstance, WithLanguage(SettingsLocation(options), options));
  }
  if (loaded == 0) RunLoop(*host, timeline, options);
  host->Command(kInstance, "UNLOAD", WithLanguage(SettingsLocation(options), options));
  host->Release(kInstance);
  std::signal(SIGINT, previous);
  if (loaded != 0) {
    std::fprintf(stderr, "chronel run: the plug-in refused LOAD (%d)\n", loaded);
    return 2;
  }
  return 0;
}

}  // namespace chronel
