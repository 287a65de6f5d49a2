// One load of the HID access library per process, and its release at exit.
#include "devlink/hid_library.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace devlink {
namespace {

std::mutex libraryMutex;
bool loadAttempted = false;   // guarded by libraryMutex
HidLibraryTable loadedTable;  // written only under libraryMutex, before and after any link runs
bool usable = false;          // guarded by libraryMutex
int runningLinks = 0;         // guarded by libraryMutex

template <typename Fn>
void Look(platform::ModuleHandle module, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(platform::GetProcAddress(module, name));
}

void FreeAtExit() { FreeHidLibrary(); }

}  // namespace

int LoadHidLibraryTable(const std::string& name, HidLibraryTable& table) {
  table = HidLibraryTable{};
  HidLibraryTable t;
  t.module = platform::LoadLibrary(name);
  if (t.module == nullptr) {
    std::fprintf(stderr, "orvo: cannot load %s, running with no device: %s\n", name.c_str(),
                 platform::LastLibraryError().c_str());
    return 1;
  }
  Look(t.module, "Connect", t.Connect);
  Look(t.module, "Disconnect", t.Disconnect);
  Look(t.module, "GetItem", t.GetItem);
  Look(t.module, "GetItemCount", t.GetItemCount);
  Look(t.module, "Read", t.Read);
  Look(t.module, "Write", t.Write);
  Look(t.module, "ReadEx", t.ReadEx);
  Look(t.module, "WriteEx", t.WriteEx);
  Look(t.module, "GetHandle", t.GetHandle);
  Look(t.module, "GetVendorID", t.GetVendorID);
  Look(t.module, "GetProductID", t.GetProductID);
  Look(t.module, "GetVersion", t.GetVersion);
  Look(t.module, "GetVendorName", t.GetVendorName);
  Look(t.module, "GetProductName", t.GetProductName);
  Look(t.module, "GetSerialNumber", t.GetSerialNumber);
  Look(t.module, "GetInputReportLength", t.GetInputReportLength);
  Look(t.module, "GetOutputReportLength", t.GetOutputReportLength);
  Look(t.module, "SetReadNotify", t.SetReadNotify);
  Look(t.module, "IsReadNotifyEnabled", t.IsReadNotifyEnabled);
  Look(t.module, "IsAvailable", t.IsAvailable);
  const bool complete = t.Connect && t.Disconnect && t.Read && t.WriteEx && t.GetHandle &&
                        t.GetVendorID && t.GetProductID && t.SetReadNotify;
  if (!complete) {
    std::fprintf(stderr, "orvo: %s lacks an entry point that is needed, running with no device\n",
                 name.c_str());
    platform::FreeLibrary(t.module);
    return 1;
  }
  table = t;
  return 0;
}

int LoadHidLibrary() {
  std::lock_guard<std::mutex> hold(libraryMutex);
  if (!loadAttempted) {
    loadAttempted = true;
    usable = LoadHidLibraryTable(kHidLibraryName, loadedTable) == 0;
    if (usable) std::atexit(FreeAtExit);
  }
  return usable ? 0 : 1;
}

const HidLibraryTable* HidLibrary() {
  std::lock_guard<std::mutex> hold(libraryMutex);
  return usable ? &loadedTable : nullptr;
}

void FreeHidLibrary() {
  std::lock_guard<std::mutex> hold(libraryMutex);
  if (!usable) return;
  usable = false;
  // A link still running may be inside the library or reading the table; the process is
  // ending, so leave both as they are.
  if (runningLinks > 0) return;
  platform::FreeLibrary(loadedTable.module);
  loadedTable = HidLibraryTable{};
}

HidLibraryUse::HidLibraryUse() {
  std::lock_guard<std::mutex> hold(libraryMutex);
  ++runningLinks;
}

HidLibraryUse::~HidLibraryUse() {
  std::lock_guard<std::mutex> hold(libraryMutex);
  --runningLinks;
}

}  // namespace devlink
