// The demo installation driven by the terminal runner, as support staff do.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/ToolSupport.h"

namespace {

// The runner prints each action's log, page, labels and icons; one block per action.
QStringList actionBlocks(const QString& out) {
  QStringList blocks = out.split(QStringLiteral("\nicons: "));
  blocks.removeLast();
  return blocks;
}

}  // namespace

TEST(EndToEnd, DemoCardIsReadTwiceAndTheReaderListedOnce) {
  QTemporaryDir cad;
  const ToolResult setup = setUpDemo(cad.path());
  ASSERT_EQ(setup.exitCode, 0) << setup.err.toStdString();

  const ToolResult r =
      runTool(QStringLiteral("velnara-run"),
              {QStringLiteral("--update-url"), QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php"),
               QStringLiteral("--common-data"), cad.path(), QStringLiteral("run"), QStringLiteral("run")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();

  const QStringList runs = actionBlocks(r.out);
  ASSERT_EQ(runs.size(), 2) << r.out.toStdString();
  const QString reader = QStringLiteral("Lecteur branché : Generic Usb Smart Card Reader 0\n");
  EXPECT_TRUE(
      runs[0].contains(QStringLiteral("### Liste Lecteurs\nChoix du lecteur\nNombre de lecteurs : 1\n") + reader));
  EXPECT_TRUE(runs[1].contains(QStringLiteral("### Liste Lecteurs\n### Initialisation Lecteurs\n")));
  EXPECT_FALSE(runs[1].contains(reader));
  for (const QString& run : runs) {
    EXPECT_TRUE(run.contains(QStringLiteral("Les lecteurs sont identiques\nLecteur initialisé\n")));
    EXPECT_TRUE(
        run.contains(QStringLiteral("La données ont été récupérées\nDictionnaire 1: 0(0)\nDictionnaire 2: 0(0)\n")));
  }
  // Rows 3 to 5 (reader, card, card data) green after each run.
  const QStringList icons = r.out.split(QStringLiteral("\nicons: ")).mid(1);
  ASSERT_EQ(icons.size(), 2);
  for (const QString& line : icons) {
    const QStringList row = line.section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(' '));
    ASSERT_EQ(row.size(), 6) << line.toStdString();
    EXPECT_EQ(row.mid(2, 3), QStringList(3, QStringLiteral("etat_ok"))) << line.toStdString();
  }
  // The stand-in saw both sessions end.
  QFile journal(cad.filePath(QStringLiteral("santesocial/api_lec/journal.log")));
  ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
  EXPECT_EQ(journal.readAll().count("Lec_FermetureSessionVitale session=1 "), 2);
}

TEST(EndToEnd, ReaderPageShowsAndChangesTheConfiguredReader) {
  QTemporaryDir cad;
  ASSERT_EQ(setUpDemo(cad.path()).exitCode, 0);
  const ToolResult r =
      runTool(QStringLiteral("velnara-run"),
              {QStringLiteral("--update-url"), QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php"),
               QStringLiteral("--common-data"), cad.path(), QStringLiteral("reader-page"),
               QStringLiteral("reader=Autre lecteur 0")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains(QStringLiteral("Edit_gestion_1: Generic Usb Smart Card Reader 0\n")));
  EXPECT_TRUE(r.err.contains(QStringLiteral("Le programme doit être arrêter puis relancer pour")));
  QFile settings(cad.filePath(QStringLiteral("santesocial/api_lec/api_lec.ini")));
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  EXPECT_EQ(settings.readAll(), QByteArray("[Lecteur]\r\nRessource_Vitale=Autre lecteur 0\r\n"));
}
