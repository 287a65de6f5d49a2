/* HID access library: the twenty entry points that the device link loads by name from
 * libmcHID.so. Two builds export them: hid/ over hidapi (real devices) and hid/sim/ (a simulated
 * pedal controller and display unit). All entry points are thread-safe and never crash on a bad
 * argument: null buffers, unknown handles and vanished devices give the failure value.
 *
 * The device list holds every attached HID device, but only the pedal controller (0x0444:0x22A5)
 * and the display unit (0x0444:0xB1A5) are opened. Every other device is listed from what the
 * system's enumeration tells, without opening it: it has a handle, posts MCHID_PLUGGED,
 * MCHID_UNPLUGGED and MCHID_CHANGED, counts in GetItemCount, is found by GetItem, GetHandle and
 * IsAvailable, and answers GetVendorID, GetProductID, GetVersion and the three strings. It has no
 * reports here: its report lengths are 0, Read, ReadEx, Write, WriteEx and SetReadNotify return
 * 0 for it, and IsReadNotifyEnabled 0, as for a device without such reports. */
#ifndef ORVO_HID_MCHID_H
#define ORVO_HID_MCHID_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque device handle; 0 is "no device". Handles are never reused while the library is loaded. */
typedef uint32_t McHidHandle;
/* A platform message-window handle (platform::WindowHandle). */
typedef uintptr_t McHidWindow;

/* Message posted to the Connect window; wParam is the event, lParam the device handle. */
#define MCHID_EVENT_MESSAGE 0x80C8u
#define MCHID_PLUGGED 1u   /* a device appeared (lParam: its handle) */
#define MCHID_UNPLUGGED 2u /* a device went (lParam: its handle) */
#define MCHID_CHANGED 3u   /* the device list changed (after 1 or 2) */
#define MCHID_READ 4u      /* an input report is waiting (lParam: the device) */

/* Largest report that travels through a buffer, report id in byte 0 included. */
#define MCHID_BUFFER_SIZE 128

/* Starts watching for devices and posting events to window (a live platform message window).
 * Devices already attached are known when Connect returns, and their MCHID_PLUGGED and
 * MCHID_CHANGED events are already posted. Plugging and unplugging are noticed within 250 ms.
 * @returns 1 on success; 0 for a null or destroyed window, when already connected to another
 * window (connecting again to the same window returns 1), or when the backend cannot start. */
int Connect(McHidWindow window);

/* Stops and joins every thread the library started and closes every device; output reports
 * queued before the call are sent first. No event is posted after it returns (events posted
 * before may still wait in the window's queue). Connect works again afterwards.
 * @returns 1, also when not connected. */
int Disconnect(void);

/* @returns the handle of the index-th attached device (0-based, in the order the devices
 * appeared), 0 when out of range. */
McHidHandle GetItem(int index);

/* @returns how many devices are attached. */
int GetItemCount(void);

/* Copies the oldest unread input report of the device into buffer (MCHID_BUFFER_SIZE bytes:
 * report id in byte 0, 0 for unnumbered reports; the input report length is copied, never more
 * than MCHID_BUFFER_SIZE, the rest of the buffer is left as it was). Up to 64 unread reports are
 * kept per device; a new one then pushes out the oldest. The first Read starts the device's
 * reader if SetReadNotify has not, so a polling caller gets reports from its second call on;
 * reports still waiting when a device goes can be read until its handle is forgotten.
 * @returns 1 on success; 0, buffer untouched, when no report waits, the handle is unknown or
 * buffer is null. */
int Read(McHidHandle handle, uint8_t* buffer);

/* Queues one output report (byte 0 report id, then the rest; the device's output report length
 * is taken from buffer) for the device's writer; never blocks. Up to 16 reports wait; the writer
 * sends them in order. @returns 1 when queued, 0 for an unknown or detached handle, a device
 * without output reports, a null buffer, or a full queue. */
int Write(McHidHandle handle, const uint8_t* buffer);

/* Read and Write for the first attached device with these ids. */
int ReadEx(int vendorId, int productId, uint8_t* buffer);
int WriteEx(int vendorId, int productId, const uint8_t* buffer);

/* @returns the handle of the first attached device with these ids, 0 when none. */
McHidHandle GetHandle(int vendorId, int productId);

/* Ids and release number of a device. They still answer for a device that has gone, until 64
 * more devices have gone after it, so an unplug handler can ask them. @returns 0 for an unknown
 * handle. */
int GetVendorID(McHidHandle handle);
int GetProductID(McHidHandle handle);
int GetVersion(McHidHandle handle);

/* Copies the device's string (UTF-8, NUL-terminated, cut to fit) into text of size bytes.
 * @returns the length copied; 0 for an unknown handle, a null text or size 0. */
int GetVendorName(McHidHandle handle, char* text, int size);
int GetProductName(McHidHandle handle, char* text, int size);
int GetSerialNumber(McHidHandle handle, char* text, int size);

/* Report lengths in bytes, report id byte included (at most MCHID_BUFFER_SIZE); 0 when unknown,
 * and for a device that is listed only. */
int GetInputReportLength(McHidHandle handle);
int GetOutputReportLength(McHidHandle handle);

/* Starts (nonzero) or stops (0) the posting of MCHID_READ for each input report of the device;
 * starting also announces the reports already waiting. Each Read call answers one event, and no
 * more events are outstanding than reports wait, so every MCHID_READ finds a report and a window
 * that stops reading holds at most 64 of them. Stopping keeps the reader queueing for Read.
 * Enabling twice is harmless. @returns 1 on success, 0 for an unknown or detached handle. */
int SetReadNotify(McHidHandle handle, int enabled);

/* @returns 1 while read notification is on for the device, 0 otherwise. */
int IsReadNotifyEnabled(McHidHandle handle);

/* @returns 1 when a device with these ids is attached, 0 otherwise. */
int IsAvailable(int vendorId, int productId);

#ifdef __cplusplus
}
#endif

#endif
