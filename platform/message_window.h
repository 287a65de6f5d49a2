// Message windows: in-process window handles with a message queue per owning thread,
// for the hidden windows of the device link and the HID library (no display is needed).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Opaque window handle; 0 is the null handle. Handles are never reused within a process.
using WindowHandle = std::uintptr_t;

using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

struct Message {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_APP = 0x8000;

// Registers a window class. Returns true on success; registering a name that already exists
// with the same procedure also succeeds (a class lives as long as the process), with another
// procedure it fails. An empty name or a null procedure fails.
bool RegisterClass(const std::string& className, WindowProc proc);

// Creates a window of a registered class, owned by the calling thread; its messages queue
// on that thread. Returns 0 when the class is unknown. A thread that ends takes the windows it
// still owns with it (their procedures are not called), so posts to them fail from then on.
WindowHandle CreateWindow(const std::string& className, const std::string& title);

// Message windows are never visible; these succeed for a live window and fail otherwise.
bool ShowWindow(WindowHandle window, int command);
bool UpdateWindow(WindowHandle window);

// Title given at creation, or "" for an unknown window.
std::string GetWindowTitle(WindowHandle window);
bool IsWindow(WindowHandle window);

// Queues a message for a live window from any thread. Returns false (and queues nothing)
// for the null handle, an unknown or a destroyed window.
bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
// Queues count copies of one message with a single wake-up of the owner thread, so that a burst
// of notices costs the receiving thread one wake-up rather than one each. Returns as
// PostMessage; a count of 0 queues nothing and returns true for a live window.
bool PostMessages(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam, std::size_t count);

// Marks WM_QUIT pending on the calling thread's queue; it is delivered once, after the
// messages already queued that the reader's filter takes. A second call only replaces the code.
void PostQuitMessage(int exitCode);

// Waits for the next message of the calling thread, oldest first. With a non-null filter, only
// that window's messages are taken; with minMessage and maxMessage not both 0, only messages in
// that range. A pending WM_QUIT is taken whatever the filter and range (window 0, wParam = the
// exit code). Returns >0 for a message, 0 for WM_QUIT, and -1 at once for a null out pointer or
// when the filter is not a live window of this thread: it never blocks for a window that is gone.
// (Only the owner destroys a window, so it cannot vanish while its owner waits here.)
int GetMessage(Message* out, WindowHandle filter, std::uint32_t minMessage,
               std::uint32_t maxMessage);

// Kept for the shape of the loop; there are no key messages to translate, so always false.
bool TranslateMessage(const Message* message);

// Calls the window's procedure with the message, on the calling thread; returns its result,
// 0 for a thread message (WM_QUIT), an unknown or a destroyed window.
std::intptr_t DispatchMessage(const Message* message);

// Default handling: WM_CLOSE destroys the window; everything else returns 0.
std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam);

// Sends WM_DESTROY to the procedure (synchronously, on the owner thread), then forgets the
// window and drops its queued messages. Only the owning thread may destroy; false otherwise,
// for an unknown window, or when called again from inside the window's own WM_DESTROY.
bool DestroyWindow(WindowHandle window);

}  // namespace platform
