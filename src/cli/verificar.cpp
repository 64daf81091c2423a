// zento-cli verificar: streams the findings, then a count per kind.
#include "verificar.h"

#include "clicommon.h"
#include "sink.h"

namespace zento::cli {

int Verificar(const Command& command, std::FILE* out, std::FILE* err) {
    CheckOptions options;
    options.variables = command.variables;
    options.cases = command.cases;
    // Findings go out as they are found; the file may be far too large to hold them.
    const auto put = [out](const std::string& line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    };
    auto summary = CheckDataFile(
        command.path, options, [&](const CheckFinding& finding) { put(DescribeFinding(finding)); });
    if (!summary) {
        // A read error after some findings: they stay out, the reason goes to err.
        std::fflush(out);
        return Refuse(err, summary.error());
    }
    const CheckSummary& s = *summary;
    for (const CheckSummary::Suppressed& more : s.suppressed) {
        std::string where = more.column >= 0 ? "columna " + std::to_string(more.column + 1) +
                                                   (more.columnName.empty()
                                                        ? std::string()
                                                        : " (" + QuotedToken(more.columnName) + ")")
                                             : std::string("filas");
        put("… y " + std::to_string(more.count) + " más de «" + std::string(KindTitle(more.kind)) +
            "» en " + where + ", que no se muestran.");
    }
    const std::string judged =
        "K = " + std::to_string(s.K) + "; se revisaron " +
        CountWords(s.variables > 0 ? s.variables : 0, "variable", "variables") + " y " +
        CountWords(s.caseLines, "línea de casos", "líneas de casos");
    const std::int64_t total = s.total();
    if (total == 0) {
        put("\"" + command.path + "\": ningún problema (" + judged + ").");
    } else {
        put("Resumen de \"" + command.path + "\" (" + judged + "):");
        for (std::size_t kind = 0; kind < kCheckKindCount; ++kind) {
            if (s.found[kind] > 0)
                put("  " + std::string(KindTitle(static_cast<CheckKind>(kind))) + ": " +
                    std::to_string(s.found[kind]));
        }
        put("Total: " + CountWords(total, "problema", "problemas") + ".");
    }
    if (Status finished = FinishStream(out); !finished)
        return Refuse(err, finished.error());
    return total == 0 ? kExitOk : kExitDataError;
}

} // namespace zento::cli
