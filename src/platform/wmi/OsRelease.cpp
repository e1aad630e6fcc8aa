#include "platform/wmi/OsRelease.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Inside double quotes, a backslash keeps the next character literally when
// it is one the shell would otherwise interpret.
QString unquoteDouble(const QString& body) {
  QString value;
  for (qsizetype i = 0; i < body.size(); ++i) {
    const QChar c = body.at(i);
    if (c == u'\\' && i + 1 < body.size() && QStringLiteral("\"\\$`").contains(body.at(i + 1))) {
      value += body.at(++i);
    } else {
      value += c;
    }
  }
  return value;
}

QString unquote(const QString& raw) {
  if (raw.size() >= 2 && raw.startsWith(u'"') && raw.endsWith(u'"')) return unquoteDouble(raw.mid(1, raw.size() - 2));
  if (raw.size() >= 2 && raw.startsWith(u'\'') && raw.endsWith(u'\'')) return raw.mid(1, raw.size() - 2);
  return raw;
}

}  // namespace

QHash<QString, QString> parseOsRelease(const QString& text) {
  static const QRegularExpression assignment(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)=(.*)$"));
  QHash<QString, QString> values;
  for (const QString& rawLine : text.split(u'\n')) {
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const QRegularExpressionMatch match = assignment.match(line);
    if (match.hasMatch()) values.insert(match.captured(1), unquote(match.captured(2).trimmed()));
  }
  return values;
}
