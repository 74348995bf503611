# Shared by the examples' run.sh scripts (sourced, not run). Each run.sh sets
#   name            the example's folder and file stem: <name>/<name>.txt and <name>/<name>.tvn
#   left_contact    the left contact the document stores ("" for the script's default, Neutral)
# and then calls example_parse "$@", example_solve OPTIONS..., figure/check lines, example_finish.
#
# Command line of every run.sh:
#   run.sh [--out DIR] [--from-script]   solve, print the key figures, check them (exit 1 if one fails)
#   run.sh --make-document               write <name>.tvn from <name>.txt with tervane-cli convert
#   run.sh --check-document              exit 1 unless <name>.tvn is what that conversion gives
# --out DIR: where the band profile, status and eigenstate files go (default: the current folder).
# --from-script: solve the import script, passing the left contact on the command line, instead of
# the document file, which stores it.
# tervane-cli is $TERVANE_CLI when set, else build/cli/tervane-cli of this tree, else the one on PATH.

set -euo pipefail

examples_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
example_dir="$examples_dir/$name"
script_file="$example_dir/$name.txt"
document_file="$example_dir/$name.tvn"
failures=0

find_tool() {
  if [ -n "${TERVANE_CLI:-}" ]; then
    tool=$TERVANE_CLI
  elif [ -x "$examples_dir/../build/cli/tervane-cli" ]; then
    tool=$(cd "$examples_dir/../build/cli" && pwd)/tervane-cli
  elif command -v tervane-cli >/dev/null; then
    tool=$(command -v tervane-cli)
  else
    echo "$name: tervane-cli not found: build it (scripts/build) or set TERVANE_CLI" >&2
    exit 2
  fi
}

# The options that turn the script into the document: the left contact, when the example has one.
convert_options() {
  if [ -n "$left_contact" ]; then
    printf '%s\n' --left "$left_contact"
  fi
}

example_parse() {
  out=.
  from_script=false
  case ${1:-} in
    -h | --help)
      awk 'NR == 1 { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$example_dir/run.sh"
      exit 0
      ;;
  esac
  find_tool
  local -a options
  mapfile -t options < <(convert_options)
  while [ $# -gt 0 ]; do
    case $1 in
      --out)
        out=${2:?--out needs a folder}
        shift 2
        ;;
      --from-script)
        from_script=true
        shift
        ;;
      --make-document)
        "$tool" convert "$script_file" "$document_file" "${options[@]}"
        echo "wrote $document_file"
        exit 0
        ;;
      --check-document)
        local fresh
        fresh=$(mktemp --suffix=.tvn)
        "$tool" convert "$script_file" "$fresh" "${options[@]}"
        if cmp -s "$fresh" "$document_file"; then
          rm -f "$fresh"
          echo "$name.tvn is the conversion of $name.txt"
          exit 0
        fi
        rm -f "$fresh"
        echo "$name.tvn differs from the conversion of $name.txt; run examples/$name/run.sh --make-document" >&2
        exit 1
        ;;
      *)
        echo "$name: unknown argument $1 (see --help)" >&2
        exit 2
        ;;
    esac
  done
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
}

# Solves the example with the given options, the band profile going to $out/bands.txt, the status to
# $out/status.json and the eigenstate files to $out.
example_solve() {
  local -a command
  if $from_script; then
    local -a options
    mapfile -t options < <(convert_options)
    command=(solve "$script_file" "${options[@]}")
  else
    command=(solve "$document_file")
  fi
  command+=("$@" --bands "$out/bands.txt" --status-json "$out/status.json" --dump-dir "$out")
  echo "$ tervane-cli ${command[*]}"
  "$tool" "${command[@]}"
  echo
}

# A number from status.json: status_value KEY.
status_value() {
  awk -v key="\"$1\":" '$1 == key { sub(/,$/, "", $2); print $2 }' "$out/status.json"
}

# channel_subbands XMIN: the energies (eV) of the two lowest electron states in qstates.dat whose
# wavefunction peaks at or beyond XMIN (Angstrom): the subbands of a channel that starts there.
channel_subbands() {
  awk -F'\t' -v xmin="$1" 'NR == 1 { for (k = 2; k <= NF && k <= 41; ++k) E[k] = $k; n = k - 1 }
    NR > 1 { for (k = 2; k <= n; ++k) { v = $k < 0 ? -$k : $k; if (v > peak[k]) { peak[k] = v; at[k] = $1 } } }
    END { found = 0
          for (k = 2; k <= n && found < 2; ++k) if (at[k] >= xmin) { printf "%s ", E[k]; ++found }
          print "" }' "$out/qstates.dat"
}

