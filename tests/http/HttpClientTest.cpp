#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/http/CurlHttpClient.h"
#include "support/http/EventLoop.h"
#include "support/http/LocalHttpsServer.h"

using namespace std::chrono_literals;

namespace {

struct RecordedRequest {
  std::string method;
  std::string body;
  std::string contentType;
  std::string accept;
  std::string userAgent;
  bool hadCookie = false;
};

// The update page of a test server: records each request and answers with
// the status and body the test chose, optionally after holding the answer,
// with its length or in chunks. /hop/N redirects to /hop/N-1, and /hop/0 to
// the page, keeping the post a post.
class UpdatePage {
 public:
  void install(httplib::Server& server) {
    server.Post("/check", [this](const httplib::Request& request, httplib::Response& response) {
      record(request);
      hold();
      std::lock_guard lock(mutex_);
      response.status = status_;
      response.set_header("Set-Cookie", "session=abc; Path=/");
      if (!chunked_) {
        response.set_content(body_, "text/html");
        return;
      }
      response.set_chunked_content_provider("text/html", [body = body_](std::size_t offset, httplib::DataSink& sink) {
        if (offset < body.size())
          return sink.write(body.data() + offset, std::min<std::size_t>(body.size() - offset, 4096));
        sink.done();
        return true;
      });
    });
    server.Post(R"(/hop/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
      const int left = std::stoi(request.matches[1]);
      response.set_redirect(left == 0 ? "/check" : "/hop/" + std::to_string(left - 1), 307);
    });
  }
  void answerInChunks(bool chunked) {
    std::lock_guard lock(mutex_);
    chunked_ = chunked;
  }
  void answer(int status, const std::string& body) {
    std::lock_guard lock(mutex_);
    status_ = status;
    body_ = body;
  }
  // Holds every answer until release() or `duration` passed.
  void holdAnswers(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    holdFor_ = duration;
    released_ = false;
  }
  void release() {
    {
      std::lock_guard lock(mutex_);
      released_ = true;
    }
    wake_.notify_all();
  }
  std::vector<RecordedRequest> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void record(const httplib::Request& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back({request.method, request.body, request.get_header_value("Content-Type"),
                         request.get_header_value("Accept"), request.get_header_value("User-Agent"),
                         request.has_header("Cookie")});
  }
  void hold() {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, holdFor_, [this] { return released_; });
  }

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  int status_ = 200;
  std::string body_ = "ok";
  bool chunked_ = false;
  std::chrono::milliseconds holdFor_{0};
  bool released_ = true;
  std::vector<RecordedRequest> requests_;
};

class HttpClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureCoreApplication(); }

  void SetUp() override { server_ = startServer(TestCertificate::make("localhost")); }
  void TearDown() override { page_.release(); }

  std::unique_ptr<LocalHttpsServer> startServer(const TestCertificate& certificate) {
    auto server = std::make_unique<LocalHttpsServer>(certificate);
    page_.install(server->server());
    server->start();
    return server;
  }

  QString checkUrl(const LocalHttpsServer& server) const { return QString::fromStdString(server.url("/check")); }

  void fillUpdateForm(CurlHttpClient& client) {
    client.setFormField(QStringLiteral("logiciel"), QStringLiteral("velna"));
    client.setFormField(QStringLiteral("version"), QStringLiteral("1.09"));
  }

  UpdatePage page_;
  std::unique_ptr<LocalHttpsServer> server_;
};

TEST_F(HttpClientTest, AnswerBodyReachesTheCallerByteForByte) {
  for (const std::string answer : {"update", "update\r\n", "Update", "error", "", "\xEF\xBB\xBFupdate"}) {
    SCOPED_TRACE(answer);
    page_.answer(200, answer);
    CurlHttpClient client(nullptr);
    fillUpdateForm(client);
    QByteArray body("left over");
    client.post(checkUrl(*server_), body);
    EXPECT_EQ(body.toStdString(), answer);
  }
}

