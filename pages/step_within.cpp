// The step buttons' limit rule.
#include "pages/step_within.h"

namespace pages {

template <typename T>
T StepWithin(T value, T delta, T low, T high) {
  const T moved = static_cast<T>(value + delta);
  if (delta > 0 && moved > high) return high;
  if (delta < 0 && moved < low) return low;
  return moved;
}

template int StepWithin<int>(int, int, int, int);
template float StepWithin<float>(float, float, float, float);

}  // namespace pages
