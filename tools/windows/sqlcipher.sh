# SQLCipher with the OpenSSL provider, as libsqlcipher-0.dll, with the
# compile-time options of Debian's package so that a database moves between
# the Linux and the Windows build; the header goes to include/sqlcipher/ as
# on Linux. The amalgamation is made with the Linux tools (tclsh), then
# compiled with MinGW: no cross autotools and libtool needed.
piece_source=sqlcipher
piece_binary=libsqlcipher-dev
piece_deps=(runtime openssl)
piece_build() {
  "$src/configure" --disable-tcl --enable-tempstore CFLAGS="-DSQLITE_HAS_CODEC" LIBS=-lcrypto >configure.out
  make sqlite3.c sqlite3.h
  # Debian's flags (debian/rules), plus what its configure call adds:
  # --enable-threadsafe, --enable-tempstore, --enable-load-extension.
  local flags=(-O2 -fno-strict-aliasing
    -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
    -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
    -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1
    -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_MAX_SCHEMA_RETRY=25
    -DSQLITE_HAS_CODEC -DSQLCIPHER_CRYPTO_OPENSSL
    -DSQLITE_THREADSAFE=1 -DSQLITE_TEMP_STORE=2
    -I. -I"$prefix/include")
  ccache "$triplet-gcc-posix" "${flags[@]}" -c sqlite3.c -o sqlite3.o
  "$triplet-gcc-posix" -shared -o libsqlcipher-0.dll sqlite3.o \
    -Wl,--out-implib,libsqlcipher.dll.a -L"$prefix/lib" -lcrypto
  # The shell, for support staff on Windows as on Linux.
  ccache "$triplet-gcc-posix" "${flags[@]}" -c "$src/src/shell.c" -o shell.o
  "$triplet-gcc-posix" -o sqlcipher.exe shell.o -L. -lsqlcipher
  local p=$stage$prefix
  install -d "$p/bin" "$p/lib/pkgconfig" "$p/include/sqlcipher"
  install -m 644 libsqlcipher-0.dll sqlcipher.exe "$p/bin/"
  install -m 644 libsqlcipher.dll.a "$p/lib/"
  install -m 644 sqlite3.h "$src/src/sqlite3ext.h" "$p/include/sqlcipher/"
  cat >"$p/lib/pkgconfig/sqlcipher.pc" <<PC
prefix=$prefix
exec_prefix=\${prefix}
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SQLCipher
Description: SQL database engine
Version: 3.4
Libs: -L\${libdir} -lsqlcipher
Libs.private: -lcrypto
Cflags: -I\${includedir}/sqlcipher -I\${includedir}
PC
}
