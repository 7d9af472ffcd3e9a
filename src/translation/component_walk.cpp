// The walk over a component and what it owns: which components and properties are translated,
// and how each kind of property is.
#include <vector>

#include "core/application.h"
#include "core/class_info.h"
#include "core/collection.h"
#include "core/control.h"
#include "core/form.h"
#include "core/string_list.h"
#include "core/text.h"
#include "translation/object_translators.h"
#include "translation/wtransl.h"

namespace chronel {
namespace {

// Tags from 10000 up to 10031 name the properties that keep their text. (The bits reach 16, so
// the range reaches 10031.)
constexpr int32_t kTagExclusionLast = kTagExclusionBase + 31;

int32_t ExclusionsOf(int32_t tag) {
  if (tag < kTagExclusionBase || tag > kTagExclusionLast) return 0;
  return tag - kTagExclusionBase;
}

bool IsExcluded(std::string_view property, int32_t exclusions) {
  struct TExcludable {
    std::string_view Name;
    TExclusion Bit;
  };
  static constexpr TExcludable kExcludable[] = {{"Hint", exHint},
                                                {"Caption", exCaption},
                                                {"Items", exItems},
                                                {"Strings", exStrings},
                                                {"Text", exText}};
  for (const TExcludable& entry : kExcludable) {
    if (SameTextAscii(property, entry.Name)) return (exclusions & entry.Bit) != 0;
  }
  return false;
}

// A windowed control whose help context is -1 or 9999 is left out with all it owns, as is a
// tag of 9999 and a name that begins with "__".
bool IsLeftOut(const TComponent& component) {
  if (component.Tag() == kTagSkipTree || component.Name().starts_with("__")) return true;
  const auto* windowed = dynamic_cast<const TWinControl*>(&component);
  return windowed != nullptr &&
         (windowed->HelpContext() == -1 || windowed->HelpContext() == kTagSkipTree);
}

// Edit fields and drop-down lists show what the user typed or chose, not a text of the program.
bool ShowsUsersText(const TObject& object) {
  for (const TClassInfo* info = &object.ClassInfo(); info != nullptr; info = info->Parent()) {
    if (info->Name() == "TEdit") return true;
  }
  const TPropertyInfo* style = object.ClassInfo().FindProperty("Style");
  return style != nullptr && style->Kind() == TPropertyKind::Enumeration &&
         SameTextAscii(style->GetEnumName(object), "csDropDownList");
}

// Ends a string list's update also when a translation raises.
class TListUpdate {
 public:
  explicit TListUpdate(TStringList& list) : list_(list) { list_.BeginUpdate(); }
  ~TListUpdate() { list_.EndUpdate(); }
  TListUpdate(const TListUpdate&) = delete;
  TListUpdate& operator=(const TListUpdate&) = delete;

