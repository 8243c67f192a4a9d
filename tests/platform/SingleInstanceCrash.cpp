// Helper for the single-instance tests: takes the single-instance lock in the folder given as
// the first argument, then ends abruptly (no unlock, no clean-up), as a crashed program would.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/SingleInstance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  korva::platform::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
  if (instance.Start() != korva::platform::SingleInstance::Role::kFirst || !instance.IsListening()) return 3;
  std::fflush(nullptr);
  std::_Exit(0);
}
