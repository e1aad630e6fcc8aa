// velnara-run, the terminal face of the program, as support staff use it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/ToolSupport.h"

namespace {

struct Result {
  int exitCode = -1;
  QString out, err;
};

// Every run asks a closed local port for updates: no test talks to the
// outside world.
Result runner(QStringList args) {
  args.prepend(QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php"));
  args.prepend(QStringLiteral("--update-url"));
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(VELNARA_BIN_DIR "/velnara-run"), args);
  p.waitForFinished(120000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

TEST(Runner, UsageErrorsExitWithTwo) {
  for (const QStringList& args : {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("fly")},
                                  QStringList{QStringLiteral("run"), QStringLiteral("--common-data")}}) {
    const Result r = runner(args);
    EXPECT_EQ(r.exitCode, 2) << args.join(u' ').toStdString();
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("usage: velnara-run"))) << r.err.toStdString();
  }
}

TEST(Runner, PrintsLogPageLabelsAndIconsAfterAnAction) {
  QTemporaryDir cad;
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  const QString rtf = cad.filePath(QStringLiteral("diag.rtf"));
  const Result r =
      runner({QStringLiteral("--common-data"), cad.path(), QStringLiteral("--rtf"), rtf, QStringLiteral("run")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  // Plain text, no escape codes when standard output is not a terminal.
  EXPECT_FALSE(r.out.contains(QChar(0x1b)));
  EXPECT_FALSE(r.out.contains(QChar('\r')));
  EXPECT_TRUE(r.out.startsWith(QStringLiteral("Diagnostic pour Velnara\n\nInformations Générales\n")))
      << r.out.toStdString();
  EXPECT_TRUE(r.out.contains(QStringLiteral("\n### Génération PDF\nGénération du PDF\n")));
  EXPECT_TRUE(r.out.contains(QStringLiteral("\npage: tab_pdf\n")));
  EXPECT_TRUE(r.out.contains(QStringLiteral("\nlabel_suivi2: Traitement en cours [black]\n")));
  EXPECT_TRUE(r.out.endsWith(QStringLiteral("icons: etat_ok etat_ok etat_ok etat_ok etat_ok etat_ok\n")));
  QFile saved(rtf);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().startsWith("{\\rtf1"));
}

TEST(Runner, ActionsRunInOrderAndEachPrintsItsState) {
  QTemporaryDir cad;
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  const Result r =
      runner({QStringLiteral("--common-data"), cad.path(), QStringLiteral("update"), QStringLiteral("run")});
  EXPECT_EQ(r.out.count(QStringLiteral("\npage: ")), 2);
  const qsizetype update = r.out.indexOf(QStringLiteral("page: tab_update"));
  const qsizetype pdf = r.out.indexOf(QStringLiteral("page: tab_pdf"));
  EXPECT_GE(update, 0);
  EXPECT_GT(pdf, update);
}

TEST(Runner, ConfigurationFailureAtStartExitsWithFour) {
  QTemporaryDir cad;  // no installation at all
  const Result r = runner({QStringLiteral("--common-data"), cad.path()});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_TRUE(
      r.err.startsWith(QStringLiteral("[Erreur au chargement...] Impossible de charger le système de "
                                      "configuration ! \nVeuillez réinstaller l'application\n")))
      << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());
}

TEST(Runner, AnErrorThatEndsAnActionExitsWithThree) {
  QTemporaryDir cad;
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  // A save into a folder that does not exist cannot succeed.
  const Result r = runner({QStringLiteral("--common-data"), cad.path(), QStringLiteral("--rtf"),
                           cad.filePath(QStringLiteral("absent/diag.rtf"))});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_TRUE(r.err.contains(QStringLiteral("[Velnara] Impossible d'enregistrer le diagnostic dans ")))
      << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("\nVelnara: Impossible d'enregistrer le diagnostic dans ")))
      << r.err.toStdString();
}
