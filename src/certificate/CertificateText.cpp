#include "certificate/CertificateText.h"

namespace certificate {
namespace {
// The characters from the 1-based position `from`, at most `count` of them;
// empty past the end of the text.
QString piece(const QString& text, qsizetype from, qsizetype count) { return text.mid(from - 1, count); }
}  // namespace

QString groupedNumber(const QString& number) {
  const QString space = QStringLiteral(" ");
  return piece(number, 1, 1) + space + piece(number, 2, 2) + space + piece(number, 4, 2) + space + piece(number, 6, 2) +
         space + piece(number, 8, 3) + space + piece(number, 11, 3) + space + piece(number, 15, 2);
}

QString birthDate(const QString& date) {
  const QString slash = QStringLiteral("/");
  return piece(date, 1, 2) + slash + piece(date, 3, 2) + slash + piece(date, 5, 4);
}

QString footer(const QDateTime& when, const QString& serialNumber) {
  return QStringLiteral("Extrait le ") + when.toString(QStringLiteral("dd/MM/yyyy - HH:mm:ss")) +
         QStringLiteral(" depuis la carte portant numéro de série ") + serialNumber;
}

}  // namespace certificate
