// Whether one of the program's modal windows is open: message boxes, questions, file and print
// dialogs, the assignment dialogs. Every one of them, also those of the chart, runs its modal
// loop through the toolkit's modal hook, which this watch counts.
#pragma once

#include <wx/modalhook.h>

namespace app {

class ModalBoxWatch : private wxModalDialogHook {
 public:
  ModalBoxWatch();
  ~ModalBoxWatch() override;
  ModalBoxWatch(const ModalBoxWatch&) = delete;
  ModalBoxWatch& operator=(const ModalBoxWatch&) = delete;

  // True from the moment a modal window is about to show until it has ended.
  bool AnyOpen() const { return open_ > 0; }

 private:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog* dialog) override;

  int open_ = 0;  // modal loops can nest: a question over a file dialog
};

}  // namespace app
