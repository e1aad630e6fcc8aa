#include "StandInFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

StandInFolder::StandInFolder() { EXPECT_TRUE(dir_.isValid()); }

std::string StandInFolder::folder() const { return dir_.path().toStdString() + "/"; }

void StandInFolder::write(std::string_view name, std::string_view bytes) const {
  QFile file(dir_.filePath(QString::fromUtf8(name.data(), qsizetype(name.size()))));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

bool StandInFolder::exists(std::string_view name) const {
  return QFileInfo::exists(dir_.filePath(QString::fromUtf8(name.data(), qsizetype(name.size()))));
}

std::vector<std::string> StandInFolder::journal() const {
  QFile file(dir_.filePath(QStringLiteral("journal.log")));
  std::vector<std::string> lines;
  if (!file.open(QIODevice::ReadOnly)) return lines;
  const QList<QByteArray> raw = file.readAll().split('\n');
  for (const QByteArray& line : raw) {
    if (!line.isEmpty()) lines.push_back(line.toStdString());
  }
  return lines;
}

uint16_t StandInFolder::openSession(uint16_t* session, uint16_t* error) const {
  static const uint16_t kName[] = {'v', 'e', 'l', 'n', 'a', 0};
  const uint16_t* application = kName;
  uint16_t ignoredSession = 0;
  uint16_t ignoredError = 0;
  return Lec_OuvertureSessionVitale(folder().c_str(), &application, session ? session : &ignoredSession,
                                    error ? error : &ignoredError);
}
