// The keys of the pedal pages' curve settings.
#include "pages/page_curve_settings.h"

namespace pages {

std::string CurvePointKey(int inputPercent) { return "band_" + std::to_string(inputPercent); }

}  // namespace pages
