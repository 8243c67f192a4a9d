#include "autostart/AutostartEntry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "common/AtomicFile.h"

namespace korva::autostart {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// One argument of an Exec key: quoted when it holds anything but plain characters, with the
// characters the format reserves escaped; "%" doubled so that it is no field code.
std::string QuoteArgument(const std::string& argument) {
  std::string escaped;
  bool quote = argument.empty();
  for (char c : argument) {
    if (c == '%') {
      escaped += "%%";
      continue;
    }
    // The quoting rule's backslash, itself escaped by the string rule: "\\" before the character,
    // and a backslash as four.
    if (c == '"' || c == '`' || c == '$' || c == '\\') {
      escaped += c == '\\' ? "\\\\\\" : "\\\\";
      quote = true;
    }
    if (c == ' ' || c == '\t' || c == '\'' || c == '>' || c == '<' || c == '~' || c == '|' || c == '&' ||
        c == ';' || c == '*' || c == '?' || c == '#' || c == '(' || c == ')')
      quote = true;
    escaped += c;
  }
  return quote ? '"' + escaped + '"' : escaped;
}

}  // namespace

std::filesystem::path AutostartFolder(const std::string& xdgConfigHome, const std::string& home) {
  // The base directory specification ignores a relative XDG_CONFIG_HOME.
  if (!xdgConfigHome.empty() && std::filesystem::path(xdgConfigHome).is_absolute())
    return std::filesystem::path(xdgConfigHome) / "autostart";
  return std::filesystem::path(home) / ".config" / "autostart";
}

std::filesystem::path AutostartFolder() { return AutostartFolder(Env("XDG_CONFIG_HOME"), Env("HOME")); }

bool IsEnabled(const std::filesystem::path& entry) {
  std::ifstream in(entry);
  if (!in) return false;
  for (std::string line; std::getline(in, line);) {
    if (line == "Hidden=true") return false;
  }
  return true;
}

std::string EntryText(const std::filesystem::path& executable, const std::vector<std::string>& arguments) {
  std::string exec = QuoteArgument(executable.string());
  for (const std::string& argument : arguments) exec += ' ' + QuoteArgument(argument);
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=KORVA\n"
         "Comment=Configure KORVA keyboards, mouse, mousepad and headset\n"
         "Exec=" + exec + "\n"
         "Icon=korva\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

Result<void> Enable(const std::filesystem::path& entry, const std::filesystem::path& executable,
                    const std::vector<std::string>& arguments) {
  std::error_code ec;
  std::filesystem::create_directories(entry.parent_path(), ec);
  if (ec) return Error::InFile(entry.parent_path().string(), "cannot create the folder: " + ec.message());
  return WriteFileAtomically(entry, std::string_view(EntryText(executable, arguments)));
}

Result<void> Disable(const std::filesystem::path& entry) {
  std::error_code ec;
  std::filesystem::remove(entry, ec);
  if (ec) return Error::InFile(entry.string(), "cannot remove the autostart entry: " + ec.message());
  return {};
}

}  // namespace korva::autostart
