#include "app/Updater.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace korva::app {

std::optional<QString> UpdaterFor(int currentDevicePage, int keyboardModel) {
  switch (currentDevicePage) {
    case 0:
      if (keyboardModel == 0) return QStringLiteral("Update_kb.exe");
      if (keyboardModel == 1) return QStringLiteral("Update_kb1.exe");
      return std::nullopt;
    case 1:
      return QStringLiteral("Update_ms.exe");
    case 2:
      return QStringLiteral("Update_mp.exe");
    default:
      return std::nullopt;
  }
}

UpdaterStart StartUpdater(const QString& programFolder, const QString& file) {
  const QString path = QDir(programFolder).filePath(file);
  if (!QFileInfo(path).isFile()) return UpdaterStart::kMissing;
  return QProcess::startDetached(path, {QStringLiteral("NULL")}, programFolder) ? UpdaterStart::kStarted
                                                                                : UpdaterStart::kFailed;
}

}  // namespace korva::app
