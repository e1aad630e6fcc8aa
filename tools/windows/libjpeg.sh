# libjpeg-turbo, the libjpeg 6.2 API (jpeglib.h) as on Linux. No SIMD: the
# program only reads JPEG headers, and it spares the build an assembler.
piece_source=libjpeg-turbo
piece_binary=libjpeg62-turbo-dev
piece_deps=(runtime)
piece_build() {
  cmake_cross "$src" -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
  cmake_build_install
}
