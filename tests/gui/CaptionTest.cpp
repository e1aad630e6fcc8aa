// The titles the window system shows for the program's boxes are their
// captions exactly, as a window manager reads them on a real X display.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

namespace {

constexpr int kPatienceMs = 30000;

// An X server of the test's own, on a display number it chose itself.
class XServer {
 public:
  XServer() {
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray out;
    QDeadlineTimer deadline(kPatienceMs);
    while (!out.contains('\n') && !deadline.hasExpired() && server_.waitForReadyRead(200))
      out += server_.readAllStandardOutput();
    if (out.contains('\n')) display_ = QStringLiteral(":") + QString::fromLatin1(out.trimmed());
  }
  ~XServer() {
    server_.kill();
    server_.waitForFinished(5000);
  }
  const QString& display() const { return display_; }

 private:
  QProcess server_;
  QString display_;
};

// The names of the display's windows, as xwininfo lists them.
QStringList windowNames(const QString& display) {
  QProcess xwininfo;
  xwininfo.start(QStringLiteral("xwininfo"),
                 {QStringLiteral("-display"), display, QStringLiteral("-root"), QStringLiteral("-tree")});
  xwininfo.waitForFinished(kPatienceMs);
  QStringList names;
  static const QRegularExpression named(QStringLiteral("0x[0-9a-f]+ \"(.*)\": "));
  for (const QString& line : QString::fromUtf8(xwininfo.readAllStandardOutput()).split(u'\n')) {
    const QRegularExpressionMatch match = named.match(line);
    if (match.hasMatch()) names << match.captured(1);
  }
  return names;
}

}  // namespace

TEST(Caption, BoxesAreTitledExactlyByTheirCaption) {
  for (const char* tool : {"Xvfb", "xwininfo"})
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) GTEST_SKIP() << tool << " is missing";
  XServer x;
  ASSERT_FALSE(x.display().isEmpty()) << "the X server did not start";

  for (const QString& caption : {QStringLiteral("Erreur au chargement..."), QStringLiteral("Erreur ouverture PDF..."),
                                 QStringLiteral("Gestion lecteur")}) {
    SCOPED_TRACE(caption.toStdString());
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // In the sanitizer build: libxkbcommon-x11 (a system library, on the
    // xcb platform only) hands strndup a buffer with no NUL within the
    // length it gives, which strict string checking reports though strndup
    // reads no further than that length.
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
      env.insert(QStringLiteral("ASAN_OPTIONS"),
                 env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(VELNARA_BIN_DIR "/test-caption-probe"), {caption, QStringLiteral("Texte")});
    ASSERT_TRUE(probe.waitForStarted(kPatienceMs));
    QStringList names;
    QDeadlineTimer deadline(kPatienceMs);
    while (!names.contains(caption) && !deadline.hasExpired() && probe.state() == QProcess::Running) {
      QThread::msleep(100);
      names = windowNames(x.display());
    }
    probe.kill();
    probe.waitForFinished(5000);
    EXPECT_TRUE(names.contains(caption)) << names.join(u'|').toStdString()
                                         << probe.readAllStandardError().toStdString();
    for (const QString& name : names) EXPECT_FALSE(name.startsWith(caption + u' ')) << name.toStdString();
  }
}
