// What the table tests of the pages share: the name of a case, and the curve evaluation case
// of both pages with how it prints and how it is checked.
#pragma once

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "pages/live_input.h"

namespace page_test {

using namespace pages;

// Names each case of a table after its name member.
struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

struct EvaluateCase {
  const char* name;
  int dz0;
  int dz1;
  bool shaped;  // the test file's own curve instead of the identity
  double input;
  double scaled;
  double output;
};

inline void PrintTo(const EvaluateCase& c, std::ostream* os) {
  *os << "dz_0 " << c.dz0 << ", dz_1 " << c.dz1 << (c.shaped ? ", shaped" : ", identity")
      << ", input " << c.input << " gives scaled " << c.scaled << " and output " << c.output;
}

// Evaluates settings, with the case's dead zones, at the case's input.
template <typename Settings>
void ExpectEvaluates(Settings settings, const EvaluateCase& c, double outputTolerance) {
  settings.dz_0 = c.dz0;
  settings.dz_1 = c.dz1;
  const PageCurveValue v = EvaluateCurve(settings, c.input);
  EXPECT_NEAR(v.scaledInput, c.scaled, 1e-9);
  EXPECT_NEAR(v.output, c.output, outputTolerance);
}

}  // namespace page_test
