#!/usr/bin/env bash
# Checks of the Debian package made from this build tree. The first argument names the
# check; "build" makes the package and unpacks it with dpkg-deb -x (the fixture of all
# the others). The unpacked package is run from its own folder, with a bare environment,
# so that nothing of the build tree can stand in for what the package lacks.
# Exit status 77: skipped (a tool or the package is missing); the reason is printed.
set -euo pipefail

: "${PACKAGE_DIR:?}" "${BUILD_DIR:?}" "${SOURCE_DIR:?}"
root=$PACKAGE_DIR/root
app_id=de.kesselwerk.Kesselwerk

skip() {
  echo "SKIPPED: $*"
  exit 77
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
need() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

package_file() {
  local debs=("$PACKAGE_DIR"/kesselwerk_*.deb)
  [ -f "${debs[0]}" ] || skip "no package was built (see the test package.build)"
  echo "${debs[0]}"
}

# Runs a program of the unpacked package as a user would: only the package's folder, a
# home of its own, no variable that points into the build tree.
run_packaged() {
  mkdir -p "$work/home" "$work/data" "$work/run"
  chmod 700 "$work/run"
  (cd "$work" && env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CACHE_HOME="$work/home/.cache" \
    XDG_RUNTIME_DIR="$work/run" KESSELWERK_DATA_DIR="$work/data" QT_QPA_PLATFORM=offscreen \
    LANG="${KW_LANG:-C.UTF-8}" timeout 120 "$@")
}

# The commands that kesselwerk-cli --help lists.
cli_commands() {
  run_packaged "$root/usr/bin/kesselwerk-cli" --help |
    sed -n '/^Befehle:/,/^$/p' | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p'
}

# The common options that kesselwerk-cli --help lists.
cli_common_options() {
  run_packaged "$root/usr/bin/kesselwerk-cli" --help |
    sed -n '/^Gemeinsame Optionen:/,/^$/p' | grep -o -- '--[a-z-]*' | sort -u
}

# What the bash completion offers for each command line read from standard input (the
# last word is the one being completed): one line each, the offers sorted, "," between.
complete_lines() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    while IFS= read -r line; do
      read -r -a COMP_WORDS <<<"$line"
      [[ $line == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMP_LINE=$line
      COMP_POINT=${#line}
      COMPREPLY=()
      _kesselwerk_cli kesselwerk-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      mapfile -t offers < <(printf "%s\n" "${COMPREPLY[@]}" | sed "/^$/d" | LC_ALL=C sort)
      (IFS=,; echo "${offers[*]}")
    done
  ' complete "$root/usr/share/bash-completion/completions/kesselwerk-cli"
}

check_build() {
  need cpack dpkg-deb dpkg-shlibdeps file
  rm -rf "$PACKAGE_DIR"
  mkdir -p "$PACKAGE_DIR"
  if ! cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$PACKAGE_DIR" >"$PACKAGE_DIR/cpack.log" 2>&1; then
    cat "$PACKAGE_DIR/cpack.log"
    fail "cpack did not make the package"
  fi
  local deb
  deb=$(package_file)
  dpkg-deb -x "$deb" "$root"
  dpkg-deb -I "$deb"
}

check_desktop_entry() {
  need desktop-file-validate
  local entry=$root/usr/share/applications/$app_id.desktop out
  [ -f "$entry" ] || fail "the package holds no $app_id.desktop"
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate is not clean: $out"
  local program icon
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -x "$root/usr/bin/$program" ] || fail "Exec=$program is not a program of the package"
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable icon"
  echo "desktop-file-validate: clean"
}

check_metainfo() {
  need appstreamcli
  local metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml out
  [ -f "$metainfo" ] || fail "the package holds no $app_id.metainfo.xml"
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
  if grep -E '^[EW]:' <<<"$out"; then
    fail "appstreamcli validate reports errors or warnings"
  fi
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream entry does not launch the packaged desktop entry"
  local lang
  for lang in summary 'summary xml:lang="de"' 'p xml:lang="de"' 'caption xml:lang="de"' caption; do
    grep -q "<$lang>" "$metainfo" || fail "the AppStream entry lacks <$lang>"
  done
  echo "$out"
}

check_manuals() {
  need man
  local page out
  for page in kesselwerk kesselwerk-cli; do
    local file=$root/usr/share/man/man1/$page.1.gz
    [ -f "$file" ] || fail "the package holds no manual page $page(1)"
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man reports for $page(1): $out"
  done
  # The command line's manual page describes what its --help lists.
  local text command option
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$root/usr/share/man/man1/kesselwerk-cli.1.gz" 2>/dev/null)
  for command in $(cli_commands); do
    grep -qE "^   $command( |$)" <<<"$text" || fail "kesselwerk-cli(1) has no section for the command $command"
  done
  for option in $(cli_common_options); do
    grep -qE "^       $option( |$)" <<<"$text" || fail "kesselwerk-cli(1) does not describe $option"
  done
  echo "man --warnings: clean; kesselwerk-cli(1) covers: $(cli_commands | tr '\n' ' ')"
}

check_lintian() {
  need lintian
  local deb out
  deb=$(package_file)
  out=$(lintian --fail-on error --display-level '>=warning' "$deb" 2>&1) || {
    echo "$out"
    fail "lintian reports errors"
  }
  echo "$out" | grep -v 'running with root privileges' || true
  echo "lintian: no errors ($(grep -c '^W:' <<<"$out" || true) warnings)"
}

check_contents() {
  need dpkg-deb file
  local deb version path size
  deb=$(package_file)
  local expected=(
    usr/bin/kesselwerk usr/bin/kesselwerk-cli
    usr/share/kesselwerk/help/kesselwerk.qhc usr/share/kesselwerk/help/kesselwerk.qch
    usr/share/applications/$app_id.desktop usr/share/metainfo/$app_id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/kesselwerk.svg
    usr/share/man/man1/kesselwerk.1.gz usr/share/man/man1/kesselwerk-cli.1.gz
    usr/share/bash-completion/completions/kesselwerk-cli
    usr/share/doc/kesselwerk/copyright usr/share/doc/kesselwerk/changelog.gz
    "usr/share/kesselwerk/systeme/Martingale auf Rouge.lua"
    usr/share/kesselwerk/systeme/Zwei-Drittel-Gesetz.lua
  )
  for path in "${expected[@]}"; do
    [ -f "$root/$path" ] || fail "the package holds no $path"
  done
  # Every hicolor PNG has the size its folder names.
  for size in 16 22 24 32 48 64 128 256; do
    path=$root/usr/share/icons/hicolor/${size}x${size}/apps/kesselwerk.png
    file "$path" | grep -q "PNG image data, $size x $size," || fail "$path: $(file -b "$path")"
  done

  # One version everywhere: package, both programs, AppStream entry, manuals, changelog.
  version=$(dpkg-deb -f "$deb" Version)
  local -A found=(
    [kesselwerk-cli --version]=$(run_packaged "$root/usr/bin/kesselwerk-cli" --version)
    [kesselwerk --version]=$(run_packaged "$root/usr/bin/kesselwerk" --version)
    [AppStream release]=$(grep -o '<release version="[^"]*"' "$root/usr/share/metainfo/$app_id.metainfo.xml")
    [kesselwerk.1]=$(zcat "$root/usr/share/man/man1/kesselwerk.1.gz" | grep '^\.TH')
    [kesselwerk-cli.1]=$(zcat "$root/usr/share/man/man1/kesselwerk-cli.1.gz" | grep '^\.TH')
    [changelog]=$(zcat "$root/usr/share/doc/kesselwerk/changelog.gz" | head -1)
  )
  local want=(
    [0]="kesselwerk-cli --version|Kesselwerk $version"
    [1]="kesselwerk --version|Kesselwerk $version"
    [2]="AppStream release|<release version=\"$version\""
    [3]="kesselwerk.1|\"Kesselwerk $version\""
    [4]="kesselwerk-cli.1|\"Kesselwerk $version\""
    [5]="changelog|kesselwerk ($version)"
  )
  local row where text
  for row in "${want[@]}"; do
    where=${row%%|*}
    text=${row#*|}
    [[ ${found[$where]} == *"$text"* ]] || fail "$where says \"${found[$where]}\", the package is $version"
  done

  # Libraries from dpkg-shlibdeps, Qt's German texts by name.
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for path in qt6-translations-l10n libqt6core6 libqt6widgets6 libqt6help6 libc6; do
    grep -qE "(^|, )$path( |,|$)" <<<"$depends" || fail "Depends lacks $path: $depends"
  done
  echo "version $version in every place; Depends: $depends"
}

check_cli() {
  local cli=$root/usr/bin/kesselwerk-cli
  [ -x "$cli" ] || skip "no package was built (see the test package.build)"
  need python3
  # A fixed permanence made by the packaged program, then its chance analysis.
  run_packaged "$cli" zufall --anzahl 370 --seed 7 --ausgabe "$work/tisch.prm" >/dev/null ||
    fail "kesselwerk-cli zufall failed"
  run_packaged "$cli" chancen --json "$work/tisch.prm" >"$work/packaged.json" ||
    fail "kesselwerk-cli chancen failed"
  python3 - "$work/packaged.json" <<'EOF' || fail "the packaged chance analysis does not add up"
import json, sys
d = json.load(open(sys.argv[1]))
coups = d["coups"]
assert coups == 370, coups
assert sum(d["nummern"]) == coups, d["nummern"]
assert sum(d["farben"]) == coups and sum(d["dutzende"]) + d["nummern"][0] == coups
EOF
  # The same answer as the program of the build tree.
  KESSELWERK_DATA_DIR="$work/data" "$BUILD_DIR/bin/kesselwerk-cli" chancen --json "$work/tisch.prm" \
    >"$work/built.json"
  cmp -s "$work/packaged.json" "$work/built.json" ||
    fail "the packaged kesselwerk-cli answers differently from the built one"
  run_packaged "$cli" --version
  echo "chancen over 370 coups: as the build tree's program"
}

check_app() {
  local app=$root/usr/bin/kesselwerk
  [ -x "$app" ] || skip "no package was built (see the test package.build)"
  need strace
  local before after
  before=$(cd "$root" && find . -printf '%p %s %m\n' | LC_ALL=C sort)
  # The screenshot run starts the real application, shows every window and the help.
  run_packaged strace -f -qq -e trace=openat,open,execve -o "$work/trace" \
    "$app" --screenshots "$work/shots" >"$work/out" 2>&1 || {
    cat "$work/out"
    fail "the packaged application did not run"
  }
  [ -s "$work/shots/FHaupt.png" ] && [ -s "$work/shots/Hilfe.png" ] ||
    fail "the packaged application did not show its windows: $(cat "$work/out")"

  # The help came from the package, through the private copy in the user's cache.
  grep -qE "open(at)?\(.*\"$root/usr/share/kesselwerk/help/kesselwerk.qhc\", O_RDONLY.*= [0-9]+$" \
    "$work/trace" || fail "the packaged help collection was not read"
  local copy=$work/home/.cache/Kesselwerk/help
  cmp -s "$copy/kesselwerk.qch" "$root/usr/share/kesselwerk/help/kesselwerk.qch" ||
    fail "the help was not taken from the package"
  grep -qE "open(at)?\(.*\"$copy/kesselwerk.qhc\", .*= [0-9]+$" "$work/trace" ||
    fail "the help window did not open the help collection"

  # Nothing of the build or the source tree was looked at, and the package is unchanged.
  local strays
  strays=$(grep -F -e "\"$BUILD_DIR" -e "\"$SOURCE_DIR" "$work/trace" | grep -vF "\"$root" || true)
  [ -z "$strays" ] || fail "the packaged application used the build tree: $(head -5 <<<"$strays")"
  after=$(cd "$root" && find . -printf '%p %s %m\n' | LC_ALL=C sort)
  [ "$before" = "$after" ] || fail "the application changed the installed files: $(diff <(echo "$before") <(echo "$after"))"
  echo "started from the package, help read from $root/usr/share/kesselwerk/help"
}

check_translations() {
  local app=$root/usr/bin/kesselwerk deb
  [ -x "$app" ] || skip "no package was built (see the test package.build)"
  need strace timeout
  deb=$(package_file)
  grep -q qt6-translations-l10n <<<"$(dpkg-deb -f "$deb" Depends)" ||
    fail "the package does not depend on qt6-translations-l10n"
  # A plain start in an English session, ended after a few seconds (still running = 124).
  local status=0
  KW_LANG=en_US.UTF-8 run_packaged strace -f -qq -e trace=openat,open -o "$work/trace" \
    timeout 10 "$app" >"$work/out" 2>&1 || status=$?
  [ "$status" -eq 124 ] || fail "the packaged application ended by itself (status $status): $(cat "$work/out")"
  if ! grep -q 'qtbase_' "$work/trace"; then
    skip "the program does not load Qt's own translations yet"
  fi
  local loaded
  loaded=$(grep -oE "open(at)?\(.*\"[^\"]*/qtbase_de\.qm\", O_RDONLY.*= [0-9]+$" "$work/trace" |
    grep -oE '"[^"]*qtbase_de\.qm"' | head -1 | tr -d '"')
  [ -n "$loaded" ] || fail "Qt's German texts were looked for but not found: $(grep qtbase_ "$work/trace" | head -3)"
  [[ $loaded == /usr/share/qt6/translations/* ]] || fail "Qt's German texts came from $loaded"
  echo "Qt's German texts: $loaded"
}

check_completion() {
  local completion=$root/usr/share/bash-completion/completions/kesselwerk-cli
  [ -f "$completion" ] || skip "no package was built (see the test package.build)"
  [ -f /usr/share/bash-completion/bash_completion ] ||
    skip "bash-completion is not installed (scripts/install-deps.sh installs it)"
  mkdir -p "$work/files/Ordner"
  touch "$work/files/Tisch 1.prm" "$work/files/alt.PRM" "$work/files/notiz.txt" \
    "$work/files/staffel.set" "$work/files/kessel.sekt" "$work/files/summe.xlsx" \
    "$work/files/Mein System.lua"
  cd "$work/files"
  # The words typed (the last one is being completed) | what is offered, "," between.
  local cases=(
    "kesselwerk-cli |--help,--version,chancen,delta,import,sektoren,serien,statistik,suche,system,systemtest,zufall"
    "kesselwerk-cli sy|system,systemtest"
    "kesselwerk-cli system --skript |Mein System.lua,Ordner"
    "kesselwerk-cli system --s|--seed,--skript,--startkapital,--stueckgroesse"
    "kesselwerk-cli system --skript x.lua T|Tisch 1.prm"
    "kesselwerk-cli chancen --|--data-dir,--jobs,--json"
    "kesselwerk-cli systemtest --st|--staffelung,--startkapital,--stuecke,--stueckgroesse"
    "kesselwerk-cli serien --|--data-dir,--jobs,--json,--laengen"
    "kesselwerk-cli chancen |Ordner,Tisch 1.prm,alt.PRM"
    "kesselwerk-cli systemtest --vorlauf 6 T|Tisch 1.prm"
    "kesselwerk-cli systemtest --staffelung |Ordner,staffel.set"
    "kesselwerk-cli systemtest --xlsx |Ordner,summe.xlsx"
    "kesselwerk-cli sektoren --datei |Ordner,kessel.sekt"
    "kesselwerk-cli sektoren --muster |5x4,7x6,serien"
    "kesselwerk-cli zufall --ausgabe |Ordner,Tisch 1.prm,alt.PRM"
    "kesselwerk-cli zufall --anzahl |"
    "kesselwerk-cli chancen --data-dir |Ordner"
    "kesselwerk-cli delta |"
    "kesselwerk-cli statistik --sektoren |Ordner,kessel.sekt"
    "kesselwerk-cli import --ausgabe |Ordner"
  )
  local lines=() wants=() row
  for row in "${cases[@]}"; do
    lines+=("${row%%|*}")
    wants+=("${row#*|}")
  done
  local got i
  mapfile -t got < <(printf '%s\n' "${lines[@]}" | complete_lines)
  for i in "${!lines[@]}"; do
    [ "${got[i]-}" = "${wants[i]}" ] ||
      fail "\"${lines[i]}\" offers \"${got[i]-}\", expected \"${wants[i]}\""
  done

  # Every command of --help is offered, and every option offered is one the command
  # accepts and the manual page describes.
  local commands offered command option err manual
  mapfile -t commands < <(cli_commands)
  offered=$(echo "kesselwerk-cli " | complete_lines)
  manual=$(zcat "$root/usr/share/man/man1/kesselwerk-cli.1.gz" | sed 's/\\-/-/g')
  mapfile -t got < <(printf 'kesselwerk-cli %s --\n' "${commands[@]}" | complete_lines)
  for i in "${!commands[@]}"; do
    command=${commands[i]}
    [[ ,$offered, == *",$command,"* ]] || fail "the completion does not offer the command $command"
    for option in ${got[i]//,/ }; do
      err=$(run_packaged "$root/usr/bin/kesselwerk-cli" "$command" "$option" 2>&1 >/dev/null || true)
      [[ $err != *"unbekannte Option"* ]] || fail "kesselwerk-cli $command does not know $option"
      grep -q -- "$option" <<<"$manual" || fail "kesselwerk-cli(1) does not describe $option"
    done
  done
  echo "completion: ${#cases[@]} command lines as expected; options agree with the program"
}

case "${1:-}" in
  build) check_build ;;
  desktop_entry) check_desktop_entry ;;
  metainfo) check_metainfo ;;
  manuals) check_manuals ;;
  lintian) check_lintian ;;
  contents) check_contents ;;
  cli) check_cli ;;
  app) check_app ;;
  translations) check_translations ;;
  completion) check_completion ;;
  *) fail "unknown check \"${1:-}\"" ;;
esac
