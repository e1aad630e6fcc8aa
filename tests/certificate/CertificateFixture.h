#pragma once

// A Tppal on the test platform, with card data filled in as the card steps
// leave it, a logo in the program folder, and readers for the certificate
// file it writes.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include "core/TestPlatform.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace certtest {

// One beneficiary as the card data gives it.
struct Person {
  QString surname, firstName, number, birthDate, rank;
};

// The insured person first, then two more beneficiaries.
inline const Person kPeople[] = {
    {QStringLiteral("DUPONT"), QStringLiteral("Jérôme"), QStringLiteral("1850775123456 78"), QStringLiteral("15071985"),
     QStringLiteral("1")},
    {QStringLiteral("DUPONT"), QStringLiteral("Léa"), QStringLiteral("2120175123456 12"), QStringLiteral("03022012"),
     QStringLiteral("2")},
    {QStringLiteral("DUPONT-MAÏA"), QStringLiteral("Noël"), QStringLiteral("1150375123456 34"),
     QStringLiteral("21032015"), QStringLiteral("3")},
};

inline QString fixture(const char* name) {
  return QStringLiteral(VELNARA_TEST_FIXTURES "/certificate/") + QString::fromUtf8(name);
}
inline const QString kRepositoryLogo = QStringLiteral(VELNARA_SOURCE_DIR "/resources/velna.mvi");

class CertificateFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ppal.FormCreate();
    ASSERT_FALSE(ppal.lastUnhandledError()) << ppal.lastUnhandledError()->toStdString();
    installLogo(kRepositoryLogo);
    fillCard(1);
  }

  // Puts a copy of the file in the program folder as the logo.
  void installLogo(const QString& source) {
    QFile::remove(logoPath());
    ASSERT_TRUE(QFile::copy(source, logoPath())) << source.toStdString();
  }
  QString logoPath() const { return t.install.program() + QStringLiteral("/velna.mvi"); }

  // The card data of `count` people, the fixture's three over and over, as
  // the extraction leaves it: 60 slots in row 0, 6 in the others.
  void fillCard(int count) {
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

  QString certificatePath() const { return ppal.appli_dossier_commun + QStringLiteral("/velnara.pdf"); }

  QByteArray certificate() const {
    QFile file(certificatePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // The body of object n (between "n 0 obj" and "endobj").
  static QByteArray objectOf(const QByteArray& pdf, int n) {
    const QByteArray opening = QByteArray::number(n) + " 0 obj\r\n";
    const qsizetype from = pdf.indexOf(opening);
    if (from < 0) return {};
    const qsizetype to = pdf.indexOf("endobj", from);
    return pdf.mid(from + opening.size(), to - from - opening.size());
  }

  // The operator lines of the page's content stream (object 5), its text
  // bytes read as Latin-1, which all the certificate's texts fit in.
  static QStringList contentLines(const QByteArray& pdf) {
    const QByteArray object = objectOf(pdf, 5);
    const qsizetype lengthAt = object.indexOf("/Length ");
    const qsizetype streamAt = object.indexOf("stream\r\n");
    if (lengthAt < 0 || streamAt < 0) return {};
    const qsizetype length = object.mid(lengthAt + 8, object.indexOf("\r\n", lengthAt) - lengthAt - 8).toLongLong();
    QString content = QString::fromLatin1(object.mid(streamAt + 8, length));
    if (content.endsWith(u'\n')) content.chop(1);
    return content.split(u'\n');
  }

  // The log runs written after the certificate step's sub-heading.
  std::vector<TextRun> stepLog() const {
    const auto& runs = ppal.debugLog().runs();
    auto it = std::find_if(runs.begin(), runs.end(),
                           [](const TextRun& r) { return r.text == QStringLiteral("\r\nGénération du PDF\r\n"); });
    return it == runs.end() ? std::vector<TextRun>() : std::vector<TextRun>(it + 1, runs.end());
  }

  TestPlatform t;
  Tppal ppal{t.services()};
};

inline std::string joined(const QStringList& lines) { return lines.join(u'\n').toStdString(); }

// True when the lines hold `run` as consecutive lines.
inline bool containsRun(const QStringList& lines, const QStringList& run) {
  for (qsizetype at = 0; at + run.size() <= lines.size(); ++at)
    if (lines.mid(at, run.size()) == run) return true;
  return false;
}

}  // namespace certtest
