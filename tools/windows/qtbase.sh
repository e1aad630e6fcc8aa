# Qt 6 qtbase: Core, Gui, Widgets, Test, Xml and the windows and offscreen
# platform plugins, as DLLs. The host tools (moc, rcc, uic, ...) are the
# Linux ones of Debian's Qt of the same version.
piece_source=qt6-base
piece_binary=qt6-base-dev
piece_build() {
  # Debian's source has no wintab.h (no tablet events), and the windows
  # plugin needs dynamic OpenGL off once OpenGL is. The third-party
  # libraries are Qt's own copies: nothing else of the prefix leaks in.
  cmake_cross "$src" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_icu=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_androiddeployqt=OFF \
    -DINPUT_zlib=qt -DINPUT_pcre=qt -DINPUT_libpng=qt -DINPUT_libjpeg=qt \
    -DINPUT_freetype=qt -DINPUT_harfbuzz=qt -DINPUT_doubleconversion=qt
  cmake_build_install
}
