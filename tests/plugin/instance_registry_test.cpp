// Who owns an instance: the registry until the instance is released, and each call that found
// it until that call returns.
#include "plugin/instance_registry.h"

#include <gtest/gtest.h>

#include <atomic>

namespace chronel::plugin {
namespace {

// Counts the instances alive, so a test sees when the registry frees one.
class TCountedPlugin : public TkivPlugin {
 public:
  explicit TCountedPlugin(const TPluginCallRec* block) : TkivPlugin(block) { ++alive; }
  ~TCountedPlugin() override { --alive; }

  static inline std::atomic<int> alive{0};
};

class InstanceRegistryTest : public ::testing::Test {
 protected:
  InstanceRegistryTest() { RegisterPluginClass(CreatePlugin<TCountedPlugin>); }
  ~InstanceRegistryTest() override { RegisterPluginClass(CreatePlugin<TkivPlugin>); }

  static TPluginCallRec Block(int32_t instance, uint8_t release = 0) {
    TPluginCallRec block{};
    block.Version = kCallBlockVersion;
    block.InstanceID = instance;
    block.Release = release;
    return block;
  }
};

TEST_F(InstanceRegistryTest, ReleaseFreesAtOnceOrWhenTheLastCallHoldingTheInstanceReturns) {
  const TPluginCallRec call = Block(41);
  const TPluginCallRec release = Block(41, kReleaseInstance);

  TInstanceRef inCall = FindInstance(&call);  // as an export holds it for the length of a call
  ASSERT_TRUE(inCall);
  EXPECT_EQ(FindInstance(&release), nullptr);
  EXPECT_EQ(TCountedPlugin::alive, 1) << "freed under a call";
  EXPECT_EQ(inCall->InstanceID(), 41);
  inCall.reset();
  EXPECT_EQ(TCountedPlugin::alive, 0) << "the release did not complete with the call";

  ASSERT_TRUE(FindInstance(&call));  // a new instance that no call holds
  EXPECT_EQ(TCountedPlugin::alive, 1);
  FindInstance(&release);
  EXPECT_EQ(TCountedPlugin::alive, 0);
}

}  // namespace
}  // namespace chronel::plugin
