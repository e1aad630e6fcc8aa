// The journal of calls that scenario tests read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StandInFolder.h"

namespace {

TEST(Journal, OneLinePerCallWithInputsAndWhatWasWritten) {
  StandInFolder station;
  station.writeScenario(
      "[Lecteurs]\nNombre=1\nLecteur1=Generic Usb Smart Card Reader 0\n"
      "[Carte]\nFichier=carte.xml\nEtat=1\nSession=7\n"
      "[Retours]\nLec_RetraitMhtVitale=3\n[Dictionnaire1]\n01=REGIME GENERAL\n"
      "[Journal]\nActif=1\n");
  station.write("carte.xml", std::string("<x/>\0z", 6));
  const std::string folder = station.folder();
  int32_t count = 0;
  uint16_t error = 0;
  T_infosLecteur record{};
  Lec_ListeLecteurs(folder.c_str(), nullptr, &count, &error);
  Lec_ListeLecteurs(folder.c_str(), &record, &count, &error);
  Lec_InitLecteurs(folder.c_str(), "Say \"hi\"", "", &error);
  uint16_t session = 0;
  station.openSession(&session, &error);
  uint16_t state = 0;
  Lec_IntroductionMstVitale(session, 0, &state, &error);
  char buffer[64] = {};
  uint32_t size = sizeof buffer;
  Lec_LectureVitale(session, 0, buffer, &size, &error);
  char label[128] = {};
  uint16_t labelSize = sizeof label;
  Lec_Dictionnaire(folder.c_str(), 1, "01", "00000000", label, &labelSize, &error);
  labelSize = sizeof label;
  Lec_Dictionnaire(folder.c_str(), 2, "0\n1", "00000000", label, &labelSize, &error);
  Lec_RetraitMhtVitale(session, 0, &error);
  Lec_FermetureSessionVitale(0, &error);

  const std::vector<std::string> expected = {
      "Lec_ListeLecteurs buffer=null count=0 -> status=0 error=0 count=1 records=0",
      "Lec_ListeLecteurs buffer=given count=1 -> status=0 error=0 count=1 records=1",
      "Lec_InitLecteurs reader=\"Say \\\"hi\\\"\" reader_again=\"\" -> status=0 error=0",
      "Lec_OuvertureSessionVitale application=\"velna\" -> status=0 error=0 session=7",
      "Lec_IntroductionMstVitale session=7 -> status=0 error=0 state=1",
      "Lec_LectureVitale session=7 size=64 -> status=0 error=0 size=6",
      "Lec_Dictionnaire table=1 code=\"01\" zeros=\"00000000\" size=128 -> status=0 error=0 "
      "label=\"REGIME GENERAL\" size=14",
      "Lec_Dictionnaire table=2 code=\"0\\x0A1\" zeros=\"00000000\" size=128 -> status=61443 "
      "error=61443 label=\"\" size=0",
      "Lec_RetraitMhtVitale session=7 -> status=3 error=0",
      "Lec_FermetureSessionVitale session=0 -> status=0 error=0",
  };
  EXPECT_EQ(station.journal(), expected);
}

TEST(Journal, WrittenOnlyWhenTurnedOn) {
  for (const char* journal : {"", "[Journal]\nActif=0\n", "[Journal]\nActif=oui\n"}) {
    SCOPED_TRACE(journal);
    StandInFolder station;
    station.writeScenario(std::string("[Lecteurs]\nNombre=1\n") + journal);
    int32_t count = 0;
    uint16_t error = 0;
    Lec_ListeLecteurs(station.folder().c_str(), nullptr, &count, &error);
    station.openSession();
    Lec_RetraitMhtVitale(1, 0, &error);
    EXPECT_FALSE(station.exists("journal.log"));
  }
}

TEST(Journal, AppendsAcrossCallsAndKeepsEarlierLines) {
  StandInFolder station;
  station.writeScenario("[Journal]\nActif=1\n");
  station.write("journal.log", "earlier line\n");
  uint16_t error = 0;
  station.openSession(nullptr, &error);
  Lec_FermetureSessionVitale(0, &error);
  const std::vector<std::string> expected = {
      "earlier line",
      "Lec_OuvertureSessionVitale application=\"velna\" -> status=61442 error=61442 session=0",
      "Lec_FermetureSessionVitale session=0 -> status=0 error=0",
  };
  EXPECT_EQ(station.journal(), expected);
}

}  // namespace
