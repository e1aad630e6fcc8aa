// Card presence, card data and the dictionary.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "StandInFolder.h"

namespace {

constexpr uint16_t kNoCard = 61441;
constexpr uint16_t kNoReader = 61442;
constexpr uint16_t kUnknownCode = 61443;

// Latin-1 bytes, a NUL in the middle and text after it, as a card may hold.
const std::string kCardBytes(
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><T_AsnDonneesVitale>H\xE9l\xE8ne"
    "</T_AsnDonneesVitale>\0after the NUL",
    104);

TEST(CardRead, SessionAndStateComeFromTheScenario) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=1\n[Carte]\nFichier=c.xml\nEtat=3\nSession=42\n");
  station.write("c.xml", "<x/>");
  uint16_t session = 0;
  uint16_t error = 1;
  ASSERT_EQ(station.openSession(&session, &error), 0);
  EXPECT_EQ(session, 42);
  uint16_t state = 0;
  EXPECT_EQ(Lec_IntroductionMstVitale(session, 0, &state, &error), 0);
  EXPECT_EQ(state, 3);
  EXPECT_EQ(error, 0);
}

TEST(CardRead, SessionDefaultsToOneAndStateToZero) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=1\n[Carte]\nFichier=c.xml\n");
  station.write("c.xml", "<x/>");
  uint16_t session = 0;
  station.openSession(&session);
  EXPECT_EQ(session, 1);
  uint16_t state = 9;
  uint16_t error = 0;
  EXPECT_EQ(Lec_IntroductionMstVitale(session, 0, &state, &error), 0);
  EXPECT_EQ(state, 0);
}

TEST(CardRead, CardBytesComeBackUnchangedWithTheFileLength) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=1\n[Carte]\nFichier=carte.xml\n");
  station.write("carte.xml", kCardBytes);
  station.openSession();
  std::vector<char> buffer(102400, 0);
  uint32_t size = 102400;
  uint16_t error = 3;
  ASSERT_EQ(Lec_LectureVitale(1, 0, buffer.data(), &size, &error), 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(size, kCardBytes.size());
  EXPECT_EQ(std::string(buffer.data(), kCardBytes.size()), kCardBytes);
  EXPECT_EQ(buffer[kCardBytes.size()], 0);
}

TEST(CardRead, SmallerBufferIsFilledButNeverOverrun) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=1\n[Carte]\nFichier=carte.xml\n");
  station.write("carte.xml", kCardBytes);
  station.openSession();
  for (const uint32_t room : {0u, 1u, 10u, 103u}) {
    SCOPED_TRACE(room);
    std::vector<char> buffer(room + 8, '#');
    uint32_t size = room;
    uint16_t error = 0;
    EXPECT_EQ(Lec_LectureVitale(1, 0, buffer.data(), &size, &error), 0);
    EXPECT_EQ(size, kCardBytes.size());
    EXPECT_EQ(std::string(buffer.data(), room), kCardBytes.substr(0, room));
    EXPECT_EQ(std::string(buffer.data() + room, 8), std::string(8, '#'));
  }
}

struct MissingCardCase {
  const char* name;
  const char* scenario;
  uint16_t status;
  uint16_t error;
};

