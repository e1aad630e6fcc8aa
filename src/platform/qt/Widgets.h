#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;
class ClickableLabel;

// Small builders for the widgets of the window. Every widget gets the name the
// rest of the program (and the tests) know it by, and its place in pixels.

// A label in the font given, black, aligned as asked.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, const QFont& font,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

// A flat button with a 24 x 24 picture left of its caption and a hand cursor.
QPushButton* makeFlatButton(QWidget* parent, const QString& name, const QString& caption, const QString& picture,
                            const QRect& geometry);

// A 24 x 24 (or larger) picture that answers clicks, with a hand cursor.
ClickableLabel* makeClickablePicture(QWidget* parent, const QString& name, const QString& picture,
                                     const QRect& geometry);

// A 24 x 24 picture slot that shows pictures of the step image list.
QLabel* makePictureSlot(QWidget* parent, const QString& name, const QRect& geometry);

// Pages of the page set share their size.
inline constexpr int pageWidth = 585;
inline constexpr int pageHeight = 380;
QWidget* makePage(const QString& name);
