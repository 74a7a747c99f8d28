#include "window/folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vatrix {

std::optional<std::string> ChooseFolderIn(QWidget* parent, const std::string& start,
                                          UserInterface& ui) {
  QString folder = QString::fromStdString(start);
  const QFileInfo info(folder);
  if (!info.isDir() || !info.isReadable()) {
    ui.ShowMessage({kAppTitle, "Drive " + start + " is unavailable or fixed.....",
                    MessageIcon::kCritical, MessageButtons::kOk});
    folder = QDir::rootPath();
  }
  QFileDialog dialog(parent, QStringLiteral("Select Directory"), folder);
  dialog.setObjectName(QStringLiteral("frmDirectory"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

}  // namespace vatrix
