#include "platform/qt/StepIcons.h"

#include <array>

#include "platform/qt/Resources.h"

QPixmap stepIcon(int index) {
  static const std::array<const char*, stepIconCount> files = {
      "etat_attente.svg", "etat_en_cours.svg", "etat_ok.svg", "etat_nok.svg", "etat_saute.svg", "etat_gear.svg",
  };
  if (index < 0 || index >= stepIconCount) return {};
  return svgPixmap(picturePath(QString::fromLatin1(files[size_t(index)])), QSize(stepIconSide, stepIconSide));
}
