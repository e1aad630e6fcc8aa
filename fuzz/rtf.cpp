// Any styled runs written as RTF: the document is well formed, uses only
// the font and colours it declares, and a reader decodes the runs' text
// back (line breaks as paragraphs, other control characters left out).
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "RtfReader.h"
#include "app/RtfWriter.h"

namespace {

// The text a reader shows for what the log holds.
QString shownText(const QString& written) {
  QString shown;
  for (qsizetype i = 0; i < written.size(); ++i) {
    const QChar c = written.at(i);
    if (c == u'\r') {
      if (i + 1 < written.size() && written.at(i + 1) == u'\n') ++i;
      shown += u'\n';
    } else if (c == u'\n' || c == u'\t' || (c.unicode() >= 0x20 && c.unicode() != 0x7F)) {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  StyledText text;
  QString expected;
  std::vector<TextRun> runs;
  while (input.remaining_bytes() > 0) {
    TextRun run;
    run.style = input.ConsumeIntegral<uint8_t>() & 0x0F;
    run.color = input.ConsumeIntegral<uint32_t>() & 0x00FFFFFF;
    run.text = utf16Of(input.ConsumeRandomLengthString(200));
    text.append(run);
    runs.push_back(run);
  }
  for (const TextRun& run : text.runs()) expected += shownText(run.text);

  const QByteArray rtf = toRtf(text);
  RtfReader reader;
  const std::optional<RtfReader::Document> document = reader.read(rtf);
  if (!document) std::fprintf(stderr, "RTF refused: %s\n", qPrintable(reader.error()));
  FUZZ_REQUIRE(document.has_value());
  FUZZ_REQUIRE(document->text == expected);
  for (int color : document->colorsUsed) FUZZ_REQUIRE(color >= 0 && color <= document->colorCount);
  return 0;
}
