#pragma once

// A workstation for the card steps: the application object on the test
// platform, driving the stand-in card library through a scenario written into
// the test installation's library folder, and the library's journal read back.

#include <map>

#include <QFile>
#include <QString>
#include <QStringList>

#include "core/TestPlatform.h"
#include "platform/ini/WindowsIniFile.h"
#include "platform/xml/LibXmlDocument.h"

inline const QString kReader = QStringLiteral("Generic Usb Smart Card Reader 0");

// What simulation.ini says, in the stand-in's own format.
struct Scenario {
  QList<QByteArray> readers{kReader.toLatin1()};
  QByteArray cardFile = "carte.xml";  // empty: no card in the reader
  int session = 7;
  std::map<QByteArray, int> returns, errors;  // by call name
  std::map<QByteArray, QByteArray> table1{{"01", "REGIME GENERAL"}};
  std::map<QByteArray, QByteArray> table2{{"017510000", "CPAM PARIS"}};

  QByteArray text() const {
    QByteArray t = "[Lecteurs]\r\nNombre=" + QByteArray::number(readers.size()) + "\r\n";
    for (qsizetype i = 0; i < readers.size(); ++i)
      t += "Lecteur" + QByteArray::number(i + 1) + "=" + readers[i] + "\r\n";
    t += "[Carte]\r\nEtat=1\r\nSession=" + QByteArray::number(session) + "\r\n";
    if (!cardFile.isEmpty()) t += "Fichier=" + cardFile + "\r\n";
    const auto section = [&t](const char* name, const auto& values) {
      t += QByteArray("[") + name + "]\r\n";
      for (const auto& [key, value] : values) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, int>) {
          t += key + "=" + QByteArray::number(value) + "\r\n";
        } else {
          t += key + "=" + value + "\r\n";
        }
      }
    };
    section("Retours", returns);
    section("Erreurs", errors);
    section("Dictionnaire1", table1);
    section("Dictionnaire2", table2);
    t += "[Journal]\r\nActif=1\r\n";
    return t;
  }
};

// Rows of the configuration database: no update check due on the test
// clock's day, and the stand-in's "no card" and "no reader" codes blocking,
// as an installation has them.
inline QString databaseRows(const QString& extra = QString()) {
  return QStringLiteral(
             "INSERT INTO configuration VALUES ('date_maj', '20261209');"
             "INSERT INTO erreur VALUES ('61441', 'O');"
             "INSERT INTO erreur VALUES ('61442', 'O');") +
         extra;
}

inline QByteArray fixture(const QString& name) {
  QFile f(QStringLiteral(VELNARA_TEST_FIXTURES "/card/") + name);
  if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("missing fixture " + name.toStdString());
  return f.readAll();
}

struct CardStation {
  explicit CardStation(const QString& extraRows = QString(), CardLibrary* library = nullptr)
      : t(databaseRows(extraRows)), ppal(services(library)) {
    ppal.FormCreate();
    pointStandInHere();
  }

  // The stand-in journals the card calls (which take no folder) in the folder
  // of the last initialisation or session opening of the process, which may be
  // an earlier test's. One initialisation call here, then a clean journal, so
  // that a first run failing before both still journals its session end here.
  void pointStandInHere() {
    uint16_t error = 0;
    t.card.Lec_InitLecteurs(ppal.appli_dossier_apilec_force.constData(), "", "", &error);
    clearJournal();
  }

  Platform services(CardLibrary* library) {
    Platform p = t.services();
    p.ini = &ini;
    p.newXmlDocument = [] { return std::make_unique<LibXmlDocument>(); };
    if (library) p.card = library;
    return p;
  }

  void write(const QString& name, const QByteArray& bytes) const {
    QFile f(t.install.apilec() + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
      throw std::runtime_error("cannot write " + name.toStdString());
  }
  void scenario(const Scenario& s) const { write(QStringLiteral("simulation.ini"), s.text()); }
  void card(const QByteArray& xml) const { write(QStringLiteral("carte.xml"), xml); }
  void settings(const QByteArray& ini) const { write(QStringLiteral("api_lec.ini"), ini); }
  QString settingsPath() const { return t.install.apilec() + QStringLiteral("api_lec.ini"); }

  // A good workstation: one reader, the settings naming it, a card.
  void goodWorkstation(const QByteArray& xml = fixture(QStringLiteral("carte-utf8.xml"))) const {
    scenario(Scenario{});
    card(xml);
    settings("[Lecteur]\r\nRessource_Vitale=" + kReader.toLatin1() + "\r\n");
  }

  // The journal's lines, raw bytes (texts reach it in the library's code page).
  QList<QByteArray> journal() const {
    QFile f(t.install.apilec() + QStringLiteral("journal.log"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }
  QList<QByteArray> journalOf(const QByteArray& call) const {
    QList<QByteArray> lines;
    for (const QByteArray& line : journal())
      if (line.startsWith(call + ' ')) lines << line;
    return lines;
  }
  void clearJournal() const { QFile::remove(t.install.apilec() + QStringLiteral("journal.log")); }

  void run() { ppal.action_vitale2Click(); }
  QString log() const { return ppal.debugLog().plainText(); }
  // The log of the card rows: from the reader list heading to the certificate's.
  QString cardLog() const {
    const QString all = log();
    const qsizetype from = all.indexOf(QStringLiteral("\r\n### Liste Lecteurs"));
    const qsizetype to = all.indexOf(QStringLiteral("\r\n### Génération PDF"));
    return from < 0 || to < from ? QString() : all.mid(from, to - from);
  }
  // True when the log holds this text in this style and colour (adjacent
  // runs of one look are merged, so the text may be part of a longer run).
  bool written(const TextRun& expected) const {
    for (const TextRun& r : ppal.debugLog().runs())
      if (r.style == expected.style && r.color == expected.color && r.text.contains(expected.text)) return true;
    return false;
  }

  TestPlatform t;
  WindowsIniFile ini;
  Tppal ppal;
};

inline const TextRun plainBlack(const QString& text) { return {text, fsNone, colors::black}; }
inline const TextRun boldRed(const QString& text) { return {text, fsBold, colors::red}; }
inline const TextRun boldGreen(const QString& text) { return {text, fsBold, colors::green}; }
