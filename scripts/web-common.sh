# shellcheck shell=bash
# Sourced by the web edition's scripts: the Debian packages and the npm test
# driver that building for the browser and testing in it need. Like
# common.sh, safe to run again: what is there already is left alone.

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# emscripten brings clang/lld 14 and binaryen; its library cache is prebuilt
# and frozen, so nothing of it is fetched at build time. node-acorn is there
# for emcc's JS optimiser (see NODE_PATH below). dpkg-dev unpacks the source
# packages of the decoders that are compiled for the browser.
# shellcheck disable=SC2034  # read by the scripts that source this
WEB_PACKAGES=(emscripten chromium node-acorn dpkg-dev cmake ninja-build)

PIROKKO_CHROMIUM=/usr/bin/chromium
export PIROKKO_CHROMIUM
# The decoders built for the browser (tools/web/build-decoders.sh) are kept
# per user, not per clone, so that a fresh clone on the same machine (CI's)
# finds them built.
: "${PIROKKO_WEB_THIRD_PARTY:=${XDG_CACHE_HOME:-$HOME/.cache}/pirokko/web-third-party}"
export PIROKKO_WEB_THIRD_PARTY

# The Node.js on these machines is not Debian's, so it does not look in
# Debian's module folder by itself: without this emcc stops with "Cannot find
# module 'acorn'".
case ":${NODE_PATH:-}:" in
  *:/usr/share/nodejs:*) ;;
  *) export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} ;;
esac

# The driver is puppeteer-core, which never fetches a browser; these keep any
# other package of the puppeteer family from trying, and point it at Debian's.
export PUPPETEER_SKIP_DOWNLOAD=1 PUPPETEER_SKIP_CHROMIUM_DOWNLOAD=1 \
  PUPPETEER_EXECUTABLE_PATH=$PIROKKO_CHROMIUM PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1

ensure_web_toolchain() {
  ensure_packages "${WEB_PACKAGES[@]}"
  # Debian's npm only where the machine has none of its own: installing it
  # over another Node.js would replace that one.
  command -v npm >/dev/null || ensure_packages npm
  if ! emcc --version >/dev/null 2>&1; then
    echo "emcc does not run; try: NODE_PATH=$NODE_PATH emcc --version" >&2
    return 1
  fi
  ensure_web_driver
}

# npm ci only when the lock file changed since the last install, so a second
# run costs nothing and needs no network.
ensure_web_driver() {
  local web=$PIROKKO_ROOT/web stamp lock
  stamp=$web/node_modules/.pirokko-lock.sha256
  lock=$(sha256sum "$web/package-lock.json" | cut -d' ' -f1)
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$lock" ] && return 0
  (cd "$web" && npm ci --prefer-offline --no-audit --no-fund) || return
  echo "$lock" >"$stamp"
}

# build_web_engine: the web edition's engine in build-web/site (pirokko.js,
# pirokko.wasm, index.html), with what building it needs. The
# desktop's package carries it, so this comes before any package is made.
build_web_engine() {
  ensure_web_toolchain
  "$PIROKKO_ROOT/tools/web/build-decoders.sh"
  (
    cd "$PIROKKO_ROOT" || exit
    if [ ! -f build-web/build.ninja ]; then cmake --preset web; fi
    ninja -C build-web -j "${PIROKKO_JOBS:-2}"
  )
}
