// Run-time library loading: symbols resolve and run, every failure says why.
#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace platform;

TEST(DynamicLibraryTest, LoadsResolvesCallsAndFrees) {
  ModuleHandle libm = LoadLibrary("libm.so.6");
  ASSERT_NE(libm, nullptr) << LastLibraryError();
  EXPECT_EQ(LastLibraryError(), "");
  auto cosine = reinterpret_cast<double (*)(double)>(GetProcAddress(libm, "cos"));
  ASSERT_NE(cosine, nullptr) << LastLibraryError();
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_EQ(LastLibraryError(), "");
}

TEST(DynamicLibraryTest, FailuresReturnNullAndExplain) {
  EXPECT_EQ(LoadLibrary("libno-such-library-here.so"), nullptr);
  EXPECT_NE(LastLibraryError().find("libno-such-library-here.so"), std::string::npos)
      << LastLibraryError();

  // An empty name must not hand back the program itself.
  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_NE(LastLibraryError(), "");

  ModuleHandle libm = LoadLibrary("libm.so.6");
  ASSERT_NE(libm, nullptr);
  EXPECT_EQ(GetProcAddress(libm, "NoSuchEntryPoint"), nullptr);
  EXPECT_NE(LastLibraryError().find("NoSuchEntryPoint"), std::string::npos) << LastLibraryError();
  EXPECT_EQ(GetProcAddress(libm, nullptr), nullptr);
  EXPECT_NE(LastLibraryError(), "");
  EXPECT_TRUE(FreeLibrary(libm));

  EXPECT_EQ(GetProcAddress(nullptr, "cos"), nullptr);
  EXPECT_NE(LastLibraryError(), "");
  EXPECT_FALSE(FreeLibrary(nullptr));
  EXPECT_NE(LastLibraryError(), "");
}

TEST(DynamicLibraryTest, ErrorTextBelongsToTheCallingThread) {
  ASSERT_EQ(LoadLibrary("libno-such-library-here.so"), nullptr);
  std::string otherThreadError = "unset";
  std::thread other([&] { otherThreadError = LastLibraryError(); });
  other.join();
  EXPECT_EQ(otherThreadError, "");
  EXPECT_NE(LastLibraryError(), "");
}

}  // namespace
