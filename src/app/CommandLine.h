#pragma once
// The command line of the korva program:
//   korva [--simulate [--no-sim-panel]] [--language cn|en] [--screenshot FILE]
//   korva --help
// Parsed before the UI starts, so that a mistake gets its usage message (exit code 2) even
// without a display.

#include <QString>
#include <QStringList>
#include <optional>

#include "common/Result.h"

namespace korva::app {

inline constexpr int kExitUsage = 2;

// The language of the texts at start; the tray's (or the window's) menu switches it later.
enum class StartLanguage { kChinese, kEnglish };

struct CommandLine {
  bool simulate = false;    // simulated keyboard, mouse, mousepad and headset instead of the USB bus
  bool noSimPanel = false;  // with `simulate`: no "Simulated devices" window (tests, screenshots)
  bool help = false;
  StartLanguage language = StartLanguage::kChinese;
  QString screenshot;  // debug: write a picture of the main window to this file after start-up, then end
};

// `arguments` without the program name; the error says which argument is wrong and why.
korva::Result<CommandLine> ParseCommandLine(const QStringList& arguments);
QString UsageText(const QString& program);

}  // namespace korva::app
