#include "platform/ViewNames.h"

QString pageName(View::Page page) {
  switch (page) {
    case View::Page::tab_carte:
      return QStringLiteral("tab_carte");
    case View::Page::tab_launch:
      return QStringLiteral("tab_launch");
    case View::Page::tab_debug:
      return QStringLiteral("tab_debug");
    case View::Page::tab_update:
      return QStringLiteral("tab_update");
    case View::Page::tab_pdf:
      return QStringLiteral("tab_pdf");
    case View::Page::tab_about:
      return QStringLiteral("tab_about");
    case View::Page::tab_config:
      return QStringLiteral("tab_config");
  }
  return QString();
}

QString iconName(View::Icon icon) {
  switch (icon) {
    case View::Icon::None:
      return QStringLiteral("none");
    case View::Icon::etat_attente:
      return QStringLiteral("etat_attente");
    case View::Icon::etat_en_cours:
      return QStringLiteral("etat_en_cours");
    case View::Icon::etat_ok:
      return QStringLiteral("etat_ok");
    case View::Icon::etat_nok:
      return QStringLiteral("etat_nok");
    case View::Icon::etat_saute:
      return QStringLiteral("etat_saute");
  }
  return QString();
}
