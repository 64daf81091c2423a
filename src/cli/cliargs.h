// zento-cli's command line as data: argv in, a command or a usage error out. No I/O.
#pragma once

#include "winbugs/models.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zento::cli {

enum class Action {
    Help,
    Version,
    Escanear,
    Datos,
    Modelo,
    Verificar,
    Jags,
    Ajustar,
    Resumir,
    Comparar
};

// How ajustar, resumir and comparar write what they found.
enum class OutputFormat { Tabla, Csv };

struct Command {
    Action action = Action::Help;
    std::string path;                      // ARCHIVO, or resumir's DIR
    Link link = Link::Logit;               // ENLACE, for Modelo, Jags and Ajustar
    std::optional<std::int32_t> variables; // --variables; omitted: K of the file
    std::optional<std::int32_t> cases;     // --casos; omitted: N of the file
    std::optional<std::string> output;     // --salida; omitted: stdout
    // jags (where --directorio is required), ajustar and comparar.
    std::optional<std::string> directory;
    std::optional<std::int32_t> chains;
    std::optional<std::int32_t> burnIn;
    std::optional<std::int32_t> iterations;
    std::optional<std::int32_t> seed; // --semilla; omitted: chain c's seed is c
    // ajustar and comparar.
    std::optional<std::int32_t> processes; // --procesos; omitted: the number of cores
    std::optional<std::string> jags;       // --jags; omitted: ZENTO_JAGS, else jags on PATH
    // ajustar, resumir and comparar: --formato; omitted: the table.
    std::optional<OutputFormat> format;
    // comparar: --enlaces, each link once; omitted: all nine.
    std::optional<std::vector<Link>> links;
};

struct UsageError {
    std::string message; // one Spanish sentence, no line end
};

using ParseResult = std::variant<Command, UsageError>;

// args are the arguments after the program name.
ParseResult ParseCommandLine(std::span<const std::string_view> args);

// A whole number in the 32-bit range: optional sign, decimal digits, nothing else.
std::optional<std::int32_t> ParseCount(std::string_view text);

// A link's command-line name or alias (the link table's), ignoring case, '-' and '_'.
std::optional<Link> ParseLinkName(std::string_view text);

const std::string& HelpText();     // --help, ends with a line end
const std::string& UsageSummary(); // the lines shown after a usage error, ends with a line end

} // namespace zento::cli
