// The certificate step as the run calls it: the log, the row, the file that
// real PDF readers accept.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "support/CertificateFixture.h"

using namespace certtest;

namespace {

struct Output {
  int exitCode = -1;
  QString text;
};

Output run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  process.waitForFinished(60000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(process.readAll())};
}

using CertificateStepTest = CertificateFixture;

TEST_F(CertificateStepTest, SuccessShowsTheRowValidatedAndSaysSoInGreen) {
  ppal.check_pdf();

  EXPECT_EQ(ppal.appli_check_continue, 0);
  EXPECT_EQ(ppal.appli_check_continue2, 0);
  EXPECT_EQ(t.view.icon(View::StepRow::Image_etat6), View::Icon::etat_ok);
  EXPECT_EQ(t.view.labelText[View::Label::label_suivi], QStringLiteral("Génération du PDF"));

  const auto& runs = ppal.debugLog().runs();
  ASSERT_GE(runs.size(), 2u);
  EXPECT_EQ(runs[runs.size() - 2],
            (TextRun{QStringLiteral("\r\nGénération du PDF\r\n"), fsBold | fsUnderline, colors::black}));
  EXPECT_EQ(runs.back(), (TextRun{QStringLiteral("le PDF a été correctement généré\r\n"), fsBold, colors::green}));
}

TEST_F(CertificateStepTest, AfterAnEarlierFailureNothingIsWrittenAndThePreviousFileStays) {
  {
    QFile previous(certificatePath());
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("previous certificate");
  }
  ppal.appli_check_continue = 1;
  ppal.appli_check_continue2 = 1;
  const size_t runsBefore = ppal.debugLog().runs().size();

  ppal.check_pdf();

  EXPECT_EQ(t.view.icon(View::StepRow::Image_etat6), View::Icon::etat_nok);
  EXPECT_EQ(ppal.debugLog().runs().size(), runsBefore);
  EXPECT_EQ(certificate(), QByteArray("previous certificate"));
}

TEST_F(CertificateStepTest, ALongerPreviousCertificateIsReplacedWhole) {
  {
    QFile previous(certificatePath());
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write(QByteArray(200000, 'x'));
  }
  ppal.check_pdf();

  const QByteArray pdf = certificate();
  EXPECT_TRUE(pdf.startsWith("%PDF-1.2"));
  EXPECT_TRUE(pdf.endsWith("%%EOF\r\n"));
  EXPECT_FALSE(pdf.contains("xxxxxxxx"));
}

TEST_F(CertificateStepTest, RealReadersAcceptTheFileAndGiveTheTextsBack) {
  const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  ASSERT_FALSE(qpdf.isEmpty()) << "qpdf (Debian package qpdf) is needed";
  ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (Debian package poppler-utils) is needed";
  fillCard(3);
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0);

  const Output check = run(qpdf, {QStringLiteral("--check"), certificatePath()});
  EXPECT_EQ(check.exitCode, 0) << check.text.toStdString();
  EXPECT_TRUE(check.text.contains(QStringLiteral("No syntax or stream encoding errors found")))
      << check.text.toStdString();
  EXPECT_FALSE(check.text.contains(QStringLiteral("WARNING"))) << check.text.toStdString();

  const Output text =
      run(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), certificatePath(), QStringLiteral("-")});
  ASSERT_EQ(text.exitCode, 0) << text.text.toStdString();
  for (const char* expected : {"Attestation de droits Régime Obligatoire",
                               "Assuré social :",
                               "DUPONT Jérôme",
                               "DUPONT Léa",
                               "DUPONT-MAÏA Noël",
                               "N° de Sécurité Sociale :",
                               "1 85 07 75 123 456 78",
                               "2 12 01 75 123 456 12",
                               "Régime général",
                               "CPAM de Paris (75)",
                               "01 751 0000",
                               "organisme de rattachement sécurité sociale",
                               "n° de sécurité sociale du bénéficiaire",
                               "Bénéficiaire(s)",
                               "né(e) le / rang",
                               "15/07/1985",
                               "03/02/2012",
                               "21/03/2015",
                               "Conformément à la loi Informatique et Libertés",
                               "Extrait le 09/12/2026 - 14:05:33 depuis la carte portant numéro de série 0123456789"})
    EXPECT_TRUE(text.text.contains(QString::fromUtf8(expected))) << expected << "\n--- pdftotext:\n"
                                                                 << text.text.toStdString();
}

}  // namespace
