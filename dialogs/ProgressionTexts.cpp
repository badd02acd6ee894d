#include "dialogs/ProgressionTexts.h"

#include <algorithm>

#include "dialogs/Duration.h"
#include "rtl/SysUtils.h"

namespace dialogs {

int BarFillWidth(int position) {
  const std::int64_t width = rtl::Round(double(std::int64_t(position) * kBarWidth) / 100);
  return int(std::clamp<std::int64_t>(width, 0, kBarWidth));
}

gfx::TRect BarStrip(int oldPosition, int newPosition) {
  // The bottom bevel lies on line kBarTop + kBarHeight, which the strip must include for the
  // new part of the bar to get its dark lower edge.
  const int top = kBarTop, bottom = kBarTop + kBarHeight + 1;
  if (newPosition < oldPosition) return {kBarLeft - 1, top, kBarLeft + kBarWidth + 1, bottom};
  const int left = kBarLeft - 1 + (oldPosition > 0 ? BarFillWidth(oldPosition) : 0);
  const int right = kBarLeft + 1 + (newPosition > 0 ? BarFillWidth(newPosition) : 0);
  return {left, top, right, bottom};
}

double ElapsedDays(double start, double now) {
  const double elapsed = now - start;
  return elapsed < 0 ? elapsed + 1 : elapsed;
}

std::string PositionText(int position, double elapsed) {
  return " " + std::to_string(position) + "% réalisé en " + DurationText(elapsed).str() + " ";
}

TEstimates Estimates(int value, double elapsed) {
  TEstimates e;
  const double total = value == 0 ? elapsed * 100 : elapsed * 100 / value;
  e.Total = (value == 0 ? ">" : "") + DurationText(total).str();
  const double remaining = value == 100 ? 0 : total / 100 * (100 - value);
  e.Remaining = DurationText(remaining).str();
  return e;
}

std::string MemoryLine(std::uint64_t freeAtStart, std::uint64_t freeNow) {
  return "<B>RAM libre :</B> Au début : <Font Color=#FF>" + std::to_string(freeAtStart >> 20) +
         " Mo<Font Color=#0>    En cours : <Font Color=#FF0000>" + std::to_string(freeNow >> 20) +
         " Mo ";
}

}  // namespace dialogs
