// The modal-window count behind the hot keys' pause and the tray's held-back exit.
#include "app/modal_boxes.h"

#include <wx/defs.h>

namespace app {

ModalBoxWatch::ModalBoxWatch() { Register(); }

ModalBoxWatch::~ModalBoxWatch() { Unregister(); }

int ModalBoxWatch::Enter(wxDialog*) {
  ++open_;
  return wxID_NONE;  // let the window show
}

void ModalBoxWatch::Exit(wxDialog*) {
  if (open_ > 0) --open_;
}

}  // namespace app
