#include "QpdfReader.h"

#include <stdexcept>

// JSON first: the other headers use it as a complete type.
#include <qpdf/JSON.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace {

class ShownTextCollector final : public QPDFObjectHandle::ParserCallbacks {
 public:
  explicit ShownTextCollector(std::vector<std::string>& into) : into_(into) {}
  void handleObject(QPDFObjectHandle object) override {
    if (object.isOperator() && object.getOperatorValue() == "Tj") {
      into_.push_back(last_.isString() ? last_.getStringValue() : std::string("<not a string>"));
    }
    last_ = object;
  }
  void handleEOF() override {}

 private:
  std::vector<std::string>& into_;
  QPDFObjectHandle last_;
};

}  // namespace

ReadBackPage readSinglePage(const std::string& pdfBytes) {
  QPDF qpdf;
  qpdf.setSuppressWarnings(true);
  qpdf.setAttemptRecovery(false);
  qpdf.processMemoryFile("written", pdfBytes.data(), pdfBytes.size());
  const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(qpdf).getAllPages();
  if (pages.size() != 1) throw std::runtime_error("the file has not one page");
  QPDFPageObjectHelper page = pages[0];
  QPDFObjectHandle dictionary = page.getObjectHandle();

  ReadBackPage read;
  for (const std::string& key : dictionary.getKeys()) {
    QPDFObjectHandle value = dictionary.getKey(key);
    if (value.isString()) read.strings[key] = value.getStringValue();
    if (value.isName()) read.names[key] = value.getName();
  }
  ShownTextCollector collector(read.shownTexts);
  page.parseContents(&collector);
  for (auto& [name, image] : page.getImages()) {
    QPDFObjectHandle imageDictionary = image.getDict();
    ReadBackPage::Image readImage;
    readImage.width = imageDictionary.getKey("/Width").getIntValue();
    readImage.height = imageDictionary.getKey("/Height").getIntValue();
    // One filter, given alone or as a one-entry array.
    QPDFObjectHandle filter = imageDictionary.getKey("/Filter");
    if (filter.isArray() && filter.getArrayNItems() == 1) filter = filter.getArrayItem(0);
    readImage.filter = filter.isName() ? filter.getName() : std::string();
    const std::shared_ptr<Buffer> data = image.getRawStreamData();
    readImage.data.assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    read.images.push_back(readImage);
  }
  if (qpdf.anyWarnings()) {
    std::string warnings;
    for (const QPDFExc& warning : qpdf.getWarnings()) warnings += std::string(warning.what()) + "\n";
    throw std::runtime_error("qpdf warns: " + warnings);
  }
  return read;
}
