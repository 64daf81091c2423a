#!/usr/bin/env python3
"""make bench: zento-cli and the in-memory text against cat and wc -w on the same files, and
the edit view against setPlainText, and zento-cli comparar with JAGS.

Usage: bench.py BUILD_DIR [--veces N] [--humo]

Generates the data files once into BUILD_DIR/bench-data (1,000,000 and 100,000 cases of ten
columns, LF line ends), then times every command in the same run: the best of N runs (at least
5) after one warm-up run, with its ratio to `wc -w` and to `cat`, and the peak resident memory of
the process (by /usr/bin/time when there is one). When the build has zento-guibench, the edit
view follows on the big file, offscreen: the best of 3 runs of the data command against
setPlainText alone, the command's peak memory in a process of its own, the data dialog's scan
and scrolling and typing. --humo runs everything once on small files, to check that the
benchmark works. Standard library only.
"""

import argparse
import os
import platform
import shutil
import subprocess
import sys
import tempfile
import time

BIG_CASES = 1_000_000
SMALL_CASES = 100_000
COLUMNS = 10


def grouped(n):
    return f"{n:,}".replace(",", " ")


def machine():
    model = "?"
    try:
        with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as info:
            for line in info:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    system = platform.system()
    try:
        with open("/etc/os-release", encoding="utf-8") as release:
            for line in release:
                if line.startswith("PRETTY_NAME="):
                    system = line.split("=", 1)[1].strip().strip('"')
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} núcleos, {system}, Linux {platform.release()}"


TIME = "/usr/bin/time"


def run_once(command):
    """Wall time of one run of command, in seconds."""
    start = time.perf_counter()
    process = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if process.returncode != 0:
        sys.exit(f"bench: {' '.join(command)} terminó con {process.returncode}: "
                 f"{process.stderr.decode(errors='replace')}")
    return elapsed


def peak_memory(command):
    """Peak resident memory of command in KiB. Measured by /usr/bin/time, which is small: a
    child's peak counts the memory of the process that started it, and Python's is large."""
    if os.access(TIME, os.X_OK):
        process = subprocess.run([TIME, "-f", "%M", *command], stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE, check=True)
        return int(process.stderr.decode().split()[-1])
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    return os.wait4(process.pid, 0)[2].ru_maxrss


def best_of(command, runs, before=None):
    """Best wall time (ms) over runs runs after a warm-up, and the peak memory (KiB)."""
    best = float("inf")
    for attempt in range(runs + 1):
        if before:
            before()
        elapsed = run_once(command)
        if attempt > 0:
            best = min(best, elapsed * 1000)
    if before:
        before()
    return best, peak_memory(command)


def in_memory_text(tool, path, runs):
    """BuildRectangularData for the whole file, timed inside zento-benchtool."""
    output = subprocess.run([tool, "texto", path, str(runs)], check=True, capture_output=True,
                            text=True).stdout.split()
    return float(output[0]), int(output[2]), int(output[1])


def measure(build, path, cases, runs, scratch):
    cli = os.path.join(build, "src", "cli", "zento-cli")
    tool = os.path.join(build, "tests", "bench", "zento-benchtool")
    output = os.path.join(scratch, "salida.txt")

    def remove_output():
        if os.path.exists(output):
            os.remove(output)

    rows = [
        ("cat ARCHIVO > /dev/null", ["cat", path], None),
        ("wc -w ARCHIVO", ["wc", "-w", path], None),
        ("zento-cli escanear", [cli, "escanear", path], None),
        ("zento-cli datos --salida NUEVO", [cli, "datos", path, "--salida", output],
         remove_output),
        # The warm-up run leaves the file that the timed runs then replace.
        ("zento-cli datos --salida EXISTENTE", [cli, "datos", path, "--salida", output], None),
        ("zento-cli datos --salida /dev/null", [cli, "datos", path, "--salida", os.devnull],
         None),
        ("zento-cli datos > /dev/null", [cli, "datos", path], None),
        ("zento-cli modelo logit", [cli, "modelo", "logit", path], None),
        ("zento-cli modelo logit --variables --casos",
         [cli, "modelo", "logit", path, "--variables", str(COLUMNS), "--casos", str(cases)],
         None),
    ]
    results = {}
    for label, command, before in rows:
        results[label] = best_of(command, runs, before)
    remove_output()
    ms, peak, size = in_memory_text(tool, path, runs)
    results["BuildRectangularData (en memoria)"] = (ms, peak)
    return results, size


