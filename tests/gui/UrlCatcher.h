#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop's handlers: QDesktopServices hands it the URLs
// of the schemes it is registered for instead of starting a program.
class UrlCatcher : public QObject {
  Q_OBJECT

 public slots:
  void openUrl(const QUrl& url) { urls.append(url); }

 public:
  QList<QUrl> urls;
};
