# libxml2 without network, Python, iconv, zlib or lzma: the card data is
# UTF-8 or Latin-1, which libxml2 reads on its own.
piece_source=libxml2
piece_binary=libxml2-dev
piece_deps=(runtime)
piece_build() {
  cmake_cross "$src" -DBUILD_SHARED_LIBS=ON \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF \
    -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
    -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF
  cmake_build_install
}
