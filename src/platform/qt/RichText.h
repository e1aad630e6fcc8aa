#pragma once

#include <QColor>
#include <QString>

#include "platform/Colors.h"
#include "platform/View.h"

class QTextEdit;

// Screen colour of a COLORREF (0x00BBGGRR).
QColor toQColor(Colorref color);

// The run's line breaks as the text document wants them: "\r\n" and a lone
// "\r" both become "\n", which the document turns into a new paragraph.
QString documentLineBreaks(const QString& text);

// Appends a styled run at the very end of the box, wherever the user's caret
// or selection is; the box does not scroll.
void appendRun(QTextEdit& box, const TextRun& run);

// Gives the box the focus, puts its caret at the end and scrolls it into view.
void scrollToEnd(QTextEdit& box);
