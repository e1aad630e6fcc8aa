#pragma once

#include <cstdint>
#include <optional>

#include <QImage>
#include <QString>

// A minimal client of the remote-framebuffer protocol, enough to look at and
// type into a program started with Qt's "vnc" platform: the way for a test
// to see and answer a modal box shown by another process.
class VncClient {
 public:
  VncClient() = default;
  ~VncClient();
  VncClient(const VncClient&) = delete;
  VncClient& operator=(const VncClient&) = delete;

  // Connects to 127.0.0.1:port and goes through the handshake; false (with
  // the reason in error()) when the server is not there or answers oddly.
  bool connect(uint16_t port);
  // The whole screen as it is now.
  std::optional<QImage> grab();
  // Presses and releases the key (an X11 keysym, e.g. 0xff0d for Return).
  bool typeKey(uint32_t keysym);
  QString error() const { return error_; }

  // A port nobody listens on right now.
  static uint16_t freePort();

 private:
  bool handshake();
  bool askForTrueColourPixels();
  bool readExactly(void* data, size_t size);
  bool writeAll(const void* data, size_t size);
  bool fail(const QString& why);

  int socket_ = -1;
  int width_ = 0;
  int height_ = 0;
  QString error_;
};
