# silent.sh: runs a checker that reports problems without failing, and fails if it says anything.
# Usage: silent.sh COMMAND [ARGUMENT...]
output=$("$@" 2>&1)
status=$?
if [ -n "$output" ] || [ "$status" -ne 0 ]; then
  printf '%s\n' "$output"
  echo "silent.sh: $1 printed the above (status $status)"
  exit 1
fi
echo "silent.sh: $1 found nothing to say"