 private:
  TStringList& list_;
};

}  // namespace

void TWtransl::TranslateApplication() {
  const std::vector<TComponent*> owned(Application().Components().begin(),
                                       Application().Components().end());
  for (TComponent* component : owned) {
    if (auto* form = dynamic_cast<TForm*>(component)) TranslateTree(*form);
  }
}

void TWtransl::TranslateTree(TComponent& component) {
  if (component.Tag() != kTagSkipOwnTexts) TranslateOwnTexts(component);
  WalkOwned(component);
}

void TWtransl::WalkOwned(const TComponent& owner) {
  const std::vector<TComponent*> owned(owner.Components().begin(), owner.Components().end());
  for (TComponent* component : owned) {
    if (IsLeftOut(*component)) continue;
    const int32_t tag = component->Tag();
    if (tag != kTagSkipOwnTexts && tag != kTagSkipTextsAndItems) TranslateOwnTexts(*component);
    if (!component->Name().starts_with("_")) WalkOwned(*component);
    if (tag != kTagSkipTextsAndItems) TranslateItems(*component, ExclusionsOf(tag));
  }
}

// The items of list-type controls (a combo box's list) keep the chosen item chosen. List-view
// columns are a listed property of their own.
void TWtransl::TranslateItems(TComponent& component, int32_t exclusions) {
  const TClassInfo& info = component.ClassInfo();
  const TPropertyInfo* items = info.FindProperty("Items");
  if (items == nullptr || items->Kind() != TPropertyKind::StringList) return;
  if (IsExcluded("Items", exclusions) || IsListed("Items")) return;
  const TPropertyInfo* chosen = info.FindProperty("ItemIndex");
  const int64_t index = chosen == nullptr ? -1 : chosen->GetOrdinal(component);
  try {
    TranslateProperty(component, *items, {&component, "Items"}, exclusions);
  } catch (const std::exception&) {
    // the choice is restored all the same
  }
  if (chosen != nullptr) chosen->SetOrdinal(component, index);
}

bool TWtransl::IsListed(std::string_view property) const {
  for (const std::string& name : componentProperties_.Lines()) {
    if (SameTextAscii(name, property)) return true;
  }
  return false;
}

void TWtransl::TranslateOwnTexts(TComponent& component) {
  try {
    ApplyFileLayout(component);
  } catch (const std::exception&) {
    // the texts are translated all the same
  }
  TranslateListed(component, {&component, {}}, ExclusionsOf(component.Tag()));
}

// The file's character set and reading order: a form takes both; other components take the
// reading order when it is not left to right, and fonts the character set unless they show
// symbols.
void TWtransl::ApplyFileLayout(TComponent& component) const {
  if (auto* form = dynamic_cast<TForm*>(&component)) {
    form->Font().SetCharset(settings_.Charset.FontCharset);
    form->SetBiDiMode(settings_.BiDiMode);
  }
  const TClassInfo& info = component.ClassInfo();
  const TPropertyInfo* biDiMode = info.FindProperty("BiDiMode");
  if (settings_.BiDiMode != TBiDiMode::bdLeftToRight && biDiMode != nullptr &&
      biDiMode->EnumInfo() == &BiDiModeInfo()) {
    biDiMode->SetOrdinal(component, static_cast<int64_t>(settings_.BiDiMode));
  }
  for (const char* name : {"Font", "FocusFont"}) {
    const TPropertyInfo* property = info.FindProperty(name);
    if (property == nullptr || property->Kind() != TPropertyKind::Object) continue;
    auto* font = dynamic_cast<TFont*>(property->GetObject(component));
    if (font != nullptr && font->Charset() != kSymbolCharset) {
      font->SetCharset(settings_.Charset.FontCharset);
    }
  }
}

void TWtransl::TranslateListed(TObject& object, const TPlace& place, int32_t exclusions) {
  for (const std::string& name : componentProperties_.Lines()) {
    const TPropertyInfo* property = object.ClassInfo().FindProperty(name);
    if (property == nullptr || IsExcluded(property->Name(), exclusions)) continue;
    if (SameTextAscii(property->Name(), "Text") && ShowsUsersText(object)) continue;
    try {
      TranslateProperty(object, *property,
                        {place.Component, place.Property + property->Name()}, exclusions);
    } catch (const std::exception&) {
      // the next property is tried
    }
  }
}

void TWtransl::TranslateProperty(TObject& object, const TPropertyInfo& property,
                                 const TPlace& place, int32_t exclusions) {
  switch (property.Kind()) {
    case TPropertyKind::String: {
      if (!property.IsWritable()) return;
      if (auto translated = TranslatedValue(property.GetString(object), place)) {
        property.SetString(object, std::move(*translated));
      }
      return;
    }
    case TPropertyKind::StringList: {
      auto& list = dynamic_cast<TStringList&>(*property.GetObject(object));
      TListUpdate update(list);
      for (int i = 0; i < list.Count(); ++i) {
        if (auto translated = TranslatedValue(list[i], place)) list.Put(i, std::move(*translated));
      }
      return;
    }
    case TPropertyKind::Collection: {
      const auto& collection = dynamic_cast<TCollection&>(*property.GetObject(object));
      for (int i = 0; i < collection.Count(); ++i) {
        const std::string item = place.Property + "[" + std::to_string(i) + "].";
        TranslateListed(collection.Item(i), {place.Component, item}, exclusions);
      }
      return;
    }
    case TPropertyKind::Object: {
      TObject* value = property.GetObject(object);
      if (value == nullptr) return;
      const TObjectTranslator translator = FindObjectTranslator(*value);
      if (!translator) return;
      translator(*value, [this, &place](std::string& text) {
        if (auto translated = TranslatedValue(text, place)) text = std::move(*translated);
      });
      return;
    }
    case TPropertyKind::Integer:
    case TPropertyKind::Float:
    case TPropertyKind::Enumeration:
    case TPropertyKind::Set:
    case TPropertyKind::Component:
    case TPropertyKind::Variant:
    case TPropertyKind::Method:
      return;  // no text
  }
}

}  // namespace chronel