TEST_F(HttpClientTest, FinalStatusOf400OrMoreIsAnError) {
  for (const int status : {400, 404, 500, 503}) {
    SCOPED_TRACE(status);
    page_.answer(status, "update");
    CurlHttpClient client(nullptr);
    QByteArray body;
    EXPECT_THROW(client.post(checkUrl(*server_), body), HttpError);
    EXPECT_FALSE(client.isConnected());
  }
  page_.answer(399, "fine");
  CurlHttpClient client(nullptr);
  QByteArray body;
  client.post(checkUrl(*server_), body);
  EXPECT_EQ(body, "fine");
}

// A longer answer ends the exchange as a network error, whether its length
// was announced or not.
TEST_F(HttpClientTest, AnswerIsReadUpTo64KiB) {
  const struct {
    const char* what;
    std::size_t size;
    bool chunked;
    bool read;
  } cases[] = {
      {"64 KiB with its length", 64 * 1024, false, true},
      {"64 KiB in chunks", 64 * 1024, true, true},
      {"a byte more, with its length", 64 * 1024 + 1, false, false},
      {"a byte more, in chunks", 64 * 1024 + 1, true, false},
  };
  for (const auto& answer : cases) {
    SCOPED_TRACE(answer.what);
    page_.answer(200, std::string(answer.size, 'u'));
    page_.answerInChunks(answer.chunked);
    CurlHttpClient client(nullptr);
    QByteArray body("left over");
    if (answer.read) {
      client.post(checkUrl(*server_), body);
      EXPECT_EQ(body.size(), static_cast<qsizetype>(answer.size));
    } else {
      EXPECT_THROW(client.post(checkUrl(*server_), body), HttpError);
      EXPECT_EQ(body, "left over");
      EXPECT_FALSE(client.isConnected());
    }
  }
}

TEST_F(HttpClientTest, RedirectsAreFollowedForAtMostFiveHops) {
  page_.answer(200, "update");
  for (const auto& [hops, followed] : {std::pair{5, true}, std::pair{6, false}}) {
    SCOPED_TRACE(hops);
    CurlHttpClient client(nullptr);
    QByteArray body;
    const QString start = QString::fromStdString(server_->url("/hop/" + std::to_string(hops - 1)));
    if (followed) {
      client.post(start, body);
      EXPECT_EQ(body, "update");
    } else {
      EXPECT_THROW(client.post(start, body), HttpError);
    }
  }
  // The redirects kept the post a post, and the form with it.
  ASSERT_EQ(page_.requests().size(), 1u);
  EXPECT_EQ(page_.requests()[0].method, "POST");
}

