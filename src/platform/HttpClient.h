#pragma once

#include <stdexcept>

#include <QByteArray>
#include <QString>

class HttpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// HTTPS form posts for the update check.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // True while a connection of the client is open, also during an exchange.
  virtual bool isConnected() const = 0;
  virtual void setFormField(const QString& name, const QString& value) = 0;
  // Posts the form fields, URL-encoded, and puts the response body into body.
  // Throws HttpError for every failure.
  virtual void post(const QString& url, QByteArray& body) = 0;
  virtual void close() = 0;
};
