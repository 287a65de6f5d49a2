// The exception the chart core throws for a bad argument (a series without a name, a screen
// transform with a zero or non-finite scale, an empty point run).
#pragma once

#include <stdexcept>

namespace chart {

class ChartArgumentError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

}  // namespace chart
