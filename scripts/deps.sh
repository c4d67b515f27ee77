#!/usr/bin/env bash
# Installs the Debian 12 packages that Amends needs and that are missing.
#   scripts/deps.sh run    packages to build and run the program
#   scripts/deps.sh test   packages to build the program and run every test
set -euo pipefail

RUN_PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-image-formats-plugins
  libplist-dev libminizip-dev zlib1g-dev libpugixml-dev
  libpng-dev   # PNG files written through libpng directly, with the filter and level we choose
  fonts-liberation2 fonts-dejavu-core
  libssl-dev   # OpenSSL's libcrypto: AES for the QR content encryption
  python3 python-is-python3
)
TEST_PACKAGES=(
  libgtest-dev libgmock-dev
  zbar-tools zxing-cpp-tools dmtx-utils locales   # barcode readers decode what the encoders make
  libzint-dev   # a second PDF417 encoder: the tests compare our symbols with its module for module
  ghostscript   # gs renders the EPS text of a PDF417 symbol for the readers
  xvfb dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  poppler-utils libglib2.0-bin   # pdfinfo and pdftoppm read rendered PDF; gdbus drives the document on the bus
  clang libclang-rt-14-dev llvm   # the address sanitizer and fuzzing builds: clang, libFuzzer, llvm-symbolizer
  python3-aiosmtpd openssl   # a real SMTP server with a throwaway certificate receives the mail tests' mails
  libreoffice-calc-nogui python3-openpyxl   # spreadsheet peers: LibreOffice converts workbooks both ways; openpyxl for the benchmark
  libreoffice-writer-nogui unrtf   # import peers: LibreOffice Writer makes RTF files, unrtf reads their text as a second opinion
  libxcb1-dev libxcb-damage0-dev   # the start benchmark watches its private X server for the windows mapped and drawn
)

case "${1:-run}" in
  run)  wanted=("${RUN_PACKAGES[@]}") ;;
  test) wanted=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
