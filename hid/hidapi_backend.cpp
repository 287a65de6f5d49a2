// The backend for real devices: hidapi over the kernel's hidraw nodes.
#include <hidapi/hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string_view>
#include <tuple>

#include "hid/backend.h"
#include "hid/mchid.h"
#include "hid/report_descriptor.h"

namespace orvo::hid {
namespace {

// hidapi 0.13 has no hot-plug notice, so the device list is compared this often; plugging
// and unplugging are seen within it.
constexpr std::chrono::milliseconds kPollInterval{200};
constexpr std::size_t kMaxDescriptorSize = 4096;  // the kernel's limit

// hidapi's hidraw backend takes any path and fails in odd ways on what is not a hidraw node.
bool IsHidrawPath(const char* path) {
  constexpr std::string_view kPrefix = "/dev/hidraw";
  if (path == nullptr) return false;
  const std::string_view text = path;
  if (!text.starts_with(kPrefix) || text.size() == kPrefix.size()) return false;
  return std::all_of(text.begin() + kPrefix.size(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string ToUtf8(const wchar_t* text) {
  std::string utf8;
  if (text == nullptr) return utf8;
  for (; *text != L'\0'; ++text) {
    auto code = static_cast<std::uint32_t>(*text);
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

// The kernel publishes each hidraw node's report descriptor, readable without opening the node.
ReportLayout ReadLayout(const std::string& devicePath) {
  const std::string node = devicePath.substr(devicePath.rfind('/') + 1);
  std::ifstream file("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
  std::vector<std::uint8_t> descriptor(kMaxDescriptorSize);
  file.read(reinterpret_cast<char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
  ReportLayout layout = ParseReportDescriptor(descriptor.data(), static_cast<std::size_t>(file.gcount()));
  layout.inputLength = std::min(layout.inputLength, MCHID_BUFFER_SIZE);
  layout.outputLength = std::min(layout.outputLength, MCHID_BUFFER_SIZE);
  return layout;
}

std::string LastError(hid_device* device) {
  const std::string text = ToUtf8(hid_error(device));
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
      if (std::any_of(devices.begin(), devices.end(), [&](const DeviceInfo& d) { return d.path == path; })) continue;
      DeviceInfo& info = devices.emplace_back();
      info.path = path;
      info.vendorId = entry->vendor_id;
      info.productId = entry->product_id;
      info.version = entry->release_number;
      info.vendorName = ToUtf8(entry->manufacturer_string);
      info.productName = ToUtf8(entry->product_string);
      info.serialNumber = ToUtf8(entry->serial_number);
      const ReportLayout& layout = Layout(info);
      info.inputReportLength = layout.inputLength;
      info.outputReportLength = layout.outputLength;
    }
    hid_free_enumeration(list);
    std::erase_if(layouts_, [&](const auto& cached) {
      return std::none_of(devices.begin(), devices.end(), [&](const DeviceInfo& d) { return d.path == cached.first.path; });
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
      error = std::strerror(errno);
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
    return std::make_unique<HidapiConnection>(reader, writer, layout != layouts_.end() && layout->second.numbered);
  }

  std::chrono::milliseconds PollInterval() const override { return kPollInterval; }

 private:
  struct LayoutKey {
    std::string path;
    std::uint16_t vendorId;
    std::uint16_t productId;
    bool operator<(const LayoutKey& other) const {
      return std::tie(path, vendorId, productId) < std::tie(other.path, other.vendorId, other.productId);
    }
  };

  static LayoutKey Key(const DeviceInfo& device) { return {device.path, device.vendorId, device.productId}; }

  // The descriptor is read once per attachment, not on every poll.
  const ReportLayout& Layout(const DeviceInfo& device) {
    auto [it, inserted] = layouts_.try_emplace(Key(device));
    if (inserted) it->second = ReadLayout(device.path);
    return it->second;
  }

  std::map<LayoutKey, ReportLayout> layouts_;
};

}  // namespace

std::unique_ptr<Backend> CreateBackend() { return std::make_unique<HidapiBackend>(); }

}  // namespace orvo::hid
