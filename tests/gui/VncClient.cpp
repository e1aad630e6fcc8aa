#include "VncClient.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

uint32_t readBigEndian32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint16_t readBigEndian16(const unsigned char* p) { return uint16_t((p[0] << 8) | p[1]); }
void putBigEndian16(unsigned char* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}

constexpr uint8_t securityNone = 1;
constexpr uint8_t setPixelFormatMessage = 0;
constexpr uint8_t setEncodingsMessage = 2;
constexpr uint8_t updateRequestMessage = 3;
constexpr uint8_t keyEventMessage = 4;
constexpr uint8_t framebufferUpdateMessage = 0;
constexpr int32_t rawEncoding = 0;

}  // namespace

VncClient::~VncClient() {
  if (socket_ >= 0) ::close(socket_);
}

uint16_t VncClient::freePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  uint16_t port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  ::close(s);
  return port;
}

bool VncClient::fail(const QString& why) {
  error_ = why;
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
  return false;
}

bool VncClient::readExactly(void* data, size_t size) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = ::recv(socket_, p, size, 0);
    if (got <= 0) return fail(QStringLiteral("connection closed during the handshake"));
    p += got;
    size -= size_t(got);
  }
  return true;
}

bool VncClient::writeAll(const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t sent = ::send(socket_, p, size, MSG_NOSIGNAL);
    if (sent <= 0) return fail(QStringLiteral("connection closed while writing"));
    p += sent;
    size -= size_t(sent);
  }
  return true;
}

bool VncClient::connect(uint16_t port) {
  if (socket_ >= 0) ::close(socket_);
  socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (socket_ < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    return fail(QString::fromLocal8Bit(std::strerror(errno)));
  return handshake();
}

bool VncClient::handshake() {
  // Protocol version: answer with the server's own.
  std::array<char, 12> version{};
  if (!readExactly(version.data(), version.size())) return false;
  if (std::memcmp(version.data(), "RFB 003.", 8) != 0) return fail(QStringLiteral("not an RFB server"));
  if (!writeAll(version.data(), version.size())) return false;
  const int minor = std::atoi(std::string(version.data() + 8, 3).c_str());

  if (minor < 7) {
    // 3.3: the server picks the security type.
    unsigned char type[4];
    if (!readExactly(type, sizeof type)) return false;
    if (readBigEndian32(type) != securityNone) return fail(QStringLiteral("server wants authentication"));
  } else {
    uint8_t count = 0;
    if (!readExactly(&count, 1) || count == 0) return fail(QStringLiteral("no security type offered"));
    std::array<uint8_t, 255> types{};
    if (!readExactly(types.data(), count)) return false;
    if (!writeAll(&securityNone, 1)) return false;
    if (minor >= 8) {
      unsigned char result[4];
      if (!readExactly(result, sizeof result)) return false;
      if (readBigEndian32(result) != 0) return fail(QStringLiteral("security handshake refused"));
    }
  }

  const uint8_t shared = 1;
  if (!writeAll(&shared, 1)) return false;
  // ServerInit: size, pixel format, then the desktop name.
  unsigned char init[24];
  if (!readExactly(init, sizeof init)) return false;
  width_ = readBigEndian16(init);
  height_ = readBigEndian16(init + 2);
  std::string name(readBigEndian32(init + 20), '\0');
  if (!name.empty() && !readExactly(name.data(), name.size())) return false;
  return askForTrueColourPixels();
}

bool VncClient::askForTrueColourPixels() {
  // 32 bits per pixel, little-endian, red in bits 16-23, green 8-15, blue 0-7:
  // the layout of QImage::Format_RGB32.
  const unsigned char pixelFormat[20] = {
      setPixelFormatMessage, 0, 0, 0, 32, 24, 0, 1, 0, 255, 0, 255, 0, 255, 16, 8, 0, 0, 0, 0};
  const unsigned char encodings[8] = {setEncodingsMessage, 0, 0, 1, 0, 0, 0, uint8_t(rawEncoding)};
  return writeAll(pixelFormat, sizeof pixelFormat) && writeAll(encodings, sizeof encodings);
}

std::optional<QImage> VncClient::grab() {
  if (socket_ < 0) {
    fail(QStringLiteral("not connected"));
    return std::nullopt;
  }
  unsigned char request[10] = {updateRequestMessage, 0};
  putBigEndian16(request + 6, uint16_t(width_));
  putBigEndian16(request + 8, uint16_t(height_));
  if (!writeAll(request, sizeof request)) return std::nullopt;

  unsigned char header[4];
  if (!readExactly(header, sizeof header)) return std::nullopt;
  if (header[0] != framebufferUpdateMessage) {
    fail(QStringLiteral("unexpected server message %1").arg(header[0]));
    return std::nullopt;
  }
  QImage screen(width_, height_, QImage::Format_RGB32);
  screen.fill(Qt::black);
  for (int n = readBigEndian16(header + 2); n > 0; --n) {
    unsigned char rect[12];
    if (!readExactly(rect, sizeof rect)) return std::nullopt;
    const int x = readBigEndian16(rect), y = readBigEndian16(rect + 2);
    const int w = readBigEndian16(rect + 4), h = readBigEndian16(rect + 6);
    if (int32_t(readBigEndian32(rect + 8)) != rawEncoding || x + w > width_ || y + h > height_) {
      fail(QStringLiteral("unexpected rectangle"));
      return std::nullopt;
    }
    for (int row = 0; row < h; ++row)
      if (!readExactly(screen.scanLine(y + row) + x * 4, size_t(w) * 4)) return std::nullopt;
  }
  return screen;
}

bool VncClient::typeKey(uint32_t keysym) {
  if (socket_ < 0) return fail(QStringLiteral("not connected"));
  for (uint8_t down : {uint8_t(1), uint8_t(0)}) {
    const unsigned char message[8] = {
        keyEventMessage,      down,           0, 0, uint8_t(keysym >> 24), uint8_t(keysym >> 16),
        uint8_t(keysym >> 8), uint8_t(keysym)};
    if (!writeAll(message, sizeof message)) return false;
  }
  return true;
}
