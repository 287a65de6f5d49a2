// Check box and radio button marks from the built-in theme's PNG pictures instead of its SVGs.
// The theme draws each mark from an SVG that has a PNG twin of the same pixels at scale 1; the
// SVG alone brings the SVG renderer into the program (some 6 MB), which nothing else here needs.
#pragma once

#include <memory>

namespace app {

// While it lives, marks come from the PNG twins whenever that leaves them looking the same: the
// theme in use is GTK's built-in Adwaita (any variant) and the screen is drawn at scale 1. It
// follows theme and scale changes. Any other theme keeps its own marks. Needs GTK running.
class PngToggleMarks {
 public:
  PngToggleMarks();
  ~PngToggleMarks();

  PngToggleMarks(const PngToggleMarks&) = delete;
  PngToggleMarks& operator=(const PngToggleMarks&) = delete;

  // The PNG marks are in use now.
  bool IsActive() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace app
