#pragma once

#include <optional>

#include <QString>

#include "platform/Colors.h"

// One styled run of a rich-text box (the diagnostic log, the About text).
struct TextRun {
  QString text;
  FontStyles style = fsNone;
  Colorref color = colors::black;
  bool operator==(const TextRun&) const = default;
};

// The view operations the logic uses. The Qt window, the terminal runner and
// the tests each implement them; the logic never touches a widget.
class View {
 public:
  enum class Page { tab_carte, tab_launch, tab_debug, tab_update, tab_pdf, tab_about, tab_config };
  enum class Button {
    btn_vitale,
    btn_diagnostique,
    btn_config,
    btn_update,
    btn_about,
    btn_quit,
    btn_update_go,
  };
  enum class Label { label_suivi, label_suivi2, label_update2 };
  enum class StepRow { Image_etat1, Image_etat2b, Image_etat3, Image_etat4, Image_etat5, Image_etat6 };
  // Indices of the image list image_etat; None is a cleared picture.
  enum class Icon { None = -1, etat_attente = 0, etat_en_cours, etat_ok, etat_nok, etat_saute };
  enum class RichBox { debug_texte, about_texte };
  enum class Edit { Edit_gestion_1, edit_gestion_2, txt_suivi_download };
  enum class MessageIcon { Information, Error };

  virtual ~View() = default;

  virtual void showPage(Page page) = 0;
  virtual Page currentPage() const = 0;
  virtual void setButtonVisible(Button button, bool visible) = 0;
  virtual bool isButtonVisible(Button button) const = 0;

  virtual void setLabelText(Label label, const QString& text) = 0;
  virtual void setLabelColor(Label label, Colorref color) = 0;

  // Icon::None clears the row's picture.
  virtual void setStepIcon(StepRow row, Icon icon) = 0;

  virtual void clearRichText(RichBox box) = 0;
  virtual void appendRichText(RichBox box, const TextRun& run) = 0;
  // Puts the caret of the log at its end and scrolls it into view.
  virtual void scrollLogToEnd() = 0;

  virtual void setStatusText(const QString& text) = 0;

  virtual void setEditText(Edit edit, const QString& text) = 0;
  virtual QString editText(Edit edit) const = 0;
  // Appends one line to the known-readers memo of the reader page.
  virtual void appendKnownReader(const QString& line) = 0;

  // Download widgets of the update page.
  virtual void setProgressVisible(bool visible) = 0;
  virtual void setProgressPosition(int position) = 0;
  virtual void setDownloadTextVisible(bool visible) = 0;

  // Modal message box with an OK button. When wait is false the box closes at
  // once (a termination has already been asked for).
  virtual void messageBox(const QString& caption, const QString& text, MessageIcon icon, bool wait) = 0;

  // Save dialog; nullopt when the user cancels.
  virtual std::optional<QString> askSaveFileName(const QString& title, const QString& filterLabel,
                                                 const QString& filterPattern, const QString& defaultExtension,
                                                 const QString& fileName) = 0;

  // Processes pending window messages.
  virtual void pump() = 0;

  // Ends the program once control is back in the message loop.
  virtual void requestTerminate() = 0;
};
