#include "app/CommandLine.h"

namespace korva::app {

CommandLineResult ParseCommandLine(const QStringList& arguments) {
  CommandLine options;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QLatin1String("--simulate")) {
      options.simulate = true;
    } else if (arg == QLatin1String("--no-sim-panel")) {
      options.noSimPanel = true;
    } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      options.help = true;
    } else if (arg == QLatin1String("--screenshot")) {
      if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
        return {std::nullopt, QStringLiteral("--screenshot needs a file name")};
      options.screenshot = arguments[++i];
    } else if (arg.startsWith(QLatin1String("--screenshot="))) {
      options.screenshot = arg.mid(13);
      if (options.screenshot.isEmpty())
        return {std::nullopt, QStringLiteral("--screenshot needs a file name")};
    } else {
      return {std::nullopt, QStringLiteral("unknown argument '%1'").arg(arg)};
    }
  }
  return {options, {}};
}

QString UsageText(const QString& program) {
  return QStringLiteral(
             "Usage: %1 [--simulate [--no-sim-panel]] [--screenshot FILE]\n"
             "       %1 --help\n"
             "\n"
             "Configures KORVA keyboards, mice, mousepads and headsets.\n"
             "\n"
             "  --simulate          run on simulated devices (keyboard, mouse, mousepad, headset)\n"
             "                      instead of the devices on the USB bus, with a \"Simulated devices\"\n"
             "                      window that plugs, unplugs and presses them\n"
             "  --no-sim-panel      with --simulate: leave the \"Simulated devices\" window out\n"
             "  --screenshot FILE   write a picture of the main window to FILE after start-up, then end\n"
             "  --help              show this text\n")
      .arg(program);
}

}  // namespace korva::app
