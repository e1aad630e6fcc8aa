#pragma once

#include <QString>

#include "platform/View.h"

// The names of pages and icons as the window and its users know them
// ("tab_pdf", "etat_ok", ...).
QString pageName(View::Page page);
QString iconName(View::Icon icon);
