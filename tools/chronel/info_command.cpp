#include "info_command.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <ostream>

#include "core/exception.h"
#include "core/text.h"
#include "host/host.h"
#include "host/library_file.h"
#include "platform/module_info.h"

namespace chronel {
namespace {

using host::PluginExport;

constexpr int kErrorStatus = 2;
// The instance the identity calls create; released before the library is unloaded.
constexpr int32_t kInfoInstance = 1;

constexpr const char* kModuleTypeNames[] = {
    "mttDataQuery",      "mttDataParser", "mttDataExport",   "mttEventsHandling",
    "mttLogging",        "mttFilter",     "mttDeviceLayer",  "mttMenuExt"};
constexpr const char* kModuleOptionNames[] = {"moNoConfig", "moXMLOptions"};

// The names of the set bits, "none" for an empty set.
template <size_t N>
std::string SetNames(uint16_t bits, const char* const (&names)[N]) {
  std::string text;
  for (unsigned bit = 0; bit < 16; ++bit) {
    if (!(bits & (1u << bit))) continue;
    if (!text.empty()) text += ", ";
    text += bit < N ? names[bit] : "bit " + std::to_string(bit);
  }
  return text.empty() ? "none" : text;
}

std::string VersionNumber(float version) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", static_cast<double>(version));
  std::string number = text;
  return number.find_first_of(".e") == std::string::npos ? number + ".0" : number;
}

// The library's file version as the plug-in itself shows it ("4.2.0 build 117").
std::string VersionText(const host::THost& host) {
  const platform::ModuleHandle module = platform::ModuleContaining(
      host.Exports().Address(PluginExport::GetPluginIntfVersion));
  const std::optional<platform::TFileVersion> version = platform::ModuleFileVersion(module);
  if (!version) {
    return host::kNativeLibraryFormat == host::LibraryFormat::PortableExecutable
               ? "none (the library has no version resource)"
               : "not recorded (only Windows libraries carry a version resource)";
  }
  return std::to_string(version->Major) + "." + std::to_string(version->Minor) + "." +
         std::to_string(version->Release) + " build " + std::to_string(version->Build);
}

void PrintExports(const host::THost& host, std::ostream& out) {
  out << "exports:\n";
  for (size_t i = 0; i < host::kPluginExportCount; ++i) {
    const auto which = static_cast<PluginExport>(i);
    char line[64];
    std::snprintf(line, sizeof(line), "  %-22s %s\n", std::string(host::NameOf(which)).c_str(),
                  host.Exports().Has(which) ? "found" : "not exported");
    out << line;
  }
}

void PrintLines(std::string_view title, const std::string& text, std::ostream& out) {
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) {
    out << title << ": none\n";
    return;
  }
  out << title << ":\n";
  for (const std::string& line : lines) out << "  " << line << '\n';
}

void PrintModuleType(host::THost& host, std::ostream& out) {
  const auto type = static_cast<uint32_t>(host.ModuleType(kInfoInstance));
  const auto types = static_cast<uint16_t>(type & 0xFFFF);
  const auto options = static_cast<uint16_t>(type >> 16);
  out << "module type: " << types << " (" << SetNames(types, kModuleTypeNames) << ")\n";
  out << "module options: " << options << " (" << SetNames(options, kModuleOptionNames) << ")\n";
}

void PrintParserItems(host::THost& host, std::ostream& out) {
  std::string items;
  const int32_t result = host.Command(
      kInfoInstance, "ITEMS", {{"RESULT", platform::Variant("")}},
      [&](const plugin::TkivParamsList& list) {
        const platform::Variant value = plugin::GetValue(list, "RESULT");
        if (value.IsText()) items = value.ToText();
      });
  if (result != 0) {
    out << "parser items: ITEMS answered " << result << '\n';
    return;
  }
  PrintLines("parser items", items, out);
}

// One line per identity call, "not exported" for a call the library lacks.
void PrintIdentity(host::THost& host, std::ostream& out) {
  const auto has = [&](PluginExport which) { return host.Exports().Has(which); };
  const auto missing = [&](std::string_view title) { out << title << ": not exported\n"; };

  const int32_t version = host.InterfaceVersion();
  out << "interface version: " << (version & 0xFFFF);
  if (version >> 16) out << " (high word " << (static_cast<uint32_t>(version) >> 16) << ")";
  out << '\n';

  if (has(PluginExport::GetModuleType)) {
    PrintModuleType(host, out);
  } else {
    missing("module type");
  }
  if (has(PluginExport::GetAppMinVersion)) {
    out << "minimum host version: " << VersionNumber(host.AppMinVersion(kInfoInstance)) << '\n';
  } else {
    missing("minimum host version");
  }
  if (has(PluginExport::GetModuleDescription)) {
    const std::optional<std::string> description = host.ModuleDescription(kInfoInstance);
    out << "description: "
        << (!description ? "(null)" : description->empty() ? "(empty)" : *description) << '\n';
  } else {
    missing("description");
  }
  if (has(PluginExport::MultiThreadSupport)) {
    out << "multi-thread support: " << (host.MultiThreadSupport(kInfoInstance) ? "yes" : "no")
        << '\n';
  } else {
    missing("multi-thread support");
  }
  out << "version: " << VersionText(host) << '\n';
  if (has(PluginExport::GetCustomCommands)) {
    PrintLines("custom commands", host.CustomCommands(kInfoInstance), out);
  } else {
    missing("custom commands");
  }
  if (has(PluginExport::ExecutePluginCommand)) {
    PrintParserItems(host, out);
  } else {
    missing("parser items");
  }
}

int Fail(const std::string& reason, std::ostream& err) {
  err << "chronel: " << reason << '\n';
  return kErrorStatus;
}

}  // namespace

int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() > 1) return Fail("usage: chronel info [PLUGIN]", err);
  const std::string path = args.empty() ? host::DefaultPluginPath() : args[0];
  const host::TLibraryFile file = host::InspectLibraryFile(path);
  if (const std::string why = host::WhyNotLoadable(path, file); !why.empty()) {
    return Fail(why, err);
  }
  try {
    host::TTimeline timeline([](const std::string&) {});  // info shows answers, not a run
    host::THost host(path, timeline);
    if (!host.Exports().Has(PluginExport::GetPluginIntfVersion)) {
      return Fail(path + " is not a Chronel plug-in: it does not export GetPluginIntfVersion",
                  err);
    }
    out << "library: " << path << " (" << file.Bits << "-bit)\n";
    PrintExports(host, out);
    PrintIdentity(host, out);
    out.flush();
    return 0;
  } catch (const Exception& error) {
    out.flush();
    return Fail(error.Message(), err);
  }
}

int RunInfoCommand(const std::vector<std::string>& args) {
  return RunInfoCommand(args, std::cout, std::cerr);
}

}  // namespace chronel
