// The main window: controls at their dialog-unit places, the start-up layout, timers, the
// connection icon, language switching, the tray and the program's end.
#include "app/main_dialog.h"

#include <cmath>

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>

#include <gtk/gtk.h>

#include "app/app_resources.h"
#include "app/backup/backup_dialogs.h"
#include "app/monitor/monitor_window.h"
#include "app/tray_icon.h"
#include "devlink/device_output.h"
#include "devlink/process.h"
#include "pages/brake_clutch_page.h"
#include "pages/dialog_units.h"
#include "pages/font_static.h"
#include "pages/page_style.h"
#include "pages/throttle_page.h"
#include "platform/ini_file.h"
#include "platform/mci_sound.h"
#include "platform/profile_settings.h"

namespace app {

namespace {

// A two-line caption centred line by line, as a multi-line push button shows it.
void SetButtonText(wxButton& button, const wxString& text) {
  button.SetLabel(text);
  if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(button.GetHandle())); GTK_IS_LABEL(child))
    gtk_label_set_justify(GTK_LABEL(child), GTK_JUSTIFY_CENTER);
}

constexpr const char* kTemplateTitle = "Orvo Zantor Pedals - Test";
constexpr const char* kTrayTip = "Orvo Zantor Pedals";
constexpr int kDefaultBeepVolume = 1000;
// The status label: white, bold and italic.
constexpr std::uint8_t kStatusLabelFlags = pages::kFontBold | pages::kFontItalic;
constexpr int kStatusLabelHeight = 20;

}  // namespace

// The throttle page as the model sees it.
class Vezazivedov_sys_testDlg::ThrottlePort : public ThrottlePagePort {
 public:
  explicit ThrottlePort(pages::CPedalsConfig2Dlg& page) : page_(page) {}
  pages::ThrottleCurveSettings& Settings() override { return page_.Settings(); }
  int CurrentPreset() const override { return page_.CurrentPreset(); }
  void SaveThrottlePreset(int index) override { page_.SaveThrottlePreset(index); }
  void OnPedalInput(double inputPercent) override { page_.OnPedalInput(inputPercent); }

 private:
  pages::CPedalsConfig2Dlg& page_;  // no ownership: a child window of the dialog
};

// The brake page or the clutch page as the model, and backup and restore, see it.
class Vezazivedov_sys_testDlg::PedalPort : public PedalPagePort, public BackupPedalPort {
 public:
  explicit PedalPort(pages::CPedalsConfigDlg& page) : page_(page) {}
  pages::BrakeClutchSettings& Settings() override { return page_.Settings(); }
  void LoadPedalSettings(const pages::BrakeClutchSettings& fromDevice) override {
    page_.LoadPedalSettings(fromDevice);
  }
  void OnPedalInput(double inputPercent) override { page_.OnPedalInput(inputPercent); }

 private:
  pages::CPedalsConfigDlg& page_;  // no ownership: a child window of the dialog
};

class Vezazivedov_sys_testDlg::LinkPort : public DeviceLinkPort {
 public:
  explicit LinkPort(devlink::Process& link) : link_(link) {}
  int GetLivePedalValues(devlink::LivePedalValues& values) override {
    return link_.GetLivePedalValues(values.data());
  }
  bool CopyDeviceConfig(devlink::PedalConfigRecord& record) override {
    return link_.CopyDeviceConfig(&record);
  }
  int SendPedalConfig(const devlink::PedalConfigRecord& record, bool checkBrake, bool checkClutch,
                      bool storeFlag) override {
    return devlink::SendPedalConfig(&record, &link_, checkBrake, checkClutch, storeFlag);
  }

 private:
  devlink::Process& link_;
};

