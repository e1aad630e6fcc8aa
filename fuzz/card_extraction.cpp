// The card data buffer as a card library may fill it, any bytes: the card
// data step reads it, extracts every beneficiary and looks up the first one's
// scheme and fund in a small dictionary.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "FuzzSupport.h"
#include "platform/CardLibrary.h"
#include "platform/ini/Windows1252.h"
#include "support/TestPlatform.h"

namespace {

constexpr uint16_t kUnknownCode = 61443;

const std::map<std::pair<int16_t, std::string>, std::string>& dictionary() {
  static const std::map<std::pair<int16_t, std::string>, std::string> labels{
      {{1, "01"}, "REGIME GENERAL"},
      {{1, "02"}, "R\xC9GIME AGRICOLE"},
      {{2, "017510000"}, "CPAM PARIS"},
  };
  return labels;
}

// A library whose card holds the fuzzer's bytes.
class RawCardLibrary final : public CardLibrary {
 public:
  RawCardLibrary(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint16_t Lec_ListeLecteurs(const char*, T_infosLecteur*, int32_t* count, uint16_t*) override {
    *count = 0;
    return 0;
  }
  uint16_t Lec_InitLecteurs(const char*, const char*, const char*, uint16_t*) override { return 0; }
  uint16_t Lec_OuvertureSessionVitale(const char*, const uint16_t* const*, uint16_t* session, uint16_t*) override {
    *session = 1;
    return 0;
  }
  uint16_t Lec_IntroductionMstVitale(uint16_t, uint16_t, uint16_t*, uint16_t*) override { return 0; }
  uint16_t Lec_LectureVitale(uint16_t, uint16_t, char* buffer, uint32_t* size, uint16_t*) override {
    const size_t copied = std::min<size_t>(size_, *size);
    std::memcpy(buffer, data_, copied);
    *size = uint32_t(copied);
    return 0;
  }
  uint16_t Lec_RetraitMhtVitale(uint16_t, uint16_t, uint16_t*) override { return 0; }
  uint16_t Lec_FermetureSessionVitale(uint16_t, uint16_t*) override { return 0; }
  uint16_t Lec_Dictionnaire(const char*, int16_t table, const char* code, const char*, char* label, uint16_t* labelSize,
                            uint16_t* error) override {
    const auto found = dictionary().find({table, code});
    if (found == dictionary().end() || *labelSize == 0) {
      *error = kUnknownCode;
      return kUnknownCode;
    }
    const size_t length = std::min<size_t>(found->second.size(), *labelSize - 1u);
    std::memcpy(label, found->second.data(), length);
    label[length] = 0;
    *labelSize = uint16_t(length);
    return 0;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

QString expectedLabel(int16_t table, const QString& code) {
  const auto found = dictionary().find({table, encodeWindows1252(code).toStdString()});
  return found == dictionary().end() ? QString() : decodeWindows1252(QByteArray::fromStdString(found->second));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FakeWmi wmi;
  static ScriptedDownloader downloader;
  RecordingView view;
  RawCardLibrary card(data, size);
  Platform platform;
  platform.view = &view;
  platform.card = &card;
  platform.wmi = &wmi;
  platform.downloader = &downloader;
  platform.newXmlDocument = [] { return std::make_unique<LibXmlDocument>(); };
  Tppal ppal(platform);

  try {
    ppal.check_donnees();
  } catch (const XmlError&) {
    // Not a card document: the run ends through the error box.
    return 0;
  }

  // Every beneficiary of the list has its row, the first one the scheme
  // slots and the labels of its codes.
  FUZZ_REQUIRE(ppal.appli_xml_cnt2 >= 1);
  FUZZ_REQUIRE(ppal.appli_xml_cnt1 == ppal.appli_xml_cnt2);
  FUZZ_REQUIRE(ppal.appli_xml_ext.size() == size_t(ppal.appli_xml_cnt2));
  for (size_t i = 1; i < ppal.appli_xml_ext.size(); ++i) FUZZ_REQUIRE(ppal.appli_xml_ext[i].size() == 6);
  const std::vector<QString>& first = ppal.appli_xml_ext[0];
  FUZZ_REQUIRE(first.size() == 60);
  FUZZ_REQUIRE(first[51] == expectedLabel(1, first[6]));
  FUZZ_REQUIRE(first[52] == expectedLabel(2, first[6] + first[7] + first[8]));
  return 0;
}
