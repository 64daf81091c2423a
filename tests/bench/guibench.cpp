// zento-guibench: the edit view on a big data file, offscreen. Prints "clave valor" lines for
// bench.py.
//   zento-guibench medir ARCHIVO [VECES]   in one run: setPlainText alone against the whole
//       "&Generar Datos para WinBUGS" command (best of VECES, taken in turns), the data dialog's
//       scan, and scrolling and typing in the view that holds the text
//   zento-guibench memoria ARCHIVO         the command alone, once: its peak memory
#include "dialogs/cargardatos.h"
#include "dialogs/controlids.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/textcodec.h"
#include "winbugs/rectangulardata.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

using namespace zento;
using Clock = std::chrono::steady_clock;

namespace {

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Print(const char* key, double value) {
    std::printf("%s %.3f\n", key, value);
    std::fflush(stdout);
}

// A field of /proc/self/status in KiB (VmHWM, VmRSS), 0 where there is none.
long StatusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == field + ":" && status >> value)
            return value;
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

DataSelection WholeFile(const std::string& path) {
    const auto counts = ScanDataFile(path);
    if (!counts)
        qFatal("%s", DescribeDataError(counts.error()).c_str());
    return {path, counts->K, counts->N, counts->K, counts->N};
}

// Shows widget at a usual window size and waits until it can be painted.
void ShowAndSettle(QWidget& widget) {
    widget.resize(900, 700);
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget))
        qFatal("the window never showed");
    QCoreApplication::processEvents();
}

// Counts the paint events of a widget, so that "painted" means the event really came.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    int paints = 0;

    // Handles what is pending and returns once the widget has painted again.
    void waitForPaint() {
        const int before = paints;
        QCoreApplication::processEvents();
        if (paints == before)
            m_widget->repaint();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QWidget* m_widget;
};

// A view of a document whose data dialog picks path and is accepted as the scan filled it.
struct GeneratingView {
    CZENTODoc document;
    CZENTOView view;
    PaintCounter painted{view.viewport()};
    double dialogMs = 0;

    explicit GeneratingView(const QString& path) {
        view.attachDocument(&document);
        view.setSelectionRunner([this, path](SelectionDialog& dialog) {
            const auto start = Clock::now();
            dialog.setFilePicker([path](QWidget*) { return std::optional<QString>(path); });
            dialog.OnIncluirDatos();
            dialog.accept();
            dialogMs = MsSince(start);
        });
        ShowAndSettle(view);
    }

    // The command until the view has painted its new text; returns the time in ms.
    double generate() {
        const auto start = Clock::now();
        view.OnGenerarDatos();
        painted.waitForPaint();
        return MsSince(start);
    }
};

// Ticks of a 1 ms timer on the user-interface thread: the longest time between two is the
// longest the event loop went without turning.
class LoopWatch : public QObject {
public:
    LoopWatch() {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_last = Clock::now();
        m_timer.start(1);
    }
    std::function<void()> onTick;
    int ticks = 0;
    double longestGapMs() {
        tick();
        return m_longest;
    }

private:
    void tick() {
        m_longest = std::max(m_longest, MsSince(m_last));
        m_last = Clock::now();
        ++ticks;
        if (onTick)
            onTick();
    }
    QTimer m_timer;
    Clock::time_point m_last;
    double m_longest = 0;
};

// The data dialog includes path; pause is a wait added at every progress report, as a slow disk
// would. Prints the scan's time, its progress reports, the progress dialog's showing and the
// event loop's longest pause.
void MeasureScan(const char* prefix, const QString& path, const std::string& n,
                 std::chrono::milliseconds pause) {
    CCargarDatos dialog;
    dialog.setFilePicker([path](QWidget*) { return std::optional<QString>(path); });
    int reports = 0;
    dialog.setScanner([&](const std::string& file, const ScanProgress& progress) {
        return ScanDataFile(file, [&](std::uint64_t done, std::uint64_t total) {
            ++reports;
            std::this_thread::sleep_for(pause);
            return progress(done, total);
        });
    });
    ShowAndSettle(dialog);
    LoopWatch watch;
    int shownValue = -1;
    watch.onTick = [&] {
        if (const auto* shown = dialog.findChild<QProgressDialog*>(); shown && shown->isVisible())
            shownValue = std::max(shownValue, shown->value());
    };
    const auto start = Clock::now();
    dialog.OnIncluirDatos();
    const double ms = MsSince(start);
    const std::string key = prefix;
    Print((key + "_ms").c_str(), ms);
    Print((key + "_avisos").c_str(), reports);
    Print((key + "_vueltas").c_str(), watch.ticks);
    Print((key + "_pausa_max_ms").c_str(), watch.longestGapMs());
    Print((key + "_dialogo_progreso").c_str(), shownValue); // -1: never shown; else up to 1000
    Print((key + "_n_correcto").c_str(), dialog.box(IDC_DATOS_N)->text().toStdString() == n);
    dialog.reject();
}

