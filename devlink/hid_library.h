// The HID access library (libmcHID.so), loaded once at run time and reached through a table.
#pragma once

#include <string>

#include "hid/mchid_entry_points.h"
#include "platform/dynamic_library.h"

namespace devlink {

inline constexpr const char* kHidLibraryName = "libmcHID.so";

// The twenty entry points, in the order they are looked up. Only Connect, Disconnect, Read,
// WriteEx, GetHandle, GetVendorID, GetProductID and SetReadNotify are called; a library that
// lacks any of those is not used. The other twelve may be null.
struct HidLibraryTable : orvo::hid::McHidEntryPoints {
  platform::ModuleHandle module = nullptr;

  bool operator==(const HidLibraryTable&) const = default;
};

// Loads the named library into table. @returns 0 when it is usable, 1 when it cannot be loaded
// or lacks a called entry point; the library is then released and table left empty.
int LoadHidLibraryTable(const std::string& name, HidLibraryTable& table);

// Loads libmcHID.so on the first call and registers FreeHidLibrary to run at exit.
// @returns 0 when the library is usable, 1 when not; later calls never load again, so the table
// never changes under a running link: they return the first result, or 1 once released.
int LoadHidLibrary();

// The loaded table, or nullptr when the library is not usable or has been released.
const HidLibraryTable* HidLibrary();

// Releases the library and empties the table. While a link still runs (HidLibraryUse) the
// module stays mapped, because its thread may be inside it. Later loads do not load again.
void FreeHidLibrary();

// Held by each running device link, from before its thread starts until after it is joined.
class HidLibraryUse {
 public:
  HidLibraryUse();
  ~HidLibraryUse();
  HidLibraryUse(const HidLibraryUse&) = delete;
  HidLibraryUse& operator=(const HidLibraryUse&) = delete;
};

}  // namespace devlink
