#include "dialogs/Duration.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace dialogs {

namespace {

// Whole days are split into years of 365 days and months of 30; the counts are only ever
// approximate and a window rarely shows a duration of one day.
constexpr std::int64_t kDaysPerYear = 365, kDaysPerMonth = 30;

// Beyond this the whole days no longer fit a 64-bit count exactly.
constexpr double kLongest = 1e15;

std::string TwoDigits(int v) {
  return (v < 10 ? "0" : "") + std::to_string(v);
}

}  // namespace

rtl::ShortString DurationText(double x) {
  if (!std::isfinite(x) || std::fabs(x) >= kLongest) return "?";
  if (x < 0) {
    const rtl::ShortString opposite = DurationText(-x);
    return opposite.str() == "0s" ? opposite : rtl::ShortString("-" + opposite.str());
  }

  rtl::ShortString text;
  const auto days = static_cast<std::int64_t>(std::trunc(x));
  if (days >= 1) {
    const std::int64_t years = days / kDaysPerYear;
    const std::int64_t months = days % kDaysPerYear / kDaysPerMonth;
    const std::int64_t rest = days % kDaysPerYear % kDaysPerMonth;
    if (years == 1) text += "un an ";
    if (years > 1) text += std::to_string(years) + " ans ";
    if (months != 0) text += std::to_string(months) + " mois ";
    if (rest == 1) text += "un jour ";
    if (rest > 1) text += std::to_string(rest) + " jours ";
  }

  // Each unit is the truncated whole part of what the larger unit left over.
  double a = (x - std::trunc(x)) * 24;
  const int h = static_cast<int>(std::trunc(a));
  a = (a - std::trunc(a)) * 60;
  const int m = static_cast<int>(std::trunc(a));
  const int s = static_cast<int>(std::trunc((a - std::trunc(a)) * 60));
  if (h != 0) text += std::to_string(h) + "h";
  if (m != 0) text += TwoDigits(m) + "mn";
  if (s != 0) text += TwoDigits(s) + "s";
  if (text.empty()) text = "0s";
  return text;
}

}  // namespace dialogs
