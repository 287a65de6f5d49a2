// Output reports handed to the HID library.
#include "devlink/device_output.h"

#include "devlink/hid_library.h"
#include "devlink/segment_display.h"

namespace devlink {
namespace {

void WriteDisplay(const ReportBuffer& report) {
  if (const HidLibraryTable* hid = HidLibrary())
    hid->WriteEx(kVendorId, kDisplayProductId, report.data());
}

}  // namespace

int SendPedalConfig(const PedalConfigRecord* record, const Process* link, bool checkBrake,
                    bool checkClutch, bool storeFlag) {
  if (record == nullptr || link == nullptr || !link->HasValidReport()) return -1;
  if (!IsPedalConfigSendable(*record, checkBrake, checkClutch)) return -1;
  const HidLibraryTable* hid = HidLibrary();
  if (hid == nullptr) return -1;
  hid->WriteEx(kVendorId, kControllerProductId, BuildThrottleCurveReport(*record).data());
  hid->WriteEx(kVendorId, kControllerProductId,
               BuildPedalSettingsReport(*record, storeFlag).data());
  return 0;
}

void UpdateSegmentDisplay(int brakeUpperValue, int currentPreset) {
  WriteDisplay(BuildSegmentDisplayReport(brakeUpperValue, currentPreset));
}

void BlankSegmentDisplay() { WriteDisplay(BuildBlankDisplayReport()); }

}  // namespace devlink
