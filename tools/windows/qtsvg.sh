# Qt 6 qtsvg (Svg, SvgWidgets, the svg image format and icon engine
# plugins) against the qtbase of the prefix.
piece_source=qt6-svg
piece_binary=qt6-svg-dev
piece_deps=(qtbase)
piece_build() {
  cmake_cross "$src" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  cmake_build_install
}
