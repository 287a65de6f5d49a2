// The pedal configuration record built from the three pages' settings. Every page value is
// range-checked as the int or float it is, before it is narrowed to the record's bytes, so
// that an out-of-range value cannot wrap into a valid-looking one.
#pragma once

#include <optional>

#include "devlink/controller_reports.h"
#include "pages/brake_clutch_curve.h"
#include "pages/throttle_curve.h"

namespace app {

using pages::PedalPresence;

// Send Config stores on the controller and leaves the load-cell bit clear; a live apply
// stores nothing and carries the throttle's axis_mode.
enum class RecordUse { kSend, kLive };

// Highest brake and clutch curve point a live apply passes on: the controller doubles those
// points into one byte, and the live send does not hold them to 100.
inline constexpr int kLivePedalPointLimit = 127;

// The record, or nothing when a value lies out of range: any dead zone or throttle point
// outside 0..100, a brake or clutch point outside 0..100 (Send) or 0..127 (Live). The brake
// and clutch values travel whatever presence says; presence only sets their enable bits.
std::optional<devlink::PedalConfigRecord> BuildPedalConfigRecord(
    const pages::ThrottleCurveSettings& throttle, const pages::BrakeClutchSettings& brake,
    const pages::BrakeClutchSettings& clutch, PedalPresence presence, RecordUse use);

}  // namespace app