// The pages, the flags and the file dialogs as backup and restore see them.
class Vezazivedov_sys_testDlg::BackupPort : public BackupHost {
 public:
  explicit BackupPort(Vezazivedov_sys_testDlg& dialog) : dialog_(dialog) {}
  const std::string& SettingsFile() const override { return settingsFile_; }
  PedalPresence Presence() const override { return dialog_.model_->Presence(); }
  pages::PageLanguage Language() const override { return dialog_.ShownLanguage(); }
  bool AnyPageDirty() override { return dialog_.model_->AnyPageDirty(); }
  int CurrentThrottlePreset() const override { return dialog_.throttlePage_->CurrentPreset(); }
  void SelectThrottlePreset(int index) override {
    dialog_.throttlePage_->SelectThrottlePreset(index, true);
  }
  BackupPedalPort& BrakePage() override { return *dialog_.brakePort_; }
  BackupPedalPort& ClutchPage() override { return *dialog_.clutchPort_; }
  void ApplyConfigLive() override { dialog_.ApplyConfigLive(); }
  pages::QuestionAnswer AskUnsavedChanges() override {
    return dialog_.AskUnsavedChanges(dialog_.model_->UnsavedQuestion());
  }
  std::optional<std::string> ChooseBackupFileToSave() override {
    return app::ChooseBackupFileToSave(&dialog_);
  }
  std::optional<std::string> ChooseBackupFileToOpen() override {
    return app::ChooseBackupFileToOpen(&dialog_);
  }
  pages::QuestionAnswer AskRestoreIncomplete(const std::string& message) override {
    return app::AskBackupQuestion(&dialog_, message);
  }
  void ShowBackupError(const std::string& message) override {
    app::ShowBackupError(&dialog_, message);
  }

 private:
  Vezazivedov_sys_testDlg& dialog_;  // owns this object
  const std::string settingsFile_ = platform::kSettingsFile;
};

Vezazivedov_sys_testDlg::Vezazivedov_sys_testDlg(CVirtualDisplayDlg* monitor, AppOptionRefs options)
    : wxFrame(nullptr, wxID_ANY, kTemplateTitle, wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX),
      monitor_(monitor),
      options_(options),
      trayIcon_(std::make_unique<CTLWndTrayIcon>()),
      link_(std::make_unique<devlink::Process>()),
      linkPort_(std::make_unique<LinkPort>(*link_)),
      connectedIcon_(LoadAppBitmap(AppImage::kConnected)),
      disconnectedIcon_(LoadAppBitmap(AppImage::kDisconnected)) {
  // GTK redraws the frame under every label that changes; each of those paints asks the frame
  // for its font and colours, and without own ones that is a theme look-up every time.
  SetOwnFont(GetFont());
  SetOwnForegroundColour(GetForegroundColour());
  SetOwnBackgroundColour(GetBackgroundColour());
  CreateControls();
  Bind(wxEVT_TIMER, &Vezazivedov_sys_testDlg::OnTimer, this);
  Bind(wxEVT_CLOSE_WINDOW, &Vezazivedov_sys_testDlg::OnClose, this);
  Bind(wxEVT_CHAR_HOOK, &Vezazivedov_sys_testDlg::OnCharHook, this);
  const auto onButton = [this](int id, auto handler) {
    Bind(
        wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); }, id);
  };
  onButton(kSendConfigId, &Vezazivedov_sys_testDlg::SendConfigClicked);
  onButton(kGetConfigId, &Vezazivedov_sys_testDlg::GetConfigClicked);
  onButton(kLanguageId, &Vezazivedov_sys_testDlg::ToggleLanguage);
  onButton(kBackupId, &Vezazivedov_sys_testDlg::OnBackupPresets);
  onButton(kRestoreId, &Vezazivedov_sys_testDlg::OnRestorePresets);
  onButton(kAssignButtonsId, &Vezazivedov_sys_testDlg::OnAssignButtons);
  onButton(kExitId, &Vezazivedov_sys_testDlg::OnCancel);
}

Vezazivedov_sys_testDlg::~Vezazivedov_sys_testDlg() {
  Shutdown();
  // The pages go before the link and the model they are reached through.
  DestroyChildren();
  throttlePage_ = nullptr;
  brakePage_ = nullptr;
  clutchPage_ = nullptr;
  backupPort_.reset();
  model_.reset();
  link_.reset();
}

