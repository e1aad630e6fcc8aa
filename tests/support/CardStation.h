#pragma once

// A workstation for the card steps: the application object on the test
// platform, driving the stand-in card library through a scenario written into
// the test installation's library folder, and the library's journal read back.

#include <map>

#include <QFile>
#include <QString>
#include <QStringList>

#include "platform/ini/WindowsIniFile.h"
#include "platform/xml/LibXmlDocument.h"
#include "support/TestPlatform.h"

inline const QString kReader = QStringLiteral("Generic Usb Smart Card Reader 0");

// What simulation.ini says, in the stand-in's own format.
struct Scenario {
  QList<QByteArray> readers{kReader.toLatin1()};
  QByteArray cardFile = "carte.xml";  // empty: no card in the reader
  int session = 7;
  std::map<QByteArray, int> returns, errors;  // by call name
  std::map<QByteArray, QByteArray> table1{{"01", "REGIME GENERAL"}};
  std::map<QByteArray, QByteArray> table2{{"017510000", "CPAM PARIS"}};

  // The scenario file's content.
  QByteArray text() const;
};

// Rows of the configuration database: no update check due on the test
// clock's day, and the stand-in's "no card" and "no reader" codes blocking,
// as an installation has them.
QString databaseRows(const QString& extra = QString());

QByteArray fixture(const QString& name);

struct CardStation {
  explicit CardStation(const QString& extraRows = QString(), CardLibrary* library = nullptr);

  // The stand-in journals the card calls (which take no folder) in the folder
  // of the last initialisation or session opening of the process, which may be
  // an earlier test's. One initialisation call here, then a clean journal, so
  // that a first run failing before both still journals its session end here.
  void pointStandInHere();

  Platform services(CardLibrary* library);

  void write(const QString& name, const QByteArray& bytes) const;
  void scenario(const Scenario& s) const { write(QStringLiteral("simulation.ini"), s.text()); }
  void card(const QByteArray& xml) const { write(QStringLiteral("carte.xml"), xml); }
  void settings(const QByteArray& content) const { write(QStringLiteral("api_lec.ini"), content); }
  QString settingsPath() const { return t.install.apilec() + QStringLiteral("api_lec.ini"); }

  // A good workstation: one reader, the settings naming it, a card.
  void goodWorkstation(const QByteArray& xml = fixture(QStringLiteral("carte-utf8.xml"))) const;

  // The journal's lines, raw bytes (texts reach it in the library's code page).
  QList<QByteArray> journal() const;
  QList<QByteArray> journalOf(const QByteArray& call) const;
  void clearJournal() const;

  void run() { ppal.action_vitale2Click(); }
  QString log() const { return ppal.debugLog().plainText(); }
  // The log of the card rows: from the reader list heading to the certificate's.
  QString cardLog() const;
  // True when the log holds this text in this style and colour (adjacent
  // runs of one look are merged, so the text may be part of a longer run).
  bool written(const TextRun& expected) const;

  TestPlatform t;
  WindowsIniFile ini;
  Tppal ppal;
};

inline const TextRun plainBlack(const QString& text) { return {text, fsNone, colors::black}; }
inline const TextRun boldRed(const QString& text) { return {text, fsBold, colors::red}; }
inline const TextRun boldGreen(const QString& text) { return {text, fsBold, colors::green}; }
