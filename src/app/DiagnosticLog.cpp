// The diagnostic log: appends, the header, the diagnostic page and saving.
#include <stdexcept>

#include <QFileInfo>
#include <QSaveFile>

#include "app/RtfWriter.h"
#include "app/Tppal.h"
#include "platform/Clock.h"
#include "sysinfo/BiosInfo.h"
#include "sysinfo/OperatingSystemInfo.h"
#include "sysinfo/ProcessorInfo.h"

void Tppal::AddDebugText(const QString& AText, FontStyles AStyle, Colorref AColor) {
  const TextRun run{AText, AStyle, AColor};
  debug_texte.append(run);
  view.appendRichText(View::RichBox::debug_texte, run);
}

void Tppal::AddDebugLine(const QString& text) {
  QString line = text + QStringLiteral("\r\n");
  if (!debug_texte.runs().empty() && !debug_texte.endsWithLineBreak()) line.prepend(QStringLiteral("\r\n"));
  AddDebugText(line, fsNone, colors::black);
}

namespace {
// A header line: the label in plain black, its value and a line break in bold.
struct HeaderWriter {
  Tppal& ppal;
  void label(const QString& text) { ppal.AddDebugText(text, fsNone, colors::black); }
  void value(const QString& text) { ppal.AddDebugText(text + QStringLiteral("\r\n"), fsBold, colors::black); }
};
}  // namespace

void Tppal::debug_mode() {
  debug_texte.clear();
  view.clearRichText(View::RichBox::debug_texte);
  HeaderWriter h{*this};

  AddDebugText(QStringLiteral("Diagnostic pour ") + appli_nom + QStringLiteral("\r\n\r\n"), fsBold | fsUnderline,
               colors::blue);
  AddDebugText(QStringLiteral("Informations Générales\r\n"), fsBold | fsUnderline, colors::black);
  h.label(QStringLiteral("Heure et Date : "));
  h.value(p.clock->now().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
  h.label(QStringLiteral("Version Logiciel : "));
  h.value(appli_version);
  h.label(QStringLiteral("Version APILEC : "));
  h.value(appli_apilec_version);

  h.label(QStringLiteral("Version Windows : "));
  os_info->SetActive(true);
  const auto& os = os_info->OperatingSystemProperties();
  h.value(os.Caption);
  h.label(QStringLiteral("   - Build : "));
  h.value(os.BuildNumber);
  h.label(QStringLiteral("   - Architecture : "));
  h.value(os.OSArchitecture);
  h.label(QStringLiteral("   - Nom : "));
  h.value(os.CSName);
  h.label(QStringLiteral("   - Numéro : "));
  h.value(os.SerialNumber);
  os_info->SetActive(false);

  bios_info->SetActive(true);
  h.label(QStringLiteral("Bios : "));
  h.value(bios_info->BiosProperties().Name);
  bios_info->SetActive(false);

  processor_info->SetActive(true);
  h.label(QStringLiteral("CPU ID : "));
  h.value(processor_info->ProcessorProperties().ProcessorId);
  h.label(QStringLiteral("CPU Cache L2 : "));
  h.value(QString::number(processor_info->ProcessorProperties().L2CacheSize));
  processor_info->SetActive(false);
}

void Tppal::tab_debugShow() { view.scrollLogToEnd(); }

void Tppal::btn_sauve_fichierClick() {
  guarded([this] {
    const auto chosen = view.askSaveFileName(
        QStringLiteral("Sauvegarde du diagnostique Velnara"), QStringLiteral("Fichier RTF"), QStringLiteral("*.rtf"),
        QStringLiteral("rtf"), save_dialog_file.value_or(QStringLiteral("diag-Velnara.rtf")));
    if (!chosen) return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".rtf");
    save_dialog_file = path;

    // Written to a temporary file and renamed over the target, so that a
    // failed save never leaves a half-written diagnostic behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toRtf(debug_texte)) < 0 || !file.commit()) {
      // The system's reason, often in English, comes after the French sentence.
      throw std::runtime_error((QStringLiteral("Impossible d'enregistrer le diagnostic dans ") + path +
                                QStringLiteral(".\rMotif donné par le système : ") + file.errorString())
                                   .toStdString());
    }
  });
}
