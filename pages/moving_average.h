// Smoothing of a pedal's live input over its last few samples.
#pragma once

#include <cstddef>
#include <deque>

namespace pages {

// Keeps at most `window` samples, oldest first; the average is taken over what is held, so the
// first window - 1 averages use fewer samples. The throttle page uses 8, clutch and brake 10.
class MovingAverage {
 public:
  explicit MovingAverage(int window);

  void AddSample(double x);
  // Adds x, then returns the mean of the held samples (0 when the sum is exactly 0).
  double AddSampleAndAverage(double x);

  int Window() const { return window_; }
  const std::deque<double>& Samples() const { return samples_; }

 private:
  int window_;
  std::deque<double> samples_;
};

}  // namespace pages
