// Sets the calling thread's locale for one test and puts the previous one back.
#pragma once

#include <gtest/gtest.h>

#include "platform/locale_services.h"

namespace chronel::test {

class ThreadLocaleScope {
 public:
  explicit ThreadLocaleScope(platform::LocaleId locale) : previous_(platform::ThreadLocaleId()) {
    EXPECT_TRUE(platform::SetThreadLocaleId(locale));
  }
  ~ThreadLocaleScope() { platform::SetThreadLocaleId(previous_); }
  ThreadLocaleScope(const ThreadLocaleScope&) = delete;
  ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

 private:
  platform::LocaleId previous_;
};

}  // namespace chronel::test
