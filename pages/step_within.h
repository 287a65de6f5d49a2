// The limit rule of the pages' step buttons.
#pragma once

namespace pages {

// value moved by delta, with only the side it moved towards limited: above high after a step
// up gives high, below low after a step down gives low. So a value that came out of range from
// elsewhere (a file, the controller) is pulled back one click at a time from the other side.
// Defined for int and float.
template <typename T>
T StepWithin(T value, T delta, T low, T high);

}  // namespace pages
