// Moving average of the live pedal input.
#include "pages/moving_average.h"

namespace pages {

MovingAverage::MovingAverage(int window) : window_(window) {}

void MovingAverage::AddSample(double x) {
  samples_.push_back(x);
  while (samples_.size() > static_cast<std::size_t>(window_ < 0 ? 0 : window_)) {
    samples_.pop_front();
  }
}

double MovingAverage::AddSampleAndAverage(double x) {
  AddSample(x);
  // long double keeps the sum of many 16-bit-derived percentages exact enough to compare with 0.
  long double sum = 0;
  for (double s : samples_) sum += s;
  if (samples_.empty() || sum == 0) return 0.0;
  return static_cast<double>(sum / static_cast<long double>(samples_.size()));
}

}  // namespace pages
