#include <gtest/gtest.h>

#include "platform/ini/Windows1252.h"

namespace {

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = decodeWindows1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(encodeWindows1252(text), all);
}

struct CodePoint {
  char byte;
  char16_t character;
};

TEST(Windows1252, MapsTheBytesThatDifferFromLatin1ThroughTheTable) {
  const CodePoint cases[] = {{'\x80', u'€'}, {'\x8C', u'Œ'},      {'\x92', u'’'},      {'\x96', u'–'}, {'\x9C', u'œ'},
                             {'\x9F', u'Ÿ'}, {'\x81', u'\u0081'}, {'\xA0', u'\u00A0'}, {'\xE9', u'é'}, {'\xFF', u'ÿ'}};
  for (const CodePoint& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.byte)));
    EXPECT_EQ(decodeWindows1252(QByteArray(1, c.byte)), QString(QChar(c.character)));
    EXPECT_EQ(encodeWindows1252(QString(QChar(c.character))), QByteArray(1, c.byte));
  }
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
  // U+0080 has no byte of its own: 0x80 is the euro sign.
  EXPECT_EQ(encodeWindows1252(u"a\u0080b\u4E2D\U0001F600c"), QByteArray("a?b??c"));
  EXPECT_EQ(encodeWindows1252(QString(QChar(0xD800))), QByteArray("?"));  // lone surrogate
}

}  // namespace
