#include "platform/qt/MainWindow.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include "app/Tppal.h"
#include "platform/qt/ClickableLabel.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Resources.h"
#include "platform/qt/RichText.h"
#include "platform/qt/StepIcons.h"
#include "platform/qt/Widgets.h"

namespace {

struct ToolbarButton {
  View::Button id;
  const char* name;
  const char* caption;
  const char* picture;
  int left;
  int width;
};

constexpr int toolbarTop = 8;
constexpr int toolbarHeight = 30;

const std::array<ToolbarButton, 6> toolbarButtons = {{
    {View::Button::btn_vitale, "btn_vitale", " Accueil", "toolbar_home.svg", 12, 95},
    {View::Button::btn_diagnostique, "btn_diagnostique", " Diagnostic", "toolbar_diagnostic.svg", 113, 94},
    {View::Button::btn_config, "btn_config", " Gestion", "toolbar_config.svg", 213, 94},
    {View::Button::btn_update, "btn_update", " Mise à Jour", "toolbar_update.svg", 312, 95},
    {View::Button::btn_about, "btn_about", " A Propos", "toolbar_about.svg", 413, 95},
    {View::Button::btn_quit, "btn_quit", " Quitter", "toolbar_quit.svg", 514, 95},
}};

const QRect masterFrameGeometry(8, 58, 601, 396);
const QRect pageSetGeometry(15, 66, pageWidth, pageHeight);
constexpr int statusBarHeight = 19;
constexpr int statusPanelWidth = 200;

void setTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  initGuiResources();
  setObjectName(QStringLiteral("ppal"));
  // Fixed single border: system menu and minimise box, no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(clientWidth, clientHeight);
  setWindowTitle(QStringLiteral(" Velnara"));
  setWindowIcon(svgIcon(picturePath(QStringLiteral("velnara.svg"))));
  setFont(tahomaPoints(8));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);

  buildToolbar();
  buildPageSet();
  buildStatusBar();
  connectEvents();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolbar() {
  for (const ToolbarButton& b : toolbarButtons) {
    QPushButton* button =
        makeFlatButton(this, QString::fromLatin1(b.name), QString::fromUtf8(b.caption), QString::fromLatin1(b.picture),
                       QRect(b.left, toolbarTop, b.width, toolbarHeight));
    toolbar_[static_cast<size_t>(b.id)] = button;
  }
  button(Button::btn_diagnostique)->hide();
}

void MainWindow::buildPageSet() {
  frame_ = new QFrame(this);
  frame_->setObjectName(QStringLiteral("frame_master"));
  frame_->setFrameShape(QFrame::Box);
  frame_->setGeometry(masterFrameGeometry);

  // A stacked widget has no tab headers at all: only the program picks the
  // page, and the user can never see or click a header.
  tab_master_ = new QStackedWidget(this);
  tab_master_->setObjectName(QStringLiteral("tab_master"));
  tab_master_->setGeometry(pageSetGeometry);
  // In the order of View::Page.
  for (QWidget* page : {carte_.page, launch_.page, debug_.page, update_.page, pdf_.page, about_.page, config_.page})
    tab_master_->addWidget(page);
  tab_master_->setCurrentIndex(static_cast<int>(Page::tab_carte));
}

void MainWindow::buildStatusBar() {
  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName(QStringLiteral("StatusBar1"));
  statusBar_->setSizeGripEnabled(false);
  statusBar_->setGeometry(0, clientHeight - statusBarHeight, clientWidth, statusBarHeight);
  statusBar_->setAutoFillBackground(true);
  statusBar_->setContentsMargins(0, 0, 0, 0);
  statusPanel_ = new QLabel(statusBar_);
  statusPanel_->setObjectName(QStringLiteral("StatusBar1_panel0"));
  statusPanel_->setFixedWidth(statusPanelWidth);
  statusPanel_->setAlignment(Qt::AlignCenter);
  statusBar_->addWidget(statusPanel_);
}

void MainWindow::connectEvents() {
  const std::array<void (Tppal::*)(), 6> toolbarHandlers = {
      &Tppal::btn_vitaleClick, &Tppal::btn_diagnostiqueClick, &Tppal::btn_configClick,
      &Tppal::btn_updateClick, &Tppal::btn_aboutClick,        &Tppal::btn_quitClick,
  };
  for (size_t i = 0; i < toolbar_.size(); ++i)
    connect(toolbar_[i], &QPushButton::clicked, this, [this, h = toolbarHandlers[i]] { dispatch(h); });

  connect(carte_.action_vitale2, &ClickableLabel::clicked, this, [this] { dispatch(&Tppal::action_vitale2Click); });
  connect(debug_.btn_sauve_fichier, &QPushButton::clicked, this, [this] { dispatch(&Tppal::btn_sauve_fichierClick); });
  connect(update_.btn_update_go, &QPushButton::clicked, this, [this] { dispatch(&Tppal::btn_update_goClick); });
  connect(pdf_.image_pdf, &ClickableLabel::clicked, this, [this] { dispatch(&Tppal::image_pdfClick); });
  connect(about_.lbl_link3, &ClickableLabel::clicked, this, [this] { dispatch(&Tppal::lbl_link3Click); });
  connect(about_.lbl_link2, &ClickableLabel::clicked, this, [this] { dispatch(&Tppal::lbl_link2Click); });
  connect(config_.btn_gestion_4, &QPushButton::clicked, this, [this] { dispatch(&Tppal::btn_gestion_4Click); });
}

