#!/bin/bash
# Fails when a folder of src/ includes a header of a layer above it, naming
# each such file and include. Layers, highest first: driver, instrument,
# output and metrics (one level), frontend, support; report and wrapper sit
# beside them and use output and support only. A folder of src/ without a
# rule here fails too, so a new folder gets one. The report may not include
# the writers' state headers of output/ either.
#   check_layers.sh SRC_DIR
set -u

src=${1:?usage: check_layers.sh SRC_DIR}
[ -d "$src" ] || { echo "no such directory: $src" >&2; exit 2; }

declare -A uses=(
  [support]="support"
  [frontend]="frontend support"
  [metrics]="metrics output frontend support"
  [output]="output metrics frontend support"
  [instrument]="instrument output metrics frontend support"
  [driver]="driver instrument output metrics frontend support"
  [report]="report output support"
  [wrapper]="wrapper output support"
)

# The report reads the files the writers leave, never the writers' state.
declare -A writerState=(
  [output/fdc_file.h]=1 [output/fdc_records.h]=1 [output/fdc_merge.h]=1 [output/fdc_temp_files.h]=1
  [output/tsf_file.h]=1 [output/tsf_merge.h]=1 [output/source_output.h]=1 [output/rik_registry.h]=1
  [output/rik_section.h]=1
)

includePattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)"'
status=0
for dir in "$src"/*/; do
  layer=${dir%/}
  layer=${layer##*/}
  [ -n "${uses[$layer]+set}" ] && continue
  echo "src/$layer/: no layer rule for this folder"
  status=1
done

# One grep over the whole tree: a process per file would take minutes on a
# loaded machine.
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  rest=${rest#*:}
  [[ $rest =~ $includePattern ]] || continue
  include=${BASH_REMATCH[1]}
  target=${include%%/*}
  [ "$target" = "$include" ] && continue  # a header beside the file
  relative=${file#"${src%/}"/}
  layer=${relative%%/*}
  [ -n "${uses[$layer]+set}" ] || continue
  if [ "$layer" = report ] && [ -n "${writerState[$include]+set}" ]; then
    echo "src/$relative: includes \"$include\" (the report may not use writer state)"
    status=1
    continue
  fi
  case " ${uses[$layer]} " in *" $target "*) continue ;; esac
  echo "src/$relative: includes \"$include\" ($layer may use: ${uses[$layer]})"
  status=1
done < <(grep -rn --include='*.h' --include='*.cpp' --include='*.y' --include='*.l' \
           -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${src%/}"/*/)
exit $status
