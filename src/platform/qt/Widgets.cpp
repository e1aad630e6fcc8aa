#include "platform/qt/Widgets.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "platform/qt/ClickableLabel.h"
#include "platform/qt/Resources.h"

namespace {
constexpr QSize buttonPictureSize(24, 24);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, const QFont& font,
                  Qt::Alignment alignment) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setFont(font);
  label->setAlignment(alignment);
  label->setTextFormat(Qt::PlainText);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  return label;
}

QPushButton* makeFlatButton(QWidget* parent, const QString& name, const QString& caption, const QString& picture,
                            const QRect& geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  button->setFlat(true);
  button->setCursor(Qt::PointingHandCursor);
  button->setIcon(QIcon(svgPixmap(picturePath(picture), buttonPictureSize)));
  button->setIconSize(buttonPictureSize);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

ClickableLabel* makeClickablePicture(QWidget* parent, const QString& name, const QString& picture,
                                     const QRect& geometry) {
  auto* label = new ClickableLabel(parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignCenter);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->setPixmap(svgPixmap(picturePath(picture), geometry.size()));
  return label;
}

QLabel* makePictureSlot(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

QWidget* makePage(const QString& name) {
  auto* page = new QWidget;
  page->setObjectName(name);
  page->setFixedSize(pageWidth, pageHeight);
  page->setAutoFillBackground(true);
  QPalette palette = page->palette();
  palette.setColor(QPalette::Window, Qt::white);
  page->setPalette(palette);
  return page;
}
