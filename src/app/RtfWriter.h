#pragma once

#include <QByteArray>

#include "app/StyledText.h"

// Writes styled runs as an RTF document: Tahoma 8 pt, a colour table of the
// colours used, bold/italic/underline/strike-out runs, one paragraph per line
// break. Characters outside ASCII are written as \uN? so that any RTF reader
// shows them whatever its code page.
QByteArray toRtf(const StyledText& text);
