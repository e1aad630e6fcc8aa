// The update check and the installer download through the real HTTP client
// and downloader against an update server played by someone on the network
// path: the program accepts any certificate authority, so whoever can get a
// certificate for the host's name can answer in its place. Whatever it
// answers, the files of the data folder stay as they were (the check records
// its date, as after any network error), nothing is launched, no temporary
// file is left, and a run cannot be held or swollen by it.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/statvfs.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <thread>

#include <QDir>
#include <QFile>

#include "UpdateSite.h"
#include "platform/downloader/CurlDownloader.h"
#include "platform/http/CurlHttpClient.h"
#include "support/TestPlatform.h"
#include "support/http/EventLoop.h"
#include "support/http/RawHttpsServer.h"

using namespace std::chrono_literals;

namespace {
namespace hostile {

const QByteArray kCertificate = "%PDF-1.4 attestation d'une lecture précédente";
const QByteArray kEarlierInstaller = "#!/bin/sh\necho 'version précédente'\n";
const QString kDownloadBox = QStringLiteral("Erreur durant le téléchargement...");
const QString kRefused = QStringLiteral(" : téléchargement refusé");

// Every entry of the folder, hidden ones included, with its bytes.
std::map<QString, QByteArray> filesOf(const QString& folder) {
  std::map<QString, QByteArray> files;
  for (const QString& name :
       QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    QFile file(folder + u'/' + name);
    files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
  }
  return files;
}

// The names of the files added, removed or changed; empty when none.
std::string differences(const std::map<QString, QByteArray>& before, const std::map<QString, QByteArray>& after) {
  std::string names;
  for (const auto& [name, bytes] : before) {
    const auto found = after.find(name);
    if (found == after.end())
      names += "removed " + name.toStdString() + "; ";
    else if (found->second != bytes)
      names += "changed " + name.toStdString() + "; ";
  }
  for (const auto& [name, bytes] : after)
    if (!before.count(name)) names += "added " + name.toStdString() + "; ";
  return names;
}

long peakMemoryKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A plain-http server on a port of its own, where a redirect from the update
// site would take the exchange out of TLS. It would answer what the program
// wants to hear; nothing may reach it.
class PlainHttpServer {
 public:
  PlainHttpServer() {
    const auto count = [this](const httplib::Request&, httplib::Response& response) {
      ++requests_;
      response.set_header("Content-Disposition", "attachment; filename=\"velna-last.exe\"");
      response.set_content("update", "text/html");
    };
    server_.Get(".*", count);
    server_.Post(".*", count);
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(1ms);
  }
  ~PlainHttpServer() {
    server_.stop();
    thread_.join();
  }
  std::string url(const std::string& path) const { return "http://localhost:" + std::to_string(port_) + path; }
  int requests() const { return requests_; }

 private:
  httplib::Server server_;
  int port_ = -1;
  std::atomic<int> requests_{0};
  std::thread thread_;
};

// The window with the real client and downloader, on an installation whose
// data folder holds the configuration database, the certificate of an
// earlier run and the installer of an earlier download.
class HostileServerTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() { ensureCoreApplication(); }

  void SetUp() override {
    Platform services = t.services();
    services.http = &http;
    services.downloader = &downloader;
    services.updateUrl = QString::fromStdString(site.pageUrl());
    ppal = std::make_unique<Tppal>(services);
    ppal->FormCreate();
    downloader.setRetryDelayForTesting(20ms);
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("velnara.pdf"), kCertificate},
                                      std::pair{QStringLiteral("velna-last.exe"), kEarlierInstaller}}) {
      QFile file(dataFolder() + u'/' + name);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(bytes);
    }
    before = filesOf(dataFolder());
    ASSERT_TRUE(before.count(QStringLiteral("velna.mvd")));
  }

  QString dataFolder() const { return ppal->appli_dossier_commun; }
  // The check finds an update; the download is left to the test.
  void offerAnUpdate() {
    site.answer(200, "update");
    ppal->btn_updateClick();
    ASSERT_TRUE(t.view.isButtonVisible(View::Button::btn_update_go)) << ppal->debugLog().plainText().toStdString();
  }
  // The download is served by a server that answers every request with these bytes.
  void answerRaw(const std::string& bytes) {
    raw = std::make_unique<RawHttpsServer>(TestCertificate::make("localhost"), bytes);
    downloader.setURL(QString::fromStdString(raw->url("/obtenir-derniere-version.php?k=force")));
  }
  void download() {
    ppal->btn_update_goClick();
    ASSERT_TRUE(runEventLoopUntil([&] { return !ppal->downloadInProgress(); })) << "the transfer did not end";
  }

  TestPlatform t;
  CurlHttpClient http{[this] { t.view.pump(); }};
  CurlDownloader downloader;
  UpdateSite site{TestCertificate::make("localhost"), testBytes(4 * 1024 * 1024)};
  PlainHttpServer plain;
  std::unique_ptr<RawHttpsServer> raw;
  std::unique_ptr<Tppal> ppal;
  std::map<QString, QByteArray> before;
};

// ---- the update check ----

