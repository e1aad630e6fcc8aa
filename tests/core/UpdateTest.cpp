// The daily update decision, the update check and the download handlers.
#include <gtest/gtest.h>

#include <clocale>

#include <QLocale>

#include "support/TestPlatform.h"

using Icon = View::Icon;
using Label = View::Label;
using Button = View::Button;

namespace {

const QString kUrl = QStringLiteral("https://maj.example.test/obtenir-derniere-version.php");

struct Updating {
  explicit Updating(const QString& dateValue = QStringLiteral("NULL"))
      : t(QStringLiteral("INSERT INTO configuration VALUES ('date_maj', %1);").arg(dateValue)) {
    ppal.FormCreate();
  }
  QString storedDate() {
    t.db.clearSql();
    t.db.setSql(QStringLiteral("SELECT valeur FROM configuration WHERE id=\"date_maj\""));
    t.db.open();
    const QString value = t.db.field(0).value_or(QStringLiteral("(null)"));
    t.db.close();
    return value;
  }
  QString log() const { return ppal.debugLog().plainText(); }
  TestPlatform t;
  Tppal ppal{t.services()};
};

}  // namespace

TEST(DailyUpdate, ChecksOnlyWhenTheLastCheckIsBeforeToday) {
  // The fixed clock says 9 December 2026.
  const struct {
    QString stored;
    bool due;
    QString line;
  } cases[] = {
      {QStringLiteral("NULL"), true, QStringLiteral("Dernier contrôle dépassé (56/48/-567)\r\n")},
      {QStringLiteral("'20261208'"), true, QStringLiteral("Dernier contrôle dépassé (08/12/2026)\r\n")},
      {QStringLiteral("'20261209'"), false, QStringLiteral("Dernier contrôle ce jour (09/12/2026)\r\n")},
      {QStringLiteral("'20270101'"), false, QStringLiteral("Dernier contrôle ce jour (01/01/2027)\r\n")},
  };
  for (const auto& c : cases) {
    Updating u(c.stored);
    u.ppal.dailyUpdateDecision();
    EXPECT_TRUE(u.log().startsWith(QStringLiteral("\r\nPréparation Mise à Jour\r\n") + c.line))
        << u.log().toStdString();
    EXPECT_EQ(u.t.http.posts.size(), c.due ? 1 : 0) << c.stored.toStdString();
    EXPECT_EQ(u.t.view.icon(View::StepRow::Image_etat2b), c.due ? Icon::etat_ok : Icon::etat_saute);
    if (c.due) {
      EXPECT_EQ(u.storedDate(), QStringLiteral("20261209"));
    }
  }
}

TEST(UpdateCheck, AnswersOtherThanExactlyUpdateMeanUpToDate) {
  for (const QByteArray& answer :
       {QByteArray("update\r\n"), QByteArray("Update"), QByteArray(""), QByteArray("\xEF\xBB\xBFupdate")}) {
    Updating u;
    u.t.http.answer = answer;
    u.ppal.check_maj();
    EXPECT_EQ(u.t.http.fields, QStringList({QStringLiteral("logiciel=velna"), QStringLiteral("version=1.09")}));
    EXPECT_EQ(u.t.http.posts, QStringList{kUrl});
    EXPECT_EQ(u.log(),
              QStringLiteral("\r\nContrôle Mise à Jour\r\nEnvoi de la demande\r\nVotre version est à jour\r\n"))
        << answer.toStdString();
    EXPECT_EQ(u.t.view.labelText[Label::label_update2], QStringLiteral("Votre version est à jour"));
    EXPECT_EQ(u.t.view.icon(View::StepRow::Image_etat2b), Icon::etat_ok);
    EXPECT_EQ(u.ppal.appli_maj_date, 20261209);
    EXPECT_EQ(u.storedDate(), QStringLiteral("20261209"));
    EXPECT_EQ(u.t.http.closes, 1);
  }
}

