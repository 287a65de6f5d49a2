// How often idle-time work may visit a page: at once when it shows, then once per interval.
#include "pages/idle_visits.h"

#include <gtest/gtest.h>

namespace pages {
namespace {

using std::chrono::milliseconds;

TEST(IdleVisitsTest, ShownPageIsVisitedAtOnceThenAtMostEveryInterval) {
  struct Pass {
    int atMs;
    bool shown;
    bool due;
  };
  const Pass passes[] = {
      {0, false, false},                        // hidden: never
      {5, true, true},                          // just shown: at once
      {6, true, false},    {54, true, false},   // within the interval
      {55, true, true},                         // an interval after the last visit
      {60, true, false},   {104, true, false},  // within the interval
      {106, true, true},                        // an interval after the last visit
      {107, false, false},                      // hidden
      {108, true, true},   {109, true, false},  // shown again: at once, then not
  };
  IdleVisits visits;
  const IdleVisits::Clock::time_point start{};
  for (const Pass& pass : passes) {
    SCOPED_TRACE(pass.atMs);
    EXPECT_EQ(visits.Due(pass.shown, start + milliseconds(pass.atMs)), pass.due);
  }
}

}  // namespace
}  // namespace pages
