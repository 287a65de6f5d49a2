// Test seam of the INI writer: lets a test fail a write at its most delicate point. Not part
// of the public INI interface.
#pragma once

#include <string>

namespace platform::ini {

// Called once the temporary file beside the target is complete (written, still open) and
// before it replaces the target. Returning false makes the write fail there.
using BeforeReplaceHook = bool (*)(const std::string& temporaryPath);

// Installs the hook for every later write in the process; nullptr removes it.
void SetBeforeReplaceHook(BeforeReplaceHook hook);

}  // namespace platform::ini
