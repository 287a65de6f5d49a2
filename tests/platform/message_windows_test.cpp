// Message windows: classes, queues across threads, the close/destroy/quit road, no blocking on gone
// windows.
#include "platform/message_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

using namespace platform;

constexpr std::uint32_t kNotify = 0x80C8;

// Window procedures are plain functions, so what they see is kept here.
struct ProcLog {
  std::mutex mutex;
  std::vector<Message> seen;
  void Add(WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    std::lock_guard lock(mutex);
    seen.push_back(Message{w, m, wp, lp});
  }
  std::vector<std::uint32_t> Kinds() {
    std::lock_guard lock(mutex);
    std::vector<std::uint32_t> kinds;
    for (const auto& m : seen) kinds.push_back(m.message);
    return kinds;
  }
  void Clear() {
    std::lock_guard lock(mutex);
    seen.clear();
  }
};
ProcLog procLog;

// Behaves like the device link's hidden window: WM_DESTROY posts the quit message.
std::intptr_t QuitOnDestroyProc(WindowHandle w, std::uint32_t m, std::uintptr_t wp,
                                std::intptr_t lp) {
  procLog.Add(w, m, wp, lp);
  if (m == WM_DESTROY) {
    PostQuitMessage(7);
    return 0;
  }
  if (m == kNotify) return 42;
  return DefWindowProc(w, m, wp, lp);
}

// Leaves everything to the default handling: WM_DESTROY posts nothing.
std::intptr_t DefaultProc(WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
  procLog.Add(w, m, wp, lp);
  return DefWindowProc(w, m, wp, lp);
}

class MessageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    procLog.Clear();
    ASSERT_TRUE(RegisterClass("quitClass", QuitOnDestroyProc));
    ASSERT_TRUE(RegisterClass("defaultClass", DefaultProc));
  }
  void TearDown() override {
    // Leave no quit flag behind for the next test on this thread.
    Message m;
    if (IsWindow(window)) DestroyWindow(window);
    PostQuitMessage(0);
    while (GetMessage(&m, 0, 0, 0) != 0) {
    }
  }
  WindowHandle window = 0;
};

TEST_F(MessageWindowTest, ClassRegistrationRules) {
  EXPECT_FALSE(RegisterClass("", DefaultProc));
  EXPECT_FALSE(RegisterClass("nullProcClass", nullptr));
  // Same name with the same procedure again: the link registers once per start.
  EXPECT_TRUE(RegisterClass("quitClass", QuitOnDestroyProc));
  EXPECT_FALSE(RegisterClass("quitClass", DefaultProc));
  EXPECT_EQ(CreateWindow("noSuchClass", "x"), 0u);
  EXPECT_EQ(CreateWindow("nullProcClass", "x"), 0u);

  window = CreateWindow("quitClass", "orvopedalsSys");
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetWindowTitle(window), "orvopedalsSys");
  EXPECT_TRUE(ShowWindow(window, 0));
  EXPECT_TRUE(UpdateWindow(window));
  EXPECT_FALSE(IsWindow(0));
  EXPECT_FALSE(ShowWindow(0, 0));
  EXPECT_EQ(GetWindowTitle(window + 1000000), "");
}

TEST_F(MessageWindowTest, PostsFromOtherThreadsArriveInOrderAndDispatch) {
  window = CreateWindow("quitClass", "w");
  ASSERT_NE(window, 0u);
  constexpr int kThreads = 4;
  constexpr int kPerThread = 2000;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([this, t] {
      for (int i = 0; i < kPerThread; ++i) ASSERT_TRUE(PostMessage(window, kNotify, t, i));
    });
  }
  std::vector<std::intptr_t> next(kThreads, 0);
  Message m;
  for (int n = 0; n < kThreads * kPerThread; ++n) {
    ASSERT_EQ(GetMessage(&m, window, 0, 0), 1);
    ASSERT_EQ(m.window, window);
    ASSERT_EQ(m.message, kNotify);
    ASSERT_LT(m.wParam, static_cast<std::uintptr_t>(kThreads));
    // Each poster's messages keep their order; nothing is lost or doubled.
    ASSERT_EQ(m.lParam, next[m.wParam]++);
  }
  for (auto& p : posters) p.join();
  EXPECT_EQ(DispatchMessage(&m), 42);
  EXPECT_EQ(procLog.seen.back().lParam, kPerThread - 1);
}

