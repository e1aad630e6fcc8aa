#include "platform/qt/RichText.h"

#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

QColor toQColor(Colorref color) { return QColor(colors::redOf(color), colors::greenOf(color), colors::blueOf(color)); }

QString documentLineBreaks(const QString& text) {
  QString result = text;
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return result;
}

void appendRun(QTextEdit& box, const TextRun& run) {
  // A cursor of our own: the user's caret and selection stay where they are.
  QTextCursor cursor(box.document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setFontWeight((run.style & fsBold) ? QFont::Bold : QFont::Normal);
  format.setFontItalic((run.style & fsItalic) != 0);
  format.setFontUnderline((run.style & fsUnderline) != 0);
  format.setFontStrikeOut((run.style & fsStrikeOut) != 0);
  format.setForeground(toQColor(run.color));
  // A caret at the end would be carried along by the insertion and drag the
  // view with it; an append leaves the user's caret, selection and view
  // where they were.
  // Plain numbers: a cursor object would itself move with the insertion.
  const int anchor = box.textCursor().anchor();
  const int position = box.textCursor().position();
  QScrollBar* vertical = box.verticalScrollBar();
  QScrollBar* horizontal = box.horizontalScrollBar();
  const int top = vertical->value();
  const int left = horizontal->value();
  cursor.insertText(documentLineBreaks(run.text), format);
  QTextCursor kept(box.document());
  kept.setPosition(anchor);
  kept.setPosition(position, QTextCursor::KeepAnchor);
  box.setTextCursor(kept);
  vertical->setValue(top);
  horizontal->setValue(left);
}

void scrollToEnd(QTextEdit& box) {
  box.setFocus(Qt::OtherFocusReason);
  QTextCursor cursor = box.textCursor();
  cursor.movePosition(QTextCursor::End);
  box.setTextCursor(cursor);
  box.ensureCursorVisible();
}
