# tests/scripts/wait_limit.sh -- sourced by every script that limits how
# long something may take (fresh_home.sh sources it for the program
# sessions; scripts/run-ctest for the tests' limit). Give each limit as
# its plain number of seconds through wait_limit, never bare:
#   timeout "$(wait_limit 60)" "$program" beam.nkf
#
# wait_limit SECONDS prints SECONDS times QUOLIN_TEST_WAIT_SCALE, read as
# the tests' waits read it (tests/test_support/test_wait.cpp): a decimal
# number (2, 0.5, 1e2) above 0 and at most 1000, anything else counting as
# 1. The limit is in whole seconds, rounded up and so never 0, which
# timeout(1) and CTest take as no limit at all.
wait_limit() {
  awk -v n="$1" -v s="${QUOLIN_TEST_WAIT_SCALE:-}" 'BEGIN {
    f = 1
    if (s ~ /^([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?$/ && s + 0 > 0 && s + 0 <= 1000) f = s + 0
    t = n * f
    printf "%d\n", (t == int(t)) ? t : int(t) + 1
  }'
}
