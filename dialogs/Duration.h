// Durations as the progress window shows them.
#pragma once

#include "rtl/ShortString.h"

namespace dialogs {

// A duration in days as French text: "1h30mn", "01mn24s", "12h", "0s"; whole days first
// ("un an 2 mois 3 jours 4h"). Hours, minutes and seconds are truncated, not rounded, so
// three seconds held as a fraction of a day may read "02s". A negative duration reads as its
// opposite after a minus sign ("-05s"); one that is not a number or beyond any clock, "?".
rtl::ShortString DurationText(double x);

}  // namespace dialogs