void MainWindow::dispatch(void (Tppal::*handler)()) {
  if (ppal_ == nullptr) return;
  // The handlers show their own errors; this is the last line of defence so
  // that no exception unwinds through Qt's event delivery.
  try {
    (ppal_->*handler)();
  } catch (const std::exception& e) {
    messageBox(QStringLiteral("Velnara"), QString::fromUtf8(e.what()), MessageIcon::Error, true);
  } catch (...) {
    messageBox(QStringLiteral("Velnara"), QStringLiteral("Erreur inconnue"), MessageIcon::Error, true);
  }
}

void MainWindow::centreOnScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect place = frameGeometry();
  place.moveCenter(screen->availableGeometry().center());
  move(place.topLeft());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  dispatch(&Tppal::FormCloseQuery);
  event->accept();
}

// ---- View ----

void MainWindow::showPage(Page page) { tab_master_->setCurrentIndex(static_cast<int>(page)); }

View::Page MainWindow::currentPage() const { return static_cast<Page>(tab_master_->currentIndex()); }

QPushButton* MainWindow::button(Button which) const {
  if (which == Button::btn_update_go) return update_.btn_update_go;
  return toolbar_[static_cast<size_t>(which)];
}

void MainWindow::setButtonVisible(Button which, bool visible) { button(which)->setVisible(visible); }

bool MainWindow::isButtonVisible(Button which) const { return !button(which)->isHidden(); }

QLabel* MainWindow::label(Label which) const {
  switch (which) {
    case Label::label_suivi:
      return launch_.label_suivi;
    case Label::label_suivi2:
      return launch_.label_suivi2;
    case Label::label_update2:
      return update_.label_update2;
  }
  return launch_.label_suivi;
}

void MainWindow::setLabelText(Label which, const QString& text) { label(which)->setText(text); }

void MainWindow::setLabelColor(Label which, Colorref color) { setTextColor(label(which), toQColor(color)); }

void MainWindow::setStepIcon(StepRow row, Icon icon) {
  QLabel* slot = launch_.rows[static_cast<size_t>(row)];
  slot->clear();
  if (icon != Icon::None) slot->setPixmap(stepIcon(icon));
}

QTextEdit* MainWindow::richBox(RichBox which) const {
  return which == RichBox::about_texte ? about_.about_texte : debug_.debug_texte;
}

void MainWindow::clearRichText(RichBox box) { richBox(box)->clear(); }

void MainWindow::appendRichText(RichBox box, const TextRun& run) { appendRun(*richBox(box), run); }

void MainWindow::scrollLogToEnd() { scrollToEnd(*debug_.debug_texte); }

void MainWindow::setStatusText(const QString& text) { statusPanel_->setText(text); }

QLineEdit* MainWindow::edit(Edit which) const {
  switch (which) {
    case Edit::Edit_gestion_1:
      return config_.Edit_gestion_1;
    case Edit::edit_gestion_2:
      return config_.edit_gestion_2;
    case Edit::txt_suivi_download:
      return update_.txt_suivi_download;
  }
  return config_.edit_gestion_2;
}

void MainWindow::setEditText(Edit which, const QString& text) {
  QLineEdit* box = edit(which);
  box->setText(text);
  // Show the beginning of a long text, as a fresh edit box does.
  box->setCursorPosition(0);
}

QString MainWindow::editText(Edit which) const { return edit(which)->text(); }

void MainWindow::appendKnownReader(const QString& line) { config_.memo_gestion_3->appendPlainText(line); }

void MainWindow::setProgressVisible(bool visible) { update_.clProgressBarDC1->setVisible(visible); }

void MainWindow::setProgressPosition(int position) {
  // A progress bar ignores a value outside its range; keep the nearest end.
  QProgressBar* bar = update_.clProgressBarDC1;
  bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

void MainWindow::setDownloadTextVisible(bool visible) { update_.txt_suivi_download->setVisible(visible); }

void MainWindow::messageBox(const QString& caption, const QString& text, MessageIcon icon, bool wait) {
  const QString shown = documentLineBreaks(text);
  if (messageBoxHook_) {
    messageBoxHook_(caption, shown, icon);
    return;
  }
  if (!wait) {
    // The program is ending: a box would close at once, so it is only
    // written where a support technician can still find it.
    std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(caption), qUtf8Printable(shown));
    return;
  }
  QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information, caption, shown,
                  QMessageBox::Ok, isVisible() ? this : nullptr);
  box.exec();
}

std::optional<QString> MainWindow::askSaveFileName(const QString& title, const QString& filterLabel,
                                                   const QString& filterPattern, const QString& defaultExtension,
                                                   const QString& fileName) {
  QFileDialog dialog(this, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(filterLabel + QStringLiteral(" (") + filterPattern + QStringLiteral(")"));
  dialog.setDefaultSuffix(defaultExtension);
  // Replacing an existing file needs no confirmation.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const QFileInfo offered(fileName);
  if (!fileName.isEmpty() && offered.isAbsolute()) dialog.setDirectory(offered.absolutePath());
  dialog.selectFile(offered.fileName());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}

void MainWindow::pump() { QCoreApplication::processEvents(); }

void MainWindow::requestTerminate() {
  terminationRequested_ = true;
  // Takes effect once control is back in the message loop.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
