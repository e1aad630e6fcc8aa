// The update check through the real HTTP client against a local HTTPS
// server: what the server answers or fails to answer, and what the program
// then logs, shows, records and hands to the downloader.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "UpdateSite.h"
#include "platform/http/CurlHttpClient.h"
#include "support/TestPlatform.h"

using namespace std::chrono_literals;
using Icon = View::Icon;
using Label = View::Label;
using Button = View::Button;

namespace {

const View::StepRow kUpdateRow = View::StepRow::Image_etat2b;
const QString kToday = QStringLiteral("20261209");  // the test platform's fixed clock

// The application object on the test platform, with the real HTTP client in
// place of the scripted one.
struct RealCheck {
  explicit RealCheck(const std::string& updateUrl) {
    Platform services = t.services();
    services.http = &http;
    services.updateUrl = QString::fromStdString(updateUrl);
    ppal = std::make_unique<Tppal>(services);
    ppal->FormCreate();
  }
  QString storedDate() {
    t.db.clearSql();
    t.db.setSql(QStringLiteral("SELECT valeur FROM configuration WHERE id=\"date_maj\""));
    t.db.open();
    const QString value = t.db.field(0).value_or(QStringLiteral("(null)"));
    t.db.close();
    return value;
  }

  TestPlatform t;
  // Runs at every pump, once the view's own pump is done.
  std::function<void()> duringPump;
  CurlHttpClient http{[this] {
    t.view.pump();
    if (duringPump) duringPump();
  }};
  std::unique_ptr<Tppal> ppal;
};

enum class Verdict { UpdateFound, UpToDate, NoVerdict, Unreachable };

QString downloadUrlFor(const std::string& pageUrl) {
  return QString::fromStdString(pageUrl) + QStringLiteral("?l=velna&v=1.09&k=force");
}

// The log lines the check writes after its sub-heading.
std::vector<TextRun> logLinesFor(Verdict verdict, const QString& downloadUrl) {
  std::vector<TextRun> lines{{QStringLiteral("Envoi de la demande\r\n"), fsNone, colors::black}};
  switch (verdict) {
    case Verdict::UpdateFound:
      lines.push_back({QStringLiteral("Mise à jour disponible\r\n"), fsBold, colors::red});
      lines.push_back({downloadUrl + QStringLiteral("\r\n"), fsNone, colors::red});
      break;
    case Verdict::UpToDate:
      lines.push_back({QStringLiteral("Votre version est à jour\r\n"), fsNone, colors::green});
      break;
    case Verdict::Unreachable:
      lines.push_back({QStringLiteral("Le serveur est injoignable\r\n"), fsNone, colors::green});
      break;
    case Verdict::NoVerdict:
      break;
  }
  return lines;
}

QString label2For(Verdict verdict) {
  switch (verdict) {
    case Verdict::UpdateFound:
      return QStringLiteral("Une mise à jour est disponible");
    case Verdict::UpToDate:
      return QStringLiteral("Votre version est à jour");
    case Verdict::Unreachable:
      return QStringLiteral("Le serveur est injoignable");
    case Verdict::NoVerdict:
      break;
  }
  return QStringLiteral("Contrôle en cours...");
}

// Everything the on-demand check leaves behind for this verdict.
void expectOutcome(RealCheck& c, Verdict verdict, const std::string& pageUrl) {
  const bool found = verdict == Verdict::UpdateFound;
  const QString downloadUrl = downloadUrlFor(pageUrl);

  const std::vector<TextRun> lines = logLinesFor(verdict, downloadUrl);
  const std::vector<TextRun>& runs = c.ppal->debugLog().runs();
  ASSERT_GE(runs.size(), lines.size());
  EXPECT_EQ(std::vector<TextRun>(runs.end() - std::ptrdiff_t(lines.size()), runs.end()), lines)
      << c.ppal->debugLog().plainText().toStdString();
  QString tail = QStringLiteral("\r\nContrôle Mise à Jour\r\n");
  for (const TextRun& line : lines) tail += line.text;
  EXPECT_TRUE(c.ppal->debugLog().plainText().endsWith(tail)) << c.ppal->debugLog().plainText().toStdString();

  EXPECT_EQ(c.t.view.labelText[Label::label_update2], label2For(verdict));
  EXPECT_EQ(c.t.view.icon(kUpdateRow), found ? Icon::etat_nok : Icon::etat_ok);
  EXPECT_EQ(c.ppal->appli_maj_date, 20261209);
  EXPECT_EQ(c.storedDate(), kToday);
  EXPECT_EQ(c.t.downloader.URL(), found ? downloadUrl : QString());
  EXPECT_EQ(c.t.view.isButtonVisible(Button::btn_update_go), found);
  EXPECT_EQ(c.t.view.currentPage(), View::Page::tab_update);
  if (found) {
    EXPECT_EQ(c.t.view.labelText[Label::label_suivi], QStringLiteral("Mise à Jour disponible"));
    EXPECT_EQ(c.t.view.labelColor[Label::label_suivi], colors::maroon);
  }
  // The check closes its connection, whatever the outcome.
  EXPECT_FALSE(c.http.isConnected());
}

void expectTheUpdateForm(const UpdateSite::Request& request) {
  EXPECT_EQ(request.target, UpdateSite::kPagePath);
  EXPECT_EQ(request.body, "logiciel=velna&version=1.09");
  EXPECT_EQ(request.contentType, "application/x-www-form-urlencoded");
  EXPECT_EQ(request.accept, "*/*");
  EXPECT_EQ(request.userAgent, "Mozilla/4.0 (compatible; MORVEK)");
  EXPECT_FALSE(request.cookie);
}

struct ServerAnswer {
  const char* name;
  int status;
  std::string body;
  Verdict verdict;
};
// Test listings name the case instead of dumping its bytes.
void PrintTo(const ServerAnswer& answer, std::ostream* out) { *out << answer.name; }

class UpdateServerAnswers : public ::testing::TestWithParam<ServerAnswer> {};

}  // namespace

