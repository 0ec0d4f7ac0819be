#include "ports_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace zr7 {

std::filesystem::path ComPortsFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("zr7/ports"))
      .toStdString();
}

} // namespace zr7
