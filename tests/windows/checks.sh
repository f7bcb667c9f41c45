# Counting checks for the Windows test scripts; sourced, not run.

passed=0
failed=0

# check NAME COMMAND [ARG...]: passes when the command exits 0; its output is shown on failure.
check() {
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then
    passed=$((passed + 1))
    echo "ok   $name"
    [ -n "$out" ] && printf '%s\n' "$out" | sed 's/^/     /'
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    printf '%s\n' "$out" | sed 's/^/     /'
  fi
  return 0
}

# summary LABEL: prints the counts and answers failure when any check failed.
summary() {
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
