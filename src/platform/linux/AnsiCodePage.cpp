#include "platform/AnsiCodePage.h"

#include "platform/ini/Windows1252.h"

QString decodeAnsi(QByteArrayView bytes) { return decodeWindows1252(bytes); }

QByteArray encodeAnsi(QStringView text) { return encodeWindows1252(text); }
