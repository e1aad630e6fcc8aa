#pragma once

#include <functional>
#include <memory>

#include <QString>

class View;
class CardLibrary;
class ConfigDatabase;
class IniFile;
class XmlDocument;
class HttpClient;
class Downloader;
class Shell;
class WmiSource;
class Files;
class Clock;
class Folders;

// The platform services the application object works through. Whoever
// builds a Tppal owns them and keeps them alive as long as it.
struct Platform {
  View* view = nullptr;
  CardLibrary* card = nullptr;
  ConfigDatabase* db = nullptr;
  IniFile* ini = nullptr;
  std::function<std::unique_ptr<XmlDocument>()> newXmlDocument;
  HttpClient* http = nullptr;
  Downloader* downloader = nullptr;
  Shell* shell = nullptr;
  WmiSource* wmi = nullptr;
  Files* files = nullptr;
  Clock* clock = nullptr;
  Folders* folders = nullptr;
  // Deployment data: the product web site's update page and home page.
  QString updateUrl;
  QString siteUrl;
};
