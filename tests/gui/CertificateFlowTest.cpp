// The program's main job through its window: a click on the card picture of
// a demo installation, the certificate page at the end, the certificate on
// disk, and a click on its icon that hands it to the desktop.
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>

#include "GuiFixture.h"
#include "platform/qt/StepIcons.h"

namespace {

using Icon = View::Icon;

const std::pair<Icon, const char*> iconNames[] = {
    {Icon::etat_attente, "etat_attente"}, {Icon::etat_en_cours, "etat_en_cours"}, {Icon::etat_ok, "etat_ok"},
    {Icon::etat_nok, "etat_nok"},         {Icon::etat_saute, "etat_saute"},
};

struct ToolOutput {
  int exitCode = -1;
  QString text;
};

ToolOutput runTool(const char* tool, const QStringList& arguments) {
  const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
  if (program.isEmpty()) return {-1, QStringLiteral("%1 is not installed").arg(QLatin1String(tool))};
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return {-1, QStringLiteral("%1 did not finish").arg(QLatin1String(tool))};
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(process.readAll())};
}

// A fresh demo installation: the first run asks the update server, which
// is not there (a closed local port), and goes on.
class CertificateFlow : public GuiTest {
 protected:
  CertificateFlow() : GuiTest(/*updateCheckDoneToday=*/false) {}

  std::string pageShown() const { return GuiTest::pageShown().toStdString(); }

  // The name of the status icon a row shows, recognised by its picture.
  std::string iconOf(const char* row) const {
    const auto* picture = window.findChild<QLabel*>(QString::fromLatin1(row));
    if (picture == nullptr || picture->pixmap().isNull()) return "none";
    const QImage shown = picture->pixmap().toImage();
    for (const auto& [icon, name] : iconNames)
      if (shown == stepIcon(icon).toImage()) return name;
    return "unknown picture";
  }

  std::vector<std::string> rowIcons() const {
    std::vector<std::string> icons;
    for (const char* row : {"Image_etat1", "Image_etat2b", "Image_etat3", "Image_etat4", "Image_etat5", "Image_etat6"})
      icons.push_back(iconOf(row));
    return icons;
  }

  QString boxTexts() const {
    QString all;
    for (const ShownBox& box : boxes) all += box.caption + QStringLiteral(": ") + box.text + QLatin1Char('\n');
    return all;
  }
};

TEST_F(CertificateFlow, OneClickOnTheCardGivesTheCertificatePageAndAValidFile) {
  ASSERT_EQ(pageShown(), "tab_carte");
  ASSERT_FALSE(QFile::exists(install.certificate()));

  click("action_vitale2");

  EXPECT_EQ(pageShown(), "tab_pdf");
  EXPECT_EQ(rowIcons(), std::vector<std::string>(6, "etat_ok"));
  EXPECT_TRUE(boxes.empty()) << boxTexts().toStdString();
  EXPECT_TRUE(ppal->debugLog().plainText().contains(QStringLiteral("le PDF a été correctement généré")));

  const ToolOutput check = runTool("qpdf", {QStringLiteral("--check"), install.certificate()});
  EXPECT_EQ(check.exitCode, 0) << check.text.toStdString();
  EXPECT_FALSE(check.text.contains(QStringLiteral("WARNING"))) << check.text.toStdString();

  // The demo card's people made it from the card library into the page.
  const ToolOutput text = runTool(
      "pdftotext", {QStringLiteral("-enc"), QStringLiteral("UTF-8"), install.certificate(), QStringLiteral("-")});
  ASSERT_EQ(text.exitCode, 0) << text.text.toStdString();
  for (const char* expected : {"Attestation de droits Régime Obligatoire", "MARTIN Hélène", "MARTIN Loïc", "15/03/1980",
                               "02/11/2012", "depuis la carte portant numéro de série 0123456789"})
    EXPECT_TRUE(text.text.contains(QString::fromUtf8(expected))) << expected << "\n--- pdftotext:\n"
                                                                 << text.text.toStdString();
}

TEST_F(CertificateFlow, SecondRunSkipsTheUpdateCheckDoneTodayAndRewritesTheCertificate) {
  click("action_vitale2");
  ASSERT_EQ(pageShown(), "tab_pdf");
  ASSERT_TRUE(QFile::remove(install.certificate()));

  click("btn_vitale");
  click("action_vitale2");

  EXPECT_EQ(pageShown(), "tab_pdf");
  const std::vector<std::string> expected{"etat_ok", "etat_saute", "etat_ok", "etat_ok", "etat_ok", "etat_ok"};
  EXPECT_EQ(rowIcons(), expected);
  EXPECT_TRUE(QFile::exists(install.certificate()));
  EXPECT_TRUE(boxes.empty()) << boxTexts().toStdString();
}

TEST_F(CertificateFlow, IconHandsExactlyTheCertificateToTheDesktop) {
  click("action_vitale2");
  ASSERT_EQ(pageShown(), "tab_pdf");

  click("image_pdf");

  ASSERT_EQ(shell->opened.size(), 1);
  EXPECT_EQ(shell->opened.front().toStdString(), install.certificate().toStdString());
  EXPECT_TRUE(shell->elevated.isEmpty());
  EXPECT_TRUE(boxes.empty()) << boxTexts().toStdString();
  EXPECT_EQ(pageShown(), "tab_pdf");
}

TEST_F(CertificateFlow, IconOfADeletedCertificateShowsTheBoxAndOpensNothing) {
  click("action_vitale2");
  ASSERT_EQ(pageShown(), "tab_pdf");
  ASSERT_TRUE(QFile::remove(install.certificate()));

  click("image_pdf");

  EXPECT_TRUE(shell->opened.isEmpty());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes.front().caption.toStdString(), "Erreur ouverture PDF...");
  // The box shows the carriage return of the message as a line break.
  EXPECT_EQ(boxes.front().text.toStdString(),
            "Le fichier velnara.pdf est introuvable ! \nVeuillez relancer la procédure de lecture Carte Vitale");
  EXPECT_EQ(boxes.front().icon, View::MessageIcon::Information);
  EXPECT_EQ(pageShown(), "tab_pdf");
}

}  // namespace
