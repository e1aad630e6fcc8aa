#include "app/StyledText.h"

void StyledText::append(const TextRun& run) {
  if (run.text.isEmpty()) return;
  // Adjacent runs of the same look are one run, as a rich-text box keeps them.
  if (!runs_.empty() && runs_.back().style == run.style && runs_.back().color == run.color) {
    runs_.back().text += run.text;
    return;
  }
  runs_.push_back(run);
}

void StyledText::appendLine(const QString& text) {
  if (!runs_.empty() && !endsWithLineBreak()) append({QStringLiteral("\r\n"), fsNone, colors::black});
  append({text + QStringLiteral("\r\n"), fsNone, colors::black});
}

QString StyledText::plainText() const {
  QString all;
  for (const TextRun& run : runs_) all += run.text;
  return all;
}

bool StyledText::endsWithLineBreak() const {
  return !runs_.empty() && runs_.back().text.endsWith(QStringLiteral("\r\n"));
}
