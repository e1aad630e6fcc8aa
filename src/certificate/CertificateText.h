#pragma once

#include <QDateTime>
#include <QString>

// How the card's texts are printed on the certificate.
namespace certificate {

// The social-security number in its usual groups: characters 1, 2-3, 4-5,
// 6-7, 8-10, 11-13 and 15-16 joined by single spaces. Character 14 is not
// printed; a group past the end of a short number is empty, its space stays.
QString groupedNumber(const QString& number);

// A birth date held as ddmmyyyy, printed dd/mm/yyyy (short values give
// short or empty pieces, the separators stay).
QString birthDate(const QString& date);

// The footer line: when the card was read and which card it was.
QString footer(const QDateTime& when, const QString& serialNumber);

}  // namespace certificate
