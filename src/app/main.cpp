// korva: the configuration program of the KORVA keyboards, mouse, mousepad and headset.

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/MainWnd.h"

int main(int argc, char** argv) {
  using namespace korva::app;
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
  const korva::Result<CommandLine> parsed = ParseCommandLine(arguments);
  if (!parsed) {
    std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(program), parsed.error().ToString().c_str(),
                 qPrintable(UsageText(program)));
    return kExitUsage;
  }
  if (parsed->help) {
    std::fputs(qPrintable(UsageText(program)), stdout);
    return 0;
  }

  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("korva"));
  // The program stays in the tray while its window is hidden; it ends through Shutdown only.
  QApplication::setQuitOnLastWindowClosed(false);

  AppOptions options;
  options.commandLine = parsed.value();
  Application app(std::move(options));
  QString error;
  switch (app.Start(&error)) {
    case Application::StartResult::kSecondInstance:
      return 0;
    case Application::StartResult::kFailed:
      std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(error));
      return 1;
    case Application::StartResult::kRunning:
      break;
  }
  QObject::connect(&app, &Application::finished, &qapp, &QCoreApplication::quit, Qt::QueuedConnection);
  // The end of the session ends the program the same way as its own exit.
  QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &app, [&app] {
    if (CMainWnd* window = app.MainWindow()) window->Shutdown();
  });
  const int result = qapp.exec();
  return app.ScreenshotOk() ? result : 1;
}
