// Parsing zento-cli's arguments.
#include "cliargs.h"

#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace zento::cli {

namespace {

struct OptionSpec {
    std::string_view name;
    bool count; // takes a whole number; otherwise a path
};

constexpr std::array<OptionSpec, 3> kOptions{{
    {"--variables", true},
    {"--casos", true},
    {"--salida", false},
}};

struct CommandSpec {
    std::string_view name;
    Action action;
    std::size_t positionals; // after the command name
    bool takesOptions;
};

constexpr std::array<CommandSpec, 3> kCommands{{
    {"escanear", Action::Escanear, 1, false},
    {"datos", Action::Datos, 1, true},
    {"modelo", Action::Modelo, 2, true},
}};

UsageError Usage(std::string message) {
    return UsageError{std::move(message)};
}

std::string Quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

} // namespace

std::optional<std::int32_t> ParseCount(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    if (magnitude > limit)
        return std::nullopt;
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(value);
}

std::optional<Link> ParseLinkName(std::string_view text) {
    std::string key;
    for (char c : text) {
        if (c == '-' || c == '_')
            continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    constexpr std::string_view kSkewProbit = "skewprobit";
    if (key.starts_with(kSkewProbit) && key.size() > kSkewProbit.size())
        key.erase(0, kSkewProbit.size());
    if (const LinkInfo* info = FindLink(key))
        return info->link;
    return std::nullopt;
}

ParseResult ParseCommandLine(std::span<const std::string_view> args) {
    Command command;
    std::optional<CommandSpec> spec;
    std::vector<std::string_view> positionals;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            command.action = Action::Help;
            return command;
        }
        if (!optionsEnded && arg == "--version") {
            command.action = Action::Version;
            return command;
        }
        const bool looksLikeOption =
            !optionsEnded && arg.size() > 1 && arg.front() == '-' && !ParseCount(arg).has_value();
        if (!looksLikeOption) {
            positionals.push_back(arg);
            continue;
        }
        const std::string_view name = arg.substr(0, arg.find('='));
        const OptionSpec* option = nullptr;
        for (const OptionSpec& candidate : kOptions) {
            if (candidate.name == name)
                option = &candidate;
        }
        if (!option)
            return Usage("opción desconocida " + Quoted(name) + ".");
        std::string_view value;
        if (name.size() < arg.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return Usage("falta el valor de " + Quoted(name) + ".");
        }
        if (option->count) {
            const std::optional<std::int32_t> count = ParseCount(value);
            if (!count) {
                return Usage("el valor de " + Quoted(name) + ", " + Quoted(value) +
                             ", no es un número entero entre -2147483648 y 2147483647.");
            }
            std::optional<std::int32_t>& slot =
                name == "--variables" ? command.variables : command.cases;
            if (slot)
                return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
            slot = *count;
        } else {
            if (value.empty())
                return Usage("falta el nombre del archivo de " + Quoted(name) + ".");
            if (command.output)
                return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
            command.output = std::string(value);
        }
    }

    if (positionals.empty())
        return Usage("falta la orden (escanear, datos o modelo).");
    for (const CommandSpec& candidate : kCommands) {
        if (candidate.name == positionals.front())
            spec = candidate;
    }
    if (!spec)
        return Usage("orden desconocida " + Quoted(positionals.front()) + ".");
    command.action = spec->action;
    const std::size_t given = positionals.size() - 1;
    if (given < spec->positionals) {
        return Usage(spec->action == Action::Modelo && given == 0
                         ? "falta el enlace y el archivo de datos."
                         : "falta el archivo de datos.");
    }
    if (given > spec->positionals)
        return Usage("sobra el argumento " + Quoted(positionals[spec->positionals + 1]) + ".");
    if (!spec->takesOptions && (command.variables || command.cases || command.output))
        return Usage("la orden " + Quoted(spec->name) + " no admite opciones.");
    if (spec->action == Action::Modelo) {
        const std::optional<Link> link = ParseLinkName(positionals[1]);
        if (!link) {
            return Usage("enlace desconocido " + Quoted(positionals[1]) +
                         "; use logit, probit, cloglog, powerlogit, scobit, skewlogit, cds, bbb "
                         "o standard.");
        }
        command.link = *link;
    }
    command.path = std::string(positionals.back());
    return command;
}

std::string_view HelpText() {
    return "zento-cli: textos de entrada de WinBUGS a partir de una tabla de datos.\n"
           "\n"
           "Uso:\n"
           "  zento-cli escanear ARCHIVO\n"
           "  zento-cli datos ARCHIVO [--variables V] [--casos M] [--salida SALIDA]\n"
           "  zento-cli modelo ENLACE ARCHIVO [--variables k] [--casos n] [--salida SALIDA]\n"
           "  zento-cli --help | --version\n"
           "\n"
           "Órdenes:\n"
           "  escanear  Cuenta las variables (K) y los casos (N) del archivo.\n"
           "  datos     Escribe las V primeras variables de los M primeros casos como datos\n"
           "            rectangulares de WinBUGS.\n"
           "  modelo    Escribe el programa del modelo con sus listas Inits y Data; la primera\n"
           "            variable es la respuesta y las k - 1 siguientes, las covariables.\n"
           "\n"
           "Enlaces (sin distinguir mayúsculas; se admiten guiones, p. ej. power-logit):\n"
           "  logit probit cloglog powerlogit scobit skewlogit cds bbb standard\n"
           "  (cds, bbb y standard son los tres skew probit; también skewprobit-cds, ...)\n"
           "\n"
           "Opciones:\n"
           "  --variables N  Variables que se usan (por omisión, K del archivo).\n"
           "  --casos N      Casos que se usan (por omisión, N del archivo).\n"
           "  --salida RUTA  Escribe el texto en RUTA en lugar de la salida estándar; si algo\n"
           "                 falla, un archivo RUTA que ya existía queda como estaba.\n"
           "  Las opciones admiten «--casos 10» y «--casos=10»; los números pueden ser\n"
           "  negativos y se escriben tal como se dan.\n"
           "\n"
           "El archivo de datos es texto separado por tabuladores: una línea de cabecera\n"
           "con los nombres de las columnas y una línea por caso; la primera columna es la\n"
           "respuesta 0/1.\n"
           "\n"
           "Estado de salida: 0 si todo va bien; 1 si los datos no se pueden usar (archivo\n"
           "ilegible, vacío o con menos datos de los pedidos); 2 si la orden está mal escrita.\n";
}

std::string_view UsageSummary() {
    return "Uso: zento-cli escanear ARCHIVO\n"
           "     zento-cli datos ARCHIVO [--variables V] [--casos M] [--salida SALIDA]\n"
           "     zento-cli modelo ENLACE ARCHIVO [--variables k] [--casos n] [--salida SALIDA]\n"
           "Más información: zento-cli --help\n";
}

} // namespace zento::cli
