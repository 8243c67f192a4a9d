#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace korva::app {
namespace {

struct ParseRow {
  const char* name;
  QStringList arguments;
  bool ok;
  bool simulate;
  bool help;
  QString screenshot;
  bool noSimPanel = false;
  StartLanguage language = StartLanguage::kChinese;
};

TEST(CommandLine, ParsesTheKnownArgumentsAndRefusesEverythingElse) {
  const ParseRow rows[] = {
      {"none: real hardware", {}, true, false, false, {}},
      {"simulate", {"--simulate"}, true, true, false, {}},
      {"help", {"--help"}, true, false, true, {}},
      {"short help", {"-h"}, true, false, true, {}},
      {"screenshot", {"--simulate", "--screenshot", "/tmp/a.png"}, true, true, false, "/tmp/a.png"},
      {"screenshot with =", {"--screenshot=/tmp/b.png"}, true, false, false, "/tmp/b.png"},
      {"simulate without the panel", {"--simulate", "--no-sim-panel"}, true, true, false, {}, true},
      {"English at start", {"--language", "en"}, true, false, false, {}, false, StartLanguage::kEnglish},
      {"Chinese with =",
       {"--simulate", "--language=cn"},
       true,
       true,
       false,
       {},
       false,
       StartLanguage::kChinese},
      {"the last language wins",
       {"--language=cn", "--language", "en"},
       true,
       false,
       false,
       {},
       false,
       StartLanguage::kEnglish},
      {"language without value", {"--language"}, false, false, false, {}},
      {"language with empty value", {"--language="}, false, false, false, {}},
      {"unknown language", {"--language", "de"}, false, false, false, {}},
      {"language in capitals", {"--language=EN"}, false, false, false, {}},
      {"a language option glued to its name", {"--languageen"}, false, false, false, {}},
      {"screenshot without file", {"--screenshot"}, false, false, false, {}},
      {"screenshot with empty file", {"--screenshot="}, false, false, false, {}},
      {"unknown option", {"--simulated"}, false, false, false, {}},
      {"stray word", {"simulate"}, false, false, false, {}},
      {"unknown after a good one", {"--simulate", "-x"}, false, false, false, {}},
  };
  for (const ParseRow& row : rows) {
    SCOPED_TRACE(row.name);
    const korva::Result<CommandLine> result = ParseCommandLine(row.arguments);
    ASSERT_EQ(result.ok(), row.ok) << (result ? std::string() : result.error().ToString());
    if (!row.ok) {
      EXPECT_FALSE(result.error().message.empty());
      continue;
    }
    EXPECT_EQ(result->simulate, row.simulate);
    EXPECT_EQ(result->help, row.help);
    EXPECT_EQ(result->screenshot, row.screenshot);
    EXPECT_EQ(result->noSimPanel, row.noSimPanel);
    EXPECT_EQ(result->language, row.language);
  }
}

// The program itself: a bad argument gets the usage text and exit code 2, before any window.
TEST(CommandLine, TheProgramAnswersBadArgumentsWithUsageAndExitCode2) {
  struct Row {
    QStringList arguments;
    int exitCode;
    const char* inStderr;
    const char* inStdout;
  };
  const Row rows[] = {
      {{"--bogus"}, kExitUsage, "unknown argument '--bogus'", ""},
      {{"--screenshot"}, kExitUsage, "--screenshot needs a file name", ""},
      {{"--language", "fr"}, kExitUsage, "unknown language 'fr' for --language (use cn or en)", ""},
      {{"--language"}, kExitUsage, "--language needs cn or en", ""},
      {{"--help"}, 0, "", "--language cn|en"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.join(' ').toStdString());
    test::ChildProcess korva;
    std::vector<std::string> arguments;
    for (const QString& argument : row.arguments) arguments.push_back(argument.toStdString());
    ASSERT_TRUE(korva.Start(KORVA_APP_EXE, arguments));
    ASSERT_TRUE(korva.Finish(30000));
    EXPECT_EQ(korva.ExitCode(), row.exitCode);
    const QString err = QString::fromStdString(korva.Err());
    const QString out = QString::fromStdString(korva.Out());
    EXPECT_TRUE(err.contains(QLatin1String(row.inStderr))) << err.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String(row.inStdout))) << out.toStdString();
    if (row.exitCode == kExitUsage) {
      EXPECT_TRUE(err.contains(QLatin1String("Usage: korva")));
    }
  }
}

}  // namespace
}  // namespace korva::app