// Best and worst time of action followed by the paint it causes, over some rounds; setUp runs
// before each round, untimed.
void MeasureAction(const char* key, GeneratingView& g, const std::function<void()>& setUp,
                   const std::function<void()>& action) {
    double best = 1e300, worst = 0;
    for (int round = 0; round < 5; ++round) {
        setUp();
        g.painted.waitForPaint();
        const auto start = Clock::now();
        action();
        g.painted.waitForPaint();
        const double ms = MsSince(start);
        best = std::min(best, ms);
        worst = std::max(worst, ms);
    }
    Print((std::string(key) + "_min_ms").c_str(), best);
    Print((std::string(key) + "_max_ms").c_str(), worst);
}

void MeasureResponsiveness(GeneratingView& g) {
    QScrollBar* bar = g.view.verticalScrollBar();
    auto toTop = [&] {
        g.view.moveCursor(QTextCursor::Start);
        bar->setValue(0);
    };
    MeasureAction("barra_al_final", g, toTop, [&] { bar->setValue(bar->maximum()); });
    MeasureAction("ctrl_fin", g, toTop,
                  [&] { QTest::keyClick(&g.view, Qt::Key_End, Qt::ControlModifier); });
    MeasureAction("av_pag", g, toTop, [&] { QTest::keyClick(&g.view, Qt::Key_PageDown); });
    MeasureAction("tecla_al_principio", g, toTop, [&] { QTest::keyClick(&g.view, Qt::Key_X); });
    MeasureAction(
        "tecla_al_final", g, [&] { g.view.moveCursor(QTextCursor::End); },
        [&] { QTest::keyClick(&g.view, Qt::Key_X); });
    // Not a goal, but worth knowing: a new width makes the control lay out every line again.
    const int width = g.view.width();
    bool wider = false;
    MeasureAction(
        "ancho", g, [] {},
        [&] {
            wider = !wider;
            g.view.resize(width + (wider ? 40 : 0), g.view.height());
        });
}

int Measure(const QString& path, int runs) {
    const DataSelection selection = WholeFile(path.toStdString());
    auto bytes = BuildRectangularData(selection);
    if (!bytes)
        qFatal("%s", DescribeDataError(bytes.error()).c_str());
    const QByteArray expected = QByteArray::fromStdString(*bytes);
    const QString text = decodeText(expected).text;
    Print("texto_bytes", double(expected.size()));

    double setPlainTextMs = 1e300, setAndPaintMs = 1e300, generateMs = 1e300;
    double fromAcceptMs = 1e300, pauseMs = 1e300;
    int blocks = 0;
    std::unique_ptr<GeneratingView> last;
    for (int run = 0; run < runs; ++run) {
        {
            QPlainTextEdit edit;
            PaintCounter painted(edit.viewport());
            ShowAndSettle(edit);
            const auto start = Clock::now();
            edit.setPlainText(text);
            setPlainTextMs = std::min(setPlainTextMs, MsSince(start));
            painted.waitForPaint();
            setAndPaintMs = std::min(setAndPaintMs, MsSince(start));
            blocks = edit.document()->blockCount();
        }
        last.reset(); // one big document at a time
        last = std::make_unique<GeneratingView>(path);
        LoopWatch watch;
        const double ms = last->generate();
        generateMs = std::min(generateMs, ms);
        pauseMs = std::min(pauseMs, watch.longestGapMs());
        fromAcceptMs = std::min(fromAcceptMs, ms - last->dialogMs);
        if (last->view.document()->blockCount() != blocks)
            qFatal("the view holds %d blocks, not %d", last->view.document()->blockCount(), blocks);
    }
    Print("veces", runs);
    Print("bloques", blocks);
    Print("setplaintext_ms", setPlainTextMs);
    Print("setplaintext_pintado_ms", setAndPaintMs);
    Print("generar_ms", generateMs);
    Print("generar_desde_aceptar_ms", fromAcceptMs);
    Print("generar_pausa_max_ms", pauseMs); // the event loop's longest wait during (b)
    Print("proporcion", generateMs / setPlainTextMs);
    Print("bytes_identicos", last->view.textBytes() == expected);

    MeasureResponsiveness(*last);
    last.reset();
    const std::string n = std::to_string(selection.N);
    MeasureScan("escaneo", path, n, std::chrono::milliseconds(0));
    MeasureScan("escaneo_lento", path, n, std::chrono::milliseconds(60));
    return 0;
}

int MeasureMemory(const QString& path) {
    GeneratingView g(path);
    QCoreApplication::processEvents();
    const long base = StatusKiB("VmRSS");
    const double ms = g.generate();
    const long peak = StatusKiB("VmHWM");
    Print("generar_ms", ms);
    Print("texto_bytes", double(g.view.textBytes().size()));
    Print("base_kib", double(base));
    Print("pico_kib", double(peak));
    // What a window of another width then holds: the control gives every line a layout.
    g.view.resize(g.view.width() + 40, g.view.height());
    g.painted.waitForPaint();
    Print("tras_cambiar_ancho_kib", double(StatusKiB("VmRSS")));
    return 0;
}

int Usage() {
    std::fputs("Uso: zento-guibench medir ARCHIVO [VECES]\n"
               "     zento-guibench memoria ARCHIVO\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return Usage();
    const QString path = args[2];
    if (args[1] == QLatin1String("medir")) {
        const int runs = args.size() > 3 ? args[3].toInt() : 3;
        return runs > 0 ? Measure(path, runs) : Usage();
    }
    if (args[1] == QLatin1String("memoria") && args.size() == 3)
        return MeasureMemory(path);
    return Usage();
}
