// The canary every test program carries: its required output proves the program really ran.
#include <gtest/gtest.h>

TEST(Canary, Runs) { SUCCEED(); }
