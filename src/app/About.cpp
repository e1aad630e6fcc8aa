// The About page: its text, written once at start-up, and its two links.
#include "app/Tppal.h"
#include "platform/Shell.h"

namespace {
const QString kRemoteSupportUrl = QStringLiteral("https://anydesk.com/fr/downloads");
}

void Tppal::AddAboutText(const QString& AText, FontStyles AStyle, Colorref AColor) {
  const TextRun run{AText, AStyle, AColor};
  about_texte.append(run);
  view.appendRichText(View::RichBox::about_texte, run);
}

void Tppal::About_box() {
  const struct {
    QString text;
    FontStyles style;
  } lines[] = {
      {QStringLiteral("Qui sommes nous ?\r\n"), fsBold | fsUnderline},
      {QStringLiteral("Trelvo SAS\r\n"), fsNone},
      {QStringLiteral("14 rue des Tanneurs\r\n"), fsNone},
      {QStringLiteral("69003 Lyon\r\n"), fsNone},
      {QStringLiteral("France\r\n\r\n"), fsNone},
      {QStringLiteral("Téléphone : 04 72 00 00 00\r\n"), fsNone},
      {QStringLiteral("Courriel : support@trelvo.fr\r\n"), fsNone},
      {QStringLiteral("\r\nInformations de l'application\r\n"), fsBold | fsUnderline},
      {QStringLiteral("Version : ") + appli_version + QStringLiteral("\r\n"), fsNone},
      {QStringLiteral("Version APILEC : ") + appli_apilec_version + QStringLiteral("\r\n"), fsNone},
      {QStringLiteral("Homologué par le GIE Vitale Sesame\r\n"), fsNone},
      {QStringLiteral("\r\nCrédits\r\n"), fsBold | fsUnderline},
      {QStringLiteral("Images provenant de la bibliothèque graphique Trelvo\r\n"), fsNone},
      {QStringLiteral("Icones provenant de l'atelier graphique Trelvo\r\n"), fsNone},
      {QStringLiteral("\r\nEquipe de développement\r\n"), fsBold | fsUnderline},
      {QStringLiteral("Développeur Application: Équipe logicielle Trelvo\r\n"), fsNone},
      {QStringLiteral("Développeur Site Web: Équipe web Trelvo\r\n"), fsNone},
  };
  for (const auto& line : lines) AddAboutText(line.text, line.style, colors::black);
}

void Tppal::lbl_link3Click() { p.shell->open(appli_url_logiciel); }

void Tppal::lbl_link2Click() { p.shell->open(kRemoteSupportUrl); }
