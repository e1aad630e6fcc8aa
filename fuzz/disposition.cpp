// Any Content-Disposition header value: the file is taken only when the
// header names the expected installer (letter case aside), and a refusal is
// a text fit for the error box, whatever the server sent. The name it gives
// is either refused as a local file name or names a file directly inside the
// download folder.
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "FuzzSupport.h"
#include "platform/downloader/LocalFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray header(reinterpret_cast<const char*>(data), qsizetype(size));
  const QString folder = QStringLiteral("/tmp/velnara-telechargements");
  const QString expected = QStringLiteral("velna-last.exe");
  const QString name = offeredFileName(QUrl(QStringLiteral("https://maj.example.test/telecharger.php?v=1")),
                                       dispositionFileName(header));

  const QString refusal = offeredNameRefusal(name, expected);
  FUZZ_REQUIRE(refusal.isEmpty() == (!name.isEmpty() && name.compare(expected, Qt::CaseInsensitive) == 0));
  if (!refusal.isEmpty()) {
    FUZZ_REQUIRE(refusal.endsWith(QStringLiteral("téléchargement refusé")));
    FUZZ_REQUIRE(refusal.size() < 200);
    for (const QChar c : refusal) FUZZ_REQUIRE(c.isPrint());
  }

  QString problem;
  const QString path = localPathFor(folder, name, &problem);
  FUZZ_REQUIRE(path.isEmpty() != problem.isEmpty());
  if (path.isEmpty()) return 0;
  FUZZ_REQUIRE(fileNameProblem(name).isEmpty());
  FUZZ_REQUIRE(path == folder + u'/' + name);
  FUZZ_REQUIRE(QFileInfo(path).absolutePath() == folder);
  FUZZ_REQUIRE(QDir::cleanPath(path) == path);
  return 0;
}
