// The analysis windows and what they draw: traces thinned per pixel column and the density; the
// flags of the summary model; the plots' colours; saving the table, plots and report; the
// findings window and the line it opens; exporting the very files zento-cli jags writes.
#include "docview/documentmanager.h"
#include "results/analysis.h"
#include "results/checkwindow.h"
#include "results/fitprogress.h"
#include "results/fitrun.h"
#include "results/fitsettings.h"
#include "results/jagsrunner.h"
#include "results/plotdata.h"
#include "results/plots.h"
#include "results/resultsmodels.h"
#include "results/resultswindow.h"
#include "winbugs/jagsexport.h"

#include "../common/tempdir.h"

#include <QCategoryAxis>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <numeric>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

namespace {

// Three chains of a parameter that wanders differently in each, and a constant one.
std::shared_ptr<FitResults> sampleResults(std::int64_t iterations = 3000) {
    auto results = std::make_shared<FitResults>();
    fit::Draws& d = results->draws;
    d.names = {"beta[1]", "beta[2]"};
    d.chains = 3;
    d.iterations = iterations;
    d.firstIteration = 1001;
    for (std::size_t p = 0; p < 2; ++p) {
        for (std::int64_t c = 0; c < d.chains; ++c) {
            for (std::int64_t s = 0; s < iterations; ++s)
                d.values.push_back(p == 1 ? 2.0
                                          : std::sin(double(s) * 0.01 * double(c + 1)) + double(c));
        }
    }
    for (std::size_t p = 0; p < 2; ++p)
        results->model.parameters.push_back(
            {d.names[p], p == 0 ? "(ordenada)" : "edad", fit::Summarise(d.parameter(p))});
    results->folder = "/tmp/ajuste";
    results->model.link = Link::Logit;
    return results;
}

QSet<QRgb> colours(const QImage& image) {
    QSet<QRgb> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found.insert(image.pixel(x, y) & 0xffffff);
    return found;
}

// zento-cli with these arguments; its standard output.
std::string Cli(const std::string& arguments) {
    TempDir out;
    const std::string command =
        std::string(ZENTO_CLI_PATH) + " " + arguments + " > " + out.File("salida");
    return std::system(command.c_str()) == 0 ? ReadFile(out.File("salida")) : "(falló)";
}

// A table model's header and rows as CSV, each cell as the view shows it.
std::string ShownAsCsv(const QAbstractItemModel& model) {
    std::string text;
    for (int r = -1; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) {
            const QVariant cell =
                r < 0 ? model.headerData(c, Qt::Horizontal) : model.data(model.index(r, c));
            text += (c ? "," : "") + cell.toString().toStdString();
        }
        text += "\n";
    }
    return text;
}

constexpr const char* kVaso = ZENTO_EXAMPLES_DIR "/vaso.txt";
// Short chains with a seed, in the command line's words and as the dialog's settings.
constexpr const char* kShort = " --cadenas 2 --calentamiento 100 --iteraciones 150 --semilla 5";
FitSettings shortSettings(FitPurpose purpose, std::vector<Link> links) {
    FitSettings settings = defaultFitSettings(purpose);
    settings.links = std::move(links);
    settings.chains = 2;
    settings.burnIn = 100;
    settings.iterations = 150;
    settings.seed = 5;
    return settings;
}

