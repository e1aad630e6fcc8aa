#pragma once

// Stand-ins for platform services this build does not provide yet. Each
// operation says so plainly by throwing NotAvailable; none pretends to work.

#include "platform/ConfigDatabase.h"
#include "platform/Downloader.h"
#include "platform/HttpClient.h"
#include "platform/NotAvailable.h"

class UnavailableDatabase : public ConfigDatabase {
 public:
  void connect(const QString&, const QString&) override { fail(); }
  void disconnect() override {}
  bool isConnected() const override { return false; }
  void clearSql() override {}
  void setSql(const QString&) override {}
  void open() override { fail(); }
  std::optional<QString> field(int) const override { return std::nullopt; }
  void first() override { fail(); }
  void next() override { fail(); }
  bool eof() const override { return true; }
  void close() override {}
  void execSql() override { fail(); }

 private:
  [[noreturn]] static void fail() { throw NotAvailable("Base de configuration"); }
};

class UnavailableHttpClient : public HttpClient {
 public:
  bool isConnected() const override { return false; }
  void setFormField(const QString&, const QString&) override {}
  void post(const QString&, QByteArray&) override { throw NotAvailable("Client HTTP"); }
  void close() override {}
};

class UnavailableDownloader : public Downloader {
 public:
  void setURL(const QString& url) override { url_ = url; }
  QString URL() const override { return url_; }
  void setLocalFolder(const QString& folder) override { folder_ = folder; }
  QString localFolder() const override { return folder_; }
  void setBatchSize(int) override {}
  void setThreadCount(int) override {}
  void setInternetAgent(const QString&) override {}
  void setEvents(DownloaderEvents*) override {}
  void start() override { throw NotAvailable("Téléchargement"); }
  void stop() override {}  // nothing is ever in progress
  QStringList errors() const override { return {}; }

 private:
  QString url_, folder_;
};