struct CheckAnswer {
  const char* name;
  std::function<void(UpdateSite&, PlainHttpServer&, CurlHttpClient&)> arrange;
};
void PrintTo(const CheckAnswer& answer, std::ostream* out) { *out << answer.name; }

// The body trickled: long enough to last half a minute at 100 ms a byte.
void trickleSlowly(UpdateSite& site, CurlHttpClient& http) {
  site.answer(200, std::string(300, ' ') + "update");
  site.trickle(100ms);
  http.setExchangeTimeLimitForTesting(1s);
}

const CheckAnswer kCheckAnswers[] = {
    {"length_of_2_GiB", [](UpdateSite& site, PlainHttpServer&, CurlHttpClient&) { site.answerWithLength(2LL << 30); }},
    {"endless_body", [](UpdateSite& site, PlainHttpServer&, CurlHttpClient&) { site.answerEndlessly(); }},
    {"one_byte_at_a_time", [](UpdateSite& site, PlainHttpServer&, CurlHttpClient& http) { trickleSlowly(site, http); }},
    {"one_byte_at_a_time_after_a_redirect",
     [](UpdateSite& site, PlainHttpServer&, CurlHttpClient& http) {
       site.redirectPosts(site.relayUrl());
       trickleSlowly(site, http);
     }},
    {"redirect_to_plain_http",
     [](UpdateSite& site, PlainHttpServer& plain, CurlHttpClient&) {
       site.answer(200, "update");
       site.redirectPosts(plain.url(UpdateSite::kPagePath));
     }},
};

class HostileCheckTest : public HostileServerTest, public ::testing::WithParamInterface<CheckAnswer> {};

TEST_P(HostileCheckTest, EndsAsAnUnreachableServerWithinItsBounds) {
  GetParam().arrange(site, plain, http);

  ppal->btn_updateClick();

  EXPECT_TRUE(ppal->debugLog().plainText().endsWith(QStringLiteral("Le serveur est injoignable\r\n")))
      << ppal->debugLog().plainText().toStdString();
  EXPECT_EQ(t.view.labelText[View::Label::label_update2], QStringLiteral("Le serveur est injoignable"));
  EXPECT_EQ(t.view.icon(View::StepRow::Image_etat2b), View::Icon::etat_ok);
  EXPECT_FALSE(t.view.isButtonVisible(View::Button::btn_update_go));
  EXPECT_TRUE(downloader.URL().isEmpty());
  EXPECT_FALSE(http.isConnected());
  // The date is recorded as after any network error; nothing else changes.
  EXPECT_EQ(ppal->appli_maj_date, 20261209);
  EXPECT_EQ(differences(before, filesOf(dataFolder())), "changed velna.mvd; ");

  EXPECT_FALSE(site.trickleEnded()) << "the check waited for the whole trickle";
  EXPECT_EQ(plain.requests(), 0) << "the exchange left TLS";
  EXPECT_LT(peakMemoryKiB(), 100 * 1024);
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileCheckTest, ::testing::ValuesIn(kCheckAnswers),
                         [](const auto& instance) { return std::string(instance.param.name); });

// ---- the installer download ----

struct Offer {
  const char* name;
  const char* disposition;
  std::function<void(HostileServerTest&)> arrange;
  // What the error box says: its start and its end.
  QString boxStarts;
  QString boxEnds;
  // Requests of the download that reached a server: a refusal is not tried again.
  std::size_t requests;
};
void PrintTo(const Offer& offer, std::ostream* out) { *out << offer.name; }

const char* const kTheInstaller = "attachment; filename=\"velna-last.exe\"";
const char* const kRawInstaller = "Content-Disposition: attachment; filename=\"velna-last.exe\"\r\n";
constexpr qint64 kTestLimit = 1024 * 1024;
constexpr qint64 kPebibyte = 1LL << 50;
const QString kGaveUp = QStringLiteral(" (abandon après 5 essais)");

