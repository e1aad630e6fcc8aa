// A library that fills our buffers to their last byte, without a closing
// NUL: the stand-in never does, a real library may. Every text read from a
// buffer must stop at the buffer's end.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/CardLibrary.h"
#include "support/CardStation.h"

namespace {

class BufferFillingLibrary : public CardLibrary {
 public:
  uint16_t Lec_ListeLecteurs(const char*, T_infosLecteur* readers, int32_t* count, uint16_t*) override {
    // The whole record, fields after the name included, is non-zero.
    if (readers) std::memset(readers, 'A', sizeof(T_infosLecteur) * size_t(*count));
    *count = 1;
    return 0;
  }
  uint16_t Lec_InitLecteurs(const char*, const char* reader, const char*, uint16_t*) override {
    initName = reader;
    return 0;
  }
  uint16_t Lec_OuvertureSessionVitale(const char*, const uint16_t* const*, uint16_t* session, uint16_t*) override {
    *session = 3;
    return 0;
  }
  uint16_t Lec_IntroductionMstVitale(uint16_t, uint16_t, uint16_t*, uint16_t*) override { return 0; }
  uint16_t Lec_LectureVitale(uint16_t, uint16_t, char* buffer, uint32_t* size, uint16_t*) override {
    // A document, then padding to the very end of the buffer.
    const QByteArray xml = fixture(QStringLiteral("carte-utf8.xml"));
    std::memset(buffer, ' ', *size);
    std::memcpy(buffer, xml.constData(), size_t(xml.size()));
    return 0;
  }
  uint16_t Lec_RetraitMhtVitale(uint16_t, uint16_t, uint16_t*) override { return 0; }
  uint16_t Lec_FermetureSessionVitale(uint16_t, uint16_t*) override { return 0; }
  uint16_t Lec_Dictionnaire(const char*, int16_t, const char*, const char*, char* label, uint16_t* labelSize,
                            uint16_t*) override {
    std::memset(label, 'B', *labelSize);
    return 0;
  }
  QByteArray initName;
};

}  // namespace

TEST(BufferBounds, TextsFillingTheirBufferStopAtItsEnd) {
  BufferFillingLibrary library;
  CardStation s(QString(), &library);
  s.settings("[Lecteur]\r\nRessource_Vitale=" + QByteArray(256, 'A') + "\r\n");
  s.run();

  ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
  EXPECT_EQ(s.ppal.appli_reader_lec, QString(256, u'A'));
  EXPECT_EQ(s.ppal.appli_nom_lecteur, QString(256, u'A'));
  EXPECT_TRUE(s.log().contains(QStringLiteral("Les lecteurs sont identiques\r\n")));
  EXPECT_EQ(library.initName, QByteArray(256, 'A'));
  ASSERT_EQ(s.ppal.appli_xml_ext.size(), 1u);
  EXPECT_EQ(s.ppal.appli_xml_ext[0].at(51), QString(128, u'B'));
  EXPECT_EQ(s.ppal.appli_xml_ext[0].at(52), QString(128, u'B'));
  EXPECT_EQ(s.ppal.app_dico_texte_retour, QByteArray(128, 'B'));
}
