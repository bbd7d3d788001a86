# Sourced by the other scripts: installs what the build and the tests need on Debian 12.
packages=(
  g++ cmake make googletest libgtest-dev zlib1g-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 xvfb xauth xdotool imagemagick ffmpeg chromium
)

muravel_install() {
  local sudo="" missing=()
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
  # Node.js may come from elsewhere than Debian; its npm is all that is needed.
  if ! command -v npm >/dev/null; then
    $sudo apt-get install -y -qq npm >/dev/null
  fi
}

# Web assets and the browser tests' driver come from the npm registry by name, at pinned
# versions, into the build tree.
npm_packages=(swfobject@2.2.1 @ruffle-rs/ruffle@0.6.0 puppeteer-core@24.43.1)
muravel_npm() {
  local stamp=build/npm/.installed
  if [ "$(cat "$stamp" 2>/dev/null)" != "${npm_packages[*]}" ]; then
    mkdir -p build/npm
    npm install --silent --no-audit --no-fund --save-exact --prefix build/npm "${npm_packages[@]}" >/dev/null
    echo "${npm_packages[*]}" >"$stamp"
  fi
}

# Every Wine run of one build tree shares a prefix inside it; making one takes a while, so
# it is made once, before the tests.
muravel_wineprefix() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

muravel_build() {
  local preset="$1"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
}
