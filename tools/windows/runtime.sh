# The C++ runtime of the posix MinGW g++, as DLLs in PREFIX/bin: every DLL
# of the prefix and every program share this one copy (see the toolchain
# file), and Wine finds it there through WINEPATH.
piece_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
piece_build() {
  mkdir -p "$stage$prefix/bin"
  local gcc_dir
  gcc_dir=$(dirname "$("$triplet-gcc-posix" -print-libgcc-file-name)")
  cp "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" "$stage$prefix/bin/"
  cp "/usr/$triplet/lib/libwinpthread-1.dll" "$stage$prefix/bin/"
}
