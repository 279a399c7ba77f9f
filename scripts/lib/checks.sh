# Sourced by the proving scripts: `check WHAT COMMAND...` runs COMMAND and prints
# "NAME: ok   WHAT" or "NAME: FAIL WHAT" on stderr (NAME is $check_name), and remembers a
# failure in $failed for the script's exit code; `say TEXT` prints "NAME: TEXT".
failed=0
say() { echo "$check_name: $*" >&2; }
check() {
  local what=$1
  shift
  if "$@"; then say "ok   $what"; else say "FAIL $what"; failed=1; fi
}
