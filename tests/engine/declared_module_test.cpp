// The plug-in's data module as declared: a property map, a message table, the action menu and
// the polling timer, with handlers bound by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/data_module.h"
#include "core/form_declaration.h"
#include "core/published_properties.h"
#include "engine/a_plugin.h"
#include "engine/menu.h"
#include "engine/msg_array.h"
#include "engine/strings_holder.h"
#include "engine/timer.h"
#include "platform/pumping_thread.h"
#include "plugin/instance_registry.h"

namespace chronel {
namespace {

// A module declaring only the polling timer, with a handler that counts its ticks.
class TModule : public TDataModule {
 public:
  explicit TModule(TComponent* owner) : TDataModule(owner) { LoadDeclaration(*this, Declaration()); }

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info("TModule", &TDataModule::StaticClassInfo(), {},
                                 {PublishedMethod("CheckTasksTimer", &TModule::CheckTasksTimer)});
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  static const TFormDeclaration& Declaration() {
    static const TFormDeclaration declaration{
        .Name = "aPlugin",
        .Components = {{.Class = ClassOf<TTimer>(),
                        .Name = "CheckTasks",
                        .Properties = {{"Interval", 500}, {"Enabled", false}},
                        .Handlers = {{"OnTimer", "CheckTasksTimer"}}}}};
    return declaration;
  }

  void CheckTasksTimer(TObject& sender) { ++ticks; }

  int ticks = 0;
};

// The plug-in's own data module, made as the framework makes it for a host.
std::unique_ptr<plugin::TkivPlugin> PluginModule() { return plugin::CreatePlugin<TaPlugin>(nullptr); }

TEST(DeclaredModule, BuildsTheActionMenuInDeclarationOrder) {
  const auto plugin = PluginModule();
  TComponent& module = *plugin;
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
}

TEST(DeclaredModule, HoldsItsPropertyMapAndMessageTable) {
  const auto plugin = PluginModule();
  TComponent& module = *plugin;
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
