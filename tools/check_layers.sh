#!/usr/bin/env bash
# Fails, naming file:line, on any include of a header from a layer above the
# including file's own, or above the highest a layer may reach. The order is
# the one in ARCHITECTURE.md.
# Usage: tools/check_layers.sh [source-root]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

layers=(platform CoreUtilities expression evaluation algebra shaders renderer graphpane graphs2d graphs3d
  matheditor document window app)
# The renderer runs programs and draws: what turns formulas into programs
# (algebra, shaders) is the business of the graphs above it.
declare -A reach=([renderer]=evaluation)

declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
for layer in "${layers[@]}"; do
  [ -d "$layer" ] || continue
  ceiling=${reach[$layer]:-$layer}
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/^[^"]*"([^"/]+)\/.*/\1/' <<<"${rest#*:}")
    [ -n "${rank[$target]:-}" ] || continue
    if [ "${rank[$target]}" -gt "${rank[$layer]}" ]; then
      echo "$file:$line: $layer includes $target, a layer above it" >&2
      status=1
    elif [ "$target" != "$layer" ] && [ "${rank[$target]}" -gt "${rank[$ceiling]}" ]; then
      echo "$file:$line: $layer includes $target, above $ceiling, the highest layer it may use" >&2
      status=1
    fi
  done < <(grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.c' \
             --include='*.y' --include='*.l' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$layer" || true)
done
exit $status
