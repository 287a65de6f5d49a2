// The backend for real devices: hidapi over the kernel's hidraw nodes.
#include <hidapi/hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>
#include <tuple>

#include "hid/backend.h"
#include "hid/hidraw_node.h"
#include "hid/mchid.h"

namespace orvo::hid {
namespace {

// hidapi 0.13 has no hot-plug notice, so the device list is compared this often; plugging
// and unplugging are seen within it.
constexpr std::chrono::milliseconds kPollInterval{200};

std::string LastError(hid_device* device) {
  const std::string text = WideToUtf8(hid_error(device));
  return text.empty() ? std::strerror(errno) : text;
}

// Two handles on the node, one per direction: hidapi keeps one error string per handle and
// is not safe when a read and a write on the same handle fail at once.
class HidapiConnection final : public DeviceConnection {
 public:
  HidapiConnection(hid_device* reader, hid_device* writer, bool numbered)
      : reader_(reader), writer_(writer), numbered_(numbered) {}
  ~HidapiConnection() override {
    hid_close(reader_);
    hid_close(writer_);
  }
  HidapiConnection(const HidapiConnection&) = delete;
  HidapiConnection& operator=(const HidapiConnection&) = delete;

  int Read(std::uint8_t* buffer, std::size_t size, std::chrono::milliseconds timeout) override {
    if (buffer == nullptr || size < 2) return -1;
    const int milliseconds = static_cast<int>(timeout.count());
    // hidraw leaves out the id byte of unnumbered reports; the callers expect it, as 0.
    std::uint8_t* target = numbered_ ? buffer : buffer + 1;
    const int length = hid_read_timeout(reader_, target, numbered_ ? size : size - 1, milliseconds);
    if (length <= 0) return length < 0 ? -1 : 0;
    if (numbered_) return length;
    buffer[0] = 0;
    return length + 1;
  }

  int Write(const std::uint8_t* report, std::size_t length) override {
    // hid_write dereferences whatever it is given.
    if (report == nullptr || length == 0) return -1;
    return hid_write(writer_, report, length) < 0 ? -1 : static_cast<int>(length);
  }

 private:
  hid_device* const reader_;  // owned
  hid_device* const writer_;  // owned
  const bool numbered_;
};

class HidapiBackend final : public Backend {
 public:
  HidapiBackend() {
    if (hid_init() != 0) throw std::runtime_error("hidapi failed to start: " + LastError(nullptr));
  }
  ~HidapiBackend() override { hid_exit(); }
  HidapiBackend(const HidapiBackend&) = delete;
  HidapiBackend& operator=(const HidapiBackend&) = delete;

  std::vector<DeviceInfo> Enumerate() override {
    std::vector<DeviceInfo> devices;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* entry = list; entry != nullptr; entry = entry->next) {
      if (!IsHidrawPath(entry->path)) continue;
      // One entry per top-level collection: the node is one device.
      const std::string path = entry->path;
      if (std::any_of(devices.begin(), devices.end(),
                      [&](const DeviceInfo& d) { return d.path == path; }))
        continue;
      DeviceInfo& info = devices.emplace_back();
      info.path = path;
      info.vendorId = entry->vendor_id;
      info.productId = entry->product_id;
      info.version = entry->release_number;
      info.vendorName = WideToUtf8(entry->manufacturer_string);
      info.productName = WideToUtf8(entry->product_string);
      info.serialNumber = WideToUtf8(entry->serial_number);
      // Reading the descriptor opens the node; another device's lengths stay unknown.
      if (!IsOurDevice(info.vendorId, info.productId)) continue;
      const ReportLayout& layout = Layout(info);
      info.inputReportLength = layout.inputLength;
      info.outputReportLength = layout.outputLength;
    }
    hid_free_enumeration(list);
    std::erase_if(layouts_, [&](const auto& cached) {
      return std::none_of(devices.begin(), devices.end(),
                          [&](const DeviceInfo& d) { return d.path == cached.first.path; });
    });
    return devices;
  }

  std::unique_ptr<DeviceConnection> Open(const DeviceInfo& device, std::string& error) override {
    if (!IsHidrawPath(device.path.c_str())) {
      error = "not a hidraw node";
      return nullptr;
    }
    // Without the udev rule the node is root's; the device then counts as absent.
    if (access(device.path.c_str(), R_OK | W_OK) != 0) {
      // A node that is gone was unplugged between the listing and now.
      error = errno == ENOENT ? "" : std::strerror(errno);
      return nullptr;
    }
    hid_device* reader = hid_open_path(device.path.c_str());
    hid_device* writer = reader != nullptr ? hid_open_path(device.path.c_str()) : nullptr;
    if (writer == nullptr) {
      error = LastError(nullptr);
      if (reader != nullptr) hid_close(reader);
      return nullptr;
    }
    auto layout = layouts_.find(Key(device));
    return std::make_unique<HidapiConnection>(reader, writer,
                                              layout != layouts_.end() && layout->second.numbered);
  }

  std::chrono::milliseconds PollInterval() const override { return kPollInterval; }

 private:
  struct LayoutKey {
    std::string path;
    std::uint16_t vendorId;
    std::uint16_t productId;
    bool operator<(const LayoutKey& other) const {
      return std::tie(path, vendorId, productId) <
             std::tie(other.path, other.vendorId, other.productId);
    }
  };

  static LayoutKey Key(const DeviceInfo& device) {
    return {device.path, device.vendorId, device.productId};
  }

  // The descriptor is read once per attachment, not on every poll.
  const ReportLayout& Layout(const DeviceInfo& device) {
    auto [it, inserted] = layouts_.try_emplace(Key(device));
    if (inserted) it->second = ReadNodeLayout(device.path);
    return it->second;
  }

  std::map<LayoutKey, ReportLayout> layouts_;
};

}  // namespace

std::unique_ptr<Backend> CreateBackend() { return std::make_unique<HidapiBackend>(); }

}  // namespace orvo::hid
