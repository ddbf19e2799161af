#include <gtest/gtest.h>
#include <windows.h>

// Everything under Wine depends on the ANSI code page being GBK.
TEST(WineEnvironment, AnsiCodePageIsGbk) {
  EXPECT_EQ(::GetACP(), 936u);
}
