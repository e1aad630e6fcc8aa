#pragma once

#include <map>

#include <QString>

#include "app/StyledText.h"
#include "platform/View.h"

// The view of the terminal runner: it keeps the state a window would show,
// prints message boxes to standard error and answers them at once.
class TerminalView : public View {
 public:
  void showPage(Page page) override { page_ = page; }
  Page currentPage() const override { return page_; }
  void setButtonVisible(Button button, bool visible) override { buttons_[button] = visible; }
  bool isButtonVisible(Button button) const override;
  void setLabelText(Label label, const QString& text) override { labels_[label].text = text; }
  void setLabelColor(Label label, Colorref color) override { labels_[label].color = color; }
  void setStepIcon(StepRow row, Icon icon) override { icons_[row] = icon; }
  void clearRichText(RichBox box) override { boxes_[box].clear(); }
  void appendRichText(RichBox box, const TextRun& run) override { boxes_[box].append(run); }
  void scrollLogToEnd() override {}
  void setStatusText(const QString& text) override { status_ = text; }
  void setEditText(Edit edit, const QString& text) override { edits_[edit] = text; }
  QString editText(Edit edit) const override;
  void appendKnownReader(const QString&) override {}
  void setProgressVisible(bool) override {}
  void setProgressPosition(int position) override { progress_ = position; }
  void setDownloadTextVisible(bool) override {}
  void messageBox(const QString& caption, const QString& text, MessageIcon icon, bool wait) override;
  std::optional<QString> askSaveFileName(const QString&, const QString&, const QString&, const QString&,
                                         const QString&) override {
    return saveAnswer_;
  }
  void pump() override;
  void requestTerminate() override { terminate_ = true; }

  // What the runner prints after each action.
  void printState(bool ansi) const;
  void setSaveAnswer(const QString& path) { saveAnswer_ = path; }
  bool terminateRequested() const { return terminate_; }

 private:
  struct LabelState {
    QString text;
    Colorref color = 0;
  };
  Page page_ = Page::tab_carte;
  std::map<Button, bool> buttons_;
  std::map<Label, LabelState> labels_;
  std::map<StepRow, Icon> icons_;
  std::map<RichBox, StyledText> boxes_;
  std::map<Edit, QString> edits_;
  QString status_;
  int progress_ = 0;
  std::optional<QString> saveAnswer_;
  bool terminate_ = false;
};
