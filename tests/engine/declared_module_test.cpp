// A data module declared as the plug-in's is: a property map, a message table, the action menu
// and the polling timer, with handlers bound by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/data_module.h"
#include "core/form_declaration.h"
#include "core/published_properties.h"
#include "engine/menu.h"
#include "engine/msg_array.h"
#include "engine/strings_holder.h"
#include "engine/timer.h"
#include "platform/pumping_thread.h"

namespace chronel {
namespace {

class TModule : public TDataModule {
 public:
  explicit TModule(TComponent* owner) : TDataModule(owner) {
    LoadDeclaration(*this, Declaration());
    DoCreate();
  }

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  static const TFormDeclaration& Declaration();

  void ModuleCreate(TObject& sender) { ++creations; }
  void CheckTasksTimer(TObject& sender) { ++ticks; }

  int creations = 0;
  int ticks = 0;
};

const TClassInfo& TModule::StaticClassInfo() {
  static const TClassInfo info("TModule", &TDataModule::StaticClassInfo(), {},
                               {
                                   PublishedMethod("ModuleCreate", &TModule::ModuleCreate),
                                   PublishedMethod("CheckTasksTimer", &TModule::CheckTasksTimer),
                               });
  return info;
}

// An action item and the child that names its argument.
std::vector<TComponentDeclaration> Action(const char* name, const char* caption,
                                          const char* argument, int64_t tag,
                                          const char* argumentCaption) {
  return {
      {.Class = ClassOf<TMenuItem>(),
       .Name = name,
       .Parent = "mmActions",
       .Properties = {{"Caption", caption}}},
      {.Class = ClassOf<TMenuItem>(),
       .Name = argument,
       .Parent = name,
       .Properties = {{"Caption", argumentCaption}, {"Tag", tag}}},
  };
}

const TFormDeclaration& TModule::Declaration() {
  static const TFormDeclaration declaration = [] {
    TFormDeclaration d{
        .Name = "aPlugin",
        .Handlers = {{"OnCreate", "ModuleCreate"}},
        .Components =
            {
                {.Class = ClassOf<TStringsHolder>(),
                 .Name = "Properties",
                 .Properties = {{"Strings",
                                 Lines({"Left,Left", "Top,Top", "Height,Height", "Width,Width",
                                        ";---short---", "lstTasks.Strings,Tasks"})}}},
                {.Class = ClassOf<TMsgArray>(),
                 .Name = "MsgArray",
                 .Properties = {{"MessagesArray",
                                 Lines({"MsgExecTask||Executing task||||||D||||||||",
                                        "MsgInvArg||Invalid argument ||||||D||||||||",
                                        "MsgInvTask||Unable to add task #%d||||||D||||||||",
                                        "||||||||D||||||||"})}}},
                {.Class = ClassOf<TPopupMenu>(), .Name = "pmResources"},
                {.Class = ClassOf<TMenuItem>(),
                 .Name = "mmActions",
                 .Parent = "pmResources",
                 .Properties = {{"Caption", "Actions"}}},
            },
    };
    for (const auto& action : {Action("OPEN", "Open data source", "COMBO_1", 2, "Data source"),
                               Action("CLOSE", "Close data source", "COMBO_2", 2, "Data source"),
                               Action("SEND", "Send data", "TEXT_1", 1, "Data"),
                               Action("NEWLOG", "New log file", "COMBO_3", 2, "Data source"),
                               Action("EVENT", "Generate event", "TEXT_2", 1, "Event")}) {
      d.Components.insert(d.Components.end(), action.begin(), action.end());
    }
    d.Components.push_back({.Class = ClassOf<TTimer>(),
                            .Name = "CheckTasks",
                            .Properties = {{"Interval", 500}, {"Enabled", false}},
                            .Handlers = {{"OnTimer", "CheckTasksTimer"}}});
    return d;
  }();
  return declaration;
}

TEST(DeclaredModule, BuildsTheActionMenuInDeclarationOrder) {
  TModule module(nullptr);
  EXPECT_EQ(module.creations, 1);
  auto& menu = static_cast<TPopupMenu&>(*module.FindComponent("pmResources"));
  ASSERT_EQ(menu.Items().Count(), 1);
  const TMenuItem& actions = *menu.Items().Items()[0];
  EXPECT_EQ(actions.Name(), "mmActions");
  EXPECT_EQ(actions.Caption(), "Actions");

  std::vector<std::string> rows;
  for (const TMenuItem* action : actions.Items()) {
    ASSERT_EQ(action->Count(), 1) << action->Name();
    const TMenuItem& argument = *action->Items()[0];
    rows.push_back(action->Name() + "|" + action->Caption() + "|" + argument.Name() + "|" +
                   std::to_string(argument.Tag()) + "|" + argument.Caption());
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"OPEN|Open data source|COMBO_1|2|Data source",
                                            "CLOSE|Close data source|COMBO_2|2|Data source",
                                            "SEND|Send data|TEXT_1|1|Data",
                                            "NEWLOG|New log file|COMBO_3|2|Data source",
                                            "EVENT|Generate event|TEXT_2|1|Event"}));
  // Every declared component is owned by the module, found by name wherever it sits.
  EXPECT_EQ(module.FindComponent("combo_3")->Owner(), &module);
  EXPECT_EQ(module.ComponentCount(), 15);
}

