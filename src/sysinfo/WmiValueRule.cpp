#include "sysinfo/WmiValueRule.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr qint64 kNotAWholeNumber = 666;

bool isBlankOrControl(QChar c) { return c == u' ' || c.category() == QChar::Other_Control; }

QString trimBlanksAndControls(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && isBlankOrControl(text.at(begin))) ++begin;
  while (end > begin && isBlankOrControl(text.at(end - 1))) --end;
  return text.mid(begin, end - begin);
}

// Turns what follows "P = " on a line into the value text.
QString valueFromRest(const QString& rest) {
  QString value = trimBlanksAndControls(rest);
  if (value.startsWith(u'"')) value.remove(0, 1);
  value.remove(QStringLiteral("\";"));
  if (value.size() > 1 && value.endsWith(u';')) value.chop(1);
  return value;
}

}  // namespace

QString wmiPropertyValue(const QString& instanceText, const QString& property) {
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  const QString marker = property + QStringLiteral(" = ");
  for (const QString& rawLine : instanceText.split(lineBreak)) {
    const QString line = trimBlanksAndControls(rawLine);
    const qsizetype at = line.indexOf(marker, 0, Qt::CaseSensitive);
    if (at < 0) continue;
    // The first line that names the property decides, even when its value
    // turns out empty.
    return valueFromRest(line.mid(at + marker.size()));
  }
  return QString();
}

qint64 wmiIntegerValue(const QString& instanceText, const QString& property) {
  static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
  const QString value = wmiPropertyValue(instanceText, property);
  if (value.isEmpty()) return 0;
  if (!wholeNumber.match(value).hasMatch()) return kNotAWholeNumber;
  bool ok = false;
  const qint64 number = value.toLongLong(&ok, 10);
  return ok ? number : kNotAWholeNumber;
}
