// What the progress window computes before it touches a window: the bar's geometry and the
// strip to repaint, and the texts of its labels.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/Types.h"

namespace dialogs {

// The track of the bar, in the window's client coordinates (the bevel takes one more pixel
// to the right and below).
inline constexpr int kBarLeft = 20, kBarTop = 50, kBarWidth = 550, kBarHeight = 20;

// The mark that the window leaves in Label2 when the user asks for an interruption, and the
// neutral text it puts back when it is shown.
inline constexpr char kInterruptMark[] = "interrompu";
inline constexpr char kDoneText[] = "Réalisé";

// The width of the filled part: Round(position * 550 / 100), ties to even (1 % is 6 pixels,
// 3 % is 16), kept within the track.
int BarFillWidth(int position);

// The part of the window to repaint when the position goes from oldPosition to newPosition:
// from the old end of the filled part to the new one, bevels included. A position that goes
// down leaves a longer bar behind, so then the whole track is repainted.
gfx::TRect BarStrip(int oldPosition, int newPosition);

// The time between two times of day, in days. The clock starts again at midnight, so a later
// time of day that is smaller means that midnight passed.
double ElapsedDays(double start, double now);

// Label2: " 12% réalisé en 1h30mn ".
std::string PositionText(int position, double elapsed);

// Totale and Restante for a value given to SetPosition. At 0 % the total is only known to be
// more than 100 times what has elapsed.
struct TEstimates {
  std::string Total, Remaining;
};
TEstimates Estimates(int value, double elapsed);

// The caption of the memory line, with the free physical memory in bytes at show and now.
std::string MemoryLine(std::uint64_t freeAtStart, std::uint64_t freeNow);

}  // namespace dialogs
