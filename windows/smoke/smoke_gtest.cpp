// GoogleTest under Wine, listed and run by ctest through the toolchain's
// emulator; Qt Test's helpers link too, and cpp-httplib serves and fetches
// a page over the loopback as the program's download tests do.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QString>
#include <QTest>
#include <future>
#include <stdexcept>
#include <thread>

TEST(Smoke, Arithmetic) { EXPECT_EQ(2 + 2, 4); }

TEST(Smoke, ExceptionsCrossTheRuntime) { EXPECT_THROW(throw std::runtime_error("échec"), std::runtime_error); }

TEST(Smoke, PosixThreads) {
  auto result = std::async(std::launch::async, [] { return std::this_thread::get_id(); });
  EXPECT_NE(result.get(), std::this_thread::get_id());
}

TEST(Smoke, QtStringsAndQTest) {
  const QString text = QString::fromUtf8("Régime Obligatoire");
  EXPECT_EQ(text.size(), 18);
  EXPECT_TRUE(QTest::qCompare(text.toUpper(), QString::fromUtf8("RÉGIME OBLIGATOIRE"), "a", "b", __FILE__, __LINE__));
}

TEST(Smoke, HttplibLoopback) {
  httplib::Server server;
  server.Get("/version",
             [](const httplib::Request&, httplib::Response& response) { response.set_content("1.10", "text/plain"); });
  const int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread serving([&] { server.listen_after_bind(); });
  httplib::Client client("127.0.0.1", port);
  const auto result = client.Get("/version");
  server.stop();
  serving.join();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body, "1.10");
}