TEST(UpdateCheck, UpdateFoundFailsTheRunAndOffersTheDownload) {
  Updating u;
  u.t.http.answer = "update";
  u.ppal.action_vitale2Click();

  const QString url = kUrl + QStringLiteral("?l=velna&v=1.09&k=force");
  EXPECT_TRUE(u.log().contains(QStringLiteral("\r\n### Mise à Jour\r\nPréparation Mise à Jour\r\n"
                                              "Dernier contrôle dépassé (56/48/-567)\r\n\r\nContrôle Mise à Jour\r\n"
                                              "Envoi de la demande\r\nMise à jour disponible\r\n") +
                               url + QStringLiteral("\r\n\r\n### Liste Lecteurs")))
      << u.log().toStdString();
  const auto& runs = u.ppal.debugLog().runs();
  const auto line = std::find_if(runs.begin(), runs.end(), [&](const TextRun& r) { return r.text.startsWith(url); });
  ASSERT_NE(line, runs.end());
  EXPECT_EQ(line->style, unsigned(fsNone));
  EXPECT_EQ(line->color, colors::red);

  EXPECT_EQ(u.t.view.currentPage(), View::Page::tab_update);
  EXPECT_TRUE(u.t.view.isButtonVisible(Button::btn_update_go));
  EXPECT_EQ(u.t.downloader.url, url);
  EXPECT_EQ(u.t.view.labelText[Label::label_suivi], QStringLiteral("Mise à Jour disponible"));
  EXPECT_EQ(u.t.view.labelColor[Label::label_suivi], colors::maroon);
  EXPECT_EQ(u.t.view.labelText[Label::label_update2], QStringLiteral("Une mise à jour est disponible"));
  for (auto row : {View::StepRow::Image_etat2b, View::StepRow::Image_etat3, View::StepRow::Image_etat6})
    EXPECT_EQ(u.t.view.icon(row), Icon::etat_nok);
  EXPECT_EQ(u.storedDate(), QStringLiteral("20261209"));

  // The next run of the day skips the check.
  u.t.http.posts.clear();
  u.ppal.action_vitale2Click();
  EXPECT_TRUE(u.t.http.posts.isEmpty());
  EXPECT_EQ(u.t.view.icon(View::StepRow::Image_etat2b), Icon::etat_saute);
}

TEST(UpdateCheck, UnreachableServerCountsAsACheckDone) {
  Updating u;
  u.t.http.fail = true;
  u.ppal.check_maj();
  EXPECT_TRUE(u.log().endsWith(QStringLiteral("Envoi de la demande\r\nLe serveur est injoignable\r\n")));
  EXPECT_EQ(u.ppal.debugLog().runs().back().color, colors::green);
  EXPECT_EQ(u.t.view.labelText[Label::label_update2], QStringLiteral("Le serveur est injoignable"));
  EXPECT_EQ(u.t.view.icon(View::StepRow::Image_etat2b), Icon::etat_ok);
  EXPECT_EQ(u.ppal.appli_update_data, QStringLiteral("error"));
  EXPECT_EQ(u.storedDate(), QStringLiteral("20261209"));
}

TEST(UpdateCheck, AnswerErrorWritesNothingMore) {
  Updating u;
  u.t.http.answer = "error";
  u.ppal.btn_updateClick();
  EXPECT_TRUE(u.log().endsWith(QStringLiteral("\r\nContrôle Mise à Jour\r\nEnvoi de la demande\r\n")));
  EXPECT_EQ(u.t.view.labelText[Label::label_update2], QStringLiteral("Contrôle en cours..."));
  EXPECT_EQ(u.t.view.icon(View::StepRow::Image_etat2b), Icon::etat_ok);
  EXPECT_EQ(u.storedDate(), QStringLiteral("20261209"));
}

TEST(UpdateCheck, NothingIsAskedAfterAnEarlierFailureOrWhileAnExchangeIsOpen) {
  Updating failed;
  failed.ppal.appli_check_continue = 1;
  failed.ppal.appli_check_continue2 = 1;
  failed.ppal.check_maj();
  EXPECT_TRUE(failed.t.http.posts.isEmpty());
  EXPECT_EQ(failed.storedDate(), QStringLiteral("(null)"));
  EXPECT_EQ(failed.t.view.icon(View::StepRow::Image_etat2b), Icon::etat_nok);

  Updating busy;
  busy.t.http.connected = true;
  busy.ppal.check_maj();
  EXPECT_TRUE(busy.t.http.posts.isEmpty());
  EXPECT_EQ(busy.log(), QStringLiteral("\r\nContrôle Mise à Jour\r\n"));
  EXPECT_EQ(busy.t.view.icon(View::StepRow::Image_etat2b), Icon::etat_en_cours);
  EXPECT_EQ(busy.storedDate(), QStringLiteral("(null)"));
}

TEST(Download, DownloaderIsSetUpAtStart) {
  Updating u;
  EXPECT_EQ(u.t.downloader.batch, 1096);
  EXPECT_EQ(u.t.downloader.threads, 2);
  EXPECT_EQ(u.t.downloader.agent, QStringLiteral("Mozilla/4.0 (compatible; Morvek)"));
  EXPECT_EQ(u.t.downloader.events, &u.ppal);
}

