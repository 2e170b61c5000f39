# installed_tree.sh: installs the build into a staging tree and checks that it holds exactly the
# listed files, the program (the first one) executable.
# Usage: installed_tree.sh CMAKE BUILD_DIR STAGING_DIR PREFIX PROGRAM FILE...
set -eu
cmake=$1 build=$2 staging=$3 prefix=$4
shift 4
rm -rf "$staging"
DESTDIR=$staging "$cmake" --install "$build" --component vorek >/dev/null

expected=$(for file in "$@"; do printf '%s%s/%s\n' "$staging" "$prefix" "$file"; done | sort)
found=$(find "$staging" -type f -o -type l | sort)
status=0
for file in $expected; do
  [ -f "$file" ] && [ -s "$file" ] || { echo "missing or empty: ${file#"$staging"}"; status=1; }
done
for file in $found; do
  if ! printf '%s\n' "$expected" | grep -qxF "$file"; then
    echo "not expected: ${file#"$staging"}"
    status=1
  fi
done
[ -x "$staging$prefix/$1" ] || { echo "not executable: $prefix/$1"; status=1; }
[ "$status" -eq 0 ] && echo "installed_tree.sh: the $# files are installed, and nothing else"
exit "$status"
