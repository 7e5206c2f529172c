#!/usr/bin/env bash
# Installs the console into C:\FerrowindInstallTest of the build's prefix
# with the scripts' own install (the one scripts/run makes), runs
# installed_console_tests.exe over it, then takes the folder away again.
#   check-installed-console.sh <source dir> <build dir> <i686|x86_64>
set -u
top=$1 build=$2 arch=$3
source "$top/scripts/lib/program-folder.sh"
source "$build/wine-env"
name=FerrowindInstallTest
clean() {
  rm -rf "$WINEPREFIX/drive_c/$name" "$WINEPREFIX/drive_c/Tools/Alpha"
}
clean
trap clean EXIT
if ! qfw_install_console "$build" "$arch" "$name"; then
  echo "the install into C:\\$name failed"
  exit 1
fi
"$build/wine-run" "$build/bin/installed_console_tests.exe" "C:\\$name\\"
