#include "support/CardStation.h"

QByteArray Scenario::text() const {
  QByteArray t = "[Lecteurs]\r\nNombre=" + QByteArray::number(readers.size()) + "\r\n";
  for (qsizetype i = 0; i < readers.size(); ++i) t += "Lecteur" + QByteArray::number(i + 1) + "=" + readers[i] + "\r\n";
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

QString databaseRows(const QString& extra) {
  return QStringLiteral(
             "INSERT INTO configuration VALUES ('date_maj', '20261209');"
             "INSERT INTO erreur VALUES ('61441', 'O');"
             "INSERT INTO erreur VALUES ('61442', 'O');") +
         extra;
}

QByteArray fixture(const QString& name) {
  QFile f(QStringLiteral(VELNARA_TEST_FIXTURES "/card/") + name);
  if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("missing fixture " + name.toStdString());
  return f.readAll();
}

CardStation::CardStation(const QString& extraRows, CardLibrary* library)
    : t(databaseRows(extraRows)), ppal(services(library)) {
  ppal.FormCreate();
  pointStandInHere();
}

void CardStation::pointStandInHere() {
  uint16_t error = 0;
  t.card.Lec_InitLecteurs(ppal.appli_dossier_apilec_force.constData(), "", "", &error);
  clearJournal();
}

Platform CardStation::services(CardLibrary* library) {
  Platform p = t.services();
  p.ini = &ini;
  p.newXmlDocument = [] { return std::make_unique<LibXmlDocument>(); };
  if (library) p.card = library;
  return p;
}

void CardStation::write(const QString& name, const QByteArray& bytes) const {
  QFile f(t.install.apilec() + name);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    throw std::runtime_error("cannot write " + name.toStdString());
}

void CardStation::goodWorkstation(const QByteArray& xml) const {
  scenario(Scenario{});
  card(xml);
  settings("[Lecteur]\r\nRessource_Vitale=" + kReader.toLatin1() + "\r\n");
}

QList<QByteArray> CardStation::journal() const {
  QFile f(t.install.apilec() + QStringLiteral("journal.log"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  QList<QByteArray> lines = f.readAll().split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  return lines;
}

QList<QByteArray> CardStation::journalOf(const QByteArray& call) const {
  QList<QByteArray> lines;
  for (const QByteArray& line : journal())
    if (line.startsWith(call + ' ')) lines << line;
  return lines;
}

void CardStation::clearJournal() const { QFile::remove(t.install.apilec() + QStringLiteral("journal.log")); }

QString CardStation::cardLog() const {
  const QString all = log();
  const qsizetype from = all.indexOf(QStringLiteral("\r\n### Liste Lecteurs"));
  const qsizetype to = all.indexOf(QStringLiteral("\r\n### Génération PDF"));
  return from < 0 || to < from ? QString() : all.mid(from, to - from);
}

bool CardStation::written(const TextRun& expected) const {
  for (const TextRun& r : ppal.debugLog().runs())
    if (r.style == expected.style && r.color == expected.color && r.text.contains(expected.text)) return true;
  return false;
}
