#include "tasks/property_store.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <utility>

#include "core/numbers.h"
#include "core/published_properties.h"
#include "core/text.h"
#include "platform/locale_services.h"
#include "tasks/custom_property.h"
#include "tasks/file_reader.h"
#include "tasks/ini_storage.h"
#include "tasks/property_line.h"
#include "tasks/property_resolution.h"
#include "tasks/registry_storage.h"
#include "tasks/value_encoding.h"

namespace chronel {

struct TWreg::TItem {
  TResolvedProperty Property;
  std::string ValueName;
  TTypeKind Kind = TTypeKind::tkUnknown;
  bool Virtual = false;
  std::optional<TCustomPropertyHandler> Custom;
};

namespace {

constexpr std::string_view kNullReference = "[[Null]]";

// Busy, the root and a replaced property list, for the length of one operation.
class TOperationScope {
 public:
  TOperationScope(bool& busy, TObject*& root, TObject* new_root) : busy_(busy), root_(root) {
    busy_ = true;
    root_ = new_root;
  }
  ~TOperationScope() {
    busy_ = false;
    root_ = nullptr;
    if (list_) list_->SetLines(std::move(saved_));
  }
  void ReplaceList(TStringList& list, std::vector<std::string> lines) {
    saved_ = list.Lines();
    list_ = &list;
    list.SetLines(std::move(lines));
  }

 private:
  bool& busy_;
  TObject*& root_;
  TStringList* list_ = nullptr;
  std::vector<std::string> saved_;
};

int32_t VariantToInt32(const TVariant& value) {
  if (const auto* number = std::get_if<int64_t>(&value)) {
    using Limits = std::numeric_limits<int32_t>;
    if (*number < Limits::min() || *number > Limits::max()) {
      throw EConvertError(std::to_string(*number) + " is not a 32-bit integer value");
    }
    return static_cast<int32_t>(*number);
  }
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
  if (const auto* real = std::get_if<double>(&value)) {
    return VariantToInt32(static_cast<int64_t>(std::llround(std::clamp(*real, -1e18, 1e18))));
  }
  const std::string& text = std::get<std::string>(value);
  const std::optional<int32_t> number = TryStrToInt(text);
  if (!number) throw EConvertError("'" + text + "' is not a valid integer value");
  return *number;
}

double VariantToDouble(const TVariant& value) {
  if (const auto* real = std::get_if<double>(&value)) return *real;
  if (const auto* number = std::get_if<int64_t>(&value)) return static_cast<double>(*number);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
  const std::string& text = std::get<std::string>(value);
  const std::optional<double> real = TryStrToFloat(text, platform::LocaleDecimalSeparator());
  if (!real) throw EConvertError("'" + text + "' is not a valid floating point value");
  return *real;
}

std::string VariantToText(const TVariant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<int64_t>(&value)) return std::to_string(*number);
  if (const auto* real = std::get_if<double>(&value)) {
    return FloatToStr(*real, platform::LocaleDecimalSeparator());
  }
  return std::get<bool>(value) ? "True" : "False";
}

// Unassigned deletes the stored value; integers and floats keep their type, all else is text.
void StoreValue(TSettingsStorage& storage, std::string_view name, TTypeKind kind,
                const TVariant& value) {
  if (IsEmpty(value)) {
    storage.DeleteValue(name);
    return;
  }
  if (kind == TTypeKind::tkInteger) {
    storage.WriteInteger(name, VariantToInt32(value));
    return;
  }
  if (kind == TTypeKind::tkFloat) {
    storage.WriteFloat(name, VariantToDouble(value));
    return;
  }
  storage.WriteString(name, VariantToText(value));
}

TVariant ReadStored(TSettingsStorage& storage, std::string_view name, TTypeKind kind) {
  if (kind == TTypeKind::tkInteger) return int64_t{storage.ReadInteger(name)};
  if (kind == TTypeKind::tkFloat) return storage.ReadFloat(name);
  return storage.ReadString(name);
}

// Stored object values: a string list's text, or a component reference by its name path.
void ApplyObject(TObject& object, const TPropertyInfo& info, const std::string& text,
                 TComponent* start) {
  if (info.Kind() == TPropertyKind::StringList) {
    if (auto* list = dynamic_cast<TStringList*>(info.GetObject(object))) {
      list->SetText(DecodeValue(text));
    }
    return;
  }
  if (info.Kind() != TPropertyKind::Component) return;
  if (text.empty() || text == kNullReference) {
    // Docking references are left alone: clearing one would undock a window.
    if (info.Name().find("Dock") == std::string::npos) info.SetObject(object, nullptr);
    return;
  }
  if (TComponent* found = FindComponentByPath(text, start)) info.SetObject(object, found);
}

// Every property-list line in order; an error in one line is caught and the next one follows.
void ForEachLine(const TStringList& list,
                 const std::function<void(const TPropertyLine& line, int32_t index)>& handle) {
  for (int i = 0; i < list.Count(); ++i) {
    const std::optional<TPropertyLine> line = ParsePropertyLine(list[i]);
    if (!line) continue;
    try {
      handle(*line, i);
    } catch (const std::exception&) {
      // A line that cannot be handled is skipped.
    }
  }
}

TVariant ObjectValue(const TObject& object, const TPropertyInfo& info) {
  if (info.Kind() == TPropertyKind::StringList) {
    const auto* list = dynamic_cast<const TStringList*>(info.GetObject(object));
    return list != nullptr ? TVariant(EncodeValue(list->Text())) : TVariant();
  }
  if (info.Kind() != TPropertyKind::Component) return {};
  const auto* component = dynamic_cast<const TComponent*>(info.GetObject(object));
  return component != nullptr ? TVariant(ComponentNamePath(*component)) : TVariant();
}

}  // namespace

