#include "profile/page/ProfileFileDialog.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

namespace korva::profile {

ProfileFileRequest RequestFor(ProfileFileDialog dialog, std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  const QString suffix = QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
  return {dialog, suffix, QStringLiteral("(*.%1)").arg(suffix)};
}

ProfileFileChooser QtProfileFileChooser(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](
             const ProfileFileRequest& request) -> std::optional<std::filesystem::path> {
    QFileDialog dialog(owner);
    const bool save = request.dialog == ProfileFileDialog::kSave;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilter(request.filter);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
  };
}

}  // namespace korva::profile
