#include "platform/files/LinuxFiles.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <stdexcept>

#include "platform/files/ElfFileVersion.h"

bool LinuxFiles::fileExists(const QString& path) const { return !path.isEmpty() && QFileInfo(path).isFile(); }

qint32 LinuxFiles::fileSize(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw std::runtime_error("cannot open file for reading: " + path.toStdString() + " (" +
                             file.errorString().toStdString() + ")");
  }
  return static_cast<qint32>(std::min<qint64>(file.size(), std::numeric_limits<qint32>::max()));
}

QString LinuxFiles::fileVersion(const QString& path) const { return readElfFileVersion(path); }