TWreg::TWreg(TComponent* owner) : TComponent(owner) {}

const TClassInfo& TWreg::StaticClassInfo() {
  static const TClassInfo info(
      "TWreg", &TComponent::StaticClassInfo(),
      {
          Published("RegistryRoot", &TWreg::registryRoot_, RegistryRootInfo()),
          Published("SecondRegistryRoot", &TWreg::secondRegistryRoot_, RegistryRootInfo()),
          Published("RegistryPath", &TWreg::registryPath_),
          Published("INIFile", &TWreg::iniFile_),
          Published("INIFileSectionPrefix", &TWreg::iniFileSectionPrefix_),
          Published("Components", &TWreg::components_),
          Published("SetValue", &TWreg::SetValue),
          Published("GetValue", &TWreg::GetValue),
          Published("BeforeProcessItem", &TWreg::BeforeProcessItem),
      });
  return info;
}

std::unique_ptr<TSettingsStorage> TWreg::OpenStorage(TOperation operation) const {
  const bool reading = operation == TOperation::Read;
  // Loading from an INI file that does not exist yet reads the registry; the next save
  // creates the file.
  if (!iniFile_.empty() && (!reading || FileExists(iniFile_))) {
    return OpenIniStorage(iniFile_, iniFileSectionPrefix_);
  }
  return OpenRegistryStorage(registryRoot_, secondRegistryRoot_, registryPath_, !reading);
}

bool TWreg::ReadProperties(TObject* root) { return Run(TOperation::Read, root); }

bool TWreg::WriteProperties(TObject* root) { return Run(TOperation::Write, root); }

bool TWreg::DeleteProperties(const TStringList& list) {
  TOperationScope scope(busy_, root_, nullptr);
  scope.ReplaceList(components_, list.Lines());
  const std::unique_ptr<TSettingsStorage> storage = OpenStorage(TOperation::Delete);
  if (!storage) return false;
  ForEachLine(components_, [&](const TPropertyLine& line, int32_t) {
    if (storage->Locate(line.SubKeys, false, true)) storage->DeleteEntry(line.ValueName);
  });
  return storage->Close();
}

bool TWreg::ListSubKeys(TStringList& list) { return ListNames(list, TOperation::ListSubKeys); }

bool TWreg::ListValueNames(TStringList& list) {
  return ListNames(list, TOperation::ListValueNames);
}

bool TWreg::ListNames(TStringList& list, TOperation operation) {
  TOperationScope scope(busy_, root_, nullptr);
  const bool sub_keys = operation == TOperation::ListSubKeys;
  std::vector<std::string> lines = list.Lines();
  if (sub_keys && lines.empty()) lines.push_back("?,");
  if (sub_keys) lines.resize(1);  // only the first line's location has sub-keys to list
  scope.ReplaceList(components_, std::move(lines));
  const std::unique_ptr<TSettingsStorage> storage = OpenStorage(operation);
  if (!storage) return false;
  results_.Clear();
  ForEachLine(components_, [&](const TPropertyLine& line, int32_t) {
    if (!storage->Locate(line.SubKeys, !sub_keys, true)) return;
    for (std::string& name : sub_keys ? storage->SubKeyNames() : storage->ValueNames()) {
      results_.Add(std::move(name));
    }
  });
  const bool closed = storage->Close();
  list.SetLines(results_.Lines());
  return closed;
}

bool TWreg::Run(TOperation operation, TObject* root) {
  TOperationScope scope(busy_, root_, root);
  const std::unique_ptr<TSettingsStorage> storage = OpenStorage(operation);
  if (!storage) return false;
  ForEachLine(components_, [&](const TPropertyLine& line, int32_t index) {
    HandleLine(*storage, operation, line, index);
  });
  return storage->Close();
}