def table(title, results, text_bytes):
    wc = results["wc -w ARCHIVO"][0]
    cat = results["cat ARCHIVO > /dev/null"][0]
    lines = [f"### {title}", "",
             "| Orden | Tiempo (ms) | × wc -w | × cat | Memoria máx. (MiB) |",
             "|---|---:|---:|---:|---:|"]
    for label, (ms, peak) in results.items():
        lines.append(f"| {label} | {ms:.1f} | {ms / wc:.3f} | {ms / cat:.1f} | "
                     f"{peak / 1024:.1f} |")
    lines.append("")
    lines.append(f"Texto rectangular: {text_bytes / 1e6:.1f} MB.")
    return "\n".join(lines)


def goals(big, small, big_cases, small_cases):
    wc = big["wc -w ARCHIVO"][0]
    checks = []

    def ratio_goal(label, row, goal):
        ratio = big[row][0] / wc
        verdict = "cumple" if ratio <= goal else "NO cumple"
        checks.append(f"- {label}: {ratio:.3f} × wc -w (meta ≤ {goal}): {verdict}.")

    ratio_goal("Escanear", "zento-cli escanear", 0.06)
    ratio_goal("Datos rectangulares a un archivo nuevo", "zento-cli datos --salida NUEVO", 0.12)
    ratio_goal("Datos rectangulares sustituyendo un archivo", "zento-cli datos --salida EXISTENTE",
               0.20)
    ratio_goal("Datos rectangulares a /dev/null", "zento-cli datos --salida /dev/null", 0.12)
    counted = big["zento-cli modelo logit --variables --casos"][0]
    checks.append(f"- Modelo con los dos recuentos: {counted:.1f} ms (meta < 5 ms): "
                  f"{'cumple' if counted < 5 else 'NO cumple'}.")
    for row in ("zento-cli datos --salida NUEVO", "zento-cli datos --salida /dev/null",
                "zento-cli datos > /dev/null"):
        grows = big[row][1] - small[row][1]
        checks.append(f"- Memoria de «{row}»: {small[row][1] / 1024:.1f} MiB con "
                      f"{grouped(small_cases)} casos, {big[row][1] / 1024:.1f} MiB con "
                      f"{grouped(big_cases)}: "
                      f"{'no crece' if grows < 2048 else 'CRECE'} con el archivo.")
    return "\n".join(checks)


GUI_RUNS = 3  # each run of the big file takes seconds