const Offer kOffers[] = {
    {"names_the_configuration_database",
     "attachment; filename=\"velna.mvd\"",
     [](HostileServerTest&) {},
     QStringLiteral("Le serveur propose le fichier \"velna.mvd\" au lieu de \"velna-last.exe\"") + kRefused,
     {},
     1},
    {"names_the_certificate",
     "attachment; filename=\"velnara.pdf\"",
     [](HostileServerTest&) {},
     QStringLiteral("Le serveur propose le fichier \"velnara.pdf\" au lieu de \"velna-last.exe\"") + kRefused,
     {},
     1},
    {"names_no_file",
     "",
     [](HostileServerTest& test) { test.site.installer().setServing(DownloadSite::Serving::Sized); },
     QStringLiteral("Le serveur ne donne pas de nom au fichier proposé (attendu : \"velna-last.exe\")") + kRefused,
     {},
     2},
    {"announces_more_than_the_limit",
     kTheInstaller,
     [](HostileServerTest& test) { test.downloader.setSizeLimitForTesting(kTestLimit); },
     QStringLiteral("Le serveur annonce un fichier de 4194304 octets, plus que les 1048576 permis") + kRefused,
     {},
     1},
    {"sends_without_end",
     kTheInstaller,
     [](HostileServerTest& test) {
       test.downloader.setSizeLimitForTesting(kTestLimit);
       test.site.installer().setServing(DownloadSite::Serving::Endless);
     },
     QStringLiteral("Le fichier envoyé par le serveur dépasse les 1048576 octets permis") + kRefused,
     {},
     2},
    {"announces_more_than_the_free_space", kTheInstaller,
     [](HostileServerTest& test) {
       test.downloader.setSizeLimitForTesting(4 * kPebibyte);
       test.site.installer().announceSize(kPebibyte);
     },
     QStringLiteral("Le fichier de 1125899906842624 octets ne tient pas dans les "), kRefused, 1},
    {"ends_the_body_by_closing_the_connection",
     kTheInstaller,
     [](HostileServerTest& test) { test.site.installer().setServing(DownloadSite::Serving::ClosedEnd); },
     QStringLiteral("Le serveur n'annonce ni la taille du fichier ni sa fin, un fichier coupé passerait pour complet") +
         kRefused,
     {},
     2},
    {"cuts_every_chunked_body", kTheInstaller,
     [](HostileServerTest& test) {
       // One chunk, then the end of the connection instead of the last chunk.
       test.answerRaw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n" + std::string(kRawInstaller) + "\r\n400\r\n" +
                      std::string(1024, 'x') + "\r\n");
     },
     QStringLiteral("Échec du transfert : "), kGaveUp, 6},
    {"sends_less_than_its_length_every_time", kTheInstaller,
     [](HostileServerTest& test) {
       test.site.installer().setServing(DownloadSite::Serving::Sized);
       test.site.installer().cutConnections(100000, 1000);
     },
     QStringLiteral("Échec du transfert : "), kGaveUp, 6},
    {"redirects_to_plain_http", kTheInstaller,
     [](HostileServerTest& test) { test.site.installer().redirectTo(test.plain.url("/velna-last.exe")); },
     QStringLiteral("Le serveur renvoie vers une adresse non chiffrée (http://localhost:"), kRefused, 1},
    {"sends_a_nul_byte_in_a_header",
     kTheInstaller,
     [](HostileServerTest& test) {
       using namespace std::string_literals;
       test.answerRaw("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n"s + kRawInstaller + "X-Note: a\0b\r\n\r\nhello"s);
     },
     QStringLiteral("Réponse incorrecte du serveur : "),
     {},
     1},
};

class HostileDownloadTest : public HostileServerTest, public ::testing::WithParamInterface<Offer> {};

TEST_P(HostileDownloadTest, WritesAndLaunchesNothing) {
  const Offer& offer = GetParam();
  site.installer().setDisposition(offer.disposition);
  offerAnUpdate();
  offer.arrange(*this);
  site.installer().forgetRequests();
  before = filesOf(dataFolder());  // the check has recorded its date

  download();

  ASSERT_FALSE(t.view.messages.empty());
  const RecordingView::Box& box = t.view.messages.front();
  EXPECT_EQ(box.caption, kDownloadBox);
  EXPECT_TRUE(box.text.startsWith(offer.boxStarts)) << box.text.toStdString();
  EXPECT_TRUE(box.text.endsWith(offer.boxEnds + QStringLiteral("\r\n"))) << box.text.toStdString();
  EXPECT_EQ(box.text.count(QStringLiteral("\r\n")), 1) << "one error, reported once: " << box.text.toStdString();
  EXPECT_TRUE(t.shell.elevated.isEmpty()) << t.shell.elevated.join(u' ').toStdString();
  EXPECT_FALSE(ppal->terminateRequested());
  EXPECT_EQ(differences(before, filesOf(dataFolder())), "");
  EXPECT_EQ(raw ? std::size_t(raw->requests()) : site.installer().requests().size(), offer.requests);
  EXPECT_EQ(plain.requests(), 0) << "the download left TLS";
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileDownloadTest, ::testing::ValuesIn(kOffers),
                         [](const auto& instance) { return std::string(instance.param.name); });

// What a killed download left in the data folder goes with the next one.
TEST_F(HostileServerTest, NextDownloadRemovesWhatAKilledOneLeft) {
  const QString leftover = dataFolder() + QStringLiteral("/.download-3f2a9c0d1e4b5a67.part");
  {
    QFile file(leftover);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(testBytes(64 * 1024).c_str(), 64 * 1024);
  }
  before = filesOf(dataFolder());
  site.installer().setContent(testBytes(300 * 1024));
  site.installer().setDisposition("attachment; filename=\"Velna-Last.EXE\"");
  offerAnUpdate();
  download();

  EXPECT_TRUE(t.view.messages.empty()) << t.view.messages[0].text.toStdString();
  EXPECT_EQ(t.shell.elevated, QStringList{ppal->appli_maj_name});
  const std::map<QString, QByteArray> after = filesOf(dataFolder());
  EXPECT_EQ(differences(before, after),
            "removed .download-3f2a9c0d1e4b5a67.part; changed velna-last.exe; changed velna.mvd; ");
  EXPECT_EQ(after.at(QStringLiteral("velna-last.exe")), QByteArray::fromStdString(site.installer().content()));
}

}  // namespace hostile
}  // namespace
