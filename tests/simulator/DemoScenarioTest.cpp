// The demo card and scenario that the setup tool installs must agree: the
// stand-in delivers the card, and its dictionaries know the card's codes.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <string>
#include <vector>

#include "StandInFolder.h"

namespace {

QByteArray demoFile(const char* name) {
  QFile file(QStringLiteral(VELNARA_SOURCE_DIR "/simulator/demo/") + QString::fromLatin1(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return file.readAll();
}

// Element texts of the card, in document order, by element name.
std::vector<std::pair<QString, QString>> textsOf(const QByteArray& xml) {
  std::vector<std::pair<QString, QString>> texts;
  QXmlStreamReader reader(xml);
  QString element;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) element = reader.name().toString();
    if (reader.isCharacters() && !reader.isWhitespace()) texts.emplace_back(element, reader.text().toString());
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return texts;
}

QString first(const std::vector<std::pair<QString, QString>>& texts, const char* name) {
  for (const auto& [element, text] : texts) {
    if (element == QLatin1String(name)) return text;
  }
  return {};
}

std::string lookUp(const StandInFolder& station, int16_t table, const QString& code) {
  char label[128] = {};
  uint16_t size = sizeof label;
  uint16_t error = 0;
  const uint16_t status =
      Lec_Dictionnaire(station.folder().c_str(), table, code.toLatin1().constData(), "00000000", label, &size, &error);
  EXPECT_EQ(status, 0) << "table " << table << " code " << code.toStdString();
  return label;
}

TEST(DemoScenario, DeliversTheLatin1CardAndKnowsItsCodes) {
  StandInFolder station;
  station.writeScenario(demoFile("simulation.ini").toStdString());
  const QByteArray card = demoFile("carte.xml");
  station.write("carte.xml", card.toStdString());

  int32_t count = 0;
  uint16_t error = 0;
  ASSERT_EQ(Lec_ListeLecteurs(station.folder().c_str(), nullptr, &count, &error), 0);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(station.openSession(), 0);
  std::vector<char> buffer(102400, 0);
  uint32_t size = 102400;
  ASSERT_EQ(Lec_LectureVitale(1, 0, buffer.data(), &size, &error), 0);
  const QByteArray delivered(buffer.data(), qsizetype(size));
  EXPECT_EQ(delivered, card);
  EXPECT_TRUE(delivered.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
  EXPECT_TRUE(delivered.contains("H\xE9l\xE8ne"));

  const auto texts = textsOf(delivered);
  EXPECT_EQ(first(texts, "prenomUsuel"), QString::fromUtf8("Hélène"));
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& t) { return t.first == QLatin1String("nir"); }),
            2);
  // A card holds the number as 13 digits, a blank and the 2-digit key.
  static const QRegularExpression cardNumber(QStringLiteral(R"(^\d{13} \d{2}$)"));
  for (const auto& [element, text] : texts) {
    if (element != QLatin1String("nir")) continue;
    EXPECT_TRUE(cardNumber.match(text).hasMatch()) << text.toStdString();
  }
  EXPECT_EQ(lookUp(station, 1, first(texts, "codeRegime")), "REGIME GENERAL");
  EXPECT_EQ(lookUp(station, 2, first(texts, "codeRegime") + first(texts, "caisse") + first(texts, "centreCarte")),
            "CPAM PARIS");
  EXPECT_FALSE(station.journal().empty());
}

}  // namespace
