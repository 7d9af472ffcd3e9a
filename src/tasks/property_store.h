// TWreg, the property store: saves named properties of live objects to the registry or to an INI
// file and loads them back. A property list says what: one line per property, a dotted property
// path, ",", and a "\"-separated value path ("lstTasks.Strings,Tasks"); ";" starts a comment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/component.h"
#include "core/event.h"
#include "core/string_list.h"
#include "core/variant.h"
#include "tasks/registry_root.h"
#include "tasks/type_kind.h"

namespace chronel {

class TSettingsStorage;
struct TPropertyLine;
struct TResolvedProperty;

// Handlers of virtual items (lines whose object is not found) and of every line before it is
// processed: (sender, property name, line index, ...). They run on the thread of the operation.
using TSetValueProc = TEvent<TObject&, const std::string&, int32_t, const TVariant&>;
using TGetValueProc = TEvent<TObject&, const std::string&, int32_t, TVariant&>;
using TBeforeProcessItemProc =
    TEvent<TObject&, const std::string&, int32_t, bool& /*IsRequireProcessing*/,
           bool& /*IsVirtual*/, TTypeKind& /*ItemType*/>;

// Each operation opens its storage afresh, handles every line of the list (an error in one line
// is caught and the next line follows) and releases the storage. With INIFile set (and, for
// loading, the file existing) the INI file is used under a lock that all processes share,
// otherwise the registry: RegistryPath under RegistryRoot, or under SecondRegistryRoot when the
// first cannot be opened with full access. Every operation answers whether its storage could
// be used. Not thread-safe; operations run on the thread that owns the objects they touch.
class TWreg : public TComponent {
 public:
  explicit TWreg(TComponent* owner = nullptr);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TRegistryRoot RegistryRoot() const { return registryRoot_; }
  void SetRegistryRoot(TRegistryRoot root) { registryRoot_ = root; }
  TRegistryRoot SecondRegistryRoot() const { return secondRegistryRoot_; }
  void SetSecondRegistryRoot(TRegistryRoot root) { secondRegistryRoot_ = root; }
  const std::string& RegistryPath() const { return registryPath_; }
  void SetRegistryPath(std::string path) { registryPath_ = std::move(path); }
  const std::string& INIFile() const { return iniFile_; }
  void SetINIFile(std::string file) { iniFile_ = std::move(file); }
  const std::string& INIFileSectionPrefix() const { return iniFileSectionPrefix_; }
  void SetINIFileSectionPrefix(std::string prefix) { iniFileSectionPrefix_ = std::move(prefix); }
  // The property list, published as "Components".
  TStringList& PropertyList() { return components_; }
  const TStringList& PropertyList() const { return components_; }

  TSetValueProc SetValue;
  TGetValueProc GetValue;
  TBeforeProcessItemProc BeforeProcessItem;

  // Loads every listed property that is stored into the objects reached from `root` (null: the
  // application's main form). A stored value that cannot be read as its property's kind is
  // deleted from the registry, so the property keeps its value.
  bool ReadProperties(TObject* root);
  // Saves every listed property; the INI file is written once, at the end, if it changed.
  bool WriteProperties(TObject* root);
  // Removes the values, or the key trees and sections, that the lines of `list` name.
  bool DeleteProperties(const TStringList& list);
  // Replaces `list` by the sub-keys (INI: sub-sections) of its first line's location.
  bool ListSubKeys(TStringList& list);
  // Replaces `list` by the value names (INI: keys) at every line's location.
  bool ListValueNames(TStringList& list);

  bool Busy() const { return busy_; }
  // The names found by the last listing operation.
  const TStringList& Results() const { return results_; }

 private:
  enum class TOperation { Read, Write, Delete, ListSubKeys, ListValueNames };
  struct TItem;

  std::unique_ptr<TSettingsStorage> OpenStorage(TOperation operation) const;
  bool Run(TOperation operation, TObject* root);
  void HandleLine(TSettingsStorage& storage, TOperation operation, const TPropertyLine& line,
                  int32_t index);
  bool PrepareItem(const TPropertyLine& line, int32_t index, TItem& item);
  void ReadItem(TSettingsStorage& storage, const TItem& item, int32_t index);
  void WriteItem(TSettingsStorage& storage, const TItem& item, int32_t index);
  void ApplyValue(const TItem& item, TVariant value);
  TVariant CollectValue(const TItem& item, int32_t index);
  bool ListNames(TStringList& list, TOperation operation);

  TRegistryRoot registryRoot_ = TRegistryRoot::rrHKEY_LOCAL_MACHINE;
  TRegistryRoot secondRegistryRoot_ = TRegistryRoot::rrHKEY_CURRENT_USER;
  std::string registryPath_ = "\\Software\\Company name\\App name";
  std::string iniFile_;
  std::string iniFileSectionPrefix_;
  TStringList components_;
  TObject* root_ = nullptr;
  TStringList results_;
  bool busy_ = false;
};

}  // namespace chronel
