#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include "platform/qt/Fonts.h"

namespace {

// Dark pixels of a text drawn in the font.
int inkOf(const QFont& font, const QString& text) {
  QImage image(400, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(5, 40, text);
  painter.end();
  int ink = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  return ink;
}

TEST(Tahoma, IsTheFaceReallyUsed) {
  for (const QFont& font : {tahomaPoints(8), tahomaPoints(18, true), tahomaPixels(13)})
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
}

TEST(Tahoma, BoldTextIsDrawnBolder) {
  const QString title = QStringLiteral("Génération d'une attestation");
  for (int points : {8, 11, 18}) {
    const int regular = inkOf(tahomaPoints(points), title);
    const int bold = inkOf(tahomaPoints(points, true), title);
    EXPECT_GT(bold, regular * 5 / 4) << points << " pt: " << regular << " vs " << bold;
  }
}

TEST(Tahoma, SizesInPointsAndPixels) {
  // The window is laid out at 96 dots per inch.
  EXPECT_EQ(QFontInfo(tahomaPoints(8)).pixelSize(), 11);
  EXPECT_EQ(QFontInfo(tahomaPoints(18)).pixelSize(), 24);
  EXPECT_EQ(QFontInfo(tahomaPixels(15)).pixelSize(), 15);
  EXPECT_TRUE(QFontInfo(tahomaPoints(8, true)).bold());
}

}  // namespace
