#include <gtest/gtest.h>

#include "util/StrUtils.h"

namespace {

TEST(StrUtils, Smoke) {
  std::string t = "banana";
  EXPECT_EQ(util::ReplaceAll("a", "aa", t, true), 3);
  EXPECT_EQ(t, "baanaanaa");
}

}  // namespace