void Vezazivedov_sys_testDlg::CreateControls() {
  const pages::DialogUnits units = pages::DialogUnits::For(this);
  SetClientSize(units.Size(kWidthDlu, kHeightDlu));
  client_ = new wxPanel(this, wxID_ANY, wxPoint(0, 0), units.Size(kWidthDlu, kHeightDlu));
  client_->SetBackgroundColour(*wxBLACK);
  client_->SetForegroundColour(*wxWHITE);
  // The template's "MS Shell Dlg" 8; the controls and pages inherit it.
  client_->SetFont(wxFontInfo(pages::kDialogFontPoints).FaceName(pages::kDialogFace));

  const auto button = [&](int id, const char* text, int x, int y, int w, int h) {
    auto* control =
        new wxButton(client_, id, wxString::FromUTF8(text), units.Point(x, y), units.Size(w, h));
    return control;
  };
  sendConfig_ = button(kSendConfigId, "Send Config", 666, 351, 90, 24);
  sendConfig_->SetDefault();
  sendConfig_->Disable();
  getConfig_ = button(kGetConfigId, "Get Config", 570, 351, 90, 24);
  getConfig_->Disable();
  language_ = button(kLanguageId, "Get Config", 642, 30, 54, 18);
  backup_ = button(kBackupId, "BAckup", 9, 351, 66, 24);
  restore_ = button(kRestoreId, "Restore", 78, 351, 66, 24);
  assignButtons_ = button(kAssignButtonsId, "Assign Buttons", 189, 351, 90, 24);
  exit_ = button(kExitId, "Salir", 699, 30, 54, 18);

  statusLabel_ = new pages::CFontStatic(client_, kStatusLabelId,
                                        "Orvo Pedals Connection Status:", units.Point(594, 10),
                                        units.Size(138, 18));
  statusIcon_ = new wxStaticBitmap(client_, kStatusIconId, disconnectedIcon_, units.Point(732, 6),
                                   units.Size(20, 20));

  const auto group = [&](int id, const char* text, int x, int y, int w, int h) {
    auto* box = new wxStaticBox(client_, id, text, units.Point(x, y), units.Size(w, h));
    box->SetForegroundColour(*wxWHITE);
    return box;
  };
  clutchGroup_ = group(kClutchGroupId, "Clutch", 9, 54, 186, 291);
  brakeGroup_ = group(kBrakeGroupId, "Brake", 201, 54, 186, 291);
  throttleGroup_ = group(kThrottleGroupId, "Throttle", 393, 54, 363, 291);

  // The placeholders only mark where the pages go.
  const auto placeholder = [&](int id, int x, int y, int w, int h) {
    auto* frame = new wxWindow(client_, id, units.Point(x, y), units.Size(w, h));
    frame->Hide();
    return frame;
  };
  clutchPlaceholder_ = placeholder(kClutchPlaceholderId, 15, 64, 174, 276);
  brakePlaceholder_ = placeholder(kBrakePlaceholderId, 207, 64, 174, 276);
  throttlePlaceholder_ = placeholder(kThrottlePlaceholderId, 399, 64, 351, 276);

  logo_ =
      new wxStaticBitmap(client_, kLogoId, wxNullBitmap, units.Point(0, 0), units.Size(363, 46));
}

void Vezazivedov_sys_testDlg::Start() {
  // Decoded once: the window and the tray icon share its pixels.
  const wxIcon appIcon = LoadAppIcon(AppImage::kApplication);
  wxIconBundle icons;
  icons.AddIcon(appIcon);
  SetIcons(icons);
  ApplySpanishTexts();
  statusLabel_->SetFontStyle(pages::kPageLabelFace, kStatusLabelHeight, *wxWHITE,
                             kStatusLabelFlags);

  // Both pedals are marked absent before the pages are made; nothing marks them again.
  const PedalPresence presence{false, false};
  clutchGroup_->Hide();
  brakeGroup_->Hide();
  LayOut();
  CreatePages(presence);
  model_->SetPresence(presence);
  ApplySpanishTexts();  // the pages exist now
  ReadButtonAssignments();

  pollTimer_.Start(kPollPeriodMs);
  hotKeyTimer_.Start(kHotKeyPeriodMs);

  if (monitor_ != nullptr) monitor_->Create();

  platform::MciSendString("open \"beep.mp3\" type mpegvideo alias beep");
  const int volume =
      platform::GetPrivateProfileInt("BEEP", "volume", kDefaultBeepVolume, platform::kSettingsFile);
  platform::MciSendString("setaudio beep volume to " + std::to_string(volume));

  trayIcon_->CreateTrayIcon(this, appIcon, kTrayTip, modalBoxes_, [this] { OnCancel(); });

  Centre();
  Show();
  CallAfter(&Vezazivedov_sys_testDlg::ShowAfterInit);
}

