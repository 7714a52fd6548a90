#!/bin/sh
# Builds the web edition (SOURCE's preset "web") in WEB_BUILD, configuring it
# the first time; quick when it is up to date.
#   build-site.sh SOURCE WEB_BUILD
set -e
[ $# -eq 2 ] || { echo "usage: build-site.sh SOURCE WEB_BUILD" >&2; exit 2; }
if [ ! -f "$2/build.ninja" ]; then
  if [ "$2" = "$1/build-web" ]; then
    (cd "$1" && cmake --preset web)
  else
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
      -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
  fi
fi
exec ninja -C "$2" -j "${PIROKKO_JOBS:-2}"
