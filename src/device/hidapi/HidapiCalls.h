#pragma once
// The libhidapi calls the hidapi backend makes, behind one interface: SystemHidapi() forwards each to
// libhidapi-hidraw, and a test puts a stand-in hidapi in its place (tests/device/FakeHidapi.h) to drive
// the backend's own code -- enumeration, the report-id handling, read slicing, the drain's non-blocking
// read -- without a device. Each method has the meaning and the return values of the hidapi call it is
// named after (hidapi 0.13).

#include <hidapi/hidapi.h>

#include <cstddef>

namespace korva::device {

class HidapiCalls {
 public:
  virtual ~HidapiCalls() = default;

  virtual int Init() = 0;                                                                     // hid_init
  virtual int Exit() = 0;                                                                     // hid_exit
  virtual hid_device_info* Enumerate(unsigned short vendorId, unsigned short productId) = 0;  // hid_enumerate
  virtual void FreeEnumeration(hid_device_info* devices) = 0;      // hid_free_enumeration
  virtual hid_device* OpenPath(const char* path) = 0;              // hid_open_path
  virtual void Close(hid_device* device) = 0;                      // hid_close
  virtual hid_device_info* GetDeviceInfo(hid_device* device) = 0;  // hid_get_device_info
  // hid_read_timeout: bytes read, 0 when nothing came within `milliseconds` (0: a non-blocking read), -1
  // on failure.
  virtual int ReadTimeout(hid_device* device, unsigned char* data, std::size_t length, int milliseconds) = 0;
  virtual int Write(hid_device* device, const unsigned char* data, std::size_t length) = 0;  // hid_write
  virtual const wchar_t* Error(hid_device* device) = 0;                                      // hid_error
};

// libhidapi-hidraw itself. Stateless; lives as long as the process.
HidapiCalls& SystemHidapi();

}  // namespace korva::device
