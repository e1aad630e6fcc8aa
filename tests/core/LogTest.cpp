// The diagnostic log: appends, the header and the RTF file.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/RtfWriter.h"
#include "support/TestPlatform.h"

TEST(Log, LabelAndValueShareOneLine) {
  TestPlatform t;
  Tppal ppal(t.services());
  ppal.AddDebugText(QStringLiteral("Version Logiciel : "), fsNone, colors::black);
  ppal.AddDebugText(QStringLiteral("1.09\r\n"), fsBold, colors::black);
  ppal.AddDebugLine(QStringLiteral("Dictionnaire 1: 0(0)"));
  ppal.AddDebugText(QStringLiteral("suite"), fsNone, colors::black);
  ppal.AddDebugLine(QStringLiteral("Dictionnaire 2: 1(5)"));

  EXPECT_EQ(ppal.debugLog().plainText(),
            QStringLiteral("Version Logiciel : 1.09\r\nDictionnaire 1: 0(0)\r\nsuite\r\nDictionnaire 2: 1(5)\r\n"));
  const auto& runs = ppal.debugLog().runs();
  EXPECT_EQ(runs[0], (TextRun{QStringLiteral("Version Logiciel : "), fsNone, colors::black}));
  EXPECT_EQ(runs[1], (TextRun{QStringLiteral("1.09\r\n"), fsBold, colors::black}));
}

TEST(Log, HeaderHasEveryLineWithValuesInBold) {
  TestPlatform t;
  t.wmi.instances[QStringLiteral("Win32_Bios")] = {QStringLiteral("instance of Win32_BIOS\n{\n};\n")};
  t.wmi.instances[QStringLiteral("Win32_Processor")] = {
      QStringLiteral("instance of Win32_Processor\n{\n\tProcessorId = \"ABC\";\n};\n")};
  Tppal ppal(t.services());
  ppal.FormCreate();
  ppal.debug_mode();
  ppal.debug_mode();  // a second header replaces the first

  EXPECT_EQ(ppal.debugLog().plainText(), QStringLiteral("Diagnostic pour Velnara\r\n\r\n"
                                                        "Informations Générales\r\n"
                                                        "Heure et Date : 09/12/2026 14:05\r\n"
                                                        "Version Logiciel : 1.09\r\n"
                                                        "Version APILEC : 1.0.0.1\r\n"
                                                        "Version Windows : Debian GNU/Linux 12 (bookworm)\r\n"
                                                        "   - Build : 6.1.0\r\n"
                                                        "   - Architecture : 64 bits\r\n"
                                                        "   - Nom : POSTE-01\r\n"
                                                        "   - Numéro : 00330-80000\r\n"
                                                        "Bios : \r\n"
                                                        "CPU ID : ABC\r\n"
                                                        "CPU Cache L2 : 0\r\n"));
  const auto& runs = ppal.debugLog().runs();
  EXPECT_EQ(runs[0].style, unsigned(fsBold | fsUnderline));
  EXPECT_EQ(runs[0].color, colors::blue);
  EXPECT_EQ(runs[2], (TextRun{QStringLiteral("Heure et Date : "), fsNone, colors::black}));
  EXPECT_EQ(runs[3], (TextRun{QStringLiteral("09/12/2026 14:05\r\n"), fsBold, colors::black}));
}

namespace {
StyledText sampleLog() {
  StyledText log;
  log.append({QStringLiteral("Diagnostic pour Velnara\r\n\r\n"), fsBold | fsUnderline, colors::blue});
  log.append({QStringLiteral("Fichier : "), fsNone, colors::black});
  log.append({QStringLiteral("présent {ok} \\ fin\r\n"), fsBold, colors::green});
  log.append({QStringLiteral("Lecteur non branché\r\n"), fsBold, colors::red});
  return log;
}

// unrtf writes its text output in Latin-1 and its HTML output in ASCII.
QString unrtf(const QString& mode, const QString& path) {
  QProcess p;
  p.start(QStringLiteral("unrtf"), {mode, path});
  p.waitForFinished(30000);
  return QString::fromLatin1(p.readAllStandardOutput());
}
}  // namespace

TEST(Rtf, RealReaderShowsTextStylesAndColours) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("diag.rtf"));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(toRtf(sampleLog()));
  f.close();

  const QString text = unrtf(QStringLiteral("--text"), path);
  EXPECT_TRUE(text.contains(QStringLiteral("Diagnostic pour Velnara"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Fichier : présent {ok} \\ fin"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Lecteur non branché"))) << text.toStdString();

  const QString html = unrtf(QStringLiteral("--html"), path).toLower();
  EXPECT_TRUE(html.contains(QStringLiteral("<b>"))) << html.toStdString();
  EXPECT_TRUE(html.contains(QStringLiteral("<u>"))) << html.toStdString();
  for (const char* colour : {"#0000ff", "#008000", "#ff0000"})
    EXPECT_TRUE(html.contains(QString::fromLatin1(colour))) << colour;
  EXPECT_TRUE(html.contains(QStringLiteral("tahoma"))) << html.toStdString();
  EXPECT_TRUE(html.contains(QStringLiteral("pr&eacute;sent"))) << html.toStdString();
}

TEST(Rtf, ControlCharactersOtherThanLineBreaksAndTabsAreLeftOut) {
  StyledText log;
  log.append({QStringLiteral("a\x01"
                             "b\x7F"
                             "c\td\r\ne"),
              fsNone, colors::black});
  const QByteArray rtf = toRtf(log);
  for (const char c : rtf) EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << int(c);
  EXPECT_TRUE(rtf.contains("abc\\tab d\\par\r\ne}")) << rtf.toStdString();
}

TEST(Rtf, SaveAddsTheExtensionReplacesAndReportsFailures) {
  QTemporaryDir dir;
  TestPlatform t;
  Tppal ppal(t.services());
  ppal.AddDebugText(QStringLiteral("ligne\r\n"), fsNone, colors::black);

  t.view.saveAnswer = std::nullopt;  // cancelled: nothing happens
  ppal.btn_sauve_fichierClick();
  EXPECT_EQ(t.view.offeredName, QStringLiteral("diag-Velnara.rtf"));
  EXPECT_EQ(t.view.saveDialogTitle, QStringLiteral("Sauvegarde du diagnostique Velnara"));

  QFile old(dir.filePath(QStringLiteral("diag.rtf")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old content");
  old.close();
  t.view.saveAnswer = dir.filePath(QStringLiteral("diag"));
  ppal.btn_sauve_fichierClick();
  QFile saved(dir.filePath(QStringLiteral("diag.rtf")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().startsWith("{\\rtf1"));
  EXPECT_EQ(t.view.offeredName, QStringLiteral("diag-Velnara.rtf"));
  ppal.btn_sauve_fichierClick();
  EXPECT_EQ(t.view.offeredName, dir.filePath(QStringLiteral("diag.rtf")));  // the dialog keeps the path

  t.view.saveAnswer = dir.filePath(QStringLiteral("absent/diag.rtf"));
  ppal.btn_sauve_fichierClick();
  ASSERT_EQ(t.view.messages.size(), 1u);
  EXPECT_EQ(t.view.messages[0].caption, QStringLiteral("Velnara"));
  // French first; the system's own words after it.
  EXPECT_TRUE(t.view.messages[0].text.startsWith(QStringLiteral("Impossible d'enregistrer le diagnostic dans ") +
                                                 dir.filePath(QStringLiteral("absent/diag.rtf")) +
                                                 QStringLiteral(".\rMotif donné par le système : ")))
      << t.view.messages[0].text.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("absent"))));
}
