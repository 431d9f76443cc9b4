# What the black-box checks share; sourced. fail MESSAGE reports a failed
# check (of the case named by case_name, when set) and counts it.
failures=0
fail() {
    echo "FAIL${case_name:+ [$case_name]}: $*"
    failures=$((failures + 1))
}