def gui_bench(program, path, runs):
    """zento-guibench's "clave valor" lines for measuring path, then its memory mode."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    def values(*args):
        output = subprocess.run([program, *args], check=True, capture_output=True, text=True,
                                env=env).stdout
        return {key: float(value) for key, value in
                (line.split() for line in output.splitlines() if line.strip())}

    measured = values("medir", path, str(runs))
    memory = values("memoria", path)
    return measured, memory


def gui_table(title, g, memory):
    mib = 1024 * 1024
    text = memory["texto_bytes"]
    peak = memory["pico_kib"] * 1024
    net = peak - memory["base_kib"] * 1024
    ratio = g["generar_ms"] / g["setplaintext_ms"]

    def best_worst(key):
        return f"{g[key + '_min_ms']:.1f} / {g[key + '_max_ms']:.1f}"

    def fast(key):
        return "cumple" if g[key + "_max_ms"] < 100 else "NO cumple"

    lines = [f"### {title}", "",
             "| Medida | Tiempo (ms) | Meta | Resultado |", "|---|---:|---|---|",
             f"| (a) `setPlainText` solo (texto ya convertido, control nuevo) | "
             f"{g['setplaintext_ms']:.1f} | | |",
             f"| (a) y su primera pintura | {g['setplaintext_pintado_ms']:.1f} | | |",
             f"| (b) «Generar Datos para WinBUGS» entero, hasta la vista pintada | "
             f"{g['generar_ms']:.1f} | ≤ 1.2 × (a) | {ratio:.3f} × (a): "
             f"{'cumple' if ratio <= 1.2 else 'NO cumple'} |",
             f"| (b) desde «Aceptar» (sin el diálogo y su escaneo) | "
             f"{g['generar_desde_aceptar_ms']:.1f} | | "
             f"{g['generar_desde_aceptar_ms'] / g['setplaintext_ms']:.3f} × (a) |",
             f"| Pausa más larga del bucle de eventos durante (b) | "
             f"{g['generar_pausa_max_ms']:.1f} | | el control toma el texto de una vez, "
             f"como con `setPlainText` |",
             f"| Memoria máx. de (b), en un proceso aparte: {peak / mib:.1f} MiB | | "
             f"≤ 8.5 × texto | {peak / text:.2f} × texto (neto, sin lo que ocupaba el "
             f"programa antes: {net / mib:.1f} MiB, {net / text:.2f} ×): "
             f"{'cumple' if peak / text <= 8.5 else 'NO cumple'} |",
             f"| Escaneo del diálogo de datos | {g['escaneo_ms']:.1f} | progreso, bucle de "
             f"eventos vivo | {g['escaneo_avisos']:.0f} avisos de progreso; el bucle giró "
             f"{g['escaneo_vueltas']:.0f} veces, pausa máx. {g['escaneo_pausa_max_ms']:.1f} ms |",
             f"| El mismo escaneo con un disco lento simulado (60 ms por aviso) | "
             f"{g['escaneo_lento_ms']:.1f} | diálogo de progreso | "
             + (f"visible, llegó al {g['escaneo_lento_dialogo_progreso'] / 10:.0f} %"
                if g["escaneo_lento_dialogo_progreso"] >= 0 else "no se vio")
             + f"; pausa máx. del bucle {g['escaneo_lento_pausa_max_ms']:.1f} ms |"]
    for key, label in (("barra_al_final", "Barra de desplazamiento al final"),
                       ("ctrl_fin", "Ctrl+Fin"), ("av_pag", "Av Pág"),
                       ("tecla_al_principio", "Escribir un carácter al principio"),
                       ("tecla_al_final", "Escribir un carácter al final")):
        lines.append(f"| {label} (mejor / peor de 5, con la pintura) | {best_worst(key)} | "
                     f"< 100 | {fast(key)} |")
    lines.append(f"| Cambiar el ancho de la ventana (mejor / peor de 5) | {best_worst('ancho')} | "
                 f"| Qt vuelve a distribuir todas las líneas; después el proceso ocupa "
                 f"{memory['tras_cambiar_ancho_kib'] / 1024:.1f} MiB |")
    lines.append("")
    lines.append(f"Texto: {text / 1e6:.1f} MB, {grouped(int(g['bloques']))} líneas; mejor de "
                 f"{g['veces']:.0f} ejecuciones de (a) y (b), alternadas; la vista tiene todas "
                 f"las líneas y los bytes exactos: {'sí' if g['bytes_identicos'] else 'NO'}.")
    return "\n".join(lines)


EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")


def fit_bench(cli, scratch, humo):
    """comparar with JAGS on 2 processes: the wall time of all nine links, and ZENTO's own share
    of it (reading CODA, summaries, likelihoods, PSIS). comparar reads each link while JAGS runs
    the others, so its share of the wall time is what it adds before the first JAGS process
    starts and after the last one ends, timed by a wrapper around jags; the CPU that resumir
    takes over the nine folders says how much work that is. None without jags."""
    if shutil.which("jags") is None:
        return None
    draws = ["--calentamiento", "20", "--iteraciones", "20"] if humo else ["--iteraciones", "2000"]
    log = os.path.join(scratch, "jags-tiempos")
    wrapper = os.path.join(scratch, "jags-cronometrado")
    with open(wrapper, "w", encoding="utf-8") as script:
        script.write(f"#!/bin/sh\ndate +%s.%N >> '{log}.inicio'\njags \"$@\"\nestado=$?\n"
                     f"date +%s.%N >> '{log}.fin'\nexit $estado\n")
    os.chmod(wrapper, 0o755)
    result = {}
    for name in ("birthwt.txt", "vaso.txt"):
        folder = os.path.join(scratch, "comparar-" + name)
        for suffix in (".inicio", ".fin"):
            if os.path.exists(log + suffix):
                os.remove(log + suffix)
        start = time.time()
        result[name] = run_once([cli, "comparar", os.path.join(EXAMPLES, name), "--procesos", "2",
                                 "--directorio", folder, "--jags", wrapper, *draws])
        end = start + result[name]
        if name == "birthwt.txt":
            with open(log + ".inicio", encoding="utf-8") as starts, \
                    open(log + ".fin", encoding="utf-8") as ends:
                first = min(float(line) for line in starts)
                last = max(float(line) for line in ends)
            result["zento"] = max(first - start, 0) + max(end - last, 0)
            cpu = 0.0
            for link in sorted(os.listdir(folder)):
                before = os.times()
                run_once([cli, "resumir", os.path.join(folder, link)])
                after = os.times()
                cpu += (after.children_user - before.children_user +
                        after.children_system - before.children_system)
            result["cpu"] = cpu
    return result


def fit_table(fit, humo):
    draws = "3 × 20 tras 20" if humo else "3 × 2000 tras 1000"
    share = fit["zento"] / fit["birthwt.txt"]
    return "\n".join([
        f"comparar con JAGS, los nueve enlaces, {draws} iteraciones, 2 procesos:",
        f"  birthwt.txt: {fit['birthwt.txt']:.1f} s; la parte de ZENTO (leer CODA, resúmenes, "
        f"verosimilitudes, PSIS) añade {fit['zento']:.2f} s, {100 * share:.1f} % "
        f"(objetivo < 5 %: {'sí' if share < 0.05 else 'NO'}); el resto lo hace mientras JAGS "
        f"ajusta otros enlaces: en total, {fit['cpu']:.2f} s de CPU",
        f"  vaso.txt: {fit['vaso.txt']:.1f} s (objetivo < 60 s: "
        f"{'sí' if fit['vaso.txt'] < 60 else 'NO'})"])


def ensure_file(tool, path, cases):
    if not os.path.exists(path):
        print(f"Generando {path} ({grouped(cases)} casos)...", file=sys.stderr)
        subprocess.run([tool, "generar", path, str(cases)], check=True)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--veces", type=int, default=5)
    parser.add_argument("--humo", action="store_true")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    tool = os.path.join(build, "tests", "bench", "zento-benchtool")
    runs = 1 if args.humo else max(args.veces, 5)

    with tempfile.TemporaryDirectory(prefix="zento-bench-") as scratch:
        data = scratch if args.humo else os.path.join(build, "bench-data")
        os.makedirs(data, exist_ok=True)
        big_cases, small_cases = (2000, 200) if args.humo else (BIG_CASES, SMALL_CASES)
        big_path = ensure_file(tool, os.path.join(data, f"casos-{big_cases}.txt"), big_cases)
        small_path = ensure_file(tool, os.path.join(data, f"casos-{small_cases}.txt"),
                                 small_cases)
        load_before = os.getloadavg()[0]
        big, big_text = measure(build, big_path, big_cases, runs, scratch)
        small, small_text = measure(build, small_path, small_cases, runs, scratch)
        gui_program = os.path.join(build, "tests", "bench", "zento-guibench")
        gui = None
        if os.access(gui_program, os.X_OK):
            gui = gui_bench(gui_program, big_path, 1 if args.humo else GUI_RUNS)
        fit = fit_bench(os.path.join(build, "src", "cli", "zento-cli"), scratch, args.humo)
        load_after = os.getloadavg()[0]
        big_size, small_size = os.path.getsize(big_path), os.path.getsize(small_path)

    print(f"Máquina: {machine()}.")
    print(f"Mejor de {runs} ejecuciones tras una de calentamiento; caché de páginas caliente; "
          f"carga media {load_before:.2f} al empezar y {load_after:.2f} al terminar.")
    print()
    print(table(f"{grouped(big_cases)} casos × {COLUMNS} columnas ({big_size / 1e6:.1f} MB)",
                big, big_text))
    print()
    print(table(f"{grouped(small_cases)} casos × {COLUMNS} columnas ({small_size / 1e6:.1f} MB)",
                small, small_text))
    print()
    print(goals(big, small, big_cases, small_cases))
    if gui:
        print()
        print(gui_table(f"Vista de edición fuera de pantalla, {grouped(big_cases)} casos", *gui))
    if fit:
        print()
        print(fit_table(fit, args.humo))
    # The load when it starts is other work; by the end it includes the benchmark itself.
    if load_before > 1.0:
        print()
        print("Aviso: la máquina estaba cargada; las proporciones pueden variar. Repita "
              "`make bench` cuando esté libre.")


if __name__ == "__main__":
    main()
