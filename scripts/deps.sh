#!/usr/bin/env bash
# Installs the Debian 12 (bookworm) packages the project needs, when any is missing. Every
# package is named here: apt runs with --no-install-recommends, so nothing may rest on a
# recommendation.
#
#   scripts/deps.sh [program|package|all]
#
# program: what building and starting the program and the runner needs (scripts/run.sh);
# package: that plus the user guide's HTML, the manual pages and the Debian package
#          (scripts/package.sh);
# all (the default): everything, tests, benchmarks and fuzzing included (scripts/test.sh).
set -euo pipefail
group=${1:-all}
program=(
  # build tools (ctest comes with cmake; pkg-config is consulted by Qt's CMake files)
  cmake ninja-build g++ pkg-config
  # Qt 6: Core, Gui, Widgets, the platform plugins (offscreen for headless use), OpenGL and
  # OpenGLWidgets (Charts needs them; only recommended by qt6-base-dev), Charts, Svg, and the
  # OpenGL and Vulkan headers Qt's Gui package checks for
  qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev qt6-charts-dev qt6-svg-dev
  libgl-dev libglx-dev libopengl-dev libvulkan-dev
  # Qt's own Russian texts for its standard dialogs and buttons
  qt6-translations-l10n
  # the windows' font, set explicitly by the program and the window tests
  fonts-dejavu-core fontconfig
  # the scenario file and the runner's JSON
  nlohmann-json3-dev
)
package=(
  # the user guide as HTML (the `docs` target) and the manual pages from the programs' --help
  pandoc help2man
  # the Debian package: cpack finds the libraries' packages with dpkg-shlibdeps
  dpkg-dev file
)
all=(
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # fuzzing: clang with libFuzzer and the sanitizer runtimes
  clang libclang-rt-14-dev
  # scripts/sizes.py finds the functions and their lengths
  universal-ctags
  # tests read the text of written PDF files (pdftotext)
  poppler-utils
  # the validation tools and their tests
  python3
  # the parameter study's recipe for machines without a batch system, and its test
  parallel
)
case $group in
  program) packages=("${program[@]}") ;;
  package) packages=("${program[@]}" "${package[@]}") ;;
  all) packages=("${program[@]}" "${package[@]}" "${all[@]}") ;;
  *) echo "usage: $0 [program|package|all]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}" >&2
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  # Three tries with a pause: one slow or broken download must not fail the set-up.
  retry() {
    local try
    for try in 1 2 3; do
      "$@" && return 0
      [ "$try" -lt 3 ] && { echo "'$*' failed (try $try of 3), again in 30 s" >&2; sleep 30; }
    done
    return 1
  }
  retry "${sudo_cmd[@]}" apt-get update
  retry "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
