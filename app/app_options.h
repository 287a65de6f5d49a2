// The application's options in the settings file: [MONITOR], which the application reads at
// start, the button assignment rewrites and the monitor window keeps its place under, and
// [START]. Includes nothing, so that every folder of the application may include it.
#pragma once

namespace app {

inline constexpr char kMonitorSection[] = "MONITOR";
inline constexpr char kMonitorWindowKey[] = "enable_window";  // the monitor pop-up shows
inline constexpr char kMonitorVrKey[] = "enable_vr";
// The pop-up's place on the screen.
inline constexpr char kMonitorXKey[] = "x";
inline constexpr char kMonitorYKey[] = "y";

inline constexpr char kStartSection[] = "START";
inline constexpr char kStartMinimizedKey[] = "minimized";  // the main window starts minimised

}  // namespace app