void Vezazivedov_sys_testDlg::LayOut() {
  // The template is wider than the window the program shows: the throttle moves left into
  // the brake's place and the window loses a quarter of its width.
  const int width = client_->GetSize().GetWidth();
  const int shift = static_cast<int>(std::trunc(0.122 * width));
  const wxRect clutchPlace = clutchPlaceholder_->GetRect();
  throttlePlaceholder_->SetSize(clutchPlace.x + shift, clutchPlace.y,
                                throttlePlaceholder_->GetSize().GetWidth(), clutchPlace.height);
  const wxRect clutchBox = clutchGroup_->GetRect();
  throttleGroup_->SetSize(clutchBox.x + shift, clutchBox.y, throttleGroup_->GetSize().GetWidth(),
                          clutchBox.height);
  logo_->SetBitmap(LoadAppBitmap(AppImage::kLogo));
  throttleGroup_->Hide();

  const int cut = static_cast<int>(std::trunc(0.25 * width));
  const wxSize client = client_->GetSize();
  SetClientSize(client.GetWidth() - cut, client.GetHeight());
  client_->SetSize(client.GetWidth() - cut, client.GetHeight());
  for (wxWindow* control :
       {static_cast<wxWindow*>(language_), static_cast<wxWindow*>(exit_),
        static_cast<wxWindow*>(statusLabel_), static_cast<wxWindow*>(statusIcon_),
        static_cast<wxWindow*>(getConfig_), static_cast<wxWindow*>(sendConfig_)}) {
    control->Move(control->GetPosition() - wxPoint(cut, 0));
  }
}

void Vezazivedov_sys_testDlg::CreatePages(PedalPresence presence) {
  // Every page is made; the clutch and brake pages are shown only for a pedal marked present.
  const auto place = [](wxWindow& page, const wxWindow& placeholder) {
    page.SetSize(placeholder.GetRect());
    page.Show();
  };
  clutchPage_ = new pages::CPedalsConfigDlg(client_, pages::PedalKind::kClutch);
  if (presence.clutch) place(*clutchPage_, *clutchPlaceholder_);
  brakePage_ = new pages::CPedalsConfigDlg(client_, pages::PedalKind::kBrake);
  if (presence.brake) place(*brakePage_, *brakePlaceholder_);
  throttlePage_ = new pages::CPedalsConfig2Dlg(client_);
  place(*throttlePage_, *throttlePlaceholder_);

  throttlePort_ = std::make_unique<ThrottlePort>(*throttlePage_);
  brakePort_ = std::make_unique<PedalPort>(*brakePage_);
  clutchPort_ = std::make_unique<PedalPort>(*clutchPage_);
  model_ = std::make_unique<MainDialogModel>(*throttlePort_, *brakePort_, *clutchPort_, *linkPort_,
                                             static_cast<MainDialogView&>(*this));
  backupPort_ = std::make_unique<BackupPort>(*this);
}

void Vezazivedov_sys_testDlg::ReadButtonAssignments() {
  assignments_ = app::ReadButtonAssignments(platform::kSettingsFile);
}

void Vezazivedov_sys_testDlg::ShowAfterInit() {
  if (shutDown_) return;
  if (options_.minimized != 0) HideToTray();
  displayTimer_.Start(kDisplayPeriodMs);
}

void Vezazivedov_sys_testDlg::HideToTray() {
  // Without a notification area a hidden window could never be reached again.
  if (CTLWndTrayIcon::IsTrayAvailable()) {
    Hide();
  } else {
    Iconize(true);
  }
}

