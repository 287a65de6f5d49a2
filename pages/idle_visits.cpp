#include "pages/idle_visits.h"

namespace pages {

bool IdleVisits::Due(bool shown, Clock::time_point now) {
  if (!shown) {
    wasShown_ = false;
    return false;
  }
  if (wasShown_ && now - last_ < kInterval) return false;
  wasShown_ = true;
  last_ = now;
  return true;
}

}  // namespace pages
