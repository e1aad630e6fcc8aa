# Shared by scripts/windows and the recipes of tools/windows/: where the
# cache is, how a Debian source package is fetched, how a piece is built
# once per key and laid into the one prefix.
#
# Cache layout ($cache, default /var/cache/velnara-windows):
#   src/SOURCE_VERSION/          the Debian source package (.dsc, tarballs)
#                                and tree/, its unpacked and patched sources
#   build/KEY/                   a piece's build folder, removed once installed
#   logs/KEY.log                 the output of that build
#   pieces/KEY.files             the files the piece put in the prefix
#   pieces/PIECE.key             the key of the piece now in the prefix
#   prefix/                      everything for Windows: bin/ (DLLs), lib/
#                                (import libraries, pkgconfig/, cmake/),
#                                include/, plugins/ (Qt)
#   ccache/                      the compiler cache of these builds
# KEY is PIECE-VERSION-HASH, HASH covering the recipe, the toolchain file
# and the keys of the pieces it builds on: a new version or recipe rebuilds
# that piece and what links it, nothing else.

: "${cache:=${VELNARA_WINDOWS_CACHE:-/var/cache/velnara-windows}}"
prefix=$cache/prefix
triplet=x86_64-w64-mingw32
toolchain_file=$root/cmake/windows/mingw-w64-x86_64.cmake
: "${jobs:=$(nproc)}"
export CCACHE_DIR=$cache/ccache
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-6G}
export VELNARA_WINDOWS_CACHE=$cache

say() { printf 'windows: %s\n' "$*" >&2; }
die() { say "$*"; exit 1; }

# Version of the Debian source package that SOURCE's Linux package BINARY
# comes from: the installed one when the mirror still has its source,
# otherwise the newest of the same upstream series that it has in full.
source_version() {
  local src=$1 bin=$2 installed series v
  installed=$(dpkg-query -W -f='${source:Version}' "$bin" 2>/dev/null || true)
  [ -n "$installed" ] || die "$bin is not installed: the Windows build follows the Linux versions"
  if fetch_source "$src" "$installed" >/dev/null 2>&1; then
    echo "$installed"
    return
  fi
  series=$(echo "$installed" | sed -E 's/^([0-9]+:)?([0-9]+\.[0-9]+)\..*/\1\2/')
  for v in $(apt-cache showsrc --only-source "$src" | awk '/^Version:/ {print $2}' | sort -urV); do
    case "$v" in "$series".*) ;; *) continue ;; esac
    if fetch_source "$src" "$v" >/dev/null 2>&1; then
      say "$src $installed: its source is not on the mirror, using $v"
      echo "$v"
      return
    fi
  done
  say "$src: the mirror has no complete source of $installed nor of another $series.x"
  return 1
}