void Vezazivedov_sys_testDlg::OnTimer(wxTimerEvent& event) {
  if (shutDown_ || !model_) return;
  switch (event.GetId()) {
    case kPollTimer: model_->OnPollTimer(); break;
    case kHotKeyTimer:
      PollHotKeys();
      UpdateSegmentDisplay();
      break;
    case kDisplayTimer: UpdateSegmentDisplay(); break;
    default: event.Skip();
  }
}

void Vezazivedov_sys_testDlg::PollHotKeys() {
  // Timer 2 keeps running under modal windows. The hot keys wait until the window has ended;
  // a key still held then acts.
  if (modalBoxes_.AnyOpen()) return;
  hotKeys_.Tick(assignments_, busy_ != 0, *this);
}

void Vezazivedov_sys_testDlg::UpdateSegmentDisplay() {
  devlink::UpdateSegmentDisplay(model_->BrakeForce(), model_->CurrentPreset());
}

void Vezazivedov_sys_testDlg::OnClose(wxCloseEvent& event) {
  if (event.CanVeto() && !shutDown_) {
    event.Veto();
    HideToTray();
    return;
  }
  // The session is ending: no question can be asked.
  Shutdown();
  Destroy();
}

void Vezazivedov_sys_testDlg::OnCharHook(wxKeyEvent& event) {
  // The pages keep Esc to themselves; here it is the dialog's cancel.
  if (event.GetKeyCode() == WXK_ESCAPE) {
    OnCancel();
    return;
  }
  event.Skip();
}

void Vezazivedov_sys_testDlg::SendConfigClicked() {
  if (model_) model_->OnSendConfig();
}

void Vezazivedov_sys_testDlg::GetConfigClicked() {
  if (model_) model_->OnGetConfig();
}

void Vezazivedov_sys_testDlg::ApplyConfigLive() {
  if (model_ && !shutDown_) model_->ApplyConfigLive();
}

void Vezazivedov_sys_testDlg::OnCancel() {
  if (shutDown_) return;
  if (model_) {
    model_->OnCancel();
  } else {
    EndDialog();
  }
}

void Vezazivedov_sys_testDlg::OnBackupPresets() {
  if (backupPort_) BackupRestore(*backupPort_).OnBackupPresets();
}

void Vezazivedov_sys_testDlg::OnRestorePresets() {
  if (backupPort_) BackupRestore(*backupPort_).OnRestorePresets();
}

void Vezazivedov_sys_testDlg::OnAssignButtons() {
  if (model_ && !shutDown_) app::OnAssignButtons(*this);
}

bool Vezazivedov_sys_testDlg::BrakePresent() const { return model_->Presence().brake; }

void Vezazivedov_sys_testDlg::BrakeForceUp() { brakePage_->BrakeForceUp(); }

void Vezazivedov_sys_testDlg::BrakeForceDown() { brakePage_->BrakeForceDown(); }

int Vezazivedov_sys_testDlg::CurrentPreset() const { return throttlePage_->CurrentPreset(); }

void Vezazivedov_sys_testDlg::SelectPreset(int preset) {
  // The page checks the button, loads the preset, writes [CNF] preset and applies it live
  // through this dialog (send, monitor pop-up, beep), once.
  throttlePage_->SelectThrottlePreset(preset, false);
}

wxString Vezazivedov_sys_testDlg::LanguageButtonCaption() const { return language_->GetLabel(); }

void Vezazivedov_sys_testDlg::StopPollTimers() {
  pollTimer_.Stop();
  hotKeyTimer_.Stop();
}

void Vezazivedov_sys_testDlg::StartPollTimers() {
  // The program may have begun to end while the assignment dialog was open.
  if (shutDown_) return;
  pollTimer_.Start(kPollPeriodMs);
  hotKeyTimer_.Start(kHotKeyPeriodMs);
}

void Vezazivedov_sys_testDlg::ToggleLanguage() {
  ApplyTexts(ToggledLanguage(language_->GetLabel().utf8_string()));
  Refresh();
  Update();
}