TEST_F(HttpClientTest, FormIsPostedUrlEncodedInOrderWithItsHeaders) {
  CurlHttpClient client(nullptr);
  fillUpdateForm(client);
  QByteArray body;
  client.post(checkUrl(*server_), body);

  const std::vector<RecordedRequest> requests = page_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].body, "logiciel=velna&version=1.09");
  EXPECT_EQ(requests[0].contentType, "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].accept, "*/*");
  EXPECT_EQ(requests[0].userAgent, "Mozilla/4.0 (compatible; MORVEK)");
}

TEST_F(HttpClientTest, FieldsAreEscapedAndASetFieldKeepsItsPlace) {
  CurlHttpClient client(nullptr);
  client.setFormField(QStringLiteral("logiciel"), QStringLiteral("first"));
  client.setFormField(QStringLiteral("x y"), QString::fromUtf8("é&=+/"));
  client.setFormField(QStringLiteral("logiciel"), QStringLiteral("velna"));
  QByteArray body;
  client.post(checkUrl(*server_), body);
  ASSERT_EQ(page_.requests().size(), 1u);
  EXPECT_EQ(page_.requests()[0].body, "logiciel=velna&x%20y=%C3%A9%26%3D%2B%2F");
}

TEST_F(HttpClientTest, CookiesAreNeitherKeptNorSent) {
  CurlHttpClient client(nullptr);
  QByteArray body;
  client.post(checkUrl(*server_), body);
  client.post(checkUrl(*server_), body);
  const std::vector<RecordedRequest> requests = page_.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_FALSE(requests[1].hadCookie);
}

TEST_F(HttpClientTest, UnreachableOrWrongServersAreErrors) {
  const std::unique_ptr<LocalHttpsServer> otherHost = startServer(TestCertificate::make("other.example"));
  const struct {
    const char* what;
    QString url;
  } cases[] = {
      {"closed port", QStringLiteral("https://127.0.0.1:%1/check").arg(closedPort())},
      {"name not resolved", QStringLiteral("https://velnara-nowhere.invalid/check")},
      {"certificate for another host", checkUrl(*otherHost)},
  };
  for (const auto& unreachable : cases) {
    SCOPED_TRACE(unreachable.what);
    CurlHttpClient client(nullptr);
    fillUpdateForm(client);
    QByteArray body;
    EXPECT_THROW(client.post(unreachable.url, body), HttpError);
    EXPECT_FALSE(client.isConnected());
  }
  EXPECT_TRUE(page_.requests().empty()) << "no request may reach a server whose name does not match";
}

TEST_F(HttpClientTest, ExpiredSelfSignedCertificateForTheHostIsAccepted) {
  const std::unique_ptr<LocalHttpsServer> expired = startServer(TestCertificate::make("localhost", -60, -1));
  page_.answer(200, "update");
  CurlHttpClient client(nullptr);
  QByteArray body;
  client.post(checkUrl(*expired), body);
  EXPECT_EQ(body, "update");
}

TEST_F(HttpClientTest, PumpRunsWhileWaitingAndMayCallBackIn) {
  page_.answer(200, "update");
  page_.holdAnswers(300ms);
  int pumps = 0;
  int refusedNestedPosts = 0;
  bool connectedWhilePumping = true;
  std::unique_ptr<CurlHttpClient> client;
  client = std::make_unique<CurlHttpClient>([&] {
    ++pumps;
    connectedWhilePumping = connectedWhilePumping && client->isConnected();
    QByteArray nestedBody;
    try {
      client->post(checkUrl(*server_), nestedBody);
    } catch (const HttpError&) {
      ++refusedNestedPosts;
    }
  });
  fillUpdateForm(*client);
  QByteArray body;
  client->post(checkUrl(*server_), body);

  EXPECT_EQ(body, "update");
  EXPECT_GT(pumps, 0);
  EXPECT_EQ(refusedNestedPosts, pumps);
  EXPECT_TRUE(connectedWhilePumping);
  EXPECT_EQ(page_.requests().size(), 1u);
  EXPECT_TRUE(client->isConnected()) << "the connection stays open until close()";
  client->close();
  EXPECT_FALSE(client->isConnected());
}

TEST_F(HttpClientTest, NetworkWaitLongerThanTheTimeOutIsAnError) {
  page_.holdAnswers(60s);
  int pumps = 0;
  CurlHttpClient client([&] { ++pumps; });
  client.setNetworkTimeoutForTesting(300ms);
  QByteArray body;
  EXPECT_THROW(client.post(checkUrl(*server_), body), HttpError);
  EXPECT_GT(pumps, 0);
  EXPECT_FALSE(client.isConnected());
}

TEST_F(HttpClientTest, CloseFromThePumpEndsTheExchangeAndTheClientStaysUsable) {
  page_.holdAnswers(60s);
  bool closeAsked = false;
  std::unique_ptr<CurlHttpClient> client;
  client = std::make_unique<CurlHttpClient>([&] {
    if (!closeAsked) client->close();
    closeAsked = true;
  });
  QByteArray body;
  EXPECT_THROW(client->post(checkUrl(*server_), body), HttpError);
  EXPECT_FALSE(client->isConnected());

  page_.release();
  page_.answer(200, "again");
  client->post(checkUrl(*server_), body);
  EXPECT_EQ(body, "again");
}

}  // namespace
