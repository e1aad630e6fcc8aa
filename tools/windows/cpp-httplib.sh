# cpp-httplib, the HTTPS server of the program's download and update tests,
# header-only here with OpenSSL support (Linux has it compiled with zlib and
# brotli, which the tests do not need).
piece_source=cpp-httplib
piece_binary=libcpp-httplib-dev
piece_deps=(openssl)
piece_build() {
  local p=$stage$prefix version
  version=$(dpkg-query -W -f='${Version}' libcpp-httplib-dev | sed -E 's/^([0-9.]+).*/\1/')
  install -d "$p/include" "$p/lib/pkgconfig"
  install -m 644 "$src/httplib.h" "$p/include/"
  cat >"$p/lib/pkgconfig/cpp-httplib.pc" <<PC
prefix=$prefix
includedir=\${prefix}/include

Name: cpp-httplib
Description: A C++ HTTP/HTTPS server and client library (header-only)
Version: $version
Requires: openssl
Libs: -lws2_32 -lcrypt32
Cflags: -I\${includedir} -DCPPHTTPLIB_OPENSSL_SUPPORT
PC
}