TEST_P(UpdateServerAnswers, DecideWhatTheCheckReports) {
  const ServerAnswer& a = GetParam();
  UpdateSite site(TestCertificate::make("localhost"));
  site.answer(a.status, a.body);
  RealCheck c(site.pageUrl());

  c.ppal->btn_updateClick();

  expectOutcome(c, a.verdict, site.pageUrl());
  const auto posts = site.requests("POST");
  ASSERT_EQ(posts.size(), 1u);
  expectTheUpdateForm(posts[0]);
  EXPECT_EQ(site.requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(RealClient, UpdateServerAnswers,
                         ::testing::Values(ServerAnswer{"update", 200, "update", Verdict::UpdateFound},
                                           ServerAnswer{"updateWithLineEnd", 200, "update\r\n", Verdict::UpToDate},
                                           ServerAnswer{"capitalisedUpdate", 200, "Update", Verdict::UpToDate},
                                           ServerAnswer{"error", 200, "error", Verdict::NoVerdict},
                                           ServerAnswer{"emptyBody", 200, "", Verdict::UpToDate},
                                           // A failed status wins over a body that says "update".
                                           ServerAnswer{"notFound", 404, "update", Verdict::Unreachable},
                                           ServerAnswer{"serverError", 500, "update", Verdict::Unreachable}),
                         [](const ::testing::TestParamInfo<ServerAnswer>& instance) {
                           return std::string(instance.param.name);
                         });

TEST(UpdateCheckOverHttps, ClosedPortIsUnreachable) {
  const std::string url = "https://localhost:" + std::to_string(closedPort()) + UpdateSite::kPagePath;
  RealCheck c(url);
  c.ppal->btn_updateClick();
  expectOutcome(c, Verdict::Unreachable, url);
}

TEST(UpdateCheckOverHttps, CertificateForAnotherHostIsRefusedBeforeTheFormIsSent) {
  UpdateSite site(TestCertificate::make("maj.autre-editeur.example"));
  site.answer(200, "update");
  RealCheck c(site.pageUrl());
  c.ppal->btn_updateClick();
  expectOutcome(c, Verdict::Unreachable, site.pageUrl());
  EXPECT_TRUE(site.requests().empty()) << "the form reached a server whose name does not match";
}

TEST(UpdateCheckOverHttps, ExpiredSelfSignedCertificateForTheHostIsAccepted) {
  UpdateSite site(TestCertificate::make("localhost", -60, -30));
  site.answer(200, "update");
  RealCheck c(site.pageUrl());
  c.ppal->btn_updateClick();
  expectOutcome(c, Verdict::UpdateFound, site.pageUrl());
  ASSERT_EQ(site.requests("POST").size(), 1u);
  expectTheUpdateForm(site.requests("POST")[0]);
}

TEST(UpdateCheckOverHttps, ServerThatNeverAnswersTimesOutAsUnreachable) {
  UpdateSite site(TestCertificate::make("localhost"));
  site.answer(200, "update");
  site.holdAnswers(2min);
  RealCheck c(site.pageUrl());
  c.http.setNetworkTimeoutForTesting(300ms);
  c.ppal->btn_updateClick();
  expectOutcome(c, Verdict::Unreachable, site.pageUrl());
  EXPECT_EQ(site.requests("POST").size(), 1u);
}

// While the answer is awaited the window is pumped, so the user can click
// " Mise à Jour" again: that check gives way to the open exchange, which
// then ends normally.
TEST(UpdateCheckOverHttps, ClickDuringASlowAnswerGivesWayToTheOpenExchange) {
  UpdateSite site(TestCertificate::make("localhost"));
  site.answer(200, "update");
  site.holdAnswers(2min);  // until the nested click has been made
  RealCheck c(site.pageUrl());
  std::optional<Icon> iconAfterNestedClick;
  c.duringPump = [&] {
    if (iconAfterNestedClick || site.requests("POST").empty()) return;
    c.ppal->btn_updateClick();
    iconAfterNestedClick = c.t.view.icon(kUpdateRow);
    site.release();
  };

  c.ppal->btn_updateClick();

  ASSERT_TRUE(iconAfterNestedClick) << "the window was not pumped while the answer was awaited";
  EXPECT_EQ(*iconAfterNestedClick, Icon::etat_en_cours);
  EXPECT_EQ(site.requests("POST").size(), 1u);
  EXPECT_EQ(c.t.view.icon(kUpdateRow), Icon::etat_nok);
  EXPECT_EQ(c.t.downloader.URL(), downloadUrlFor(site.pageUrl()));
  EXPECT_EQ(c.storedDate(), kToday);
  EXPECT_FALSE(c.http.isConnected());
}
