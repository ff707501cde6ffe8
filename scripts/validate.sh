#!/usr/bin/env bash
# Regenerates the validation against fire experiments: the scenario files from the data, every
# case computed with zonefire-cli for both plume correlations, the comparison and its
# statistics (validation/results/), the plots and validation/REPORT.md.
#   scripts/validate.sh [path/to/zonefire-cli]     (default build/cli/zonefire-cli)
# The plots need matplotlib (Debian: python3-matplotlib); without it the report keeps the
# plots already committed and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/zonefire-cli}
if [ ! -x "$cli" ]; then
  echo "validate.sh: $cli not found; build it with: cmake --build build -j2 --target zonefire-cli" >&2
  exit 2
fi
python3 validation/make_cases.py
start=$(date +%s)
python3 validation/validate.py --cli "$cli" --step-check
# The model options (consistent outflow, heat loss with the documented linings, both).
python3 validation/model_options.py --cli "$cli"
echo "validate.sh: computed in $(( $(date +%s) - start )) s"
# The plotting library may live only in the system's Python.
plot_python=
for p in python3 /usr/bin/python3; do
  if command -v "$p" >/dev/null && "$p" -c 'import matplotlib' 2>/dev/null; then plot_python=$p; break; fi
done
if [ -n "$plot_python" ]; then
  "$plot_python" validation/make_report.py
else
  echo "validate.sh: matplotlib not found (apt-get install python3-matplotlib): plots not redrawn" >&2
  python3 validation/make_report.py --no-plots
fi