template <class Window> Window* lastWindow(const QMdiArea& area) {
    const QList<QMdiSubWindow*> windows = area.subWindowList();
    return windows.isEmpty() ? nullptr : qobject_cast<Window*>(windows.last()->widget());
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each column keeps its extremes, so the band drawn is the whole trace's; short traces stay.
    void decimation() {
        std::vector<double> values(10000);
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = double((i * 7919) % 1000);
        values[4321] = 5000;
        values[8765] = -5000;
        const std::vector<PlotPoint> points = DecimateTrace(values, 1, 1, 100);
        QVERIFY(points.size() <= 200);
        const auto [low, high] = std::ranges::minmax(points, {}, &PlotPoint::y);
        QCOMPARE(low.y, -5000.0);
        QCOMPARE(low.x, 8766.0);
        QCOMPARE(high.x, 4322.0);
        QVERIFY(std::ranges::is_sorted(points, {}, &PlotPoint::x));
        QCOMPARE(DecimateTrace(std::span(values).first(150), 0, 2, 100).size(), std::size_t(150));
    }

    // A density over a normal sample: area 1, peak near the mean, height near 1/sqrt(2 pi).
    void density() {
        std::vector<double> values;
        for (int i = 1; i < 4000; ++i)
            values.push_back(fit::NormalQuantile(i / 4000.0));
        const std::vector<PlotPoint> d = KernelDensity(values);
        double area = 0;
        for (std::size_t i = 1; i < d.size(); ++i)
            area += (d[i].x - d[i - 1].x) * (d[i].y + d[i - 1].y) / 2;
        QVERIFY(std::abs(area - 1) < 0.01);
        const PlotPoint peak = *std::ranges::max_element(d, {}, &PlotPoint::y);
        QVERIFY(std::abs(peak.x) < 0.05);
        QVERIFY(std::abs(peak.y - 0.3989) < 0.02);
        QVERIFY(KernelDensity(std::vector<double>{1.0}).empty());
        QCOMPARE(KernelDensity(std::vector<double>(50, 3.0)).size(), std::size_t(256));
    }

    // R-hat above 1.01 and ESS below 400 (or not estimable) are flagged; the limits are not.
    void summaryFlags() {
        auto results = sampleResults(10);
        const auto at = [&](double rhat, double bulk, std::optional<double> tail) {
            results->model.parameters[0].summary.rhat = rhat;
            results->model.parameters[0].summary.essBulk = bulk;
            results->model.parameters[0].summary.essTail = tail;
            SummaryModel model(results);
            QString flags;
            for (int c : {SummaryModel::Mean, SummaryModel::Rhat, SummaryModel::EssBulk,
                          SummaryModel::EssTail})
                flags += model.data(model.index(0, c), kFlagRole).toBool() ? "x" : ".";
            return flags;
        };
        QCOMPARE(at(1.01, 400, 400), QString("...."));
        QCOMPARE(at(1.0101, 399.9, std::nullopt), QString(".xxx"));
        SummaryModel model(results);
        QCOMPARE(model.data(model.index(0, SummaryModel::EssTail)).toString(), QString("NA"));
        QCOMPARE(model.data(model.index(0, SummaryModel::Rhat), Qt::BackgroundRole).value<QColor>(),
                 flagColour());
        QCOMPARE(model.data(model.index(1, SummaryModel::Name)).toString(), QString("edad"));
    }

    // A trace shows each chain in its own colour; the density is drawn; all from a window.
    void plotsDrawChains() {
        ResultsWindow window(sampleResults());
        QCOMPARE(window.tracePlots().size(), 2);
        const QSet<QRgb> trace = colours(renderPlot(*window.tracePlots()[0], QSize(600, 200)));
        for (int c = 0; c < 3; ++c)
            QVERIFY2(trace.contains(chainColour(c).rgb() & 0xffffff),
                     qPrintable(QString::number(c)));
        QVERIFY(!trace.contains(chainColour(3).rgb() & 0xffffff));
        QVERIFY(colours(renderPlot(*window.densityPlots()[0], QSize(300, 200))).size() > 10);
        QVERIFY(window.windowTitle().startsWith("Resultados - Logit"));
        // However long the chains, a series holds two points per pixel column at most.
        TracePlot* plot = window.tracePlots()[0];
        renderPlot(*plot, QSize(300, 150));
        for (const QAbstractSeries* series : plot->chart()->series())
            QVERIFY(static_cast<const QLineSeries*>(series)->count() <= 600);
    }

    // The CLI's defaults; the seed a whole number, 0 when empty; what cannot run is said.
    void settings() {
        FitSettings compare = defaultFitSettings(FitPurpose::Compare);
        QCOMPARE(compare.links.size(), std::size_t(9));
        QCOMPARE(compare.chains, 3);
        QCOMPARE(compare.burnIn, 1000);
        QCOMPARE(compare.iterations, 1000);
        QCOMPARE(compare.seed, 0u);
        QCOMPARE(parseSeed(""), std::optional<std::uint32_t>(0u));
        QCOMPARE(parseSeed(" 2147483647 "), std::optional<std::uint32_t>(2147483647u));
        for (const char* bad : {"-1", "+3", "2147483648", "1e3", "7a"})
            QVERIFY2(!parseSeed(bad), bad);
        FitSettings fit = defaultFitSettings(FitPurpose::Export);
        QCOMPARE(settingsProblem(fit, FitPurpose::Fit), std::nullopt);
        QVERIFY(settingsProblem(fit, FitPurpose::Export));  // no folder
        QVERIFY(settingsProblem(compare, FitPurpose::Fit)); // one link only
        compare.links.clear();
        QVERIFY(settingsProblem(compare, FitPurpose::Compare));
    }

    // CSV as given, a PNG and a one-file PDF; a failed save leaves the old file.
    void saving() {
        TempDir dir;
        ResultsWindow window(sampleResults(200));
        const QString base = QString::fromStdString(dir.File("r"));
        QCOMPARE(window.saveTo(base + ".csv"), std::nullopt);
        QCOMPARE(ReadFile(dir.File("r.csv")), fit::SummaryCsv(window.results().model));
        QCOMPARE(window.saveTo(base + ".png"), std::nullopt);
        QVERIFY(colours(QImage(base + ".png")).size() > 10);
        QCOMPARE(window.saveTo(base + ".pdf"), std::nullopt);
        QVERIFY(ReadFile(dir.File("r.pdf")).starts_with("%PDF"));
        // A folder in the way of the file: nothing replaced, whoever runs the test.
        std::filesystem::create_directory(dir.File("old.csv"));
        const auto failed = window.saveTo(QString::fromStdString(dir.File("old.csv")));
        QVERIFY(failed && failed->startsWith("No se ha podido guardar"));
        QVERIFY(std::filesystem::is_directory(dir.File("old.csv")));
    }

    // The findings in the checker's words; a double click opens the file at its line.
    void findingsWindow() {
        TempDir dir;
        const std::string path = dir.Write("d.txt", "y\tx\n1\t2\n3\t1,5\n0\t4\n");
        QMdiArea area;
        DocumentManager documents(&area);
        AnalysisManager analysis(&documents);
        CheckWindow* window = analysis.showCheck({path, 2, 3, 2, 3});
        QVERIFY(window);
        const QAbstractItemModel* model = window->table()->model();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->data(model->index(0, 0)).toLongLong(), 3);
        QCOMPARE(model->data(model->index(0, 1)).toString(), QString("1 (y)"));
        QCOMPARE(model->data(model->index(0, 2)).toString(), QString("3"));
        QCOMPARE(model->data(model->index(0, 3)).toString(),
                 QString("la respuesta «3» no es 0 ni 1."));
        QVERIFY(window->totals()->text().contains("valores con coma decimal: 1"));
        QVERIFY(window->totals()->text().contains("Total: 2 problemas"));
        analysis.showDataLine(QString::fromStdString(path), 3);
        QCOMPARE(documents.activeView()->textCursor().selectedText(), QString("3\t1,5"));
        // No findings: a message, no window.
        const std::string clean = dir.Write("c.txt", "y\tx\n1\t2\n0\t4\n");
        QVERIFY(!analysis.showCheck({clean, 2, 2, 2, 2}));
        qDeleteAll(area.window()->findChildren<QMessageBox*>());
    }

    // Exportar writes byte for byte what zento-cli jags writes; misread data writes nothing.
    void exportMatchesCli() {
        TempDir dir;
        const std::string data = ZENTO_EXAMPLES_DIR "/birthwt.txt";
        const std::string cli = std::string(ZENTO_CLI_PATH) + " jags probit " + data +
                                " --variables 3 --casos 189 --cadenas 2 --calentamiento 50"
                                " --iteraciones 70 --directorio " +
                                dir.File("cli") + " > /dev/null";
        QCOMPARE(std::system(cli.c_str()), 0);
        QMdiArea area;
        DocumentManager documents(&area);
        AnalysisManager analysis(&documents);
        FitSettings settings = defaultFitSettings(FitPurpose::Export);
        settings.links = {Link::Probit};
        settings.chains = 2;
        settings.burnIn = 50;
        settings.iterations = 70;
        settings.folder = QString::fromStdString(dir.File("gui"));
        QVERIFY(analysis.exportToJags({data, 6, 189, 3, 189}, settings));
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.File("cli"))) {
            ++files;
            const std::string name = entry.path().filename().string();
            QCOMPARE(ReadFile(dir.File("gui/" + name)), ReadFile(entry.path().string()));
        }
        QCOMPARE(files, 5); // modelo.bug, datos.R, inits1.R, inits2.R, ejecutar.cmd
        const std::string comma = dir.Write("coma.txt", "y\tx\n1\t2,5\n0\t4\n");
        settings.folder = QString::fromStdString(dir.File("coma"));
        QVERIFY(!analysis.exportToJags({comma, 2, 2, 2, 2}, settings));
        QVERIFY(!std::filesystem::exists(dir.File("coma")));
        qDeleteAll(area.window()->findChildren<QMessageBox*>());
    }

    // A fit from the desktop is zento-cli ajustar's: the same draws, and a table that holds
    // resumir's values cell for cell, whether fitted here or opened from the folder.
    void fitMatchesCli() {
        TempDir dir;
        Cli(std::string("ajustar cloglog ") + kVaso + kShort + " --directorio " + dir.File("cli"));
        const std::string resumir = Cli("resumir " + dir.File("cli") + " --formato csv");
        QVERIFY(resumir.starts_with("parametro,"));
        QMdiArea area;
        DocumentManager documents(&area);
        AnalysisManager analysis(&documents);
        QSignalSpy ended(&analysis, &AnalysisManager::fitEnded);
        FitSettings settings = shortSettings(FitPurpose::Fit, {Link::Cloglog});
        settings.folder = QString::fromStdString(dir.File("gui"));
        QVERIFY(analysis.startFit({kVaso, 3, 39, 3, 39}, settings, FitPurpose::Fit));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
        auto* fitted = lastWindow<ResultsWindow>(area);
        QVERIFY(fitted);
        QCOMPARE(fitted->csv(), resumir);
        QCOMPARE(ShownAsCsv(*fitted->model()), resumir);
        QCOMPARE(ReadFile(dir.File("gui/CODAchain2.txt")),
                 ReadFile(dir.File("cli/CODAchain2.txt")));
        QVERIFY(fitted->looLabel()->text().startsWith("LOO: elpd_loo "));
        QVERIFY(!std::filesystem::exists(dir.File("gui/cadena1")));
        const auto opened = analysis.openResultsFolder(QString::fromStdString(dir.File("cli")));
        QCOMPARE(std::get<ReportWindow*>(opened)->csv(), resumir);
        // A bundle JAGS has not run yet is told apart.
        for (const char* coda : {"CODAindex.txt", "CODAchain1.txt", "CODAchain2.txt"})
            std::filesystem::remove(dir.File(std::string("cli/") + coda));
        const auto bundle = analysis.openResultsFolder(QString::fromStdString(dir.File("cli")));
        QVERIFY(std::get<QString>(bundle).contains("«jags ejecutar.cmd»"));
    }

    // Comparing from the desktop or opening comparar's folder gives comparar's table, best
    // first; a double click opens that link's results.
    void compareMatchesCli() {
        TempDir dir;
        const std::string comparar =
            Cli(std::string("comparar ") + kVaso + kShort +
                " --enlaces logit,probit,cloglog --formato csv --directorio " + dir.File("cmp"));
        QVERIFY(comparar.starts_with("enlace,"));
        QMdiArea area;
        DocumentManager documents(&area);
        AnalysisManager analysis(&documents);
        QSignalSpy ended(&analysis, &AnalysisManager::fitEnded);
        const FitSettings settings =
            shortSettings(FitPurpose::Compare, {Link::Logit, Link::Probit, Link::Cloglog});
        FitRun* run = analysis.startFit({kVaso, 3, 39, 3, 39}, settings, FitPurpose::Compare);
        QVERIFY(run);
        const QString scratch = run->scratchPath();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
        auto* compared = lastWindow<ComparisonWindow>(area);
        QVERIFY(compared);
        QCOMPARE(compared->csv(), comparar);
        // Every link named on the plot, best at the top.
        auto* axis =
            qobject_cast<QCategoryAxis*>(compared->plot()->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(axis);
        QStringList top;
        for (int row = 0; row < compared->model()->rowCount(); ++row)
            top.prepend(compared->model()->data(compared->model()->index(row, 0)).toString());
        QCOMPARE(axis->categoriesLabels(), top);
        const auto opened = analysis.openResultsFolder(QString::fromStdString(dir.File("cmp")));
        auto* reopened = qobject_cast<ComparisonWindow*>(std::get<ReportWindow*>(opened));
        QCOMPARE(reopened->csv(), comparar);
        const QString second = reopened->model()->data(reopened->model()->index(1, 0)).toString();
        QVERIFY(comparar.find("\n" + second.toStdString() + ",") != std::string::npos);
        emit reopened->table()->doubleClicked(reopened->model()->index(1, 3));
        auto* results = lastWindow<ResultsWindow>(area);
        QVERIFY(results && results->results().model.link);
        QCOMPARE(GetLinkInfo(*results->results().model.link).key, second.toStdString());
        // The temporary folder lasts as long as the windows that show its results.
        QVERIFY(QDir(scratch).exists());
        QVERIFY(!QDir(scratch + "/cadenas/logit").exists());
        area.closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!QDir(scratch).exists());
    }

    // Cancelling stops every JAGS process and removes every temporary file; JAGS missing is
    // told with how to install it.
    void cancelAndMissingJags() {
        QMdiArea area;
        DocumentManager documents(&area);
        AnalysisManager analysis(&documents);
        QSignalSpy ended(&analysis, &AnalysisManager::fitEnded);
        FitSettings settings = shortSettings(FitPurpose::Fit, {Link::Scobit});
        settings.iterations = 50000000;
        FitRun* run = analysis.startFit({kVaso, 3, 39, 3, 39}, settings, FitPurpose::Fit);
        QVERIFY(run);
        QTRY_COMPARE_WITH_TIMEOUT(run->runner()->running(), 2, 20000);
        QList<qint64> pids;
        for (const QProcess* process : run->runner()->findChildren<QProcess*>())
            pids << process->processId();
        const QString scratch = run->scratchPath();
        QVERIFY(QDir(scratch + "/cadenas/cadena2").exists());
        FitProgressDialog* progress = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            progress = progress ? progress : qobject_cast<FitProgressDialog*>(widget);
        QVERIFY(progress && progress->isVisible());
        progress->cancelButton()->click();
        QCOMPARE(ended.size(), 1);
        for (const qint64 pid : pids)
            QVERIFY(::kill(pid_t(pid), 0) != 0);
        QVERIFY(!QDir(scratch).exists());
        QVERIFY(area.subWindowList().isEmpty());

        qputenv("ZENTO_JAGS", "/no-existe/jags");
        QVERIFY(!analysis.startFit({kVaso, 3, 39, 3, 39}, settings, FitPurpose::Fit));
        qunsetenv("ZENTO_JAGS");
        const QList<QMessageBox*> boxes = area.window()->findChildren<QMessageBox*>();
        QVERIFY(!boxes.isEmpty() && boxes.last()->text().contains("«sudo apt install jags»"));
        qDeleteAll(boxes);
    }

    // Cancelling stops every JAGS process at once (each gone, not left a zombie); a program that
    // is not there and a script JAGS refuses are failures that say so.
    void runnerStopsAndFails() {
        TempDir dir;
        const auto table = ReadChosenTable({ZENTO_EXAMPLES_DIR "/birthwt.txt", 6, 189, 3, 189});
        QVERIFY(table.ok());
        JagsOptions options;
        options.chains = 1;
        options.iterations = 50000000;
        std::vector<JagsJob> jobs;
        for (const char* name : {"a", "b"}) {
            std::filesystem::create_directory(dir.File(name));
            for (const JagsFile& file :
                 BuildJagsFiles(Link::Logit, *table, {"", 6, 189, 3, 189}, options))
                dir.Write(std::string(name) + "/" + file.name, file.text);
            jobs.push_back({QString::fromStdString(dir.File(name)), "ejecutar.cmd", 1, name});
        }
        const auto updates = [](const QByteArray& output) {
            return qint64(output.count("Updating"));
        };
        JagsRunner runner("jags", jobs, 2, updates);
        QSignalSpy finished(&runner, &JagsRunner::finished);
        runner.start();
        QTRY_VERIFY_WITH_TIMEOUT(runner.done(0) > 0 && runner.done(1) > 0, 20000);
        QList<qint64> pids;
        for (const QProcess* process : runner.findChildren<QProcess*>())
            pids << process->processId();
        QCOMPARE(pids.size(), 2);
        runner.cancel();
        QCOMPARE(runner.outcome(), JagsRunner::Outcome::Cancelled);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(runner.running(), 0);
        for (const qint64 pid : pids)
            QVERIFY(::kill(pid_t(pid), 0) != 0);

        JagsRunner missing("/nonexistent/jags", {jobs[0]}, 1, updates);
        missing.start();
        QTRY_VERIFY(missing.outcome() == JagsRunner::Outcome::Failed);
        QVERIFY(missing.programMissing());
        dir.Write("a/roto.cmd", "model in \"no-such-model.bug\"\n");
        JagsRunner broken("jags", {{jobs[0].directory, "roto.cmd", 1, "cadena 1"}}, 1, updates);
        broken.start();
        QTRY_VERIFY_WITH_TIMEOUT(broken.outcome() == JagsRunner::Outcome::Failed, 20000);
        QVERIFY2(broken.failure().startsWith("JAGS falló en cadena 1:\n"),
                 qPrintable(broken.failure()));
        QVERIFY(!broken.programMissing());
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
