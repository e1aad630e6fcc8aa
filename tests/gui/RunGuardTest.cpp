// The run pumps the window while the update check waits for the server: the
// user can go back to the home page and click the card picture again. That
// click starts nothing, and the run ends whole.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <QTimer>

#include "GuiFixture.h"
#include "support/http/LocalHttpsServer.h"

namespace {

// An update page that keeps its answer back until the test lets it go.
class HeldUpdatePage {
 public:
  HeldUpdatePage() : server_(TestCertificate::make("localhost")) {
    server_.server().Post("/obtenir-derniere-version.php", [this](const httplib::Request&, httplib::Response& res) {
      std::unique_lock lock(mutex_);
      ++posts_;
      wake_.wait_for(lock, std::chrono::seconds(60), [this] { return released_; });
      res.set_content("non", "text/html");
    });
    server_.start();
  }
  ~HeldUpdatePage() { release(); }
  QString url() const { return QString::fromStdString(server_.url("/obtenir-derniere-version.php")); }
  int posts() const {
    std::lock_guard lock(mutex_);
    return posts_;
  }
  void release() {
    {
      std::lock_guard lock(mutex_);
      released_ = true;
    }
    wake_.notify_all();
  }

 private:
  LocalHttpsServer server_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  int posts_ = 0;
  bool released_ = false;
};

// The page comes first, so that the window's platform can be pointed at it.
class RunGuardTest : private HeldUpdatePage, public GuiTest {
 protected:
  RunGuardTest() : GuiTest(/*updateCheckDoneToday=*/false, url()) {}
  HeldUpdatePage& page() { return *this; }
};

}  // namespace

TEST_F(RunGuardTest, AClickOnTheCardDuringTheUpdateCheckStartsNothing) {
  bool clickedAgain = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (clickedAgain || page().posts() == 0) return;
    clickedAgain = true;
    click(QStringLiteral("btn_vitale"));  // " Accueil": the card picture shows again
    click(QStringLiteral("action_vitale2"));
    page().release();
  });
  poll.start(20);

  runOnce();
  poll.stop();

  EXPECT_TRUE(clickedAgain) << "the window was not pumped while the server was awaited";
  EXPECT_EQ(page().posts(), 1);
  EXPECT_EQ(pageShown(), QStringLiteral("tab_pdf"));
  const QString log = ppal->debugLog().plainText();
  EXPECT_EQ(log.count(QStringLiteral("Diagnostic pour Velnara")), 1) << log.toStdString();
  EXPECT_EQ(log.count(QStringLiteral("Votre version est à jour")), 1) << log.toStdString();
  EXPECT_EQ(log.count(QStringLiteral("le PDF a été correctement généré")), 1) << log.toStdString();
  EXPECT_TRUE(boxes.empty());
}
