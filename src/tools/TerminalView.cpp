#include "tools/TerminalView.h"

#include <cstdio>

#include <QCoreApplication>

#include "platform/ViewNames.h"

namespace {
void out(FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString unixLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// ANSI escape for a run's look: bold, underline and the nearest terminal colour.
QString ansiFor(const TextRun& run) {
  QString codes = QStringLiteral("0");
  if (run.style & fsBold) codes += QStringLiteral(";1");
  if (run.style & fsUnderline) codes += QStringLiteral(";4");
  switch (run.color) {
    case colors::red:
      codes += QStringLiteral(";31");
      break;
    case colors::green:
      codes += QStringLiteral(";32");
      break;
    case colors::blue:
      codes += QStringLiteral(";34");
      break;
    default:
      break;
  }
  return QStringLiteral("\x1b[") + codes + QLatin1Char('m');
}

QString colorName(Colorref color) {
  return color == colors::maroon ? QStringLiteral("maroon") : QStringLiteral("black");
}
}  // namespace

bool TerminalView::isButtonVisible(Button button) const {
  const auto it = buttons_.find(button);
  return it != buttons_.end() && it->second;
}

QString TerminalView::editText(Edit edit) const {
  const auto it = edits_.find(edit);
  return it == edits_.end() ? QString() : it->second;
}

void TerminalView::messageBox(const QString& caption, const QString& text, MessageIcon, bool) {
  out(stderr, QLatin1Char('[') + caption + QStringLiteral("] ") + unixLines(text) + QLatin1Char('\n'));
  std::fflush(stderr);
}

void TerminalView::pump() { QCoreApplication::processEvents(); }

void TerminalView::printState(bool ansi) const {
  const auto log = boxes_.find(RichBox::debug_texte);
  if (log != boxes_.end()) {
    for (const TextRun& run : log->second.runs()) {
      if (ansi) out(stdout, ansiFor(run));
      out(stdout, unixLines(run.text));
    }
    if (ansi) out(stdout, QStringLiteral("\x1b[0m"));
    if (!log->second.runs().empty()) out(stdout, QStringLiteral("\n"));
  }
  out(stdout, QStringLiteral("page: ") + pageName(page_) + QLatin1Char('\n'));
  for (Label label : {Label::label_suivi, Label::label_suivi2}) {
    const auto it = labels_.find(label);
    const LabelState state = it == labels_.end() ? LabelState{} : it->second;
    out(stdout, (label == Label::label_suivi ? QStringLiteral("label_suivi: ") : QStringLiteral("label_suivi2: ")) +
                    state.text + QStringLiteral(" [") + colorName(state.color) + QStringLiteral("]\n"));
  }
  QString icons = QStringLiteral("icons:");
  for (StepRow row : {StepRow::Image_etat1, StepRow::Image_etat2b, StepRow::Image_etat3, StepRow::Image_etat4,
                      StepRow::Image_etat5, StepRow::Image_etat6}) {
    const auto it = icons_.find(row);
    icons += QLatin1Char(' ') + iconName(it == icons_.end() ? Icon::None : it->second);
  }
  out(stdout, icons + QLatin1Char('\n'));
  std::fflush(stdout);
}
