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
  t.Fill([&](const char* entryPoint) { return platform::GetProcAddress(t.module, entryPoint); });
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
