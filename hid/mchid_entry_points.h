// The twenty entry points of mchid.h as one table of function pointers, filled by name: the
// device link's loader and the library's tests both load libmcHID.so through it.
#pragma once

#include <string>

#include "hid/mchid.h"

// Every entry point once, in the order a loader looks them up: X(name) for each.
// clang-format off
#define MCHID_ENTRY_POINTS(X)                                                                   \
  X(Connect) X(Disconnect) X(GetItem) X(GetItemCount) X(Read) X(Write) X(ReadEx) X(WriteEx)    \
  X(GetHandle) X(GetVendorID) X(GetProductID) X(GetVersion) X(GetVendorName) X(GetProductName) \
  X(GetSerialNumber) X(GetInputReportLength) X(GetOutputReportLength) X(SetReadNotify)         \
  X(IsReadNotifyEnabled) X(IsAvailable)
// clang-format on

namespace orvo::hid {

struct McHidEntryPoints {
#define ORVO_MCHID_MEMBER(name) decltype(&::name) name = nullptr;
  MCHID_ENTRY_POINTS(ORVO_MCHID_MEMBER)
#undef ORVO_MCHID_MEMBER

  // Sets every entry point to lookup(name), the symbol's address or nullptr, in lookup order.
  // @returns the names of the entry points left null, separated by single spaces.
  template <typename Lookup>
  std::string Fill(Lookup&& lookup) {
    std::string missing;
#define ORVO_MCHID_FILL(name)                             \
  name = reinterpret_cast<decltype(name)>(lookup(#name)); \
  if (name == nullptr) missing += std::string(missing.empty() ? "" : " ") + #name;
    MCHID_ENTRY_POINTS(ORVO_MCHID_FILL)
#undef ORVO_MCHID_FILL
    return missing;
  }

  bool operator==(const McHidEntryPoints&) const = default;
};

}  // namespace orvo::hid
