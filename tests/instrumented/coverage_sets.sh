# The coverage option sets that instrumented programs are built with; sourced
# by the instrumented-program suite and by the runtime benchmark, so both
# exercise the same selections.
#
# Set A asks for every coverage type with modified conditions, set B the same
# with forced conditions (every basic condition evaluated) and with every
# function traced and profiled (runtime tracing, memory and performance
# profiling); A_count is set A with counting cells. $coverage_sets lists the names, $coverage_set_<name>
# holds the options.
coverage_set_A="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED"
coverage_set_B="-PROC=RET -CALL -BLOCK=LOGICAL -COND=FORCEEVALUATION -TRACE -MEMPRO -PERFPRO"
coverage_set_A_count="$coverage_set_A -COUNT"
coverage_sets="A B A_count"

# Prints the options of set $1.
coverage_set_options() {
  local variable=coverage_set_$1
  printf '%s\n' "${!variable}"
}

# True when set $1 counts executions instead of flagging them.
coverage_set_counts() {
  case " $(coverage_set_options "$1") " in
    *" -COUNT "*) return 0 ;;
    *) return 1 ;;
  esac
}
