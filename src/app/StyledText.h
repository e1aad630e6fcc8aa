#pragma once

#include <vector>

#include <QString>

#include "platform/View.h"

// The content of a rich-text box as an ordered list of styled runs. The
// logic keeps it and the view mirrors it, so that saving and testing never
// depend on a widget.
class StyledText {
 public:
  void clear() { runs_.clear(); }
  void append(const TextRun& run);
  // Appends text as a paragraph of its own: a line break first when the text
  // does not already end with one, and a line break after it.
  void appendLine(const QString& text);

  const std::vector<TextRun>& runs() const { return runs_; }
  QString plainText() const;
  bool endsWithLineBreak() const;

 private:
  std::vector<TextRun> runs_;
};
