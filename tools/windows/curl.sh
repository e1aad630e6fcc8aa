# libcurl with OpenSSL as its TLS backend (the update policy, peer check off
# and host-name check on, behaves there as on Linux), HTTP and HTTPS only;
# curl.exe too, for diagnostics on a workstation.
piece_source=curl
piece_binary=libcurl4-openssl-dev
piece_deps=(runtime openssl)
piece_build() {
  cmake_cross "$src" -DBUILD_SHARED_LIBS=ON -DBUILD_TESTING=OFF -DBUILD_CURL_EXE=ON \
    -DCURL_USE_OPENSSL=ON -DOPENSSL_ROOT_DIR="$prefix" -DCURL_USE_SCHANNEL=OFF -DCURL_WINDOWS_SSPI=OFF \
    -DHTTP_ONLY=ON -DCURL_DISABLE_LDAP=ON -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF \
    -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DUSE_NGHTTP2=OFF -DCURL_USE_GSSAPI=OFF \
    -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DENABLE_MANUAL=OFF
  cmake_build_install
}