TEST(Download, ProgressTextUsesRegionalSeparatorsAndTheBarRounds) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  Updating u;
  const struct {
    qint64 done, total;
    double seconds;
    QString text;
    int bar;
  } cases[] = {
      {1572864, 10485760, 15, QStringLiteral("1 536,00 sur 10 240,00 Kb fait, temps restant 0,25 min"), 15},
      {10485760, 10485760, 0, QStringLiteral("10 240,00 sur 10 240,00 Kb fait, temps restant 0,00 min"), 100},
      {512, 3072, 0, QStringLiteral("0,50 sur 3,00 Kb fait, temps restant 0,00 min"), 0},  // 0.5 rounds to even: 0
      {1536, 3072, 0, QStringLiteral("1,50 sur 3,00 Kb fait, temps restant 0,00 min"), 67},
  };
  for (const auto& c : cases) {
    u.ppal.onDataItemProceed({c.done, c.total, c.seconds});
    QString text = u.t.view.editText(View::Edit::txt_suivi_download);
    text.replace(QChar(0x202F), QLatin1Char(' ')).replace(QChar(0x00A0), QLatin1Char(' '));
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(u.t.view.progress, c.bar) << c.text.toStdString();
  }
  u.t.view.progress = 42;
  u.ppal.onDataItemProceed({100, 0, 0});  // unknown size: the bar stays
  EXPECT_EQ(u.t.view.progress, 42);
  QLocale::setDefault(previous);
}

TEST(Download, StartHidesTheToolbarAndARefusalBringsItBack) {
  Updating u;
  u.ppal.btn_update_goClick();
  EXPECT_EQ(u.t.downloader.starts, 1);
  for (Button b : {Button::btn_vitale, Button::btn_diagnostique, Button::btn_about, Button::btn_update,
                   Button::btn_quit, Button::btn_update_go})
    EXPECT_FALSE(u.t.view.isButtonVisible(b));
  EXPECT_TRUE(u.t.view.isButtonVisible(Button::btn_config));
  EXPECT_TRUE(u.t.view.progressVisible);
  EXPECT_TRUE(u.t.view.downloadTextVisible);

  Updating refused;
  refused.t.downloader.busy = true;
  refused.t.downloader.errorList = {QStringLiteral("connexion coupée")};
  refused.ppal.btn_update_goClick();
  ASSERT_EQ(refused.t.view.messages.size(), 1u);
  EXPECT_EQ(refused.t.view.messages[0].caption, QStringLiteral("Erreur durant le téléchargement..."));
  EXPECT_EQ(refused.t.view.messages[0].text, QStringLiteral("connexion coupée\r\n"));
  EXPECT_TRUE(refused.t.view.isButtonVisible(Button::btn_update_go));
  EXPECT_TRUE(refused.t.view.isButtonVisible(Button::btn_quit));
  EXPECT_FALSE(refused.t.view.progressVisible);
  EXPECT_FALSE(refused.ppal.downloadInProgress());
}

TEST(Download, CompletedTransferLaunchesTheInstallerAndEndsTheProgram) {
  Updating u;
  u.ppal.btn_update_goClick();
  u.ppal.onProcessCompleted();
  EXPECT_EQ(u.t.shell.elevated, QStringList{u.ppal.appli_maj_name});
  EXPECT_TRUE(u.ppal.terminateRequested());
  EXPECT_FALSE(u.t.view.isButtonVisible(Button::btn_update_go));
  EXPECT_TRUE(u.t.view.isButtonVisible(Button::btn_config));

  Updating declined;
  declined.t.shell.elevate = false;
  declined.ppal.btn_update_goClick();
  declined.ppal.onProcessCompleted();
  ASSERT_EQ(declined.t.view.messages.size(), 1u);
  EXPECT_EQ(declined.t.view.messages[0].caption, QStringLiteral("Erreur Lancement Mise à Jour..."));
  EXPECT_EQ(declined.t.view.messages[0].text,
            QStringLiteral("Impossible de lancer la mise à jour ! \rVeuillez relancer la procédure"));
  EXPECT_FALSE(declined.ppal.terminateRequested());
  EXPECT_TRUE(declined.t.view.isButtonVisible(Button::btn_vitale));
}

TEST(Download, FailedTransferNeverLaunchesWhatItLeft) {
  Updating u;
  u.ppal.btn_update_goClick();
  u.t.downloader.errorList = {QStringLiteral("délai dépassé"), QStringLiteral("connexion refusée")};
  u.ppal.onError(QStringLiteral("connexion refusée"), 7);
  ASSERT_EQ(u.t.view.messages.size(), 1u);
  EXPECT_EQ(u.t.view.messages[0].text, QStringLiteral("délai dépassé\r\nconnexion refusée\r\n"));
  EXPECT_TRUE(u.t.view.isButtonVisible(Button::btn_update_go));
  EXPECT_TRUE(u.t.view.isButtonVisible(Button::btn_config));
  u.ppal.onProcessCompleted();
  EXPECT_TRUE(u.t.shell.elevated.isEmpty());
  ASSERT_EQ(u.t.view.messages.size(), 2u);
  EXPECT_EQ(u.t.view.messages[1].caption, QStringLiteral("Erreur Lancement Mise à Jour..."));
  EXPECT_FALSE(u.ppal.terminateRequested());
}
