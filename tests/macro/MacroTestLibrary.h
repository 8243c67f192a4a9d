#pragma once
// A macro library in a fresh temporary folder, with its index and macro files written as text so
// a test states exactly what is on disk.

#include <string>
#include <vector>

#include "macro/MacroFiles.h"
#include "tests/profile/TempFolder.h"

namespace korva::macro::test_library {

using profile::testing::ReadText;
using profile::testing::WriteText;

class TestLibrary {
 public:
  explicit TestLibrary(DeviceKind device = DeviceKind::kKeyboard) : library{folder.path(), device} {}

  std::filesystem::path Index() const { return folder.path() / MacroIndexFileName(library.device); }
  std::filesystem::path File(const std::string& name) const { return folder.path() / (name + ".mac"); }

  // An index listing `names`.
  void WriteIndex(const std::vector<std::string>& names) const {
    std::string text = "[MACROCOUNT]\ncount=" + std::to_string(names.size()) + "\n[MACRONAME]\n";
    for (std::size_t i = 0; i < names.size(); ++i) text += std::to_string(i) + "=" + names[i] + "\n";
    WriteText(Index(), text);
  }
  // A macro file holding `lines` as its steps.
  void WriteMacro(const std::string& name, const std::vector<std::string>& lines) const {
    std::string text = "[MACROACTIONCOUNT]\ncount=" + std::to_string(lines.size()) + "\n[MACROACTION]\n";
    for (std::size_t j = 0; j < lines.size(); ++j) text += std::to_string(j) + "=" + lines[j] + "\n";
    WriteText(File(name), text);
  }

  profile::testing::TempFolder folder;
  MacroLibrary library;
};

}  // namespace korva::macro::test_library
