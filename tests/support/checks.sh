# Shared by the shell tests (sourced). `check WHAT COMMAND...` runs the command and counts
# it as passed or prints WHAT as failed; the test ends with
#   echo "$passes passed, $failures failed"; [ "$failures" -eq 0 ]
# `unprivileged COMMAND...` runs it without the capabilities that let root write anywhere,
# so that a read-only folder binds root as it binds a user.
failures=0
passes=0
check() {
    local what=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}

unprivileged() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --inh-caps=-all --bounding-set=-all -- "$@"
    else
        "$@"
    fi
}
