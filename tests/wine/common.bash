# Shared by the end-to-end scripts under Wine (sourced, never run by itself).

# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false when the time is up.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