void Vezazivedov_sys_testDlg::ApplySpanishTexts() { ApplyTexts(pages::PageLanguage::kSpanish); }

void Vezazivedov_sys_testDlg::ApplyEnglishTexts() { ApplyTexts(pages::PageLanguage::kEnglish); }

pages::PageLanguage Vezazivedov_sys_testDlg::ShownLanguage() const {
  return LanguageShowing(language_->GetLabel().utf8_string());
}

void Vezazivedov_sys_testDlg::ApplyTexts(pages::PageLanguage language) {
  const MainDialogTexts& t = MainDialogTextsFor(language);
  const auto utf8 = [](const char* text) { return wxString::FromUTF8(text); };
  SetTitle(wxString::FromUTF8(DialogCaption(language)));
  SetButtonText(*getConfig_, utf8(t.getConfig));
  SetButtonText(*sendConfig_, utf8(t.sendConfig));
  statusLabel_->SetText(utf8(t.statusLabel));
  throttleGroup_->SetLabel(utf8(t.throttleGroup));
  brakeGroup_->SetLabel(utf8(t.brakeGroup));
  clutchGroup_->SetLabel(utf8(t.clutchGroup));
  if (model_) model_->SetLanguage(language);
  backup_->SetLabel(utf8(t.backup));
  restore_->SetLabel(utf8(t.restore));
  language_->SetLabel(utf8(t.languageButton));
  const auto pageTexts = [language](auto* page) {
    if (page == nullptr) return;  // not made yet
    if (language == pages::PageLanguage::kSpanish) {
      page->SetSpanishTexts();
    } else {
      page->SetEnglishTexts();
    }
  };
  pageTexts(throttlePage_);
  pageTexts(brakePage_);
  pageTexts(clutchPage_);
  assignButtons_->SetLabel(utf8(t.assignButtons));
  trayIcon_->SetItemTexts(utf8(t.trayOpen), utf8(t.trayExit));
  exit_->SetLabel(utf8(t.exit));
}

void Vezazivedov_sys_testDlg::ShowConnected(bool connected) {
  statusIcon_->SetBitmap(connected ? connectedIcon_ : disconnectedIcon_);
  sendConfig_->Enable(connected);
  getConfig_->Enable(connected);
}

pages::QuestionAnswer Vezazivedov_sys_testDlg::AskUnsavedChanges(const std::string& question) {
  wxMessageDialog box(this, wxString::FromUTF8(question), pages::kQuestionCaption,
                      wxYES_NO | wxICON_EXCLAMATION);
  switch (box.ShowModal()) {
    case wxID_YES: return pages::QuestionAnswer::kYes;
    case wxID_NO: return pages::QuestionAnswer::kNo;
    default: return pages::QuestionAnswer::kClosed;
  }
}

void Vezazivedov_sys_testDlg::ShowNotSent(const std::string& message) {
  wxMessageDialog box(this, wxString::FromUTF8(message), pages::kQuestionCaption,
                      wxOK | wxICON_WARNING);
  box.ShowModal();
}

void Vezazivedov_sys_testDlg::ShowMonitorPopup(int brakeForce, int preset) {
  if (monitor_ != nullptr) monitor_->ShowMonitorPopup(brakeForce, preset);
}

void Vezazivedov_sys_testDlg::PlayBeep() { platform::MciSendString("play beep from 0"); }

void Vezazivedov_sys_testDlg::EndDialog() {
  Shutdown();
  Destroy();
}

bool Vezazivedov_sys_testDlg::AnyTimerRunning() const {
  return pollTimer_.IsRunning() || hotKeyTimer_.IsRunning() || displayTimer_.IsRunning();
}

void Vezazivedov_sys_testDlg::StopTimers() {
  pollTimer_.Stop();
  hotKeyTimer_.Stop();
  displayTimer_.Stop();
}

void Vezazivedov_sys_testDlg::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  // Nothing may tick into the pages, the monitor or the link once they start to go.
  StopTimers();
  devlink::BlankSegmentDisplay();
  if (monitor_ != nullptr) monitor_->DestroyWindow();
  trayIcon_->RemoveIcon();
}

}  // namespace app
