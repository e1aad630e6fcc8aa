#pragma once

// A Tppal on the test platform, with card data filled in as the card steps
// leave it, a logo in the program folder, and readers for the certificate
// file it writes.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include "support/TestPlatform.h"

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
  void fillCard(int count);

  QString certificatePath() const { return ppal.appli_dossier_commun + QStringLiteral("/velnara.pdf"); }

  QByteArray certificate() const {
    QFile file(certificatePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // The body of object n (between "n 0 obj" and "endobj").
  static QByteArray objectOf(const QByteArray& pdf, int n);

  // The operator lines of the page's content stream (object 5), its text
  // bytes read as Latin-1, which all the certificate's texts fit in.
  static QStringList contentLines(const QByteArray& pdf);

  // The log runs written after the certificate step's sub-heading.
  std::vector<TextRun> stepLog() const;

  TestPlatform t;
  Tppal ppal{t.services()};
};

inline std::string joined(const QStringList& lines) { return lines.join(u'\n').toStdString(); }

// True when the lines hold `run` as consecutive lines.
bool containsRun(const QStringList& lines, const QStringList& run);

}  // namespace certtest
