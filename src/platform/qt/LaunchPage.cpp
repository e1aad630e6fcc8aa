#include <QFrame>
#include <QLabel>

#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"
#include "platform/qt/StepIcons.h"
#include "platform/qt/Widgets.h"

namespace {

struct StepRowPlace {
  const char* picture;
  const char* caption;
  const char* captionText;
  QPoint at;
};

// In the order of View::StepRow.
const std::array<StepRowPlace, 6> stepRows = {{
    {"Image_etat1", "label_etat1", "Contrôle des fichiers", {74, 102}},
    {"Image_etat2b", "label_etat2b", "Contrôle Mise à Jour", {74, 182}},
    {"Image_etat3", "label_etat3", "Initialisation du lecteur", {339, 102}},
    {"Image_etat4", "label_etat4", "Contrôle carte Vitale", {339, 142}},
    {"Image_etat5", "label_etat5", "Récupération informations", {339, 182}},
    {"Image_etat6", "label_etat6", "Génération du PDF", {217, 222}},
}};

struct LegendItem {
  View::Icon icon;
  const char* text;
  int left;
};

const std::array<LegendItem, 5> legendItems = {{
    {View::Icon::etat_attente, "En attente", 3},
    {View::Icon::etat_en_cours, "En cours", 112},
    {View::Icon::etat_saute, "Etape non testée", 212},
    {View::Icon::etat_ok, "Etape validée", 346},
    {View::Icon::etat_nok, "Etape en échec", 458},
}};

constexpr int captionOffset = 40;  // from a row picture's left to its caption
constexpr int captionWidth = 200;
constexpr int legendLineTop = 298;
constexpr int legendPictureTop = 314;
constexpr int legendCaptionOffset = 30;
constexpr int legendCaptionTop = 320;
constexpr int legendCaptionWidth = 96;
constexpr int legendCaptionHeight = 14;

QString latin(const char* text) { return QString::fromUtf8(text); }

}  // namespace

LaunchPage::LaunchPage() : page(makePage(QStringLiteral("tab_launch"))) {
  const QString waiting = QStringLiteral("Attente du lancement...");
  label_suivi = makeLabel(page, QStringLiteral("label_suivi"), waiting, QRect(48, 22, 481, 29), tahomaPoints(18, true),
                          Qt::AlignHCenter | Qt::AlignTop);
  label_suivi2 = makeLabel(page, QStringLiteral("label_suivi2"), waiting, QRect(72, 54, 433, 29), tahomaPoints(11),
                           Qt::AlignHCenter | Qt::AlignTop);

  const QFont captionFont = tahomaPoints(8);
  for (size_t i = 0; i < stepRows.size(); ++i) {
    const StepRowPlace& row = stepRows[i];
    rows[i] = makePictureSlot(page, latin(row.picture), QRect(row.at, QSize(stepIconSide, stepIconSide)));
    // The caption is centred on the picture's height.
    captions[i] = makeLabel(page, latin(row.caption), latin(row.captionText),
                            QRect(row.at.x() + captionOffset, row.at.y(), captionWidth, stepIconSide), captionFont,
                            Qt::AlignLeft | Qt::AlignVCenter);
  }

  legendLine = new QFrame(page);
  legendLine->setObjectName(QStringLiteral("bevel_legende"));
  legendLine->setFrameShape(QFrame::HLine);
  legendLine->setFrameShadow(QFrame::Sunken);
  legendLine->setGeometry(0, legendLineTop, pageWidth, 2);

  for (const LegendItem& item : legendItems) {
    const QString name = QStringLiteral("legende_") + QString::number(static_cast<int>(item.icon));
    QLabel* picture = makePictureSlot(page, name + QStringLiteral("_image"),
                                      QRect(item.left, legendPictureTop, stepIconSide, stepIconSide));
    picture->setPixmap(stepIcon(item.icon));
    makeLabel(page, name + QStringLiteral("_texte"), latin(item.text),
              QRect(item.left + legendCaptionOffset, legendCaptionTop, legendCaptionWidth, legendCaptionHeight),
              captionFont);
  }
}
