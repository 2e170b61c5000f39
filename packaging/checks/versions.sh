# versions.sh: the staged manual page, changelog and AppStream record all carry the one version.
# Usage: versions.sh VERSION MANPAGE.gz CHANGELOG.gz METAINFO
set -eu
version=$1 manpage=$2 changelog=$3 metainfo=$4
status=0
has() {  # WHAT TEXT EXPECTED
  printf '%s\n' "$2" | grep -qF -- "$3" || { echo "$1 lacks '$3': $2"; status=1; }
}
has "the manual page's title" "$(gzip -dc "$manpage" | grep '^\.TH')" "\"Vorek $version\""
has "the changelog's last entry" "$(gzip -dc "$changelog" | head -n 1)" "vorek ($version)"
has "the AppStream release" "$(grep '<release ' "$metainfo")" "version=\"$version\""
# Debian reads the changelog; a malformed one hides the version from its tools.
parsed=$(gzip -dc "$changelog" | dpkg-parsechangelog -l- -SVersion)
[ "$parsed" = "$version" ] || { echo "dpkg-parsechangelog reads '$parsed'"; status=1; }
[ "$status" -eq 0 ] && echo "versions.sh: $version everywhere"
exit "$status"
