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

}  // namespace steplog
