// Finds a page's owner through its window ancestors.
#include "pages/page_owner.h"

#include <wx/window.h>

namespace pages {

PageOwner* FindPageOwner(wxWindow* page) {
  for (wxWindow* w = page ? page->GetParent() : nullptr; w != nullptr; w = w->GetParent()) {
    if (auto* owner = dynamic_cast<PageOwner*>(w)) return owner;
  }
  return nullptr;
}

void ApplyConfigLiveInOwner(wxWindow* page) {
  if (PageOwner* owner = FindPageOwner(page)) owner->ApplyConfigLive();
}

}  // namespace pages
