#pragma once

#include <cstdint>

#include <QString>
#include <QStringList>

class Tppal;

// The log lines of the reader and card steps: explanations in plain black,
// verdicts in bold red or bold green.
namespace steplog {

void plain(Tppal& ppal, const QString& text);
void failure(Tppal& ppal, const QString& text);
void success(Tppal& ppal, const QString& text);

// Whose work a blocking code stops: the reader's or the card read's.
enum class Stage { Reader, Reading };

// For a library call that answered a non-zero code: classifies the code.
// Blocking: writes the stage's explanation, then the failure lines (plain
// black, the last one in bold red), fails the run and returns true. Not
// blocking: writes that the error has no impact and returns false; the caller
// then writes its own success line.
bool reportBlockingCode(Tppal& ppal, uint16_t code, Stage stage, const QStringList& failureLines);

// The outcome of a card library call, and the lines its step logs for it.
struct CallReport {
  int32_t status = 0;           // what the call returned; 0 is success
  uint16_t error = 0;           // the error code it gave back
  QString detailLine{};         // the step's own line after "Retour en erreur"; empty for none
  uint16_t classifiedCode = 0;  // the code the blocking rule judges
  Stage stage = Stage::Reader;
  QStringList failureLines{};
  QString successLine{};
};

// Logs a call's outcome: after a non-zero status, "Retour en erreur" with the
// status and the error code, the detail line, and the classification of the
// judged code (reportBlockingCode); then, unless that code blocked the run,
// the success line in bold green. False when the call blocked the run.
bool reportCall(Tppal& ppal, const CallReport& report);

}  // namespace steplog
