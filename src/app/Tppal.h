#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "app/Platform.h"
#include "app/StyledText.h"
#include "card/api_lec.h"
#include "platform/Downloader.h"
#include "platform/View.h"

class TOperatingSystemInfo;
class TBiosInfo;
class TProcessorInfo;
// card reading
class XmlDocument;
class XmlNode;

// The application object behind the main window: the application state, the
// run and its steps, the diagnostic log, and the handlers of the window's
// events. Each operation is defined in the folder of its subsystem.
class Tppal : public DownloaderEvents {
 public:
  explicit Tppal(const Platform& platform);
  ~Tppal() override;
  Tppal(const Tppal&) = delete;
  Tppal& operator=(const Tppal&) = delete;

  // ---- start-up and toolbar (app/) ----
  void FormCreate();
  void FormCloseQuery();
  void raz_tab();
  void btn_vitaleClick();
  void btn_diagnostiqueClick();
  void btn_configClick();
  void btn_updateClick();
  void btn_aboutClick();
  void btn_quitClick();
  // Shows a page and runs its show handler, as the page set does.
  void showPage(View::Page page);
  bool terminateRequested() const { return appli_terminate; }

  // ---- run (app/) ----
  void action_vitale2Click();
  void raz_etat();

  // ---- diagnostic log (app/) ----
  void AddDebugText(const QString& AText, FontStyles AStyle, Colorref AColor);
  // The line-list append of the log: the text as a paragraph of its own.
  void AddDebugLine(const QString& text);
  void debug_mode();
  void tab_debugShow();
  void btn_sauve_fichierClick();
  const StyledText& debugLog() const { return debug_texte; }

  // ---- About (app/) ----
  void About_box();
  void AddAboutText(const QString& AText, FontStyles AStyle, Colorref AColor);
  void lbl_link3Click();
  void lbl_link2Click();
  const StyledText& aboutText() const { return about_texte; }

  // ---- steps ----
  void check_fichiers();
  void dailyUpdateDecision();
  void check_maj();
  void check_Listelecteurs();
  void check_initlecteurs();
  void check_lecteur();
  void check_vitale();
  void check_donnees();
  void check_pdf();

  // ---- configuration (config/) ----
  void Creationfiche();
  // True when the code is blocking according to the erreur table.
  bool isBlockingCode(uint16_t code);

  // ---- reader page (card/) ----
  void tab_configShow();
  void btn_gestion_4Click();
  void dictionnaire_lec();

  // ---- certificate (certificate/) ----
  void creation_pdf();
  void image_pdfClick();

  // ---- update download (update/) ----
  void btn_update_goClick();
  void update_admin();
  void onDataItemProceed(const DownloadState& state) override;
  void onError(const QString& error, int errorCode) override;
  void onProcessCompleted() override;
  // True from a download's start until its end handler has run.
  bool downloadInProgress() const { return download_running; }

  // Runs a handler and shows an error it does not handle in the error box
  // captioned with the application title.
  void guarded(const std::function<void()>& handler);

  // The message of the last error that ended a handler, if any (cleared at
  // the start of every guarded handler).
  const std::optional<QString>& lastUnhandledError() const { return last_unhandled_error; }

  // ---- application state ----
  QString appli_nom, appli_logiciel, appli_societe, appli_version;
  QString appli_ini_file;
  QString appli_dossier_commun, appli_dossier_apilec;
  QByteArray appli_dossier_apilec_force;
  QString appli_maj_name;
  QString appli_url_update, appli_url_logiciel;
  QString appli_reader_lec;
  QString appli_apilec_version;

  int32_t appli_check_continue = 0;
  int32_t appli_check_continue2 = 0;

  // reader discovery
  std::vector<T_infosLecteur> appli_reader_list;
  int32_t appli_reader_nbre = 0;
  QString appli_nom_lecteur, appli_nom_lecteur_ini;
  QByteArray appli_reader_use;
  int32_t appli_api_return = 0;
  uint16_t appli_api_error = 0;

  // card session and read
  uint16_t appli_api_session = 0;
  const uint16_t* appli_api_char = nullptr;
  uint16_t appli_api_word2 = 0;
  uint32_t appli_api_size = 0;
  int16_t app_dico_table = 0;
  QByteArray app_dico_code;
  uint16_t app_dico_texte_taille = 0;
  int32_t app_dico_retour = 0;
  uint16_t app_dico_error = 0;
  QByteArray app_dico_texte_retour;

  // card data
  std::vector<std::vector<QString>> appli_xml_ext;
  int32_t appli_xml_cnt1 = 0;
  int32_t appli_xml_cnt2 = 0;
  QString carte_numserie;

  // configuration and update
  int32_t appli_maj_date = 0;
  QString appli_maj_date_test, appli_maj_date_format;
  QString appli_update_data;

 protected:
  // The work of a step, run under the step contract.
  struct StepDef {
    View::StepRow row;
    QString subHeading;
    QString runningText;
    QString failureText;
    bool pumpBeforeWork = true;
    // True when an earlier call of the same step is still at work (its
    // pumping let this one start): this one then does nothing more and
    // leaves the row for that one to set.
    std::function<bool()> givesWay{};
    // What the step shows besides the labels when it is the run's first failure.
    std::function<void()> onFirstFailure{};
  };
  // Runs one step under the contract; true when the row ended at etat_ok.
  bool runStep(const StepDef& step, const std::function<void()>& work);
  void setStepIcon(View::StepRow row, View::Icon icon);
  void setLabel(View::Label label, const QString& text, Colorref color);
  void messageBox(const QString& caption, const QString& text, View::MessageIcon icon);
  void requestTerminate();
  void pump();
  QString statusBarText() const;

  // update check and download
  int32_t todayAsNumber() const;
  QString downloadUrl() const;
  void askUpdateServer();
  void recordUpdateCheckDate();
  void setToolbarVisible(bool visible, bool withConfig);
  void showLaunchError();
  // The download's error box, then the download button and the toolbar back.
  void offerDownloadAgain(bool withConfig);
  bool download_failed = false;
  bool download_running = false;
  // A run or an on-demand update check is under way: it pumps window
  // messages, and a click on the card picture or on " Mise à Jour" that
  // comes through them is ignored rather than started inside it.
  bool activity_running = false;
  // Runs the handler unless an activity is already under way.
  void asTheOnlyActivity(const std::function<void()>& handler);

  Platform p;
  View& view;
  StyledText debug_texte;
  StyledText about_texte;
  std::optional<QString> last_unhandled_error;
  std::optional<QString> save_dialog_file;
  bool appli_terminate = false;
  std::unique_ptr<TOperatingSystemInfo> os_info;
  std::unique_ptr<TBiosInfo> bios_info;
  std::unique_ptr<TProcessorInfo> processor_info;

 private:
  // card reading
  QString firstReaderName() const;
  void listReaders();
  void initReaders();
  void openCardSession();
  void accessCard();
  void readCardData();
  void endCardSession();
  void extractCardData(const QByteArray& xml);
  void extractSchemeData(XmlNode& amo);
  std::vector<char> appli_api_xml;   // the card data buffer, only during the card data step
  std::vector<char> app_dico_texte;  // the label buffer of the last dictionary lookup
  // Shared so that an extraction keeps its document alive even if a nested
  // run (started from a pump) replaces it meanwhile.
  std::shared_ptr<XmlDocument> contenu_xml;
};
