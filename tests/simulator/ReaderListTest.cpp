// Reader listing and the per-call overrides of the scenario.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "StandInFolder.h"

namespace {

constexpr uint16_t kNoReader = 61442;

std::string nameOf(const T_infosLecteur& record) {
  return std::string(record.nom_ressource, strnlen(record.nom_ressource, sizeof record.nom_ressource));
}

TEST(ReaderList, WithoutScenarioTheWorkstationHasNoReader) {
  StandInFolder station;
  int32_t count = 3;
  uint16_t error = 77;
  T_infosLecteur records[3];
  std::memset(records, 0xAA, sizeof records);

  EXPECT_EQ(Lec_ListeLecteurs(station.folder().c_str(), records, &count, &error), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(static_cast<unsigned char>(records[0].nom_ressource[0]), 0xAA);

  EXPECT_EQ(Lec_InitLecteurs(station.folder().c_str(), "x", "x", &error), kNoReader);
  EXPECT_EQ(error, kNoReader);
  uint16_t session = 9;
  EXPECT_EQ(station.openSession(&session, &error), kNoReader);
  EXPECT_EQ(session, 0);
}

TEST(ReaderList, NullBufferGivesOnlyTheCount) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=2\nLecteur1=Reader A\nLecteur2=Reader B\n");
  int32_t count = 0;
  uint16_t error = 5;
  EXPECT_EQ(Lec_ListeLecteurs(station.folder().c_str(), nullptr, &count, &error), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(error, 0);
}

TEST(ReaderList, BufferReceivesOneRecordPerReader) {
  StandInFolder station;
  const std::string longName(300, 'L');
  station.writeScenario("[Lecteurs]\nNombre=2\nLecteur1=Generic Usb Smart Card Reader 0\nLecteur2=" + longName + "\n");
  int32_t count = 2;
  uint16_t error = 0;
  T_infosLecteur records[2];
  std::memset(records, 0xAA, sizeof records);

  ASSERT_EQ(Lec_ListeLecteurs(station.folder().c_str(), records, &count, &error), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(nameOf(records[0]), "Generic Usb Smart Card Reader 0");
  // The record is packed: its 16-bit fields are read by value, never bound
  // to a reference at an odd address.
  EXPECT_EQ(uint16_t(records[0].num_lect), 1);
  EXPECT_EQ(uint16_t(records[0].type_carte), 0);
  // A name longer than the record keeps its closing NUL.
  EXPECT_EQ(nameOf(records[1]), longName.substr(0, 255));
  EXPECT_EQ(uint16_t(records[1].num_lect), 2);
}

TEST(ReaderList, NeverWritesMoreRecordsThanTheCallerAnnounced) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=3\nLecteur1=A\nLecteur2=B\nLecteur3=C\n");
  for (const int32_t announced : {0, 1, -4}) {
    SCOPED_TRACE(announced);
    T_infosLecteur records[3];
    std::memset(records, 0xAA, sizeof records);
    int32_t count = announced;
    uint16_t error = 0;
    Lec_ListeLecteurs(station.folder().c_str(), records, &count, &error);
    EXPECT_EQ(count, 3);
    const int written = announced > 0 ? announced : 0;
    for (int i = 0; i < 3; ++i) {
      const bool untouched = static_cast<unsigned char>(records[i].nom_ressource[0]) == 0xAA;
      EXPECT_EQ(untouched, i >= written) << "record " << i;
    }
  }
}

TEST(ReaderList, ScenarioWithCommentsAndOtherCaseReadsAsWritten) {
  StandInFolder station;
  station.writeScenario(
      "\xEF\xBB\xBF[LECTEURS]   ; readers\r\n"
      "nombre=1                 ; readers reported by Lec_ListeLecteurs (default 0)\r\n"
      "LECTEUR1=Generic Usb Smart Card Reader 0   \r\n"
      "; a whole comment line\r\n"
      "[Other]\r\nNombre=5\r\n");
  int32_t count = 1;
  uint16_t error = 0;
  T_infosLecteur record{};
  ASSERT_EQ(Lec_ListeLecteurs(station.folder().c_str(), &record, &count, &error), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(nameOf(record), "Generic Usb Smart Card Reader 0");
}

TEST(ReaderList, FolderWithoutTrailingSeparatorIsFound) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=1\nLecteur1=R\n");
  std::string folder = station.folder();
  folder.pop_back();
  int32_t count = 0;
  uint16_t error = 0;
  Lec_ListeLecteurs(folder.c_str(), nullptr, &count, &error);
  EXPECT_EQ(count, 1);
}

TEST(ReaderList, UnusableCountsReadAsNoReader) {
  for (const char* nombre : {"abc", "-1", "1000000", "2x", ""}) {
    SCOPED_TRACE(nombre);
    StandInFolder station;
    station.writeScenario(std::string("[Lecteurs]\nNombre=") + nombre + "\nLecteur1=R\n");
    int32_t count = 7;
    uint16_t error = 0;
    EXPECT_EQ(Lec_ListeLecteurs(station.folder().c_str(), nullptr, &count, &error), 0);
    EXPECT_EQ(count, 0);
  }
}

// Each call, made against a folder whose scenario has a reader and a card.
struct NamedCall {
  const char* function;
  std::function<uint16_t(const StandInFolder&, uint16_t*)> call;
};

std::vector<NamedCall> everyCall() {
  return {
      {"Lec_ListeLecteurs",
       [](const StandInFolder& s, uint16_t* error) {
         int32_t count = 0;
         return Lec_ListeLecteurs(s.folder().c_str(), nullptr, &count, error);
       }},
      {"Lec_InitLecteurs",
       [](const StandInFolder& s, uint16_t* error) { return Lec_InitLecteurs(s.folder().c_str(), "R", "R", error); }},
      {"Lec_OuvertureSessionVitale",
       [](const StandInFolder& s, uint16_t* error) { return s.openSession(nullptr, error); }},
      {"Lec_IntroductionMstVitale",
       [](const StandInFolder& s, uint16_t* error) {
         s.openSession();
         uint16_t state = 0;
         return Lec_IntroductionMstVitale(1, 0, &state, error);
       }},
      {"Lec_LectureVitale",
       [](const StandInFolder& s, uint16_t* error) {
         s.openSession();
         char buffer[16] = {};
         uint32_t size = sizeof buffer;
         return Lec_LectureVitale(1, 0, buffer, &size, error);
       }},
      {"Lec_RetraitMhtVitale",
       [](const StandInFolder& s, uint16_t* error) {
         s.openSession();
         return Lec_RetraitMhtVitale(1, 0, error);
       }},
      {"Lec_FermetureSessionVitale",
       [](const StandInFolder& s, uint16_t* error) {
         s.openSession();
         return Lec_FermetureSessionVitale(1, error);
       }},
      {"Lec_Dictionnaire",
       [](const StandInFolder& s, uint16_t* error) {
         char label[128] = {};
         uint16_t size = sizeof label;
         return Lec_Dictionnaire(s.folder().c_str(), 1, "01", "00000000", label, &size, error);
       }},
  };
}

const char* const kWorkingStation =
    "[Lecteurs]\nNombre=1\nLecteur1=R\n[Carte]\nFichier=carte.xml\n[Dictionnaire1]\n01=X\n";

TEST(ScenarioOverrides, EveryCallSucceedsByDefault) {
  for (const NamedCall& named : everyCall()) {
    SCOPED_TRACE(named.function);
    StandInFolder station;
    station.writeScenario(kWorkingStation);
    station.write("carte.xml", "<x/>");
    uint16_t error = 99;
    EXPECT_EQ(named.call(station, &error), 0);
    EXPECT_EQ(error, 0);
  }
}

TEST(ScenarioOverrides, RetoursAndErreursSetEachCallsStatusAndError) {
  for (const NamedCall& named : everyCall()) {
    SCOPED_TRACE(named.function);
    StandInFolder station;
    station.writeScenario(std::string(kWorkingStation) + "[retours]\n" + named.function +
                          "=1234 ; forced\n[ERREURS]\n" + named.function + "=0x10\n");
    station.write("carte.xml", "<x/>");
    uint16_t error = 0;
    EXPECT_EQ(named.call(station, &error), 1234);
    EXPECT_EQ(error, 16);
  }
}

TEST(ScenarioOverrides, AForcedStatusStillDeliversTheData) {
  StandInFolder station;
  station.writeScenario("[Lecteurs]\nNombre=1\nLecteur1=R\n[Retours]\nLec_ListeLecteurs=5\n");
  int32_t count = 1;
  uint16_t error = 0;
  T_infosLecteur record{};
  EXPECT_EQ(Lec_ListeLecteurs(station.folder().c_str(), &record, &count, &error), 5);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(nameOf(record), "R");
}

}  // namespace
