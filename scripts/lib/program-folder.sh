# The console's install as scripts/run makes it, and as a test makes it
# again: the program folder laid out as an installer would, the base
# provider where Windows keeps its own, the catalog of a system before
# installation, then the console's own -fzinstall.

# What the user's use of the console writes into the program folder: laid
# in only where the folder has none, never over what is there.
qfw_user_data_files=(Config.dat Firewall.dat ProgramsRule.dat ProgramLogs.dat sqlite_err.log kv_err.log)

qfw_is_user_data() {
  local name=$1 f
  for f in "${qfw_user_data_files[@]}"; do
    [ "${name,,}" = "${f,,}" ] && return 0
  done
  return 1
}

# Lays a build's programs and what ships beside them (<build>/program) into
# the folder: programs, Language.ini, skins, sound, help and QfwUpdate.ini
# replaced by the build's; the user's data kept.
#   qfw_lay_program_folder <build> <folder>
qfw_lay_program_folder() {
  local build=$1 folder=$2 item name
  mkdir -p "$folder"
  # A file is replaced by a new one, never written over in place: a console
  # still running keeps the image it mapped.
  cp --remove-destination "$build/bin/QFW.exe" "$build/bin/QFW.DLL" "$build/bin/Update.exe" "$folder/"
  for item in "$build/program"/*; do
    [ -e "$item" ] || continue
    name=$(basename "$item")
    if qfw_is_user_data "$name"; then
      [ -e "$folder/$name" ] || cp "$item" "$folder/"
    else
      cp -r --remove-destination "$item" "$folder/"
    fi
  done
}

# The system folder of the build's prefix as the build's programs see it:
# a 32-bit program in a 64-bit prefix finds %SystemRoot%\system32 in syswow64.
qfw_system_folder() {
  local build=$1 arch=$2
  source "$build/wine-env"
  if [ "$arch" = i686 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "$WINEPREFIX/drive_c/windows/syswow64"
  else
    echo "$WINEPREFIX/drive_c/windows/system32"
  fi
}

# Installs the console into C:\<name> of the build's prefix, as scripts/run
# does: the folder laid out, the base provider stand-in in the system folder
# and named by the catalog by its full path, so that a program in any folder
# reaches it, then "QFW.exe -fzinstall". Returns the install's status.
#   qfw_install_console <build> <i686|x86_64> <folder name under C:\>
qfw_install_console() {
  local build=$1 arch=$2 name=$3
  source "$build/wine-env"
  "$build/wine-run" cmd /c exit >/dev/null 2>&1 || true
  qfw_lay_program_folder "$build" "$WINEPREFIX/drive_c/$name"
  cp --remove-destination "$build/bin/TcpipBase.dll" "$(qfw_system_folder "$build" "$arch")/"
  # Wine has no Winsock catalog of its own: it gets the one of a system
  # before installation, which the installer then takes over. The driver's
  # service key that the installer writes makes the Netvane emulator exist.
  "$build/wine-run" "$build/bin/WriteBaseCatalog.exe" '%SystemRoot%\system32\TcpipBase.dll' &&
  "$build/wine-run" "C:\\$name\\QFW.exe" -fzinstall
}
