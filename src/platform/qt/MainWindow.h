#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QWidget>

#include "platform/View.h"
#include "platform/qt/Pages.h"

class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class Tppal;

// The program's one window: the toolbar, the frame around the page set, the
// status bar and the seven pages. It implements the view operations the
// application object uses, and hands every click to that object.
class MainWindow : public QWidget, public View {
  Q_OBJECT

 public:
  static constexpr int clientWidth = 617;
  static constexpr int clientHeight = 476;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // The application object that receives the window's events; the window
  // does nothing with a click before it is set.
  void setPpal(Tppal* ppal) { ppal_ = ppal; }

  // Places the window in the middle of its screen.
  void centreOnScreen();

  // Replaces the modal message box (tests answer it this way). Empty: the
  // real box is shown.
  using MessageBoxHook = std::function<void(const QString& caption, const QString& text, MessageIcon icon)>;
  void setMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }

  // Whether the program asked to end (the message loop must then not start).
  bool terminationRequested() const { return terminationRequested_; }

  // ---- View ----
  void showPage(Page page) override;
  Page currentPage() const override;
  void setButtonVisible(Button button, bool visible) override;
  bool isButtonVisible(Button button) const override;
  void setLabelText(Label label, const QString& text) override;
  void setLabelColor(Label label, Colorref color) override;
  void setStepIcon(StepRow row, Icon icon) override;
  void clearRichText(RichBox box) override;
  void appendRichText(RichBox box, const TextRun& run) override;
  void scrollLogToEnd() override;
  void setStatusText(const QString& text) override;
  void setEditText(Edit edit, const QString& text) override;
  QString editText(Edit edit) const override;
  void appendKnownReader(const QString& line) override;
  void setProgressVisible(bool visible) override;
  void setProgressPosition(int position) override;
  void setDownloadTextVisible(bool visible) override;
  void messageBox(const QString& caption, const QString& text, MessageIcon icon, bool wait) override;
  std::optional<QString> askSaveFileName(const QString& title, const QString& filterLabel, const QString& filterPattern,
                                         const QString& defaultExtension, const QString& fileName) override;
  void pump() override;
  void requestTerminate() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildToolbar();
  void buildPageSet();
  void buildStatusBar();
  void connectEvents();
  // Runs a handler of the application object; nothing escapes into Qt.
  void dispatch(void (Tppal::*handler)());
  QPushButton* button(Button which) const;
  QLabel* label(Label which) const;
  QTextEdit* richBox(RichBox which) const;
  QLineEdit* edit(Edit which) const;

  Tppal* ppal_ = nullptr;
  MessageBoxHook messageBoxHook_;
  bool terminationRequested_ = false;

  // By View::Button, toolbar buttons only (btn_update_go lives on its page).
  std::array<QPushButton*, 6> toolbar_{};
  QFrame* frame_ = nullptr;
  QStackedWidget* tab_master_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* statusPanel_ = nullptr;

  CardPage carte_;
  LaunchPage launch_;
  DebugPage debug_;
  UpdatePage update_;
  PdfPage pdf_;
  AboutPage about_;
  ConfigPage config_;
};
