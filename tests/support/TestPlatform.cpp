#include "support/TestPlatform.h"

// Out of line, so that the fakes' tables and bodies are compiled once here
// rather than in every test file.
RecordingView::~RecordingView() = default;
FixedClock::~FixedClock() = default;
ScriptedDownloader::~ScriptedDownloader() = default;

QStringList FakeWmi::query(const QString&, const QString&, const QString& wql) {
  if (failing) throw std::runtime_error("Le service WMI est injoignable");
  for (const auto& [cls, texts] : instances)
    if (wql.endsWith(cls)) return texts;
  return {};
}

bool RecordingShell::open(const QString& target) {
  opened << target;
  return true;
}

bool RecordingShell::runAsAdministrator(const QString& file) {
  elevated << file;
  return elevate;
}

void ScriptedHttp::post(const QString& url, QByteArray& body) {
  posts << url;
  exchangeOpen = true;
  if (fail) throw HttpError("Le serveur ne répond pas");
  body = answer;
}

void ScriptedDownloader::start() {
  if (busy) throw std::runtime_error("Operation is in progress");
  ++starts;
}

TestInstall::TestInstall(const QString& rows) {
  QDir().mkpath(cad() + QStringLiteral("/Trelvo/velna"));
  QDir().mkpath(cad() + QStringLiteral("/santesocial/api_lec"));
  QDir().mkpath(program());
  for (const char* file : {"libapi_lec.so", "velna.mvi"})
    QFile::copy(QStringLiteral(VELNARA_BIN_DIR "/") + QLatin1String(file),
                program() + QLatin1Char('/') + QLatin1String(file));
  if (!rows.isNull()) writeDatabase(rows);
}

void TestInstall::layOutDemo() const { ::install({cad(), program(), true, true}); }

void TestInstall::writeDatabase(const QString& rows) const {
  SqlCipherDatabase::createFromScript(
      database(), QStringLiteral("Hv6Np3Xr8L"),
      QStringLiteral("CREATE TABLE configuration (id TEXT PRIMARY KEY, valeur TEXT);"
                     "CREATE TABLE erreur (id TEXT PRIMARY KEY, bloquant TEXT);"
                     "CREATE TABLE fichiers (id INTEGER PRIMARY KEY, nom TEXT, dossier TEXT, taille TEXT);") +
          rows,
      SqlCipherDatabase::Existing::Replace);
}

TestPlatform::TestPlatform(const QString& rows) : install(rows) {}

TestPlatform::TestPlatform(Demo) : install(QString()) { install.layOutDemo(); }

TestPlatform::~TestPlatform() = default;

Platform TestPlatform::services() {
  Platform p;
  p.view = &view;
  p.card = &card;
  p.db = &db;
  p.ini = &ini;
  p.newXmlDocument = [] { return std::make_unique<LibXmlDocument>(); };
  p.http = &http;
  p.downloader = &downloader;
  p.shell = &shell;
  p.wmi = &wmi;
  p.files = &files;
  p.clock = &clock;
  p.folders = &folders;
  p.updateUrl = QStringLiteral("https://maj.example.test/obtenir-derniere-version.php");
  p.siteUrl = QStringLiteral("https://www.example.test/");
  return p;
}