void TWreg::HandleLine(TSettingsStorage& storage, TOperation operation, const TPropertyLine& line,
                       int32_t index) {
  TItem item;
  if (!PrepareItem(line, index, item)) return;
  const bool reading = operation == TOperation::Read;
  if (!storage.Locate(line.SubKeys, true, !reading)) return;
  if (reading) {
    ReadItem(storage, item, index);
    return;
  }
  WriteItem(storage, item, index);
}

// Resolves the line's property and lets BeforeProcessItem decide; false skips the line.
bool TWreg::PrepareItem(const TPropertyLine& line, int32_t index, TItem& item) {
  item.Property = ResolveProperty(line.PropertyPath, root_);
  item.ValueName = line.ValueName;
  bool require = item.Property.Object != nullptr;
  bool is_virtual = !require;
  TTypeKind kind = item.Property.Kind;
  BeforeProcessItem(*this, item.Property.Name, index, require, is_virtual, kind);
  if (!require) return false;
  item.Virtual = is_virtual;
  item.Kind = kind;
  if (is_virtual) return IsStoredKind(kind);
  if (item.Property.Object == nullptr) return false;
  if (kind == TTypeKind::tkUnknown && StartsWith(item.Property.Name, "*")) {
    item.Custom = FindCustomProperty(std::string_view(item.Property.Name).substr(1));
    return item.Custom.has_value();
  }
  return IsStoredKind(kind) && item.Property.Info != nullptr;
}

void TWreg::ReadItem(TSettingsStorage& storage, const TItem& item, int32_t index) {
  if (!storage.ValueExists(item.ValueName)) return;
  try {
    if (item.Custom) {
      item.Custom->Set(*item.Property.Object, storage.ReadString(item.ValueName));
      return;
    }
    TVariant value = ReadStored(storage, item.ValueName, item.Kind);
    if (!item.Virtual) {
      ApplyValue(item, std::move(value));
      return;
    }
    if (!SetValue) return;
    if (auto* text = std::get_if<std::string>(&value)) *text = DecodeValue(*text);
    SetValue(*this, item.Property.Name, index, value);
  } catch (const std::exception&) {
    storage.DiscardValue(item.ValueName);
  }
}

void TWreg::ApplyValue(const TItem& item, TVariant value) {
  TObject& object = *item.Property.Object;
  const TPropertyInfo& info = *item.Property.Info;
  if (!info.IsWritable() && !info.IsObjectKind()) return;
  switch (item.Kind) {
    case TTypeKind::tkInteger:
      info.SetOrdinal(object, std::get<int64_t>(value));
      return;
    case TTypeKind::tkFloat:
      info.SetFloat(object, std::get<double>(value));
      return;
    case TTypeKind::tkVariant:
      info.SetVariant(object, std::move(value));
      return;
    case TTypeKind::tkEnumeration:
      if (const std::string& name = std::get<std::string>(value); !name.empty()) {
        info.SetEnumName(object, name);
      }
      return;
    case TTypeKind::tkClass:
      ApplyObject(object, info, std::get<std::string>(value), item.Property.Start);
      return;
    default:
      if (IsTextKind(item.Kind)) info.SetString(object, DecodeValue(std::get<std::string>(value)));
      return;
  }
}

void TWreg::WriteItem(TSettingsStorage& storage, const TItem& item, int32_t index) {
  try {
    if (item.Custom) {
      storage.WriteString(item.ValueName, item.Custom->Get(*item.Property.Object));
      return;
    }
    StoreValue(storage, item.ValueName, item.Kind, CollectValue(item, index));
  } catch (const std::exception&) {
    storage.DiscardValue(item.ValueName);
  }
}

TVariant TWreg::CollectValue(const TItem& item, int32_t index) {
  if (item.Virtual) {
    TVariant value;
    GetValue(*this, item.Property.Name, index, value);
    if (auto* text = std::get_if<std::string>(&value)) *text = EncodeValue(*text);
    return value;
  }
  const TObject& object = *item.Property.Object;
  const TPropertyInfo& info = *item.Property.Info;
  switch (item.Kind) {
    case TTypeKind::tkInteger:
      return info.GetOrdinal(object);
    case TTypeKind::tkFloat:
      return info.GetFloat(object);
    case TTypeKind::tkVariant:
      return info.GetVariant(object);
    case TTypeKind::tkEnumeration:
      return info.GetEnumName(object);
    case TTypeKind::tkClass:
      return ObjectValue(object, info);
    default:
      if (IsTextKind(item.Kind)) return EncodeValue(info.GetString(object));
      return {};
  }
}

}  // namespace chronel