TEST_F(MessageWindowTest, CloseFromAnotherThreadDestroysThenQuits) {
  window = CreateWindow("quitClass", "w");
  ASSERT_NE(window, 0u);
  std::thread closer([this] { EXPECT_TRUE(PostMessage(window, WM_CLOSE, 0, 0)); });
  Message m;
  int result;
  while ((result = GetMessage(&m, window, 0, 0)) > 0) {
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  closer.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.window, 0u);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(procLog.Kinds(), (std::vector<std::uint32_t>{WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(PostMessage(window, kNotify, 1, 0));
}

TEST_F(MessageWindowTest, DestroyedWindowRefusesPostsAndDropsQueuedMessages) {
  window = CreateWindow("defaultClass", "w");
  ASSERT_TRUE(PostMessage(window, kNotify, 1, 0));
  ASSERT_TRUE(PostMessage(window, kNotify, 2, 0));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(procLog.Kinds(), std::vector<std::uint32_t>{WM_DESTROY});
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_FALSE(PostMessage(window, kNotify, 3, 0));
  EXPECT_FALSE(PostMessage(0, kNotify, 3, 0));
  EXPECT_EQ(DispatchMessage(nullptr), 0);
  Message stale{window, kNotify, 1, 0};
  EXPECT_EQ(DispatchMessage(&stale), 0);
  // The two messages queued before the destruction never come out.
  PostQuitMessage(3);
  Message m;
  EXPECT_EQ(GetMessage(&m, 0, 0, 0), 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(MessageWindowTest, PostMessagesQueuesEachCopyInOrderBehindEarlierPosts) {
  window = CreateWindow("defaultClass", "w");
  ASSERT_TRUE(PostMessage(window, kNotify, 1, 0));
  ASSERT_TRUE(PostMessages(window, kNotify, 2, 5, 3));
  ASSERT_TRUE(PostMessages(window, kNotify, 3, 0, 0)) << "nothing to post on a live window";
  ASSERT_TRUE(PostMessage(window, kNotify, 4, 0));
  PostQuitMessage(0);
  std::vector<std::uintptr_t> order;
  Message m;
  while (GetMessage(&m, 0, 0, 0) > 0) {
    EXPECT_EQ(m.window, window);
    if (m.wParam == 2) EXPECT_EQ(m.lParam, 5);
    order.push_back(m.wParam);
  }
  EXPECT_EQ(order, (std::vector<std::uintptr_t>{1, 2, 2, 2, 4}));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(PostMessages(window, kNotify, 1, 0, 2));
  EXPECT_FALSE(PostMessages(0, kNotify, 1, 0, 2));
}

TEST_F(MessageWindowTest, HandlesAreNeverReused) {
  std::set<WindowHandle> handles;
  for (int i = 0; i < 200; ++i) {
    WindowHandle w = CreateWindow("defaultClass", "w");
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(handles.insert(w).second) << "handle " << w << " came back";
    ASSERT_TRUE(DestroyWindow(w));
  }
}

TEST_F(MessageWindowTest, GetMessageOnAWindowThatCannotDeliverReturnsAtOnce) {
  WindowHandle gone = CreateWindow("defaultClass", "w");
  ASSERT_TRUE(DestroyWindow(gone));
  WindowHandle foreign = 0;
  std::thread other([&] { foreign = CreateWindow("defaultClass", "theirs"); });
  other.join();
  std::atomic<WindowHandle> elsewhere{0};
  std::atomic<bool> release{false};
  std::thread owner([&] {
    elsewhere = CreateWindow("defaultClass", "alive elsewhere");
    while (!release) std::this_thread::yield();
  });
  while (!IsWindow(elsewhere)) std::this_thread::yield();

  Message m;
  for (WindowHandle filter : {gone, foreign, elsewhere.load(), WindowHandle{0xdeadbeef}}) {
    EXPECT_EQ(GetMessage(&m, filter, 0, 0), -1) << "filter " << filter;
  }
  EXPECT_EQ(GetMessage(nullptr, 0, 0, 0), -1);
  // The window of a thread that ended went with it.
  EXPECT_FALSE(IsWindow(foreign));
  EXPECT_FALSE(PostMessage(foreign, kNotify, 0, 0));
  // A quit already pending is still delivered whatever the filter.
  PostQuitMessage(5);
  EXPECT_EQ(GetMessage(&m, gone, 0, 0), 0);
  EXPECT_EQ(m.wParam, 5u);
  release = true;
  owner.join();
}

TEST_F(MessageWindowTest, WaitingLoopEndsWhenItsWindowIsClosedWithoutQuit) {
  // The window's procedure posts no quit: the loop must still end once the window is gone.
  std::atomic<WindowHandle> loopWindow{0};
  std::atomic<int> lastResult{99};
  std::thread link([&] {
    WindowHandle w = CreateWindow("defaultClass", "w");
    loopWindow = w;
    Message m;
    int r;
    while ((r = GetMessage(&m, w, 0, 0)) > 0) DispatchMessage(&m);
    lastResult = r;
  });
  while (loopWindow == 0) std::this_thread::yield();
  EXPECT_TRUE(PostMessage(loopWindow, kNotify, 4, 0));
  EXPECT_TRUE(PostMessage(loopWindow, WM_CLOSE, 0, 0));
  link.join();
  EXPECT_EQ(lastResult, -1);
  EXPECT_EQ(procLog.Kinds(), (std::vector<std::uint32_t>{kNotify, WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(DestroyWindow(loopWindow));
}

TEST_F(MessageWindowTest, OnlyTheOwnerThreadDestroys) {
  window = CreateWindow("defaultClass", "w");
  bool destroyedElsewhere = true;
  std::thread other([&] { destroyedElsewhere = DestroyWindow(window); });
  other.join();
  EXPECT_FALSE(destroyedElsewhere);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(MessageWindowTest, FiltersByWindowAndRangeButQuitAlwaysPasses) {
  window = CreateWindow("defaultClass", "first");
  WindowHandle second = CreateWindow("defaultClass", "second");
  ASSERT_TRUE(PostMessage(window, kNotify, 1, 0));
  ASSERT_TRUE(PostMessage(second, WM_APP + 1, 2, 0));
  ASSERT_TRUE(PostMessage(second, kNotify, 3, 0));
  Message m;
  ASSERT_EQ(GetMessage(&m, second, kNotify, kNotify), 1);
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_EQ(GetMessage(&m, second, 0, 0), 1);
  EXPECT_EQ(m.wParam, 2u);
  // Posted messages that the filter takes come before a pending quit, the others stay queued.
  PostQuitMessage(1);
  EXPECT_EQ(GetMessage(&m, second, WM_APP, WM_APP), 0);
  EXPECT_EQ(m.message, WM_QUIT);
  ASSERT_EQ(GetMessage(&m, 0, 0, 0), 1);
  EXPECT_EQ(m.window, window);
  EXPECT_TRUE(DestroyWindow(second));
}

// The device link's life: a thread registers, creates, loops; the UI thread closes it while a
// notifying thread keeps posting. Done many times in one process.
TEST_F(MessageWindowTest, LinkStyleThreadStartsAndStopsRepeatedly) {
  for (int round = 0; round < 100; ++round) {
    std::atomic<bool> started{false};
    std::atomic<WindowHandle> linkWindow{0};
    std::atomic<int> notifications{0};
    std::thread link([&] {
      WindowHandle w = 0;
      if (RegisterClass("orvopedalsWClass", QuitOnDestroyProc))
        w = CreateWindow("orvopedalsWClass", "orvopedalsSys");
      ShowWindow(w, 0);
      UpdateWindow(w);
      linkWindow = w;
      started = true;
      if (w == 0) return;
      Message m;
      while (GetMessage(&m, w, 0, 0) > 0) {
        if (m.message == kNotify) ++notifications;
        DispatchMessage(&m);
      }
    });
    while (!started) std::this_thread::yield();
    if (linkWindow == 0) {
      link.join();
      FAIL() << "no window in round " << round;
    }
    std::atomic<bool> stop{false};
    std::thread notifier([&] {
      while (!stop && PostMessage(linkWindow, kNotify, 4, 0))
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    });
    while (notifications < 5) std::this_thread::yield();
    EXPECT_TRUE(PostMessage(linkWindow, WM_CLOSE, 0, 0));
    link.join();
    stop = true;
    notifier.join();
    ASSERT_FALSE(IsWindow(linkWindow));
    ASSERT_FALSE(PostMessage(linkWindow, kNotify, 4, 0));
  }
}

}  // namespace
