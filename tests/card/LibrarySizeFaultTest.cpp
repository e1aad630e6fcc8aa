// A library that reports sizes and counts larger than the buffers it was
// given: the card data size, the label size of a dictionary lookup, the
// reader count of a listing. A size is only ever logged; a count never sends
// the library back to a buffer with more room than it really has.
#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/CardLibrary.h"
#include "support/CardStation.h"

namespace {

constexpr uint32_t kHugeDataSize = 0xFFFFFFFF;
constexpr uint16_t kHugeLabelSize = 0xFFFF;

QByteArray readerName(int index) { return "Lecteur " + QByteArray::number(index + 1); }

class OversizingLibrary : public CardLibrary {
 public:
  // Listing calls answer these counts and statuses in turn (the last pair
  // again once they run out): a count that grows between the two calls of a
  // listing is a reader plugged in meanwhile.
  std::vector<int32_t> counts{1, 3};
  std::vector<uint16_t> listStatuses{0, 0};
  uint16_t readStatus = 0;
  // The count given with each buffer, which the library takes as its room.
  std::vector<int32_t> roomsGiven;

  uint16_t Lec_ListeLecteurs(const char*, T_infosLecteur* readers, int32_t* count, uint16_t*) override {
    const std::size_t call = std::min(listCalls_++, counts.size() - 1);
    if (readers) {
      roomsGiven.push_back(*count);
      // As a library trusting the count would: one record per place.
      for (int32_t i = 0; i < std::min(*count, counts[call]); ++i) {
        readers[i] = T_infosLecteur{};
        const QByteArray name = readerName(i);
        std::memcpy(readers[i].nom_ressource, name.constData(), std::size_t(name.size()));
      }
    }
    *count = counts[call];
    return listStatuses[call];
  }
  uint16_t Lec_InitLecteurs(const char*, const char*, const char*, uint16_t*) override { return 0; }
  uint16_t Lec_OuvertureSessionVitale(const char*, const uint16_t* const*, uint16_t* session, uint16_t*) override {
    *session = 3;
    return 0;
  }
  uint16_t Lec_IntroductionMstVitale(uint16_t, uint16_t, uint16_t*, uint16_t*) override { return 0; }
  uint16_t Lec_LectureVitale(uint16_t, uint16_t, char* buffer, uint32_t* size, uint16_t*) override {
    const QByteArray xml = fixture(QStringLiteral("carte-utf8.xml"));
    std::memcpy(buffer, xml.constData(), std::size_t(xml.size()));
    *size = kHugeDataSize;
    return readStatus;
  }
  uint16_t Lec_RetraitMhtVitale(uint16_t, uint16_t, uint16_t*) override { return 0; }
  uint16_t Lec_FermetureSessionVitale(uint16_t, uint16_t*) override { return 0; }
  uint16_t Lec_Dictionnaire(const char*, int16_t table, const char*, const char*, char* label, uint16_t* labelSize,
                            uint16_t*) override {
    const QByteArray text = table == 1 ? "REGIME GENERAL" : "CPAM PARIS";
    std::memcpy(label, text.constData(), std::size_t(text.size()));
    *labelSize = kHugeLabelSize;
    return 0;
  }

 private:
  std::size_t listCalls_ = 0;
};

}  // namespace

TEST(LibrarySizes, SizesAboveTheBuffersAreOnlyLogged) {
  OversizingLibrary library;
  library.readStatus = 9;  // no row in erreur: not blocking, and the size is logged
  CardStation s(QString(), &library);
  s.settings("[Lecteur]\r\nRessource_Vitale=Lecteur 1\r\n");
  s.run();

  ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
  // The listing announced three readers but had given room for one: the
  // name comes from that one.
  EXPECT_TRUE(s.log().contains(QStringLiteral("Nombre de lecteurs : 3\r\nLecteur branché : Lecteur 1\r\n")))
      << s.cardLog().toStdString();
  EXPECT_EQ(s.ppal.appli_reader_lec, QStringLiteral("Lecteur 1"));
  EXPECT_EQ(library.roomsGiven, std::vector<int32_t>{1});

  EXPECT_TRUE(s.log().contains(QStringLiteral("Taille retour : 4294967295 (session : 3)\r\n")))
      << s.cardLog().toStdString();
  ASSERT_EQ(s.ppal.appli_xml_ext.size(), 1u);
  EXPECT_EQ(s.ppal.appli_xml_ext[0].at(51), QStringLiteral("REGIME GENERAL"));
  EXPECT_EQ(s.ppal.appli_xml_ext[0].at(52), QStringLiteral("CPAM PARIS"));
  EXPECT_EQ(s.ppal.app_dico_texte_retour, QByteArray("CPAM PARIS"));
  EXPECT_EQ(s.t.view.currentPage(), View::Page::tab_pdf);
}

// A listing that fails after its count grew (here the classification of its
// status cannot reach the database) keeps its one-record buffer; the next
// run's listing starts from that buffer and must not tell the library it
// holds three.
TEST(LibrarySizes, AGrownReaderCountNeverGoesBackWithTheSmallerBuffer) {
  OversizingLibrary library;
  library.counts = {1, 3, 3, 3};
  library.listStatuses = {0, 6, 0, 0};
  CardStation s(QStringLiteral("DROP TABLE erreur;"), &library);
  s.settings("[Lecteur]\r\nRessource_Vitale=Lecteur 1\r\n");

  s.run();
  ASSERT_TRUE(s.log().contains(QStringLiteral("Aucun lecteur trouvé !\r\n"))) << s.cardLog().toStdString();
  ASSERT_EQ(s.ppal.appli_reader_lec, QStringLiteral("N/A"));

  s.run();
  ASSERT_FALSE(s.ppal.lastUnhandledError()) << s.ppal.lastUnhandledError()->toStdString();
  // Listing 1 gave room for 1 reader; listing 2 reused that buffer, then
  // gave room for the 3 it had learnt of.
  EXPECT_EQ(library.roomsGiven, (std::vector<int32_t>{1, 1, 3}));
  EXPECT_EQ(s.ppal.appli_reader_lec, QStringLiteral("Lecteur 1"));
  EXPECT_TRUE(s.log().contains(QStringLiteral("Nombre de lecteurs : 3\r\n"))) << s.cardLog().toStdString();
  EXPECT_EQ(s.t.view.currentPage(), View::Page::tab_pdf);
}
