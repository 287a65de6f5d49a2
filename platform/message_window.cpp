// Message windows: one registry of classes and windows for the process, one queue per thread.
#include "platform/message_window.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

// The registry mutex and a queue mutex are never held together, and no lock is held while a
// window procedure runs, so a procedure may call anything here.

struct ThreadQueue {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Message> messages;  // posted messages, oldest first
  bool quitPending = false;      // WM_QUIT is a flag, as the loop expects, not a queued entry
  int quitCode = 0;
};

struct WindowRecord {
  WindowHandle handle = 0;
  std::string title;
  WindowProc proc = nullptr;
  std::shared_ptr<ThreadQueue> queue;  // the owner thread's queue
  bool alive = true;        // guarded by queue->mutex, so no post lands after destruction
  bool destroying = false;  // owner thread only: stops DestroyWindow re-entering from WM_DESTROY
};

struct Registry {
  std::mutex mutex;
  std::unordered_map<std::string, WindowProc> classes;
  std::unordered_map<WindowHandle, std::shared_ptr<WindowRecord>> windows;
  WindowHandle lastHandle = 0x10000;  // grows only, so a handle is never reused
};

// Never destroyed: threads that end during process exit still reach it.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

std::shared_ptr<WindowRecord> FindRecord(WindowHandle window) {
  if (window == 0) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.windows.find(window);
  return it == registry.windows.end() ? nullptr : it->second;
}

// Unlinks a window: posts to it fail from now on and its queued messages are dropped.
void ForgetWindow(const std::shared_ptr<WindowRecord>& record) {
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.windows.erase(record->handle);
  }
  ThreadQueue& queue = *record->queue;
  {
    std::lock_guard lock(queue.mutex);
    record->alive = false;
    std::erase_if(queue.messages, [&](const Message& m) { return m.window == record->handle; });
  }
}

// A thread that ends takes its windows with it, without calling their procedures (the thread
// is gone); otherwise posts would keep filling a queue nobody reads.
struct ThreadQueueOwner {
  std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
  ~ThreadQueueOwner() {
    std::vector<std::shared_ptr<WindowRecord>> owned;
    {
      Registry& registry = TheRegistry();
      std::lock_guard lock(registry.mutex);
      for (const auto& [handle, record] : registry.windows) {
        if (record->queue == queue) owned.push_back(record);
      }
    }
    for (const auto& record : owned) ForgetWindow(record);
  }
};

const std::shared_ptr<ThreadQueue>& CurrentQueue() {
  thread_local ThreadQueueOwner owner;
  return owner.queue;
}

bool InRange(std::uint32_t message, std::uint32_t minMessage, std::uint32_t maxMessage) {
  if (minMessage == 0 && maxMessage == 0) return true;
  return message >= minMessage && message <= maxMessage;
}

bool IsLive(WindowHandle window) {
  auto record = FindRecord(window);
  if (!record) return false;
  std::lock_guard lock(record->queue->mutex);
  return record->alive;
}

}  // namespace

bool RegisterClass(const std::string& className, WindowProc proc) {
  if (className.empty() || proc == nullptr) return false;
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto [it, inserted] = registry.classes.emplace(className, proc);
  return inserted || it->second == proc;
}

WindowHandle CreateWindow(const std::string& className, const std::string& title) {
  auto record = std::make_shared<WindowRecord>();
  record->title = title;
  record->queue = CurrentQueue();
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto cls = registry.classes.find(className);
  if (cls == registry.classes.end()) return 0;
  record->proc = cls->second;
  record->handle = ++registry.lastHandle;
  registry.windows.emplace(record->handle, record);
  return record->handle;
}

bool ShowWindow(WindowHandle window, int /*command*/) { return IsLive(window); }

bool UpdateWindow(WindowHandle window) { return IsLive(window); }

std::string GetWindowTitle(WindowHandle window) {
  auto record = FindRecord(window);
  return record ? record->title : std::string();
}

bool IsWindow(WindowHandle window) { return IsLive(window); }

bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
  return PostMessages(window, message, wParam, lParam, 1);
}

bool PostMessages(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam, std::size_t count) {
  auto record = FindRecord(window);
  if (!record) return false;
  ThreadQueue& queue = *record->queue;
  {
    std::lock_guard lock(queue.mutex);
    if (!record->alive) return false;
    for (std::size_t i = 0; i < count; ++i)
      queue.messages.push_back(Message{window, message, wParam, lParam});
  }
  // Only the owner thread waits on its queue.
  if (count > 0) queue.wake.notify_one();
  return true;
}

void PostQuitMessage(int exitCode) {
  ThreadQueue& queue = *CurrentQueue();
  {
    std::lock_guard lock(queue.mutex);
    queue.quitPending = true;
    queue.quitCode = exitCode;
  }
  queue.wake.notify_one();
}

int GetMessage(Message* out, WindowHandle filter, std::uint32_t minMessage,
               std::uint32_t maxMessage) {
  if (out == nullptr) return -1;
  const auto& queuePtr = CurrentQueue();
  // An unknown, destroyed or other thread's window can never deliver here: no waiting for it.
  const auto filterRecord = FindRecord(filter);
  const bool filterCanDeliver = filter == 0 || (filterRecord && filterRecord->queue == queuePtr);
  ThreadQueue& queue = *queuePtr;
  std::unique_lock lock(queue.mutex);
  for (;;) {
    for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
      if ((filter == 0 || it->window == filter) && InRange(it->message, minMessage, maxMessage)) {
        *out = *it;
        queue.messages.erase(it);
        return 1;
      }
    }
    if (queue.quitPending) {
      queue.quitPending = false;
      *out = Message{0, WM_QUIT, static_cast<std::uintptr_t>(queue.quitCode), 0};
      return 0;
    }
    if (!filterCanDeliver || (filterRecord && !filterRecord->alive)) return -1;
    queue.wake.wait(lock);
  }
}

bool TranslateMessage(const Message* /*message*/) { return false; }

std::intptr_t DispatchMessage(const Message* message) {
  if (message == nullptr) return 0;
  auto record = FindRecord(message->window);
  if (!record) return 0;
  return record->proc(message->window, message->message, message->wParam, message->lParam);
}

std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t /*wParam*/,
                            std::intptr_t /*lParam*/) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

bool DestroyWindow(WindowHandle window) {
  auto record = FindRecord(window);
  if (!record || record->queue != CurrentQueue() || record->destroying) return false;
  record->destroying = true;
  record->proc(window, WM_DESTROY, 0, 0);
  ForgetWindow(record);
  return true;
}

}  // namespace platform
