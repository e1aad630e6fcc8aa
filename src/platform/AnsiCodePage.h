#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The single-byte code page of the texts the card-reader library takes and
// gives: the system's ANSI code page on Windows, Windows-1252 (that of the
// French Windows systems the library comes from) elsewhere.

// Every byte decodes to one character.
QString decodeAnsi(QByteArrayView bytes);

// One byte per character; a character the code page cannot hold becomes '?'.
QByteArray encodeAnsi(QStringView text);
