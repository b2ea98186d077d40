#!/usr/bin/env bash
# Fails, naming file:line, on any include of a header from a layer above the
# including file's own, or above the highest a layer may reach; within a
# layer, on one of a room (subfolder) above the including file's room, or of
# a room only some may enter. The order is the one in ARCHITECTURE.md.
# Usage: tools/check_layers.sh [source-root]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

layers=(platform CoreUtilities expression evaluation algebra shaders renderer graphpane graphs2d graphs3d
  matheditor document window app)
# The renderer runs programs and draws: what turns formulas into programs
# (algebra, shaders) is the business of the graphs above it.
declare -A reach=([renderer]=evaluation)

# The rooms of a layer that keep an order, lowest first: a room includes no
# header of a room after it. Rooms not named here, and the layer's own top,
# may include any room of their layer.
declare -A rooms=(
  [CoreUtilities]="text files memory drawing"
  [evaluation]="special interval complex runs"
  [graphs3d]="drawing views curves grid implicit fields start"
)
# Rooms only some may enter: besides the room's own files, the folders and
# files listed. The native code is made by the runs' translation and freed
# with its program.
declare -A entries=(
  [evaluation/native]="evaluation/runs evaluation/StackMachine.cpp"
)

declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
declare -A room_rank
for layer in "${!rooms[@]}"; do
  i=0
  for room in ${rooms[$layer]}; do room_rank[$layer/$room]=$i; i=$((i + 1)); done
done

# The room of a path inside its layer, into the named variable: layer/room,
# or nothing at the layer's top.
room_of() {  # variable, path
  local rest=${2#*/}
  printf -v "$1" '%s' ""
  [[ $rest == */* ]] && printf -v "$1" '%s' "${2%%/*}/${rest%%/*}"
  return 0
}

allowed_entry() {  # file, room
  local who
  [[ $1 == "$2"/* ]] && return 0
  for who in ${entries[$2]}; do
    [[ $1 == "$who" || $1 == "$who"/* ]] && return 0
  done
  return 1
}

status=0
for layer in "${layers[@]}"; do
  [ -d "$layer" ] || continue
  ceiling=${reach[$layer]:-$layer}
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    path=$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<<"${rest#*:}")
    target=${path%%/*}
    [ -n "${rank[$target]:-}" ] || continue
    if [ "${rank[$target]}" -gt "${rank[$layer]}" ]; then
      echo "$file:$line: $layer includes $target, a layer above it" >&2
      status=1
    elif [ "$target" != "$layer" ] && [ "${rank[$target]}" -gt "${rank[$ceiling]}" ]; then
      echo "$file:$line: $layer includes $target, above $ceiling, the highest layer it may use" >&2
      status=1
    fi
    room_of to "$path"
    [ -n "$to" ] || continue
    if [ -n "${entries[$to]:-}" ] && ! allowed_entry "$file" "$to"; then
      echo "$file:$line: includes $path, of $to, which only its own files and ${entries[$to]// /, } may use" >&2
      status=1
    fi
    room_of from "$file"
    if [ "$target" = "$layer" ] && [ -n "$from" ] && [ -n "${room_rank[$from]:-}" ] &&
      [ -n "${room_rank[$to]:-}" ] && [ "${room_rank[$to]}" -gt "${room_rank[$from]}" ]; then
      echo "$file:$line: $from includes $path, of $to, a room above it" >&2
      status=1
    fi
  done < <(grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.c' \
             --include='*.y' --include='*.l' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$layer" || true)
done
exit $status
