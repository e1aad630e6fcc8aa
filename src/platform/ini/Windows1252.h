#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The single-byte ANSI code page of the French Windows systems the card-reader
// library comes from. Qt has no codec for it, and its settings file is written
// in it, so the conversion is done here.

// Every byte decodes to one character: 0x80-0x9F through the Windows-1252
// table (the five unassigned bytes to the control character of the same
// value, as Windows does), every other byte as Latin-1.
QString decodeWindows1252(QByteArrayView bytes);

// One byte per character; a character the code page cannot hold (a surrogate
// pair counts as one character) becomes '?'.
QByteArray encodeWindows1252(QStringView text);
