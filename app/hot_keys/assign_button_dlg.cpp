// The button-assignment dialog: capture buttons, their captions and the option boxes.
#include "app/hot_keys/assign_button_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>

#include "app/app_options.h"
#include "app/hot_keys/press_wait_dlg.h"
#include "pages/dialog_units.h"
#include "pages/font_static.h"
#include "pages/page_style.h"
#include "platform/profile_settings.h"

namespace app {

namespace {

// White, left-aligned, no style.
constexpr std::uint8_t kLabelFlags = 0x40;

struct SlotRow {
  const char* label;
  int y;  // dialog units: the label's top; its capture button sits 3 units higher
};
constexpr SlotRow kSlotRows[kHotKeyCount] = {
    {"Brake Inc", 18},  {"Brake Dec", 42},   {"Throttle A", 72},
    {"Throttle B", 96}, {"Throttle C", 120},
};

}  // namespace

CAssignButtonDlg::CAssignButtonDlg(JoystickButtonMasks& referenceMasks, bool spanish,
                                   AppOptionRefs options, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      referenceMasks_(referenceMasks),
      options_(options) {
  CreateControls(spanish);
  Bind(wxEVT_CHAR_HOOK, &CAssignButtonDlg::OnCharHook, this);
  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    captureButtons_[slot]->Bind(wxEVT_BUTTON,
                                [this, slot](wxCommandEvent&) { CaptureAssignment(slot); });
  }
  for (wxCheckBox* box : {monitor_, monitorVr_, minimized_}) {
    box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { SaveMonitorOptions(); });
  }
  CentreOnParent();
}

void CAssignButtonDlg::CreateControls(bool spanish) {
  SetFont(wxFontInfo(pages::kDialogFontPoints).FaceName(pages::kDialogFace));
  SetBackgroundColour(pages::PageBackgroundColour());
  const pages::DialogUnits units = pages::DialogUnits::For(this);
  SetClientSize(units.Size(kWidthDlu, kHeightDlu));

  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    const int id = static_cast<int>(slot);
    labels_[slot] = new pages::CFontStatic(this, kFirstLabelId + id, kSlotRows[slot].label,
                                           units.Point(21, kSlotRows[slot].y), units.Size(108, 15));
    labels_[slot]->SetFontStyle(pages::kPageLabelFace, pages::kPageLabelHeight, *wxWHITE,
                                kLabelFlags);
    captureButtons_[slot] =
        new wxButton(this, kFirstCaptureButtonId + id, "Button1",
                     units.Point(138, kSlotRows[slot].y - 3), units.Size(96, 18));
  }
  // The brake keys cannot be captured here; what is stored for them stays and is shown.
  captureButtons_[kBrakeIncreaseSlot]->Disable();
  captureButtons_[kBrakeDecreaseSlot]->Disable();

  monitor_ = new wxCheckBox(this, kMonitorId, "Monitor", units.Point(21, 144), units.Size(75, 15));
  monitorVr_ =
      new wxCheckBox(this, kMonitorVrId, "Monitor VR", units.Point(21, 159), units.Size(75, 15));
  monitorVr_->Hide();
  minimized_ =
      new wxCheckBox(this, kMinimizedId, spanish ? "Arrancar Minimizado" : "Start Minimized",
                     units.Point(138, 144), units.Size(105, 15));
}

bool CAssignButtonDlg::TransferDataToWindow() {
  RefreshAssignmentCaptions();
  return true;
}

void CAssignButtonDlg::RefreshAssignmentCaptions() {
  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    captureButtons_[slot]->SetLabel(AssignmentCaption(assignments_[slot]));
  }
  monitor_->SetValue(options_.enable_window != 0);
  monitorVr_->SetValue(options_.enable_vr != 0);
  minimized_->SetValue(options_.minimized != 0);
}

void CAssignButtonDlg::CaptureAssignment(std::size_t slot) {
  ButtonAssignment captured;
  CPressWaitDlg wait(this, referenceMasks_);
  if (wait.WaitForPress(captured.device, captured.button) == wxID_OK) {
    ClearDuplicateAssignment(assignments_, captured);
    assignments_[slot] = captured;
  } else {
    assignments_[slot] = ButtonAssignment{};
  }
  RefreshAssignmentCaptions();
}

void CAssignButtonDlg::SaveMonitorOptions() {
  options_.enable_window = monitor_->GetValue() ? 1 : 0;
  options_.enable_vr = monitorVr_->GetValue() ? 1 : 0;
  options_.minimized = minimized_->GetValue() ? 1 : 0;
  platform::WriteProfileInt(kMonitorSection, kMonitorWindowKey, options_.enable_window,
                            platform::kSettingsFile);
  platform::WriteProfileInt(kMonitorSection, kMonitorVrKey, options_.enable_vr,
                            platform::kSettingsFile);
  platform::WriteProfileInt(kStartSection, kStartMinimizedKey, options_.minimized,
                            platform::kSettingsFile);
}

void CAssignButtonDlg::OnCharHook(wxKeyEvent& event) {
  // Without a Cancel button the toolkit would let Esc pass; here it closes, as the close box does.
  if (event.GetKeyCode() == WXK_ESCAPE) {
    EndModal(wxID_CANCEL);
    return;
  }
  event.Skip();
}

}  // namespace app
