#include "device/hidapi/HidapiCalls.h"

namespace korva::device {
namespace {

class SystemCalls final : public HidapiCalls {
 public:
  int Init() override { return hid_init(); }
  int Exit() override { return hid_exit(); }
  hid_device_info* Enumerate(unsigned short vendorId, unsigned short productId) override {
    return hid_enumerate(vendorId, productId);
  }
  void FreeEnumeration(hid_device_info* devices) override { hid_free_enumeration(devices); }
  hid_device* OpenPath(const char* path) override { return hid_open_path(path); }
  void Close(hid_device* device) override { hid_close(device); }
  hid_device_info* GetDeviceInfo(hid_device* device) override { return hid_get_device_info(device); }
  int ReadTimeout(hid_device* device, unsigned char* data, std::size_t length, int milliseconds) override {
    return hid_read_timeout(device, data, length, milliseconds);
  }
  int Write(hid_device* device, const unsigned char* data, std::size_t length) override {
    return hid_write(device, data, length);
  }
  const wchar_t* Error(hid_device* device) override { return hid_error(device); }
};

}  // namespace

HidapiCalls& SystemHidapi() {
  static SystemCalls calls;
  return calls;
}

}  // namespace korva::device
