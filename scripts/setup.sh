# Sourced by the other scripts: installs what the build and the tests need on Debian 12.

# What building and running the program needs.
run_packages=(
  g++ cmake make googletest libgtest-dev zlib1g-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 xvfb xauth fp-utils python3
)
# What the fuzz targets need: clang with libFuzzer and the sanitizers, ffmpeg and Python's lzma
# for seeds.
fuzz_packages=(clang libclang-rt-14-dev cmake make zlib1g-dev ffmpeg python3)
# What the tests need besides.
test_packages=("${run_packages[@]}" "${fuzz_packages[@]}" xdotool imagemagick chromium libchm-bin pigz
               clang-format unzip xz-utils)

muravel_install() {
  local sudo="" missing=()
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  for p in "$@"; do
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
run_npm_packages=(swfobject@2.2.1 @ruffle-rs/ruffle@0.6.0)
test_npm_packages=("${run_npm_packages[@]}" puppeteer-core@24.43.1)
muravel_npm() {
  local stamp=build/npm/.installed wanted=" $* "
  # A set already installed that holds every package asked for will do.
  if [ -f "$stamp" ]; then
    local have
    have=" $(cat "$stamp") "
    local p ok=1
    for p in "$@"; do [[ "$have" == *" $p "* ]] || ok=0; done
    [ "$ok" -eq 0 ] || return 0
  fi
  mkdir -p build/npm
  npm install --silent --no-audit --no-fund --save-exact --prefix build/npm "$@" >/dev/null
  echo "${wanted# }" | sed 's/ $//' >"$stamp"
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

# Configures preset and builds it, or only the targets named after it.
muravel_build() {
  local preset="$1"
  shift
  cmake --preset "$preset" >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" -j"$(nproc)" --target "$@"
  else
    cmake --build --preset "$preset" -j"$(nproc)"
  fi
}
