#pragma once

#include <QPixmap>

#include "platform/View.h"

// The step image list image_etat: six 24 x 24 pictures on white, by index.
// 0 waiting (clock), 1 running (two blue arrows), 2 passed (green tick),
// 3 failed (red cross), 4 not tested (yellow bent arrow), 5 a grey gear that
// is never shown on a row.
inline constexpr int stepIconCount = 6;
inline constexpr int stepIconSide = 24;

QPixmap stepIcon(int index);
inline QPixmap stepIcon(View::Icon icon) { return stepIcon(static_cast<int>(icon)); }
