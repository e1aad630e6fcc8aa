#include "platform/ini/WindowsIniFile.h"

#include <stdexcept>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/ini/IniText.h"

namespace {

[[noreturn]] void failWrite(const QString& path, const QString& reason) {
  throw std::runtime_error(QStringLiteral("cannot write %1: %2").arg(path, reason).toStdString());
}

// The current content, empty for a file that does not exist yet. A file that
// exists but cannot be read must not be replaced: its content would be lost.
QByteArray currentContent(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    failWrite(path, QStringLiteral("the existing file cannot be read"));
  }
  QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) failWrite(path, file.errorString());
  return content;
}

// QSaveFile writes a temporary file beside the target and renames it over the
// target only when everything was written, with the target's permissions.
// The explicit flush matters: Qt 6.4's commit() loses an error of its own
// final flush (a full disk, a size limit) and renames a cut file into place.
void replaceFile(const QString& path, const QByteArray& content) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) failWrite(path, file.errorString());
  if (file.write(content) != content.size() || !file.flush()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    failWrite(path, reason);
  }
  if (!file.commit()) failWrite(path, file.errorString());
}

}  // namespace

std::optional<QString> WindowsIniFile::readValue(const QString& path, const QString& section, const QString& key) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  return ini_text::findValue(file.readAll(), section, key);
}

void WindowsIniFile::writeValue(const QString& path, const QString& section, const QString& key, const QString& value) {
  QByteArray updated;
  try {
    updated = ini_text::withValue(currentContent(path), section, key, value);
  } catch (const std::invalid_argument& error) {
    failWrite(path, QString::fromUtf8(error.what()));
  }
  replaceFile(path, updated);
}
