#include "app/CommandLine.h"

namespace korva::app {

namespace {

// An option that takes a value, as "--name VALUE" or "--name=VALUE". Returns nullopt when
// `arguments[i]` is not this option; otherwise the value ("" when it is missing) and moves `i`
// past a separate value.
std::optional<QString> OptionValue(const QStringList& arguments, qsizetype& i, QLatin1String name) {
  const QString& arg = arguments[i];
  if (arg == name) return i + 1 < arguments.size() ? arguments[++i] : QString();
  if (arg.size() > name.size() && arg.startsWith(name) && arg[name.size()] == QLatin1Char('='))
    return arg.mid(name.size() + 1);
  return std::nullopt;
}

std::optional<StartLanguage> ParseLanguage(const QString& value) {
  if (value == QLatin1String("cn")) return StartLanguage::kChinese;
  if (value == QLatin1String("en")) return StartLanguage::kEnglish;
  return std::nullopt;
}

}  // namespace

korva::Result<CommandLine> ParseCommandLine(const QStringList& arguments) {
  auto refuse = [](const QString& why) { return korva::Error::Plain(why.toStdString()); };
  CommandLine options;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QLatin1String("--simulate")) {
      options.simulate = true;
    } else if (arg == QLatin1String("--no-sim-panel")) {
      options.noSimPanel = true;
    } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      options.help = true;
    } else if (auto file = OptionValue(arguments, i, QLatin1String("--screenshot"))) {
      if (file->isEmpty()) return refuse(QStringLiteral("--screenshot needs a file name"));
      options.screenshot = *file;
    } else if (auto language = OptionValue(arguments, i, QLatin1String("--language"))) {
      if (language->isEmpty()) return refuse(QStringLiteral("--language needs cn or en"));
      const std::optional<StartLanguage> parsed = ParseLanguage(*language);
      if (!parsed)
        return refuse(QStringLiteral("unknown language '%1' for --language (use cn or en)").arg(*language));
      options.language = *parsed;
    } else {
      return refuse(QStringLiteral("unknown argument '%1'").arg(arg));
    }
  }
  return options;
}

QString UsageText(const QString& program) {
  return QStringLiteral(
             "Usage: %1 [--simulate [--no-sim-panel]] [--language cn|en] [--screenshot FILE]\n"
             "       %1 --help\n"
             "\n"
             "Configures KORVA keyboards, mice, mousepads and headsets.\n"
             "\n"
             "  --simulate          run on simulated devices (keyboard, mouse, mousepad, headset)\n"
             "                      instead of the devices on the USB bus, with a \"Simulated devices\"\n"
             "                      window that plugs, unplugs and presses them\n"
             "  --no-sim-panel      with --simulate: leave the \"Simulated devices\" window out\n"
             "  --language cn|en    the language of the texts at start: cn Chinese (the default),\n"
             "                      en English; the menu switches it later\n"
             "  --screenshot FILE   write a picture of the main window to FILE after start-up, then end\n"
             "  --help              show this text\n")
      .arg(program);
}

}  // namespace korva::app
