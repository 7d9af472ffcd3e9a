#include "platform/global_hot_key.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/hotkey.h"
#include "platform/message_loop.h"

namespace chronel::platform {
namespace {

// Shift+Ctrl+Alt with F16/F17: keys no test machine has bound.
constexpr TShortCut kF16 = scShift | scCtrl | scAlt | 0x7F;
constexpr TShortCut kF17 = scShift | scCtrl | scAlt | 0x80;
constexpr uint32_t kAllMods = kModShift | kModControl | kModAlt;

struct KeyDown {
  TkivGlobalHotKey* sender;
  uint16_t key;
  TShiftState shift;
};

class GlobalHotKeyTest : public ::testing::Test {
 protected:
  // As a hotkey task sets one up: made inactive, given its shortcut, then activated.
  std::unique_ptr<TkivGlobalHotKey> Make(TShortCut shortCut) {
    auto hotKey = std::make_unique<TkivGlobalHotKey>();
    hotKey->OnKeyDown = [this](TkivGlobalHotKey* sender, uint16_t& key, TShiftState shift) {
      calls_.push_back({sender, key, shift});
    };
    hotKey->SetActive(false);
    hotKey->SetHotKey(shortCut);
    hotKey->SetActive(true);
    return hotKey;
  }

  bool Press(TShortCut shortCut) {
    const bool held = PressHotKeyForTesting(ShortCutSystemModifiers(shortCut), ShortCutKey(shortCut));
    ProcessMessages();
    return held;
  }

  std::vector<KeyDown> calls_;
};

TEST_F(GlobalHotKeyTest, StartsActiveWithNothingRegistered) {
  TkivGlobalHotKey hotKey;
  EXPECT_TRUE(hotKey.Active());
  EXPECT_EQ(hotKey.HotKey(), 0);
  EXPECT_EQ(hotKey.LastError(), 0u);
  EXPECT_GE(hotKey.HotKeyId(), 0xC000);
  EXPECT_TRUE(IsMessageWindow(hotKey.Window()));
}

TEST_F(GlobalHotKeyTest, APressCallsOnKeyDownWithKeyAndShiftState) {
  auto hotKey = Make(kF16);
  EXPECT_EQ(hotKey->LastError(), 0u);
  ASSERT_TRUE(Press(kF16));
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].sender, hotKey.get());
  EXPECT_EQ(calls_[0].key, 0x7F);
  EXPECT_EQ(calls_[0].shift, ssShift | ssCtrl | ssAlt);
}

TEST_F(GlobalHotKeyTest, TheSecondOfTwoEqualHotKeysFailsStaysActiveAndNeverFires) {
  auto first = Make(kF16);
  auto second = Make(kF16);
  EXPECT_EQ(first->LastError(), 0u);
  EXPECT_EQ(second->LastError(), kErrorHotKeyAlreadyRegistered);
  EXPECT_TRUE(second->Active());

  ASSERT_TRUE(Press(kF16));
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].sender, first.get());
}

TEST_F(GlobalHotKeyTest, InactiveUnregistersAndActiveAgainRegistersWithTheSameId) {
  auto hotKey = Make(kF16);
  const Atom id = hotKey->HotKeyId();
  hotKey->SetActive(false);
  EXPECT_EQ(hotKey->LastError(), 0u);
  EXPECT_FALSE(Press(kF16));

  hotKey->SetActive(true);
  EXPECT_EQ(hotKey->LastError(), 0u);
  EXPECT_EQ(hotKey->HotKeyId(), id);
  EXPECT_TRUE(Press(kF16));
  EXPECT_EQ(calls_.size(), 1u);
}

TEST_F(GlobalHotKeyTest, AnInactiveComponentOnlyStoresItsHotKey) {
  TkivGlobalHotKey hotKey;
  hotKey.SetActive(false);
  hotKey.SetHotKey(kF16);
  EXPECT_EQ(hotKey.HotKey(), kF16);
  EXPECT_FALSE(PressHotKeyForTesting(kAllMods, 0x7F));
}

TEST_F(GlobalHotKeyTest, ActivatingWithoutAHotKeyAsksTheSystemForTheEmptyKey) {
  // The system accepts the empty combination once, so the second try shows its answer.
  TkivGlobalHotKey first, second;
  for (TkivGlobalHotKey* hotKey : {&first, &second}) {
    hotKey->SetActive(false);
    hotKey->SetActive(true);
  }
  EXPECT_EQ(first.LastError(), 0u);
  EXPECT_EQ(second.LastError(), kErrorHotKeyAlreadyRegistered);
}

TEST_F(GlobalHotKeyTest, ChangingTheHotKeyWhileActiveFreesTheOldCombination) {
  auto hotKey = Make(kF16);
  hotKey->SetHotKey(kF17);
  EXPECT_EQ(hotKey->LastError(), 0u);
  EXPECT_FALSE(Press(kF16));
  EXPECT_TRUE(Press(kF17));

  auto other = Make(kF16);
  EXPECT_EQ(other->LastError(), 0u);

  hotKey->SetHotKey(0);
  EXPECT_FALSE(Press(kF17));
}

TEST_F(GlobalHotKeyTest, DestructionReleasesTheCombination) {
  Make(kF16).reset();
  EXPECT_FALSE(PressHotKeyForTesting(kAllMods, 0x7F));
  auto next = Make(kF16);
  EXPECT_EQ(next->LastError(), 0u);
}

TEST_F(GlobalHotKeyTest, WithoutOnKeyDownAPressIsIgnored) {
  auto hotKey = Make(kF16);
  hotKey->OnKeyDown = nullptr;
  EXPECT_TRUE(Press(kF16));
  EXPECT_TRUE(calls_.empty());
}

TEST_F(GlobalHotKeyTest, AnErrorInOnKeyDownGoesToTheCentralHandler) {
  std::vector<std::string> reported;
  SetApplicationExceptionHandler([&reported](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported.push_back(e.what());
    }
  });
  auto hotKey = Make(kF16);
  hotKey->OnKeyDown = [](TkivGlobalHotKey*, uint16_t&, TShiftState) {
    throw std::runtime_error("task failed");
  };
  EXPECT_TRUE(Press(kF16));
  EXPECT_TRUE(Press(kF16));  // the component keeps working
  SetApplicationExceptionHandler(nullptr);
  EXPECT_EQ(reported, (std::vector<std::string>{"task failed", "task failed"}));
}

TEST(ShortCut, SplitsIntoKeyShiftStateAndSystemModifiers) {
  struct Case {
    TShortCut shortCut;
    uint16_t key;
    TShiftState shift;
    uint32_t modifiers;
  };
  const Case cases[] = {
      {0xE041, 0x41, ssShift | ssCtrl | ssAlt, kModShift | kModControl | kModAlt},
      {scCtrl | 0x70, 0x70, ssCtrl, kModControl},
      {scAlt | scShift | 0x31, 0x31, ssAlt | ssShift, kModAlt | kModShift},
      {0x0041, 0x41, 0, 0},
      {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shortCut);
    EXPECT_EQ(ShortCutKey(c.shortCut), c.key);
    EXPECT_EQ(ShortCutShiftState(c.shortCut), c.shift);
    EXPECT_EQ(ShortCutSystemModifiers(c.shortCut), c.modifiers);
  }
}

}  // namespace
}  // namespace chronel::platform