# ambacher_ns X D PHIB: "sigma ns" in cm^-2 for Al(X)Ga(1-X)N of D Angstrom on GaN under a surface
# barrier of PHIB eV: the polarization sheet charge at the interface, from the library's laws (GaN
# substrate: a = 3.189 A, Psp = -0.029 C/m^2; the channel carries none, so sigma = -P(AlGaN)), and the
# charge-control estimate of Ambacher et al., J. Appl. Phys. 87, 334 (2000):
# ns = sigma/q - eps0 eps_b/(q^2 d) (q phi_b + E_F - dEc), E_F = E0 + pi hbar^2 ns/m*,
# E0 = (9 pi hbar q^2 ns / (8 eps0 eps_w sqrt(8 m*)))^(2/3) (a triangular well with one subband).
ambacher_ns() {
  awk -v x="$1" -v dA="$2" -v phib="$3" 'BEGIN {
    q = 1.6e-19; eps0 = 8.85e-12; hbar2 = 1.113025e-68; m0 = 9.1e-31; pi = 3.14159265358979
    d = dA * 1e-10
    a = 3.189 - 0.077 * x; strain = (3.189 - a) / a
    e31 = -0.49 - 0.11 * x; e33 = 0.73 + 0.73 * x; c13 = 103 + 5 * x; c33 = 405 - 32 * x
    P = 2 * strain * (e31 - e33 * c13 / c33) + (-0.029 - 0.052 * x) - (-0.029)
    sigma = -P                                       # C/m^2
    dEc = 1.22051 * x + 0.7 * x * x                  # eV, AlGaN above GaN
    epsb = 9.5 - 0.5 * x; epsw = 9.5; m = 0.2 * m0   # barrier and channel
    lo = 0; hi = sigma / q
    for (k = 0; k < 200; k++) {                      # bisection on ns (m^-2)
      ns = (lo + hi) / 2
      E0 = exp(2 / 3 * log(9 * pi * sqrt(hbar2) * q * q * ns / (8 * eps0 * epsw * sqrt(8 * m)))) / q
      EF = E0 + pi * hbar2 * ns / m / q
      if (sigma / q - eps0 * epsb / (q * d) * (phib + EF - dEc) > ns) lo = ns; else hi = ns
    }
    printf "%.6g %.6g\n", sigma / q * 1e-4, ns * 1e-4
  }'
}

# figure LABEL VALUE UNIT: one key figure, printed with four significant digits.
figure() {
  awk -v label="$1" -v value="$2" -v unit="${3:-}" 'BEGIN { printf "  %-44s %12.4g %s\n", label, value, unit }'
}

# check LABEL VALUE EXPECTED TOLERANCE [UNIT]: VALUE against the independently worked-out EXPECTED.
# TOLERANCE is absolute, or relative when it ends in "%".
check() {
  local verdict
  verdict=$(awk -v label="$1" -v value="$2" -v expected="$3" -v tolerance="$4" -v unit="${5:-}" 'BEGIN {
    difference = value - expected
    if (tolerance ~ /%$/) {
      limit = substr(tolerance, 1, length(tolerance) - 1) / 100 * (expected < 0 ? -expected : expected)
    } else {
      limit = tolerance + 0
    }
    ok = (difference <= limit && -difference <= limit)
    printf "  %-44s %12.6g %s  expected %.6g, tolerance %s: %s\n", label, value, unit, expected, tolerance,
           ok ? "ok" : "FAILED"
    exit ok ? 0 : 1
  }') || failures=$((failures + 1))
  echo "$verdict"
}

# check_range LABEL VALUE LOW HIGH TOLERANCE [UNIT]: VALUE within [LOW - TOLERANCE, HIGH + TOLERANCE].
check_range() {
  local verdict
  verdict=$(awk -v label="$1" -v value="$2" -v low="$3" -v high="$4" -v tolerance="$5" -v unit="${6:-}" 'BEGIN {
    ok = (value >= low - tolerance && value <= high + tolerance)
    printf "  %-44s %12.6g %s  expected %.6g to %.6g, tolerance %s: %s\n", label, value, unit, low, high,
           tolerance, ok ? "ok" : "FAILED"
    exit ok ? 0 : 1
  }') || failures=$((failures + 1))
  echo "$verdict"
}

example_finish() {
  echo
  if [ "$failures" -gt 0 ]; then
    echo "$name: $failures check(s) FAILED"
    exit 1
  fi
  echo "$name: all checks passed; band profile (x, Ec, Ev, Ef, n, p per grid point) in $out/bands.txt"
}
