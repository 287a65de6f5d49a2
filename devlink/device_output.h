// Sending to the devices: the configuration to the pedal controller, the display unit's report.
#pragma once

#include "devlink/controller_reports.h"
#include "devlink/process.h"

namespace devlink {

// Checks record and, when it passes, writes the throttle curve report and then the pedal
// settings report to the controller. @returns 0 when both were handed to WriteEx; -1 when
// record or link is null, link has no valid report, a value is out of range (brake and clutch
// points only when checkBrake / checkClutch), or the HID library is not loaded. On -1 nothing
// is sent.
int SendPedalConfig(const PedalConfigRecord* record, const Process* link, bool checkBrake,
                    bool checkClutch, bool storeFlag);

// Shows the brake's upper value and the throttle's current preset on the display unit. The
// report goes out whether or not a display unit is attached; without the library nothing is sent.
void UpdateSegmentDisplay(int brakeUpperValue, int currentPreset);

// Turns the display unit's digits and lamps off.
void BlankSegmentDisplay();

}  // namespace devlink
