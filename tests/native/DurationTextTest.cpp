// Durations as the progress window writes them.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "dialogs/Duration.h"

namespace {

TEST(DurationText, Cases) {
  struct Case {
    double days;
    std::string expected;
  };
  const Case cases[] = {
      {0, "0s"},
      {1.0 / 1024, "01mn24s"},  // 84.375 seconds
      {1.0 / 256, "05mn37s"},   // 337.5 seconds: truncated, not rounded
      {0.0625, "1h30mn"},
      {0.5, "12h"},
      {0.25 + 1.0 / 1024, "6h01mn24s"},
      {3605.5 / 86400, "1h05s"},  // no minute part
      // Whole seconds held as fractions of a day can lose one to truncation.
      {3.0 / 86400, "02s"},
      {0.4 / 86400, "0s"},
      {1 + 1.0 / 24, "un jour 1h"},
      {2, "2 jours "},
      {400, "un an 1 mois 5 jours "},
      {730.5, "2 ans 12h"},
      {31, "1 mois un jour "},
      // Negative durations (midnight passed, or a remainder past 100 %) stay readable.
      {-0.0625, "-1h30mn"},
      {-0.4 / 86400, "0s"},
      {std::numeric_limits<double>::quiet_NaN(), "?"},
      {std::numeric_limits<double>::infinity(), "?"},
      {1e300, "?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialogs::DurationText(c.days).str(), c.expected) << c.days;
  }
}

}  // namespace
