#!/bin/bash
# Builds giflib and libsndfile for the browser, as static wasm libraries,
# from Debian's own source packages: the same releases the desktop links, so
# that a picture or a wave file decodes to the same pixels and samples on
# both. The source is fetched at build time and never kept in the repository.
#
#   tools/web/build-decoders.sh [OUT]
#
# OUT defaults to $PIROKKO_WEB_THIRD_PARTY, else ~/.cache/pirokko/web-third-party.
#
# OUT/lib/libgif.a, OUT/lib/libsndfile.a and their headers in OUT/include;
# OUT/lib/sndfile-wave-only.o, linked before libsndfile.a, leaves it only the
# wave containers (and sndfile-wave-plain.o only their common codecs too).
# Run again, it does nothing unless the versions or the flags have changed.
# Needs emcc (scripts/web-common.sh installs it) and dpkg-dev.
set -euo pipefail
# shellcheck source=scripts/web-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/web-common.sh"

if [ "${1:-}" = --help ]; then
  sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi
if [ $# -gt 1 ] || [[ ${1:-} == -* ]]; then
  echo "usage: tools/web/build-decoders.sh [OUT]" >&2
  exit 2
fi
out=$(realpath -m "${1:-$PIROKKO_WEB_THIRD_PARTY}")
mkdir -p "$out"
# Builds of several clones may share the folder: one at a time.
exec 9>"$out.lock"
flock 9
jobs=${PIROKKO_JOBS:-2}
# The flags every object is built with. -flto leaves bitcode in the archives,
# so that the final link drops whatever of libsndfile a wave file cannot reach.
cflags=${PIROKKO_WEB_CFLAGS:--Oz -flto}

# The releases the desktop build uses when they are installed, so that both
# decode the same; on a machine without them, Debian's newest.
source_version() {
  dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true
}
gif_version=$(source_version libgif-dev)
sndfile_version=$(source_version libsndfile1-dev)
stubs=$PIROKKO_ROOT/tools/web/decoders/sndfile_wave_only.c
want="giflib=${gif_version:-newest} libsndfile=${sndfile_version:-newest} cflags=$cflags\
 stubs=$(sha256sum "$stubs" | cut -c1-16)"
if [ -f "$out/stamp" ] && [ "$(cat "$out/stamp")" = "$want" ]; then
  exit 0
fi

mkdir -p "$out/downloads"
# A deb-src list of our own, made from the Debian archives this machine's apt
# already uses, with package lists and caches in a folder of its own: the
# machine's apt configuration and state are left as they are.
fetch_sources() {
  local apt=$out/apt
  rm -rf "$apt"
  mkdir -p "$apt/lists/partial" "$apt/parts" "$apt/cache/archives/partial"
  apt-cache policy | awk '
    / [0-9]+ [a-z]+:\/\// { uri=$2; split($3, s, "/"); suite=s[1]; comp=s[2]; next }
    /o=Debian,/ && uri != "" && !seen[uri " " suite " " comp]++ {
      print "deb-src " uri " " suite " " comp }
    { uri="" }' >"$apt/parts/debian-src.list"
  if [ ! -s "$apt/parts/debian-src.list" ]; then
    echo "build-decoders: apt knows no Debian archive to fetch source packages from" >&2
    exit 1
  fi
  aptopts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/parts"
           -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
           -o "Debug::NoLocking=1" -o "APT::Sandbox::User=$(id -un)")
  apt-get "${aptopts[@]}" -q update >/dev/null
  (cd "$out/downloads" &&
    apt-get "${aptopts[@]}" -q source --download-only \
      "giflib${gif_version:+=$gif_version}" "libsndfile${sndfile_version:+=$sndfile_version}")
}

dsc_of() {
  local pkg=$1 version=$2
  version=${version#*:}
  if [ -n "$version" ]; then
    ls "$out/downloads/${pkg}_${version}.dsc" 2>/dev/null || true
  else
    # shellcheck disable=SC2012  # names of our own making, newest first
    ls -t "$out/downloads/${pkg}"_*.dsc 2>/dev/null | head -1 || true
  fi
}

if [ -z "$(dsc_of giflib "$gif_version")" ] || [ -z "$(dsc_of libsndfile "$sndfile_version")" ]; then
  fetch_sources
fi

rm -rf "${out:?}/src" "${out:?}/lib" "${out:?}/include" "${out:?}/sndfile-build"
mkdir -p "$out/src" "$out/lib" "$out/include"
# apt checked every file against the archive's signed lists; dpkg-source
# need not look for the uploader's key (debian-keyring is not installed).
dpkg-source --no-check -x "$(dsc_of giflib "$gif_version")" "$out/src/giflib" >/dev/null
dpkg-source --no-check -x "$(dsc_of libsndfile "$sndfile_version")" "$out/src/libsndfile" >/dev/null

# giflib: the decoding half only, as its Makefile would compile it; the
# encoder and the quantiser are of no use in a browser.
(
  cd "$out/src/giflib"
  objs=()
  for c in dgif_lib.c gif_err.c gifalloc.c gif_hash.c openbsd-reallocarray.c; do
    # shellcheck disable=SC2086  # cflags is a list of flags
    emcc $cflags -std=gnu99 -Wall -c "$c" -o "$out/src/giflib/${c%.c}.o"
    objs+=("${c%.c}.o")
  done
  emar rcs "$out/lib/libgif.a" "${objs[@]}"
  cp gif_lib.h "$out/include/"
)

# libsndfile: its own CMake build, with every codec library it could link
# (FLAC, Ogg, Vorbis, Opus, MPEG) and all programs and tests left out.
emcmake cmake -Wno-dev -S "$out/src/libsndfile" -B "$out/sndfile-build" -G Ninja \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_C_FLAGS_MINSIZEREL="$cflags -DNDEBUG" \
  -DCMAKE_INSTALL_PREFIX="$out" -DBUILD_SHARED_LIBS=OFF \
  -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_CPACK=OFF -DENABLE_PACKAGE_CONFIG=OFF \
  -DINSTALL_PKGCONFIG_MODULE=OFF -DINSTALL_MANPAGES=OFF -DENABLE_BOW_DOCS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_ALSA=ON -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Speex=ON >"$out/sndfile-configure.log" 2>&1
cmake --build "$out/sndfile-build" --parallel "$jobs" --target sndfile >"$out/sndfile-build.log"
cp "$out/sndfile-build/libsndfile.a" "$out/lib/"
cp "$out/src/libsndfile/include/sndfile.h" "$out/include/"
# shellcheck disable=SC2086
emcc $cflags -I"$out/src/libsndfile/src" -I"$out/sndfile-build/src" -I"$out/src/libsndfile/include" \
  -c "$stubs" -o "$out/lib/sndfile-wave-only.o"
# shellcheck disable=SC2086
emcc $cflags -DSNDFILE_WAVE_PLAIN_CODECS -I"$out/src/libsndfile/src" -I"$out/sndfile-build/src" \
  -I"$out/src/libsndfile/include" -c "$stubs" -o "$out/lib/sndfile-wave-plain.o"

rm -rf "$out/src" "$out/sndfile-build" "$out/apt"
echo "$want" >"$out/stamp"
echo "build-decoders: giflib ${gif_version:-newest} and libsndfile ${sndfile_version:-newest} in $out"
