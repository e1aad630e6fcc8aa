// Any Content-Disposition header value: the file name it gives is either
// refused or names a file directly inside the download folder.
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "FuzzSupport.h"
#include "platform/downloader/LocalFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray header(reinterpret_cast<const char*>(data), qsizetype(size));
  const QString folder = QStringLiteral("/tmp/velnara-telechargements");
  const QString name =
      chooseFileName(QUrl(QStringLiteral("https://maj.example.test/telecharger.php?v=1")), dispositionFileName(header));

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
