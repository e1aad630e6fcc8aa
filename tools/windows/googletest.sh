# GoogleTest and GoogleMock from Debian's /usr/src/googletest, as static
# libraries (GoogleTest's own default), with the posix-thread g++.
piece_binary=googletest
piece_version=$(dpkg-query -W -f='${Version}' googletest)
piece_deps=(runtime)
piece_build() {
  cmake_cross /usr/src/googletest -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
  cmake_build_install
}
