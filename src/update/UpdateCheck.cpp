// Row 2 of the run and the " Mise à Jour" button: asking the update server
// whether a newer version exists, at most once a day inside a run.
#include <exception>

#include <QScopeGuard>
#include <QStringDecoder>

#include "app/Tppal.h"
#include "platform/Clock.h"
#include "platform/ConfigDatabase.h"
#include "platform/Downloader.h"
#include "platform/HttpClient.h"

namespace {
constexpr View::StepRow kRow = View::StepRow::Image_etat2b;
}

int32_t Tppal::todayAsNumber() const { return p.clock->now().toString(QStringLiteral("yyyyMMdd")).toInt(); }

QString Tppal::downloadUrl() const {
  return appli_url_update + QStringLiteral("?l=") + appli_logiciel + QStringLiteral("&v=") + appli_version +
         QStringLiteral("&k=force");
}

void Tppal::dailyUpdateDecision() {
  AddDebugText(QStringLiteral("\r\nPréparation Mise à Jour\r\n"), fsBold | fsUnderline, colors::black);
  const int32_t today = todayAsNumber();
  appli_maj_date_test = QString::number(appli_maj_date);
  // Cut by character positions, whatever the text holds: a date that was
  // never stored (-567485616) reads "56/48/-567".
  appli_maj_date_format = appli_maj_date_test.mid(6, 2) + QLatin1Char('/') + appli_maj_date_test.mid(4, 2) +
                          QLatin1Char('/') + appli_maj_date_test.left(4);
  if (appli_maj_date < today) {
    AddDebugText(QStringLiteral("Dernier contrôle dépassé (") + appli_maj_date_format + QStringLiteral(")\r\n"), fsNone,
                 colors::black);
    check_maj();
  } else {
    AddDebugText(QStringLiteral("Dernier contrôle ce jour (") + appli_maj_date_format + QStringLiteral(")\r\n"), fsNone,
                 colors::black);
    setStepIcon(kRow, View::Icon::etat_saute);
  }
}

void Tppal::check_maj() {
  runStep({.row = kRow,
           .subHeading = QStringLiteral("\r\nContrôle Mise à Jour\r\n"),
           .runningText = QStringLiteral("Recherche d'une mise à jour"),
           .failureText = QStringLiteral("Mise à Jour disponible"),
           .pumpBeforeWork = false,
           // An exchange started earlier is still waiting for the network
           // (its pumping let this click through): this check gives way to it.
           .givesWay = [this] { return p.http->isConnected(); },
           .onFirstFailure =
               [this] {
                 view.setLabelText(View::Label::label_update2, QStringLiteral("Une mise à jour est disponible"));
                 showPage(View::Page::tab_update);
               }},
          [this] {
            appli_update_data.clear();
            // Closed even when recording the date fails: an exchange left
            // open would make every later check give way to it.
            const auto closeExchange = qScopeGuard([this] { p.http->close(); });
            askUpdateServer();
            recordUpdateCheckDate();
          });
}

void Tppal::askUpdateServer() {
  p.http->setFormField(QStringLiteral("logiciel"), appli_logiciel);
  p.http->setFormField(QStringLiteral("version"), appli_version);
  AddDebugText(QStringLiteral("Envoi de la demande\r\n"), fsNone, colors::black);
  QByteArray appli_web_data;
  try {
    p.http->post(appli_url_update, appli_web_data);
    // Decoded as UTF-8 with a byte-order mark kept as a character: the
    // answer must be exactly "update", and a mark makes it another answer.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    appli_update_data = utf8(appli_web_data);
    pump();
    if (appli_update_data == QStringLiteral("update")) {
      AddDebugText(QStringLiteral("Mise à jour disponible\r\n"), fsBold, colors::red);
      AddDebugText(downloadUrl() + QStringLiteral("\r\n"), fsNone, colors::red);
      appli_check_continue = 1;
      view.setButtonVisible(View::Button::btn_update_go, true);
      p.downloader->setURL(downloadUrl());
    }
  } catch (const std::exception&) {
    AddDebugText(QStringLiteral("Le serveur est injoignable\r\n"), fsNone, colors::green);
    view.setLabelText(View::Label::label_update2, QStringLiteral("Le serveur est injoignable"));
    pump();
    appli_update_data = QStringLiteral("error");
  }
  if (appli_update_data != QStringLiteral("update") && appli_update_data != QStringLiteral("error")) {
    AddDebugText(QStringLiteral("Votre version est à jour\r\n"), fsNone, colors::green);
    view.setLabelText(View::Label::label_update2, QStringLiteral("Votre version est à jour"));
    pump();
  }
}

void Tppal::recordUpdateCheckDate() {
  appli_maj_date = todayAsNumber();
  ConfigDatabase& db = *p.db;
  db.close();
  db.clearSql();
  db.setSql(QStringLiteral("UPDATE configuration SET valeur =") + QLatin1Char('"') + QString::number(appli_maj_date) +
            QLatin1Char('"') + QStringLiteral(" WHERE id=") + QStringLiteral("\"date_maj\""));
  db.execSql();
  pump();
  db.close();
  pump();
}
