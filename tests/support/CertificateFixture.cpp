#include "support/CertificateFixture.h"

#include <algorithm>

namespace certtest {

void CertificateFixture::fillCard(int count) {
  ppal.appli_xml_ext.clear();
  for (int i = 0; i < count; ++i) {
    const Person& who = kPeople[i % std::size(kPeople)];
    std::vector<QString> row(i == 0 ? 60 : 6);
    row[0] = who.surname;
    row[1] = QStringLiteral("MARTIN");  // birth surname, never printed
    row[2] = who.firstName;
    row[3] = who.number;
    row[4] = who.birthDate;
    row[5] = who.rank;
    if (i == 0) {
      row[6] = QStringLiteral("01");
      row[7] = QStringLiteral("751");
      row[8] = QStringLiteral("0000");
      row[9] = QStringLiteral("10");
      row[51] = QStringLiteral("Régime général");
      row[52] = QStringLiteral("CPAM de Paris (75)");
    }
    ppal.appli_xml_ext.push_back(row);
  }
  ppal.appli_xml_cnt2 = count;
  ppal.carte_numserie = QStringLiteral("0123456789");
}

QByteArray CertificateFixture::objectOf(const QByteArray& pdf, int n) {
  const QByteArray opening = QByteArray::number(n) + " 0 obj\r\n";
  const qsizetype from = pdf.indexOf(opening);
  if (from < 0) return {};
  const qsizetype to = pdf.indexOf("endobj", from);
  return pdf.mid(from + opening.size(), to - from - opening.size());
}

QStringList CertificateFixture::contentLines(const QByteArray& pdf) {
  const QByteArray object = objectOf(pdf, 5);
  const qsizetype lengthAt = object.indexOf("/Length ");
  const qsizetype streamAt = object.indexOf("stream\r\n");
  if (lengthAt < 0 || streamAt < 0) return {};
  const qsizetype length = object.mid(lengthAt + 8, object.indexOf("\r\n", lengthAt) - lengthAt - 8).toLongLong();
  QString content = QString::fromLatin1(object.mid(streamAt + 8, length));
  if (content.endsWith(u'\n')) content.chop(1);
  return content.split(u'\n');
}

std::vector<TextRun> CertificateFixture::stepLog() const {
  const auto& runs = ppal.debugLog().runs();
  auto it = std::find_if(runs.begin(), runs.end(),
                         [](const TextRun& r) { return r.text == QStringLiteral("\r\nGénération du PDF\r\n"); });
  return it == runs.end() ? std::vector<TextRun>() : std::vector<TextRun>(it + 1, runs.end());
}

bool containsRun(const QStringList& lines, const QStringList& run) {
  for (qsizetype at = 0; at + run.size() <= lines.size(); ++at)
    if (lines.mid(at, run.size()) == run) return true;
  return false;
}

}  // namespace certtest
