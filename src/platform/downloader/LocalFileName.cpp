#include "platform/downloader/LocalFileName.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

#include "platform/downloader/ErrorTexts.h"

namespace {

// Splits a header value on ';' outside quoted strings.
std::vector<QByteArray> splitParameters(const QByteArray& value) {
  std::vector<QByteArray> parts;
  QByteArray current;
  bool quoted = false;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (quoted && c == '\\' && i + 1 < value.size()) {
      current += c;
      current += value[++i];
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      parts.push_back(current.trimmed());
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current.trimmed());
  return parts;
}

QByteArray unquoted(const QByteArray& value) {
  if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"')) return value;
  QByteArray text;
  for (qsizetype i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && i + 2 < value.size()) ++i;
    text += value[i];
  }
  return text;
}

// charset'language'percent-encoded-text
QString extendedValue(const QByteArray& value) {
  const qsizetype first = value.indexOf('\'');
  const qsizetype second = first < 0 ? -1 : value.indexOf('\'', first + 1);
  if (second < 0) return {};
  const QByteArray charset = value.left(first).toLower();
  const QByteArray bytes = QByteArray::fromPercentEncoding(value.mid(second + 1));
  if (charset == "utf-8") return QString::fromUtf8(bytes);
  if (charset == "iso-8859-1") return QString::fromLatin1(bytes);
  return {};
}

}  // namespace

QString dispositionFileName(const QByteArray& headerValue) {
  QString plain;
  QString extended;
  for (const QByteArray& parameter : splitParameters(headerValue)) {
    const qsizetype equals = parameter.indexOf('=');
    if (equals < 0) continue;
    const QByteArray key = parameter.left(equals).trimmed().toLower();
    const QByteArray value = parameter.mid(equals + 1).trimmed();
    if (key == "filename*")
      extended = extendedValue(value);
    else if (key == "filename")
      plain = QString::fromUtf8(unquoted(value));
  }
  return extended.isEmpty() ? plain : extended;
}

QString offeredFileName(const QUrl& url, const QString& dispositionName) {
  if (!dispositionName.isEmpty()) return dispositionName;
  return url.hasQuery() ? QString() : url.fileName(QUrl::FullyDecoded);
}

QString offeredNameRefusal(const QString& offered, const QString& expected) {
  if (offered.isEmpty()) return download_text::noFileNameOffered(expected);
  if (offered.compare(expected, Qt::CaseInsensitive) != 0) return download_text::otherFileOffered(offered, expected);
  return {};
}

QString fileNameProblem(const QString& name) {
  if (name.isEmpty()) return QStringLiteral("The download has no file name");
  if (name == QLatin1String(".") || name == QLatin1String(".."))
    return QStringLiteral("The file name \"%1\" is not a file").arg(name);
  for (const QChar c : name) {
    if (c == u'/' || c == u'\\') return QStringLiteral("The file name \"%1\" holds a folder part").arg(name);
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) return QStringLiteral("The file name holds a control character");
  }
  return {};
}

QString localPathFor(const QString& folder, const QString& name, QString* problem) {
  *problem = fileNameProblem(name);
  if (!problem->isEmpty()) return {};
  const QString base = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  const QString path = QDir::cleanPath(base + u'/' + name);
  if (QFileInfo(path).absolutePath() != base) {
    *problem = QStringLiteral("The file name \"%1\" leaves the download folder").arg(name);
    return {};
  }
  return path;
}
