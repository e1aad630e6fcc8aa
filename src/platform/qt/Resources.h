#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The window's pictures are SVG files in the program's resources (":/pictures/"); where Qt
// has no SVG module (Windows) the build renders them to PNG files.

// Makes the resources of the window library available; the library is
// static, so nothing else would pull them in. Safe to call more than once.
void initGuiResources();

// Resource path of a picture by file name, e.g. picturePath("card.svg").
QString picturePath(const QString& fileName);

// The picture drawn at exactly size; a null pixmap when it cannot be read.
QPixmap svgPixmap(const QString& resourcePath, QSize size);

// An icon with the picture drawn at the usual icon sizes.
QIcon svgIcon(const QString& resourcePath);
