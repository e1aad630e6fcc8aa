// The configuration database: start-up opening, the date of the last update
// check, and the classification of card-library codes.
#include <stdexcept>

#include "app/Tppal.h"
#include "platform/ConfigDatabase.h"
#include "platform/SystemPaths.h"

namespace {
const QString kPassword = QStringLiteral("Hv6Np3Xr8L");
const QString kCaption = QStringLiteral("Erreur au chargement...");
// The value start-up gives appli_maj_date when no check was ever recorded:
// below every real date, so the first run checks.
constexpr int32_t kNeverChecked = -567485616;
}  // namespace

void Tppal::Creationfiche() {
  view.setButtonVisible(View::Button::btn_vitale, true);
  view.setButtonVisible(View::Button::btn_update, true);
  view.setButtonVisible(View::Button::btn_about, true);
  view.setButtonVisible(View::Button::btn_config, true);
  view.setButtonVisible(View::Button::btn_diagnostique, false);
  view.setButtonVisible(View::Button::btn_update_go, false);

  try {
    p.db->connect(appli_dossier_commun + kPathSeparator + QStringLiteral("velna.mvd"), kPassword);
  } catch (const DatabaseAccessDenied& denied) {
    // The installation is sound; this user is not allowed in, and is told
    // whom to ask.
    messageBox(kCaption, QString::fromUtf8(denied.what()), View::MessageIcon::Information);
    requestTerminate();
  } catch (const std::exception&) {
    messageBox(kCaption,
               QStringLiteral("Impossible de charger le système de configuration ! \r"
                              "Veuillez réinstaller l'application"),
               View::MessageIcon::Information);
    requestTerminate();
  }

  // Read even after a failed connection: that read fails too, and its box
  // closes at once because termination was already asked for.
  try {
    p.db->clearSql();
    p.db->setSql(QStringLiteral("SELECT valeur FROM configuration WHERE id=\"date_maj\""));
    p.db->open();
    const std::optional<QString> value = p.db->field(0);
    if (!value) {
      appli_maj_date = kNeverChecked;
    } else {
      bool whole = false;
      const int32_t date = value->toInt(&whole, 10);
      if (!whole) throw std::runtime_error("date_maj is not a whole number");
      appli_maj_date = date;
    }
    p.db->close();
    p.db->clearSql();
  } catch (const std::exception&) {
    messageBox(kCaption, QStringLiteral("Base de données corromptue ! \rVeuillez réinstaller l'application"),
               View::MessageIcon::Information);
    p.db->disconnect();
    requestTerminate();
  }
}

bool Tppal::isBlockingCode(uint16_t code) {
  p.db->clearSql();
  p.db->setSql(QStringLiteral("SELECT bloquant FROM erreur WHERE id=\"%1\"").arg(code));
  p.db->open();
  const std::optional<QString> bloquant = p.db->field(0);
  const bool blocking = bloquant && *bloquant == QStringLiteral("O");
  p.db->close();
  return blocking;
}
