// The six small pictures of the task editor's actions (Add 0, Delete 1, Modify 2, Clear all 3,
// Up 4, Down 5), drawn at run time in colour for the enabled state and in grey for the
// disabled one, so the library carries no image files.
#pragma once

#include <array>

#include "platform/win32/windows_api.h"

namespace chronel::win32ui {

inline constexpr int kActionIconSize = 16;

class TActionIcons {
 public:
  TActionIcons();
  ~TActionIcons();
  TActionIcons(const TActionIcons&) = delete;
  TActionIcons& operator=(const TActionIcons&) = delete;

  // Null for an index without a picture.
  HICON Icon(int imageIndex, bool enabled) const;

 private:
  static constexpr int kCount = 6;
  std::array<HICON, kCount> enabled_{};
  std::array<HICON, kCount> disabled_{};
};

}  // namespace chronel::win32ui
