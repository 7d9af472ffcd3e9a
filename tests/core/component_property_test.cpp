// Published properties read and written by name, for every kind, and the errors of misuse.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/class_info.h"
#include "core/component_fixtures.h"
#include "core/property.h"

namespace chronel::testing {
namespace {

std::vector<std::string> NamesOf(const TClassInfo& info) {
  std::vector<std::string> names;
  for (const TPropertyInfo* property : info.Properties()) names.push_back(property->Name());
  return names;
}

TEST(PublishedProperties, ListInheritedFirstThenOwnInDeclarationOrderWithTheirKinds) {
  const std::vector<std::string> expected = {
      "Name",    "Tag",   "Count",   "Doubled", "Level", "Ratio", "Active",   "Shape",  "Shapes",
      "Caption", "Lines", "Columns", "Font",    "Buddy", "Value", "OnChange", "OnCount"};
  EXPECT_EQ(NamesOf(TGadget::StaticClassInfo()), expected);

  const TGadget gadget(nullptr);
  const struct {
    const char* name;
    TPropertyKind kind;
  } kinds[] = {
      {"Tag", TPropertyKind::Integer},        {"Ratio", TPropertyKind::Float},
      {"Active", TPropertyKind::Enumeration}, {"Shape", TPropertyKind::Enumeration},
      {"Shapes", TPropertyKind::Set},         {"Caption", TPropertyKind::String},
      {"Lines", TPropertyKind::StringList},   {"Columns", TPropertyKind::Collection},
      {"Font", TPropertyKind::Object},        {"Buddy", TPropertyKind::Component},
      {"Value", TPropertyKind::Variant},      {"OnChange", TPropertyKind::Method},
  };
  for (const auto& k : kinds) EXPECT_EQ(gadget.Property(k.name).Kind(), k.kind) << k.name;
  EXPECT_EQ(gadget.Property("Name").FullName(), "TComponent.Name");
  EXPECT_EQ(gadget.Property("Lines").ValueClass(), &TStringList::StaticClassInfo());
  EXPECT_EQ(gadget.Property("Buddy").ValueClass(), &TGadget::StaticClassInfo());
}

TEST(PublishedProperties, FindNamesWithoutRegardToCase) {
  TGadget gadget(nullptr);
  EXPECT_EQ(gadget.FindProperty("caption"), gadget.FindProperty("CAPTION"));
  EXPECT_NE(gadget.FindProperty("caption"), nullptr);
  EXPECT_EQ(gadget.FindProperty("Captions"), nullptr);
  try {
    gadget.Property("Captions");
    FAIL() << "an unknown property was found";
  } catch (const EPropertyError& error) {
    EXPECT_EQ(error.Message(), "Property TGadget.Captions does not exist");
  }
}

TEST(PublishedProperties, OrdinalKindsReadAndWriteByName) {
  TGadget gadget(nullptr);
  gadget.Property("count").SetOrdinal(gadget, -7);
  EXPECT_EQ(gadget.Count(), -7);  // through the setter
  EXPECT_EQ(gadget.Property("Count").GetOrdinal(gadget), -7);
  EXPECT_EQ(gadget.Property("Doubled").GetOrdinal(gadget), -14);  // through the getter

  gadget.Property("Tag").SetOrdinal(gadget, 2147483647);
  EXPECT_EQ(gadget.Tag(), 2147483647);

  const TPropertyInfo& active = gadget.Property("Active");
  EXPECT_EQ(active.GetEnumName(gadget), "False");
  active.SetEnumName(gadget, "true");
  EXPECT_TRUE(gadget.Active);
  EXPECT_EQ(active.GetEnumName(gadget), "True");
  EXPECT_EQ(active.GetOrdinal(gadget), 1);

  const TPropertyInfo& shape = gadget.Property("Shape");
  shape.SetEnumName(gadget, "SHTRIANGLE");
  EXPECT_EQ(gadget.Shape, TShape::Triangle);
  EXPECT_EQ(shape.GetEnumName(gadget), "shTriangle");
  EXPECT_EQ(shape.EnumInfo(), &ShapeInfo());

  const TPropertyInfo& shapes = gadget.Property("Shapes");
  shapes.SetOrdinal(gadget, 0b101);
  EXPECT_TRUE(gadget.Shapes.Contains(TShape::Circle));
  EXPECT_FALSE(gadget.Shapes.Contains(TShape::Square));
  EXPECT_TRUE(gadget.Shapes.Contains(TShape::Triangle));
  gadget.Shapes.Exclude(TShape::Circle);
  EXPECT_EQ(shapes.GetOrdinal(gadget), 0b100);
}

TEST(PublishedProperties, FloatStringAndVariantReadAndWriteByName) {
  TGadget gadget(nullptr);
  gadget.Property("Ratio").SetFloat(gadget, 4.25);
  EXPECT_EQ(gadget.Ratio, 4.25);
  EXPECT_EQ(gadget.Property("Ratio").GetFloat(gadget), 4.25);

  gadget.Property("Caption").SetString(gadget, "Open data source");
  EXPECT_EQ(gadget.Caption, "Open data source");
  gadget.Property("Name").SetString(gadget, "gadget1");
  EXPECT_EQ(gadget.Property("Name").GetString(gadget), "gadget1");

  const TPropertyInfo& value = gadget.Property("Value");
  EXPECT_TRUE(IsEmpty(value.GetVariant(gadget)));
  value.SetVariant(gadget, int64_t{42});
  EXPECT_EQ(std::get<int64_t>(gadget.Value), 42);
  value.SetVariant(gadget, std::string("text"));
  EXPECT_EQ(std::get<std::string>(value.GetVariant(gadget)), "text");
}

TEST(PublishedProperties, OwnedObjectsAreReadAsObjectsAndWrittenByCopyingTheirContent) {
  TGadget gadget(nullptr);
  const TPropertyInfo& lines = gadget.Property("Lines");
  EXPECT_EQ(lines.GetObject(gadget), &gadget.Lines);
  TStringList source({"L1", "L2"});
  lines.SetObject(gadget, &source);
  EXPECT_EQ(gadget.Lines.Text(), "L1\r\nL2\r\n");
  source.Add("L3");
  EXPECT_EQ(gadget.Lines.Count(), 2) << "a copy, not a shared list";

  const TPropertyInfo& columns = gadget.Property("Columns");
  TCollection other = TCollection::Of<TColumn>();
  auto& first = static_cast<TColumn&>(other.Add());
  first.Caption = "Action";
  first.Width = 100;
  static_cast<TColumn&>(other.Add()).Caption = "Mode";
  columns.SetObject(gadget, &other);
  auto& copied = static_cast<TCollection&>(*columns.GetObject(gadget));
  ASSERT_EQ(copied.Count(), 2);
  const TColumn& column = static_cast<TColumn&>(copied.Item(0));
  EXPECT_EQ(column.Property("caption").GetString(column), "Action");
  EXPECT_EQ(column.Property("Width").GetOrdinal(column), 100);
  EXPECT_EQ(column.Index(), 0);
  EXPECT_EQ(copied.Item(1).Property("Caption").GetString(copied.Item(1)), "Mode");

  // An owned object's own properties, as a path such as Font.Charset reaches them.
  TObject& font = *gadget.Property("Font").GetObject(gadget);
  font.Property("Charset").SetOrdinal(font, 204);
  EXPECT_EQ(gadget.Font.Charset(), 204);
  TFont symbol;
  symbol.SetCharset(kSymbolCharset);
  symbol.SetName("Symbol");
  gadget.Property("Font").SetObject(gadget, &symbol);
  EXPECT_EQ(gadget.Font.Charset(), kSymbolCharset);
  EXPECT_EQ(gadget.Font.Name(), "Symbol");
}

TEST(PublishedProperties, ComponentReferencesReadNoneOnceTheTargetIsFreed) {
  TGadget gadget(nullptr);
  const TPropertyInfo& buddy = gadget.Property("Buddy");
  EXPECT_EQ(buddy.GetObject(gadget), nullptr);
  auto other = std::make_unique<TGadget>(nullptr);
  buddy.SetObject(gadget, other.get());
  EXPECT_EQ(buddy.GetObject(gadget), other.get());
  other.reset();
  EXPECT_EQ(buddy.GetObject(gadget), nullptr);
  EXPECT_EQ(gadget.Buddy.Get(), nullptr);
}

TEST(PublishedProperties, HandlersAreReadAndWrittenAsBoundMethods) {
  TTestForm form(nullptr);
  TGadget gadget(&form);
  gadget.SetName("gadget1");
  const TPropertyInfo& onChange = gadget.Property("OnChange");
  EXPECT_FALSE(onChange.GetMethod(gadget).IsAssigned());
  gadget.OnChange(gadget);  // unset: nothing happens

  const TMethodInfo* method = form.ClassInfo().FindMethod("gadgetchange");
  ASSERT_NE(method, nullptr);
  onChange.SetMethod(gadget, method->Bind(form));
  gadget.OnChange(gadget);
  EXPECT_EQ(form.Calls, std::vector<std::string>{"GadgetChange(gadget1)"});

  const TMethod bound = onChange.GetMethod(gadget);
  EXPECT_EQ(bound.Data, &form);
  EXPECT_EQ(bound.Name, "GadgetChange");

  // A handler with a result parameter.
  gadget.Property("OnCount").SetMethod(gadget,
                                       form.ClassInfo().FindMethod("GadgetCount")->Bind(form));
  int count = 4;
  gadget.OnCount(gadget, count);
  EXPECT_EQ(count, 5);

  onChange.SetMethod(gadget, TMethod{});
  EXPECT_FALSE(gadget.OnChange);
}

// Each case must raise EPropertyError with exactly this message.
TEST(PublishedProperties, MisuseRaisesAnErrorNamingTheProperty) {
  TTestForm form(nullptr);
  TGadget gadget(nullptr);
  TStringList list;
  const struct {
    const char* what;
    std::function<void()> step;
    const char* message;
  } cases[] = {
      {"read-only", [&] { gadget.Property("Doubled").SetOrdinal(gadget, 1); },
       "Property TGadget.Doubled is read-only"},
      {"wrong kind", [&] { gadget.Property("Caption").GetOrdinal(gadget); },
       "Property TGadget.Caption (string) is not an ordinal property"},
      {"integer out of range", [&] { gadget.Property("Level").SetOrdinal(gadget, 256); },
       "Invalid value for property TGadget.Level: 256"},
      {"enumeration out of range", [&] { gadget.Property("Shape").SetOrdinal(gadget, 3); },
       "Invalid value for property TGadget.Shape: 3"},
      {"unknown value name", [&] { gadget.Property("Shape").SetEnumName(gadget, "shOval"); },
       "Invalid value for property TGadget.Shape: shOval"},
      {"set beyond its members", [&] { gadget.Property("Shapes").SetOrdinal(gadget, 8); },
       "Invalid value for property TGadget.Shapes: 8"},
      {"object of another class", [&] { gadget.Property("Font").SetObject(gadget, &list); },
       "Invalid value for property TGadget.Font: TStringList is not a TFont"},
      {"reference of another class", [&] { gadget.Property("Buddy").SetObject(gadget, &form); },
       "Invalid value for property TGadget.Buddy: TTestForm is not a TGadget"},
      {"handler of other parameters",
       [&] {
         gadget.Property("OnChange")
             .SetMethod(gadget, form.ClassInfo().FindMethod("GadgetCount")->Bind(form));
       },
       "Invalid value for property TGadget.OnChange: method GadgetCount does not have the "
       "handler's "
       "parameters"},
      {"object of another class", [&] { form.Property("Caption").GetString(gadget); },
       "Property TForm.Caption does not belong to class TGadget"},
  };
  for (const auto& c : cases) {
    try {
      c.step();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EPropertyError& error) {
      EXPECT_EQ(error.Message(), c.message) << c.what;
    }
  }
  EXPECT_EQ(gadget.Level, 0);
  EXPECT_EQ(gadget.Shape, TShape::Circle);
}

}  // namespace
}  // namespace chronel::testing
