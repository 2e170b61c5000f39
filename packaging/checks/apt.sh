# apt.sh: installs the package on this machine with apt-get, or removes it again, and checks the
# result with dpkg. Usage: apt.sh install|remove DEB
set -eu
action=$1 deb=$2
if [ "$(id -u)" -ne 0 ]; then
  echo "apt.sh: installing a package needs root; skipped"
  exit 77
fi
# Another apt-get on this machine holds the lock for a while: wait for it rather than fail.
apt() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
case $action in
  install)
    # apt-get wants a path with a slash to read the argument as a file, not a package name.
    case $deb in */*) ;; *) deb=./$deb ;; esac
    apt install --reinstall "$deb"
    status=$(dpkg-query -W -f='${Status} ${Version}' vorek)
    echo "apt.sh: vorek is now: $status"
    [ "$status" = "install ok installed $(dpkg-deb --field "$deb" Version)" ]
    # Every file the package lists is on disk.
    dpkg --verify vorek
    ;;
  remove)
    if ! dpkg-query -W -f='${Status}' vorek 2>/dev/null | grep -q 'ok installed'; then
      echo "apt.sh: vorek is not installed; nothing to remove"
      exit 77
    fi
    files=$(dpkg-query -L vorek | while read -r path; do [ -f "$path" ] && echo "$path"; done)
    apt purge vorek
    if dpkg-query -W -f='${Status}' vorek 2>/dev/null | grep -q installed; then
      echo "apt.sh: vorek is still installed"; exit 1
    fi
    for path in $files; do [ ! -e "$path" ] || { echo "apt.sh: $path is left"; exit 1; }; done
    echo "apt.sh: vorek and its files are gone"
    ;;
  *) echo "usage: apt.sh install|remove DEB"; exit 2 ;;
esac