TEST(CardRead, MissingCardOrReaderFailsTheCardCalls) {
  const MissingCardCase cases[] = {
      {"no key", "[Lecteurs]\nNombre=1\n", kNoCard, kNoCard},
      {"empty key", "[Lecteurs]\nNombre=1\n[Carte]\nFichier=\n", kNoCard, kNoCard},
      {"file absent", "[Lecteurs]\nNombre=1\n[Carte]\nFichier=absent.xml\n", kNoCard, kNoCard},
      {"folder as card", "[Lecteurs]\nNombre=1\n[Carte]\nFichier=.\n", kNoCard, kNoCard},
      {"no reader", "[Carte]\nFichier=carte.xml\n", kNoReader, kNoReader},
      {"both forced to success",
       "[Lecteurs]\nNombre=1\n[Retours]\nLec_IntroductionMstVitale=0\nLec_LectureVitale=0\n"
       "[Erreurs]\nLec_IntroductionMstVitale=0\nLec_LectureVitale=0\n",
       0, 0},
      {"only the status forced",
       "[Lecteurs]\nNombre=1\n[Retours]\nLec_IntroductionMstVitale=2\n"
       "Lec_LectureVitale=2\n",
       2, kNoCard},
  };
  for (const MissingCardCase& c : cases) {
    SCOPED_TRACE(c.name);
    StandInFolder station;
    station.writeScenario(c.scenario);
    station.write("carte.xml", "<x/>");
    station.openSession();
    uint16_t state = 7;
    uint16_t error = 0;
    EXPECT_EQ(Lec_IntroductionMstVitale(1, 0, &state, &error), c.status);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(state, 0);
    char buffer[8] = {};
    uint32_t size = sizeof buffer;
    error = 0;
    EXPECT_EQ(Lec_LectureVitale(1, 0, buffer, &size, &error), c.status);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(buffer[0], 0);
  }
}

TEST(CardRead, CardCallsWorkInTheFolderOfTheLastOpening) {
  StandInFolder withCard;
  withCard.writeScenario("[Lecteurs]\nNombre=1\n[Carte]\nFichier=c.xml\n");
  withCard.write("c.xml", "<x/>");
  StandInFolder withoutCard;
  withoutCard.writeScenario("[Lecteurs]\nNombre=1\n");
  uint16_t state = 0;
  uint16_t error = 0;

  withCard.openSession();
  EXPECT_EQ(Lec_IntroductionMstVitale(1, 0, &state, &error), 0);
  withoutCard.openSession();
  EXPECT_EQ(Lec_IntroductionMstVitale(1, 0, &state, &error), kNoCard);
  ASSERT_EQ(Lec_InitLecteurs(withCard.folder().c_str(), "R", "R", &error), 0);
  EXPECT_EQ(Lec_IntroductionMstVitale(1, 0, &state, &error), 0);
}

struct LookupCase {
  int16_t table;
  const char* code;
  uint16_t room;
  uint16_t status;
  const char* label;  // what the buffer holds up to its NUL
  uint16_t size;      // what the call writes into the size
};

TEST(Dictionary, LabelsByTableAndCodeWithinTheCallersBuffer) {
  StandInFolder station;
  station.writeScenario("[Dictionnaire1]\n01=REGIME GENERAL\n[DICTIONNAIRE2]\n017510000=CPAM PARIS ; comment\n");
  const LookupCase cases[] = {
      {1, "01", 128, 0, "REGIME GENERAL", 14},
      {2, "017510000", 128, 0, "CPAM PARIS", 10},
      {2, "01", 128, kUnknownCode, "", 0},
      {1, "", 128, kUnknownCode, "", 0},
      {3, "01", 128, kUnknownCode, "", 0},
      {-1, "01", 128, kUnknownCode, "", 0},
      {1, "01", 5, 0, "REGI", 14},
      {1, "01", 1, 0, "", 14},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.table) + "/" + c.code + "/" + std::to_string(c.room));
    std::vector<char> label(c.room + 8, 'X');
    uint16_t size = c.room;
    uint16_t error = 1;
    EXPECT_EQ(Lec_Dictionnaire(station.folder().c_str(), c.table, c.code, "00000000", label.data(), &size, &error),
              c.status);
    EXPECT_EQ(error, c.status);
    EXPECT_EQ(std::string(label.data()), c.label);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(std::string(label.data() + c.room, 8), std::string(8, 'X'));
  }
}

TEST(Dictionary, ZeroSizedLabelBufferIsLeftAlone) {
  StandInFolder station;
  station.writeScenario("[Dictionnaire1]\n01=REGIME GENERAL\n");
  char label = 'X';
  uint16_t size = 0;
  uint16_t error = 0;
  EXPECT_EQ(Lec_Dictionnaire(station.folder().c_str(), 1, "01", "00000000", &label, &size, &error), 0);
  EXPECT_EQ(label, 'X');
}

}  // namespace
