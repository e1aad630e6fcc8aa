# OpenSSL: libcrypto-3-x64.dll (SQLCipher's crypto provider) and
# libssl-3-x64.dll (libcurl's TLS), import libraries, headers, .pc files.
piece_source=openssl
piece_binary=libssl-dev
piece_deps=(runtime)
piece_build() {
  CC="ccache $triplet-gcc-posix" CXX="ccache $triplet-g++-posix" \
    AR=$triplet-ar RANLIB=$triplet-ranlib RC=$triplet-windres \
    perl "$src/Configure" mingw64 shared no-tests \
    --prefix="$prefix" --libdir=lib --openssldir="$prefix/ssl"
  make -j "$jobs" build_sw
  make DESTDIR="$stage" install_sw
}