# Downloads and unpacks SOURCE=VERSION into $cache/src once.
fetch_source() {
  local src=$1 ver=$2 dir
  dir=$cache/src/${src}_${ver//:/%3a}
  if [ -f "$dir/.unpacked" ]; then echo "$dir/tree"; return 0; fi
  rm -rf "$dir"
  mkdir -p "$dir"
  if ! (cd "$dir" && apt-get source --download-only -qq "$src=$ver" 2>&1 | grep -v 'unsandboxed as root' >&2; [ "${PIPESTATUS[0]}" -eq 0 ]); then
    rm -rf "$dir"
    return 1
  fi
  (cd "$dir" && dpkg-source -q -x ./*.dsc tree >/dev/null) || { rm -rf "$dir"; return 1; }
  touch "$dir/.unpacked"
  echo "$dir/tree"
}

# Hash of a file without its comment lines, so rewording a comment
# rebuilds nothing.
content_hash() { sed -e 's/^[[:space:]]*#.*$//' -e '/^[[:space:]]*$/d' "$@" | sha256sum | cut -c1-12; }

# build_piece NAME: runs tools/windows/NAME.sh unless its key is built.
# A recipe sets piece_source (Debian source package, or empty),
# piece_binary (the Linux package whose version it follows), piece_deps
# (pieces it builds on) and defines piece_build, which builds in $build
# from $src and installs under $stage$prefix.
declare -A piece_key
unavailable=()
build_piece() {
  local name=$1 recipe=$root/tools/windows/$1.sh version hash deps_keys="" d key
  [ -f "$recipe" ] || die "no recipe $recipe"
  unset piece_source piece_binary piece_deps piece_version
  piece_deps=()
  piece_version=""
  # shellcheck source=/dev/null
  . "$recipe"
  for d in "${piece_deps[@]}"; do
    [ -n "${piece_key[$d]:-}" ] || piece_key[$d]=$(cat "$cache/pieces/$d.key" 2>/dev/null || true)
    [ -n "${piece_key[$d]:-}" ] || die "$name needs $d built first"
    deps_keys+="${piece_key[$d]} "
  done
  if [ -n "${piece_source:-}" ]; then
    if ! version=$(source_version "$piece_source" "$piece_binary"); then
      say "$name: NOT BUILT, its Debian source cannot be fetched"
      unavailable+=("$name")
      return 0
    fi
  else
    version=$piece_version
  fi
  hash=$( { content_hash "$recipe" "$toolchain_file"; echo "$deps_keys"; } | sha256sum | cut -c1-12)
  key=$name-${version//:/%3a}-$hash
  piece_key[$name]=$key
  if [ -f "$cache/pieces/$key.files" ] && [ "$(cat "$cache/pieces/$name.key" 2>/dev/null)" = "$key" ]; then
    say "$name: $key is built"
    return 0
  fi
  if [ -n "${piece_source:-}" ]; then
    src=$(fetch_source "$piece_source" "$version") || die "cannot fetch $piece_source $version"
  else
    src=""
  fi
  build=$cache/build/$key
  stage=$cache/build/$key.stage
  # A failed build's folder stays for a look until the piece builds again.
  rm -rf "$cache/build/$name-"*
  mkdir -p "$build" "$stage" "$cache/logs" "$cache/pieces" "$prefix"
  local log=$cache/logs/$key.log started=$SECONDS
  say "$name: building $key (log: $log)"
  # In the background so that set -e holds inside (an if would lift it).
  local rc=0
  (set -euo pipefail; cd "$build"; piece_build) >"$log" 2>&1 &
  wait $! || rc=$?
  if [ "$rc" -ne 0 ]; then
    tail -n 40 "$log" >&2
    die "$name: the build failed, see $log"
  fi
  remove_piece "$name"
  [ -d "$stage$prefix" ] || die "$name installed nothing under $stage$prefix"
  (cd "$stage$prefix" && find . \( -type f -o -type l \) -printf '%P\n' | sort) >"$cache/pieces/$key.files"
  cp -a "$stage$prefix/." "$prefix/"
  echo "$key" >"$cache/pieces/$name.key"
  rm -rf "$build" "$stage"
  say "$name: built in $((SECONDS - started)) s, $(wc -l <"$cache/pieces/$key.files") files"
  echo "$key $((SECONDS - started))" >>"$cache/logs/timings"
}

# Takes the files of the piece's previous build out of the prefix.
remove_piece() {
  local name=$1 old
  old=$(cat "$cache/pieces/$name.key" 2>/dev/null || true)
  [ -n "$old" ] || return 0
  if [ -f "$cache/pieces/$old.files" ]; then
    (cd "$prefix" && xargs -r -d '\n' rm -f <"$cache/pieces/$old.files")
    rm -f "$cache/pieces/$old.files"
  fi
  rm -f "$cache/pieces/$name.key"
}

# The common CMake settings of a piece built with CMake and Ninja.
cmake_cross() {
  cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" -DVELNARA_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
}
cmake_build_install() {
  cmake --build . -j "$jobs"
  DESTDIR=$stage cmake --install .
}
