// Owners, names and places: what a component tree keeps and frees.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/application.h"
#include "core/component_fixtures.h"

namespace chronel::testing {
namespace {

TGadget& NewGadget(TComponent& owner, const std::string& name, std::vector<std::string>* log) {
  auto* gadget = new TGadget(&owner);  // owned, and freed, by `owner`
  gadget->SetName(name);
  gadget->DestroyLog = log;
  return *gadget;
}

TEST(ComponentTree, AnOwnerFreesWhatItOwnsInCreationOrder) {
  std::vector<std::string> freed;
  auto owner = std::make_unique<TGadget>(nullptr);
  owner->SetName("owner");
  owner->DestroyLog = &freed;
  TGadget& first = NewGadget(*owner, "first", &freed);
  NewGadget(first, "grandchild", &freed);
  NewGadget(*owner, "second", &freed);
  NewGadget(*owner, "third", &freed);
  ASSERT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components()[1]->Name(), "second");

  owner.reset();
  EXPECT_EQ(freed, (std::vector<std::string>{"owner", "first", "grandchild", "second", "third"}));
}

TEST(ComponentTree, FreeingAnOwnedComponentTakesItOutOfItsOwner) {
  TGadget owner(nullptr);
  TGadget& a = NewGadget(owner, "a", nullptr);
  NewGadget(owner, "b", nullptr);
  delete &a;
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components()[0]->Name(), "b");
  EXPECT_EQ(owner.FindComponent("a"), nullptr);
}

TEST(ComponentTree, OwnedComponentsAreFoundByNameWithoutRegardToCase) {
  TGadget owner(nullptr);
  TGadget& tasks = NewGadget(owner, "lstTasks", nullptr);
  EXPECT_EQ(owner.FindComponent("LSTTASKS"), &tasks);
  EXPECT_EQ(owner.FindComponent("lstModes"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
}

TEST(ComponentTree, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
  TGadget owner(nullptr);
  NewGadget(owner, "OPEN", nullptr);
  TGadget& other = NewGadget(owner, "COMBO_1", nullptr);
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"open", "A component named open already exists"},
      {"1st", "'1st' is not a valid component name"},
      {"two words", "'two words' is not a valid component name"},
      {"caf\xc3\xa9", "'caf\xc3\xa9' is not a valid component name"},
  };
  for (const auto& c : cases) {
    try {
      other.SetName(c.name);
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const EComponentError& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }
  EXPECT_EQ(other.Name(), "COMBO_1");
  other.SetName("combo_1");  // its own name in other letters
  other.SetName("_x9");
  other.SetName("");
  EXPECT_EQ(other.Name(), "");
}

TEST(ComponentTree, ControlsSitInWindowedParentsThatFreeThem) {
  std::vector<std::string> freed;
  TTestForm form(nullptr);
  auto* panel = new TPanel(&form);
  auto* label = new TLabel(&form);
  label->SetParentComponent(*panel);
  EXPECT_EQ(label->Parent(), panel);
  ASSERT_EQ(panel->Controls().size(), 1u);

  TGadget& gadget = NewGadget(form, "gadget", &freed);
  EXPECT_THROW(gadget.SetParentComponent(*panel), EComponentError);  // not a control
  EXPECT_THROW(panel->SetParentComponent(gadget), EComponentError);  // not windowed
  auto* inner = new TPanel(&form);
  inner->SetParent(panel);
  EXPECT_THROW(panel->SetParent(inner), EComponentError);  // would sit inside itself

  delete panel;  // takes the label and the inner panel along, and out of the form
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components()[0], &gadget);
}

TEST(ComponentTree, TheApplicationOwnsFormsAndFindsThemByName) {
  TApplication& application = Application();
  EXPECT_EQ(&Application(), &application);
  ASSERT_EQ(application.MainForm(), nullptr);
  auto* form = new TTestForm(&application);
  form->SetName("frmOption");
  EXPECT_EQ(application.MainForm(), form);
  EXPECT_EQ(application.FindComponent("FRMOPTION"), form);
  delete form;
  EXPECT_EQ(application.FindComponent("frmOption"), nullptr);
}

}  // namespace
}  // namespace chronel::testing
