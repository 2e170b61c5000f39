# deb.sh: builds the Debian package with CPack and checks its control fields and its contents.
# Usage: deb.sh CPACK BUILD_DIR DEB VERSION FILE...   (FILEs relative to /usr)
set -eu
cpack=$1 build=$2 deb=$3 version=$4
shift 4
rm -f "$deb"
(cd "$build" && "$cpack" --config CPackConfig.cmake) >/dev/null
[ -f "$deb" ] || { echo "deb.sh: cpack made no $deb"; exit 1; }

status=0
field() { dpkg-deb --field "$deb" "$1"; }
expect() {  # FIELD VALUE
  value=$(field "$1")
  [ "$value" = "$2" ] || { echo "$1 is '$value', not '$2'"; status=1; }
}
expect Package vorek
expect Version "$version"
expect Section games
expect Recommends qt6-translations-l10n
depends=$(field Depends)
echo "Depends: $depends"
# The package names alone, one a line: "libc6 (>= 2.34), libqt6core6 ..." -> libc6, libqt6core6.
names=$(printf '%s\n' "$depends" | tr ',|' '\n\n' | sed 's/^ *//; s/[ (].*//')
# Computed from the program's libraries: Qt's widgets and the C library at least...
for library in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
  printf '%s\n' "$names" | grep -qxF "$library" || { echo "Depends lacks $library"; status=1; }
done
# ...and nothing that only the tests or the sanitizers use.
for library in libqt6test6 libgtest libgmock libbenchmark libasan libubsan liblsan; do
  if printf '%s\n' "$names" | grep -q "^$library"; then echo "Depends has $library"; status=1; fi
done

# The package holds the staged tree's files under /usr.
expected=$(for file in "$@"; do printf './usr/%s\n' "$file"; done | sort)
held=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
if [ "$held" != "$expected" ]; then
  echo "the package holds:"; printf '%s\n' "$held"
  echo "instead of:"; printf '%s\n' "$expected"
  status=1
fi
# Root owns every file, as dpkg will install them.
owners=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv | awk '{print $2}' | sort -u)
[ "$owners" = "root/root" ] || { echo "owners: $owners"; status=1; }
[ "$status" -eq 0 ] && echo "deb.sh: $(basename "$deb") has the right fields and files"
exit "$status"
