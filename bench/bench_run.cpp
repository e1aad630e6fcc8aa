// Times the program's main job on the demo installation, off the network: a
// whole run from the click on the card picture to the certificate on disk,
// and the certificate generation alone.
//
//     cmake --preset bench
//     cmake --build --preset bench --target bench_run
//     build-bench/bin/bench_run --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
//
// The installation is the one velnara-setup --demo lays out (stand-in card
// library with its demo card of two beneficiaries, journal on), in a
// temporary folder, by default in the system's temporary area; with
// VELNARA_BENCH_DIR=folder it is made there instead (a tmpfs such as
// /dev/shm takes the disk's flush out of the figures). The update check is
// recorded as done today, so no run asks the update server.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/SystemPlatform.h"
#include "app/Tppal.h"
#include "config/Installation.h"
#include "platform/Shell.h"
#include "platform/View.h"

namespace {

// A view that keeps only what tells a run's outcome: the page and the row
// icons. The log stays in the application object, which keeps its own copy.
class SilentView : public View {
 public:
  void showPage(Page page) override { page_ = page; }
  Page currentPage() const override { return page_; }
  void setButtonVisible(Button button, bool visible) override { buttons_[button] = visible; }
  bool isButtonVisible(Button button) const override { return buttons_.count(button) && buttons_.at(button); }
  void setLabelText(Label, const QString&) override {}
  void setLabelColor(Label, Colorref) override {}
  void setStepIcon(StepRow row, Icon icon) override { icons_[row] = icon; }
  void clearRichText(RichBox) override {}
  void appendRichText(RichBox, const TextRun&) override {}
  void scrollLogToEnd() override {}
  void setStatusText(const QString&) override {}
  void setEditText(Edit, const QString&) override {}
  QString editText(Edit) const override { return {}; }
  void appendKnownReader(const QString&) override {}
  void setProgressVisible(bool) override {}
  void setProgressPosition(int) override {}
  void setDownloadTextVisible(bool) override {}
  void messageBox(const QString& caption, const QString& text, MessageIcon, bool) override {
    lastBox = caption + QStringLiteral(": ") + text;
  }
  std::optional<QString> askSaveFileName(const QString&, const QString&, const QString&, const QString&,
                                         const QString&) override {
    return std::nullopt;
  }
  void pump() override {}
  void requestTerminate() override {}

  bool everyRowPassed() const {
    for (const auto& [row, icon] : icons_)
      if (icon != Icon::etat_ok && !(row == StepRow::Image_etat2b && icon == Icon::etat_saute)) return false;
    return icons_.size() == 6;
  }
  QString lastBox;

 private:
  Page page_ = Page::tab_carte;
  std::map<Button, bool> buttons_;
  std::map<StepRow, Icon> icons_;
};

// Nothing is ever opened or started from a benchmark.
class NoDesktop : public Shell {
 public:
  bool open(const QString&) override { return false; }
  bool runAsAdministrator(const QString&) override { return false; }
};

QString installationTemplate() {
  const QString base = qEnvironmentVariable("VELNARA_BENCH_DIR");
  return (base.isEmpty() ? QDir::tempPath() : base) + QStringLiteral("/velnara-bench-XXXXXX");
}

// The demo installation and the application object on it, made once for
// all benchmarks.
class DemoWorkstation {
 public:
  DemoWorkstation() : dir_(installationTemplate()) {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    const QString programDir = dir_.path() + QStringLiteral("/program");
    const QString commonData = dir_.path() + QStringLiteral("/cad");
    QDir().mkpath(programDir);
    // The stand-in card library and the logo are built next to this program.
    for (const QString& file : {QStringLiteral("libapi_lec.so"), QStringLiteral("velna.mvi")})
      if (!QFile::copy(QCoreApplication::applicationDirPath() + QLatin1Char('/') + file,
                       programDir + QLatin1Char('/') + file))
        throw std::runtime_error("cannot copy " + file.toStdString() + " next to the program");
    install({commonData, programDir, /*demo=*/true, /*force=*/false});

    PlatformOptions options;
    options.commonData = commonData;
    options.programDir = programDir;
    // Never asked (the check is not due), and nothing listens there anyway.
    options.updateUrl = QStringLiteral("https://127.0.0.1:9/obtenir-derniere-version.php");
    platform_ = std::make_unique<SystemPlatform>(view_, options, std::make_unique<NoDesktop>());
    ppal_ = std::make_unique<Tppal>(platform_->services());
    ppal_->FormCreate();
    if (ppal_->terminateRequested()) throw std::runtime_error("start-up failed: " + view_.lastBox.toStdString());
    ppal_->appli_maj_date = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toInt();
  }

  Tppal& ppal() { return *ppal_; }

  // Empty when the last run ended on the certificate page with every row passed.
  std::string runFault() const {
    if (ppal_->lastUnhandledError()) return ppal_->lastUnhandledError()->toStdString();
    if (view_.currentPage() != View::Page::tab_pdf || !view_.everyRowPassed())
      return "the run did not end on the certificate page with every row passed";
    return {};
  }

 private:
  // Destroyed from the last: the application object before the adapters it
  // works through and the view it draws on, the folder last.
  QTemporaryDir dir_;
  SilentView view_;
  std::unique_ptr<SystemPlatform> platform_;
  std::unique_ptr<Tppal> ppal_;
};

// Made in main, after the application object and before the benchmarks.
DemoWorkstation* demoWorkstation = nullptr;

DemoWorkstation& workstation() { return *demoWorkstation; }

// Later runs of a session: the reader found by the first run is kept, so
// the reader list row is skipped, as at a workstation in use.
void BM_WholeRun(benchmark::State& state) {
  DemoWorkstation& demo = workstation();
  for (auto _ : state) demo.ppal().action_vitale2Click();
  if (const std::string fault = demo.runFault(); !fault.empty()) state.SkipWithError(fault.c_str());
}

// The first run after start-up also lists the readers.
void BM_FirstRunOfTheSession(benchmark::State& state) {
  DemoWorkstation& demo = workstation();
  for (auto _ : state) {
    demo.ppal().appli_reader_lec = QStringLiteral("N/A");
    demo.ppal().action_vitale2Click();
  }
  if (const std::string fault = demo.runFault(); !fault.empty()) state.SkipWithError(fault.c_str());
}

// The certificate file alone, from the card data a run extracted: layout,
// PDF writing, and the exclusive write of the file to disk.
void BM_CertificateGeneration(benchmark::State& state) {
  DemoWorkstation& demo = workstation();
  demo.ppal().action_vitale2Click();
  if (const std::string fault = demo.runFault(); !fault.empty()) {
    state.SkipWithError(fault.c_str());
    return;
  }
  Tppal& ppal = demo.ppal();
  for (auto _ : state) {
    ppal.creation_pdf();
    if (ppal.appli_check_continue != 0) {
      state.SkipWithError("the certificate could not be written");
      break;
    }
  }
}

BENCHMARK(BM_WholeRun)->Name("run/later")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstRunOfTheSession)->Name("run/first")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CertificateGeneration)->Name("certificate/creation_pdf")->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The executable's folder is known through the application object, which
  // also outlives the workstation, as in the program.
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::unique_ptr<DemoWorkstation> demo;
  try {
    demo = std::make_unique<DemoWorkstation>();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_run: %s\n", e.what());
    return 1;
  }
  demoWorkstation = demo.get();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