TEST(DeclaredModule, HoldsItsPropertyMapAndMessageTable) {
  TModule module(nullptr);
  auto& properties = static_cast<TStringsHolder&>(*module.FindComponent("Properties"));
  EXPECT_EQ(properties.Strings().Text(),
            "Left,Left\r\nTop,Top\r\nHeight,Height\r\nWidth,Width\r\n;---short---\r\n"
            "lstTasks.Strings,Tasks\r\n");
  auto& messages = static_cast<TMsgArray&>(*module.FindComponent("MsgArray"));
  EXPECT_EQ(messages.MessageText("MsgExecTask"), "Executing task");
  EXPECT_EQ(messages.FormatMessage("MsgInvTask", {7}), "Unable to add task #7");
  EXPECT_EQ(messages.ButtonCaptions()[2], "OK");
}

TEST(DeclaredModule, ThePollingTimerRunsItsBoundHandlerWhenEnabled) {
  TModule module(nullptr);
  auto& timer = static_cast<TTimer&>(*module.FindComponent("CheckTasks"));
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Property("Interval").GetOrdinal(timer), 500);
  EXPECT_EQ(timer.Property("OnTimer").GetMethod(timer).Name, "CheckTasksTimer");

  timer.Property("Interval").SetOrdinal(timer, 20);
  timer.Property("Enabled").SetEnumName(timer, "True");
  EXPECT_TRUE(platform::testing::PumpUntil([&] { return module.ticks >= 2; }));
  timer.SetEnabled(false);
  const int ticks = module.ticks;
  platform::testing::PumpFor(100);
  EXPECT_EQ(module.ticks, ticks);
}

TEST(MenuItems, FreeTheirSubItemsAndMoveBetweenParents) {
  TDataModule module(nullptr);
  auto* menu = new TPopupMenu(&module);
  auto* top = new TMenuItem(&module);
  auto* sub = new TMenuItem(&module);
  auto* other = new TMenuItem(&module);
  top->SetParentComponent(*menu);
  sub->SetParentComponent(*top);
  EXPECT_EQ(sub->Parent(), top);
  EXPECT_THROW(top->SetParentComponent(*sub), EComponentError);    // inside itself
  EXPECT_THROW(sub->SetParentComponent(module), EComponentError);  // not a menu

  other->Add(*sub);
  EXPECT_EQ(top->Count(), 0);
  EXPECT_EQ(other->IndexOf(*sub), 0);
  top->Add(*other);
  delete menu;  // frees its items and, with them, their sub-items
  EXPECT_EQ(module.ComponentCount(), 0);
}

}  // namespace
}  // namespace chronel
