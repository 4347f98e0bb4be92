#!/usr/bin/env bash
# Static checks over the repository's scripts, so that a branch only some
# hosts run still gets read: pyflakes over every Python file, shellcheck
# (warnings and above) over every shell script. Exits 1 on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."

python=()
shell=()
while IFS= read -r -d '' f; do
    case "$f" in
    *.py) python+=("$f") ;;
    *.sh) shell+=("$f") ;;
    *)
        # Scripts without an extension, such as .ci/run, by their first line.
        first=""
        IFS= read -r first <"$f" 2>/dev/null || true
        case "$first" in
        '#!'*python*) python+=("$f") ;;
        '#!'*sh) shell+=("$f") ;;
        esac
        ;;
    esac
done < <(git ls-files -z --cached --others --exclude-standard)

status=0
echo "lint: pyflakes over ${#python[@]} Python files, shellcheck over ${#shell[@]} shell scripts"
pyflakes3 "${python[@]}" || status=1
shellcheck --severity=warning "${shell[@]}" || status=1
[ $status -eq 0 ] || echo "lint: error: the findings above must be fixed" >&2
exit $status
