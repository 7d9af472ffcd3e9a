#include "platform/hotkey.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/global_atom.h"
#include "platform/message_loop.h"

namespace chronel::platform {
namespace {

// Combinations nobody else on a test machine uses: Ctrl+Alt+Shift with F13..F15.
constexpr uint32_t kMods = kModControl | kModAlt | kModShift;
constexpr uint32_t kF13 = 0x7C, kF14 = 0x7D;

struct Press {
  WindowHandle window;
  WParam id;
  LParam keys;
};

class HotKeyTest : public ::testing::Test {
 protected:
  WindowHandle NewWindow() {
    const WindowHandle window =
        CreateMessageWindow([this](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
          if (m == kWmHotKey) presses_.push_back({w, wp, lp});
          return DefaultWindowProcedure(w, m, wp, lp);
        });
    windows_.push_back(window);
    return window;
  }
  void TearDown() override {
    for (WindowHandle window : windows_) DestroyMessageWindow(window);
  }

  std::vector<WindowHandle> windows_;
  std::vector<Press> presses_;
};

TEST_F(HotKeyTest, ACombinationTakenOnceIsRefusedTheSecondTimeAndPressesReachTheFirst) {
  const WindowHandle first = NewWindow();
  const WindowHandle second = NewWindow();
  ASSERT_EQ(RegisterSystemHotKey(first, 0xC101, kMods, kF13), kErrorSuccess);
  EXPECT_EQ(RegisterSystemHotKey(second, 0xC102, kMods, kF13), kErrorHotKeyAlreadyRegistered);

  ASSERT_TRUE(PressHotKeyForTesting(kMods, kF13));
  ProcessMessages();
  ASSERT_EQ(presses_.size(), 1u);
  EXPECT_EQ(presses_[0].window, first);
  EXPECT_EQ(presses_[0].id, 0xC101u);
  EXPECT_EQ(presses_[0].keys, static_cast<LParam>(kMods | (kF13 << 16)));

  EXPECT_EQ(UnregisterSystemHotKey(first, 0xC101), kErrorSuccess);
  EXPECT_FALSE(PressHotKeyForTesting(kMods, kF13));
  EXPECT_EQ(UnregisterSystemHotKey(first, 0xC101), kErrorHotKeyNotRegistered);
  // Free again: the other window may take it now.
  EXPECT_EQ(RegisterSystemHotKey(second, 0xC102, kMods, kF13), kErrorSuccess);
  EXPECT_EQ(UnregisterSystemHotKey(second, 0xC102), kErrorSuccess);
}

TEST_F(HotKeyTest, RegisteringAgainUnderTheSameIdMovesTheHotKey) {
  const WindowHandle window = NewWindow();
  ASSERT_EQ(RegisterSystemHotKey(window, 0xC103, kMods, kF13), kErrorSuccess);
  ASSERT_EQ(RegisterSystemHotKey(window, 0xC103, kMods, kF14), kErrorSuccess);
  EXPECT_TRUE(PressHotKeyForTesting(kMods, kF14));
  EXPECT_FALSE(PressHotKeyForTesting(kMods, kF13));
  EXPECT_EQ(UnregisterSystemHotKey(window, 0xC103), kErrorSuccess);
}

TEST_F(HotKeyTest, DestroyingAWindowReleasesItsHotKeys) {
  const WindowHandle gone = NewWindow();
  ASSERT_EQ(RegisterSystemHotKey(gone, 0xC104, kMods, kF13), kErrorSuccess);
  DestroyMessageWindow(gone);
  EXPECT_FALSE(PressHotKeyForTesting(kMods, kF13));
  const WindowHandle next = NewWindow();
  EXPECT_EQ(RegisterSystemHotKey(next, 0xC105, kMods, kF13), kErrorSuccess);
  EXPECT_EQ(UnregisterSystemHotKey(next, 0xC105), kErrorSuccess);
}

TEST_F(HotKeyTest, AWindowThatIsGoneCannotRegister) {
  const WindowHandle gone = NewWindow();
  DestroyMessageWindow(gone);
  EXPECT_EQ(RegisterSystemHotKey(gone, 0xC106, kMods, kF14), kErrorInvalidWindowHandle);
}

TEST(GlobalAtom, NamesAreCountedAndCompareWithoutCase) {
  uint32_t error = 99;
  const Atom atom = AddGlobalAtom("chronel-test-atom", &error);
  ASSERT_NE(atom, 0);
  EXPECT_EQ(error, 0u);
  EXPECT_GE(atom, 0xC000);
  EXPECT_EQ(AddGlobalAtom("CHRONEL-Test-Atom"), atom);
  const Atom other = AddGlobalAtom("chronel-other-atom");
  EXPECT_NE(other, atom);

  DeleteGlobalAtom(atom);  // one use left
  EXPECT_EQ(AddGlobalAtom("chronel-test-atom"), atom);
  DeleteGlobalAtom(atom);
  DeleteGlobalAtom(atom);
  DeleteGlobalAtom(other);
}

TEST(GlobalAtom, AnEmptyNameIsRefused) {
  uint32_t error = 0;
  EXPECT_EQ(AddGlobalAtom("", &error), 0);
  EXPECT_NE(error, 0u);
}

}  // namespace
}  // namespace chronel::platform
