#include <iostream>
#include <string_view>
#include <vector>

#include "device/tools/DevicesTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return korva::device::RunDevicesTool(args, std::cout, std::cerr);
}
