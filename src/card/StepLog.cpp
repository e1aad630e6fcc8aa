#include "card/StepLog.h"

#include "app/Tppal.h"

namespace steplog {

void plain(Tppal& ppal, const QString& text) { ppal.AddDebugText(text, fsNone, colors::black); }

void failure(Tppal& ppal, const QString& text) { ppal.AddDebugText(text, fsBold, colors::red); }

void success(Tppal& ppal, const QString& text) { ppal.AddDebugText(text, fsBold, colors::green); }

bool reportBlockingCode(Tppal& ppal, uint16_t code, Stage stage, const QStringList& failureLines) {
  if (!ppal.isBlockingCode(code)) {
    plain(ppal, QStringLiteral("Erreur sans impact sur le fonctionnement\r\n"));
    return false;
  }
  plain(ppal, stage == Stage::Reader ? QStringLiteral("Cette erreur est bloquante pour le lecteur\r\n")
                                     : QStringLiteral("Cette erreur est bloquante pour la lecture\r\n"));
  for (qsizetype i = 0; i < failureLines.size(); ++i) {
    if (i + 1 < failureLines.size()) {
      plain(ppal, failureLines[i]);
    } else {
      failure(ppal, failureLines[i]);
    }
  }
  ppal.appli_check_continue = 1;
  return true;
}

bool reportCall(Tppal& ppal, const CallReport& report) {
  if (report.status != 0) {
    plain(ppal, QStringLiteral("Retour en erreur : %1 (code : %2)\r\n").arg(report.status).arg(report.error));
    if (!report.detailLine.isEmpty()) plain(ppal, report.detailLine);
    if (reportBlockingCode(ppal, report.classifiedCode, report.stage, report.failureLines)) return false;
  }
  success(ppal, report.successLine);
  return true;
}

}  // namespace steplog
