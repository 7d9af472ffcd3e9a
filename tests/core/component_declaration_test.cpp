// Forms declared as data: loading builds the component tree and binds handlers by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/component_fixtures.h"
#include "core/form_declaration.h"

namespace chronel::testing {
namespace {

const TFormDeclaration& TestForm() {
  static const TFormDeclaration declaration{
      .Name = "frmTest",
      .Properties = {{"Caption", "Options"},
                     {"HelpContext", 80},
                     {"Width", 691},
                     {"Font.Charset", 204}},
      .Handlers = {{"OnCreate", "FormCreate"}},
      .Components =
          {
              {.Class = ClassOf<TPanel>(), .Name = "panLeft", .Properties = {{"Width", 381}}},
              {.Class = ClassOf<TLabel>(),
               .Name = "Label1",
               .Parent = "panLeft",
               .Properties = {{"Hint", "Execute"}, {"BiDiMode", "bdRightToLeft"}}},
              {.Class = ClassOf<TGadget>(),
               .Name = "gadget",
               .Properties =
                   {
                       {"Tag", 2},
                       {"count", 3},
                       {"Ratio", 4.5},
                       {"Active", true},
                       {"Shape", "shSquare"},
                       {"Shapes", Members({"shCircle", "shTriangle"})},
                       {"Lines", Lines({"Left,Left", ";---short---", "lstTasks.Strings,Tasks"})},
                       {"Columns",
                        Items({{{"Caption", "Action"}, {"Width", 100}}, {{"Caption", "Mode"}}})},
                       {"Font.Name", "Tahoma"},
                       {"Buddy", "later"},  // declared further down
                       {"Value", "EVENT-ID"},
                       {"Caption", "Data source"},
                   },
               .Handlers = {{"OnChange", "GadgetChange"}, {"OnCount", "gadgetcount"}}},
              {.Class = ClassOf<TGadget>(), .Name = "later", .Properties = {{"Buddy", ""}}},
          },
  };
  return declaration;
}

TEST(FormDeclaration, LoadsTheDeclaredTreeWithItsValues) {
  TTestForm form(nullptr);
  LoadDeclaration(form, TestForm());

  EXPECT_EQ(form.Name(), "frmTest");
  EXPECT_EQ(form.Caption(), "Options");
  EXPECT_EQ(form.HelpContext(), 80);
  EXPECT_EQ(form.Width(), 691);
  EXPECT_EQ(form.Font().Charset(), 204);

  std::vector<std::string> tree;
  for (const TComponent* component : form.Components()) {
    tree.push_back(component->ClassName() + " " + component->Name());
  }
  EXPECT_EQ(tree, (std::vector<std::string>{"TPanel panLeft", "TLabel Label1", "TGadget gadget",
                                            "TGadget later"}));
  auto& panel = static_cast<TPanel&>(*form.FindComponent("panLeft"));
  auto& label = static_cast<TLabel&>(*form.FindComponent("Label1"));
  EXPECT_EQ(panel.Parent(), &form) << "a control without a declared parent sits on the form";
  EXPECT_EQ(label.Parent(), &panel);
  EXPECT_EQ(panel.Width(), 381);
  EXPECT_EQ(label.Hint(), "Execute");
  EXPECT_EQ(label.BiDiMode(), TBiDiMode::bdRightToLeft);

  auto& gadget = static_cast<TGadget&>(*form.FindComponent("gadget"));
  EXPECT_EQ(gadget.Tag(), 2);
  EXPECT_EQ(gadget.Count(), 3);
  EXPECT_EQ(gadget.Ratio, 4.5);
  EXPECT_TRUE(gadget.Active);
  EXPECT_EQ(gadget.Shape, TShape::Square);
  EXPECT_EQ(gadget.Shapes, (TSet<TShape>{TShape::Circle, TShape::Triangle}));
  EXPECT_EQ(gadget.Lines.Lines(),
            (std::vector<std::string>{"Left,Left", ";---short---", "lstTasks.Strings,Tasks"}));
  ASSERT_EQ(gadget.Columns.Count(), 2);
  EXPECT_EQ(static_cast<TColumn&>(gadget.Columns.Item(0)).Caption, "Action");
  EXPECT_EQ(static_cast<TColumn&>(gadget.Columns.Item(0)).Width, 100);
  EXPECT_EQ(static_cast<TColumn&>(gadget.Columns.Item(1)).Width, 50) << "not declared: default";
  EXPECT_EQ(gadget.Font.Name(), "Tahoma");
  EXPECT_EQ(gadget.Buddy.Get(), form.FindComponent("later"));
  EXPECT_EQ(std::get<std::string>(gadget.Value), "EVENT-ID");
  EXPECT_FALSE(gadget.IsLoading());
  EXPECT_EQ(gadget.CaptionWhenLoaded, "Data source") << "Loaded runs after every value is set";
}

TEST(FormDeclaration, BindsHandlersByNameToTheFormsMethods) {
  TTestForm form(nullptr);
  LoadDeclaration(form, TestForm());
  auto& gadget = static_cast<TGadget&>(*form.FindComponent("gadget"));
  gadget.OnChange(gadget);
  int count = 1;
  gadget.OnCount(gadget, count);
  form.DoCreate();
  EXPECT_EQ(form.Calls,
            (std::vector<std::string>{"GadgetChange(gadget)", "GadgetCount(1)", "FormCreate"}));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(gadget.Property("OnChange").GetMethod(gadget).Name, "GadgetChange");
}

TEST(FormDeclaration, AMissingHandlerNameFailsNamingTheHandler) {
  const TFormDeclaration declaration{
      .Name = "frmTest",
      .Components = {{.Class = ClassOf<TGadget>(),
                      .Name = "gadget",
                      .Handlers = {{"OnChange", "GadgetChanged"}}}},
  };
  TTestForm form(nullptr);
  try {
    LoadDeclaration(form, declaration);
    FAIL() << "a missing handler was accepted";
  } catch (const EDeclarationError& error) {
    EXPECT_EQ(
        error.Message(),
        "Error loading frmTest.gadget.OnChange: TTestForm has no published method GadgetChanged");
  }
}

TEST(FormDeclaration, OtherMistakesFailNamingWhereTheyAre) {
  const TComponentDeclaration first{.Class = ClassOf<TGadget>(), .Name = "first"};
  const struct {
    TComponentDeclaration component;
    const char* message;
  } cases[] = {
      {{.Class = ClassOf<TGadget>(), .Name = "gadget", .Properties = {{"Colour", 3}}},
       "Error loading frmTest.gadget.Colour: Property TGadget.Colour does not exist"},
      {{.Class = ClassOf<TGadget>(), .Name = "gadget", .Properties = {{"Count", "three"}}},
       "Error loading frmTest.gadget.Count: Invalid value for property TGadget.Count: expected an "
       "integer"},
      {{.Class = ClassOf<TGadget>(),
        .Name = "gadget",
        .Properties = {{"Shapes", Members({"shOval"})}}},
       "Error loading frmTest.gadget.Shapes: Invalid value for property TGadget.Shapes: expected "
       "names of TShape"},
      {{.Class = ClassOf<TGadget>(), .Name = "gadget", .Properties = {{"Buddy", "nobody"}}},
       "Error loading frmTest.gadget.Buddy: no component is named nobody"},
      {{.Class = ClassOf<TGadget>(), .Name = "gadget", .Handlers = {{"OnChange", "GadgetCount"}}},
       "Error loading frmTest.gadget.OnChange: Invalid value for property TGadget.OnChange: method "
       "GadgetCount does not have the handler's parameters"},
      {{.Class = ClassOf<TGadget>(), .Name = "gadget", .Handlers = {{"Caption", "GadgetChange"}}},
       "Error loading frmTest.gadget.Caption: Property TGadget.Caption is not a handler"},
      {{.Class = ClassOf<TLabel>(), .Name = "label", .Parent = "panel"},
       "Error loading frmTest.label: its parent panel is not declared before it"},
      {{.Class = ClassOf<TGadget>(), .Name = "FIRST"},
       "Error loading frmTest.FIRST: A component named FIRST already exists"},
      {{.Class = ClassOf<TComponent>(), .Name = "plain"},
       "Error loading frmTest.plain: Class TComponent cannot be created by name"},
  };
  for (const auto& c : cases) {
    TTestForm form(nullptr);
    try {
      LoadDeclaration(form, {.Name = "frmTest", .Components = {first, c.component}});
      ADD_FAILURE() << c.message << ": no error";
    } catch (const EDeclarationError& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }  // each half-built form is freed here, with whatever it holds
}

}  // namespace
}  // namespace chronel::testing
