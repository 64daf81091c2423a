#!/bin/sh
# The manual's pictures of the results and comparison windows, taken from the real program under
# Xvfb: the nine links compared on examples/beetles.txt with zento-cli's defaults (seed 1), then
# "zento CARPETA" on the comparison's folder and on the probit link's folder, the window tiled
# over the whole area from the Ventana menu. Needs jags, xvfb, xdotool and imagemagick
# (tools/deps.sh jags xvfb xdotool imagemagick). Usage: tools/capturas.sh [BUILD_DIR]
set -eu
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/src/cli/zento-cli" comparar examples/beetles.txt --semilla 1 \
    --directorio "$work/escarabajos" >/dev/null

# shot FOLDER PICTURE: the main window showing FOLDER in its one window, tiled.
shot() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    HOME="$work" xvfb-run -a -s "-screen 0 1100x860x24" sh -c '
        "$0" "$1" & program=$!
        window=$(xdotool search --sync --onlyvisible --name "^ZENTO" | head -n 1)
        xdotool windowmove --sync "$window" 0 0 windowsize --sync "$window" 1100 860
        sleep 3
        xdotool windowfocus --sync "$window" key --delay 300 alt+t m
        sleep 3
        import -window "$window" "$2"
        kill "$program"' "$build/src/app/zento" "$1" "$work/shot.png"
    # Fewer than 256 colours: a palette keeps the picture small and loses nothing visible.
    convert "$work/shot.png" -strip PNG8:"$2"
}
shot "$work/escarabajos" manual/img/comparacion.png
shot "$work/escarabajos/probit" manual/img/resultados.png
