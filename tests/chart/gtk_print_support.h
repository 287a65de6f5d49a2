// Printing through the desktop's own (GTK) printer into a PDF file, with its print dialog
// answered from the keyboard as a person would: the page range typed into "Pages:", then Print.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include <wx/cmndata.h>
#include <wx/gtk/print.h>
#include <wx/timer.h>

#include "tests/support/window_test.h"

namespace chart::test {

// Points data at GTK's "Print to File" printer, writing a PDF to path.
inline void PrintToPdfFile(wxPrintData& data, const std::string& path) {
  data.SetPrinterName("Print to File");
  auto* native = dynamic_cast<wxGtkPrintNativeData*>(data.GetNativeData());
  if (!native) return;
  GtkPrintSettings* settings = native->GetPrintConfig();
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  g_free(uri);
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
}

// Answers the print dialog once it shows: chooses "Pages:", types range ("2-3") and presses
// Print. The screen as the dialog first shows is kept as <ORVO_SCREENSHOT_DIR>/<shot>.png when
// that variable is set. The dialog fills its printer list a while after it shows, and Print
// does nothing until then, so the answer is given again while the dialog stays; after many
// tries the dialog is cancelled, and the print fails instead of waiting for ever.
class PrintDialogAnswer : public wxTimer {
 public:
  PrintDialogAnswer(const std::string& range, const std::string& shot) : screenshot_(shot) {
    // xdotool's key names: "2-3" is 2 minus 3.
    for (const char c : range) {
      keys_ += c == '-' ? " minus" : c == ',' ? " comma" : " " + std::string(1, c);
    }
    Start(700);
  }
  void Notify() override {
    const std::string id = FindVisibleWindow("Print");
    if (id.empty()) {
      shown_ = false;
      return;
    }
    if (!shown_) {  // one tick for the window to settle
      shown_ = true;
      return;
    }
    if (tries_ == 0) SaveScreenshot(screenshot_);
    const std::string keys =
        ++tries_ > kMaxTries ? std::string("Escape") : "alt+e ctrl+a" + keys_ + " alt+p";
    // Without a window manager nothing gives the dialog the keyboard.
    Shell("xdotool windowfocus --sync " + id + " key --clearmodifiers --delay 40 " + keys +
          " >/dev/null 2>&1");
  }

 private:
  static constexpr int kMaxTries = 40;
  std::string screenshot_;
  std::string keys_;
  bool shown_ = false;
  int tries_ = 0;
};

}  // namespace chart::test
