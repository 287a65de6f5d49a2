// A libmcHID.so that loads but lacks WriteEx is not used: the system runs with no device.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "devlink/device_output.h"
#include "devlink/hid_library.h"
#include "devlink/process.h"

namespace devlink {
namespace {

TEST(IncompleteLibrary, LibraryLackingACalledEntryPointIsNotUsed) {
  EXPECT_EQ(LoadHidLibrary(), 1);
  EXPECT_EQ(HidLibrary(), nullptr);
  EXPECT_EQ(LoadHidLibrary(), 1);
  // Released again at once: nothing of it stays in the process.
  EXPECT_EQ(dlopen(kHidLibraryName, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(IncompleteLibrary, TableLoaderRefusesAndEmptiesTheTable) {
  HidLibraryTable table;
  table.module = &table;  // stale content must not survive
  EXPECT_EQ(LoadHidLibraryTable(kHidLibraryName, table), 1);
  EXPECT_EQ(table, HidLibraryTable{});
  EXPECT_EQ(LoadHidLibraryTable("libno-such-hid-library.so", table), 1);
  EXPECT_EQ(table, HidLibraryTable{});
}

TEST(IncompleteLibrary, LinkRunsWithNoDevice) {
  Process link;
  EXPECT_EQ(link.State(), kLinkRunning);
  std::int32_t values[6];
  EXPECT_EQ(link.GetLivePedalValues(values), -1);
  PedalConfigRecord record;
  EXPECT_EQ(SendPedalConfig(&record, &link, true, true, true), -1);
  UpdateSegmentDisplay(75, 0);  // no library: nothing to send to, and no crash
  BlankSegmentDisplay();
}

}  // namespace
}  // namespace devlink
