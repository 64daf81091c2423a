// Parsing zento-cli's arguments.
#include "cliargs.h"

#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace zento::cli {

namespace {

struct OptionSyntax {
    std::string_view name;
    bool count; // takes a whole number; otherwise a path
};

constexpr std::array<OptionSyntax, 7> kOptions{{
    {"--variables", true},
    {"--casos", true},
    {"--salida", false},
    {"--directorio", false},
    {"--cadenas", true},
    {"--calentamiento", true},
    {"--iteraciones", true},
}};

struct CommandSyntax {
    std::string_view name;
    Action action;
    std::size_t positionals; // after the command name
    bool takesOptions;
};

constexpr std::array<CommandSyntax, 5> kCommands{{
    {"escanear", Action::Escanear, 1, false},
    {"datos", Action::Datos, 1, true},
    {"modelo", Action::Modelo, 2, true},
    {"verificar", Action::Verificar, 1, true},
    {"jags", Action::Jags, 2, true},
}};

UsageError Usage(std::string message) {
    return UsageError{std::move(message)};
}

std::string Quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

// A link name as it is compared: lower case, without '-' and '_'.
std::string LinkNameKey(std::string_view text) {
    std::string key;
    for (char c : text) {
        if (c != '-' && c != '_')
            key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

// "a, b, c o d"
std::string SpanishList(std::span<const std::string_view> items, std::string_view lastJoin) {
    std::string list;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            list += i + 1 == items.size() ? lastJoin : ", ";
        list += items[i];
    }
    return list;
}

std::vector<std::string_view> LinkKeys(std::optional<LinkGroup> group = std::nullopt) {
    std::vector<std::string_view> keys;
    for (const LinkInfo& info : Links()) {
        if (!group || info.group == *group)
            keys.push_back(info.key);
    }
    return keys;
}

// The command lines, as the help and the usage summary show them after their own indent.
constexpr std::array<std::string_view, 5> kUsageLines = {
    "zento-cli escanear ARCHIVO",
    "zento-cli datos ARCHIVO [--variables V] [--casos M] [--salida SALIDA]",
    "zento-cli modelo ENLACE ARCHIVO [--variables k] [--casos n] [--salida SALIDA]",
    "zento-cli verificar ARCHIVO [--variables V] [--casos M]",
    "zento-cli jags ENLACE ARCHIVO --directorio DIR [--variables k] [--casos n]\n"
    "          [--cadenas C] [--calentamiento B] [--iteraciones I]",
};

std::string UsageLines(std::string_view first, std::string_view indent) {
    std::string text;
    for (std::string_view line : kUsageLines) {
        text += text.empty() ? first : indent;
        for (std::size_t end; (end = line.find('\n')) != std::string_view::npos;
             line.remove_prefix(end + 1)) {
            text += line.substr(0, end + 1);
            text += indent;
        }
        text += line;
        text += '\n';
    }
    return text;
}

std::optional<std::int32_t>& CountSlot(Command& command, std::string_view name) {
    if (name == "--variables")
        return command.variables;
    if (name == "--casos")
        return command.cases;
    if (name == "--cadenas")
        return command.chains;
    if (name == "--calentamiento")
        return command.burnIn;
    return command.iterations;
}

// The options that only some commands take, checked once the command is known.
std::optional<UsageError> CheckCommandOptions(const Command& command, std::string_view name) {
    const bool jags = command.action == Action::Jags;
    const auto refuse = [&](std::string_view option) {
        return Usage("la opción " + Quoted(option) + " no vale con la orden " + Quoted(name) + ".");
    };
    if (command.output && (jags || command.action == Action::Verificar))
        return refuse("--salida");
    if (!jags) {
        if (command.directory)
            return refuse("--directorio");
        if (command.chains)
            return refuse("--cadenas");
        if (command.burnIn)
            return refuse("--calentamiento");
        if (command.iterations)
            return refuse("--iteraciones");
        return std::nullopt;
    }
    // JAGS cannot run a model without a case or a coefficient.
    if (!command.directory)
        return Usage("falta --directorio DIR, la carpeta donde se escriben los archivos de JAGS.");
    if (command.variables && *command.variables < 1)
        return Usage("con la orden «jags», --variables debe valer 1 o más.");
    if (command.cases && *command.cases < 1)
        return Usage("con la orden «jags», --casos debe valer 1 o más.");
    if (command.chains && (*command.chains < 1 || *command.chains > 100))
        return Usage("--cadenas debe valer entre 1 y 100.");
    if (command.burnIn && *command.burnIn < 0)
        return Usage("--calentamiento no puede ser negativo.");
    if (command.iterations && *command.iterations < 1)
        return Usage("--iteraciones debe valer 1 o más.");
    return std::nullopt;
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
    const std::string name = LinkNameKey(text);
    for (const LinkInfo& info : Links()) {
        if (name == LinkNameKey(info.key) ||
            (!info.alias.empty() && name == LinkNameKey(info.alias)))
            return info.link;
    }
    return std::nullopt;
}

ParseResult ParseCommandLine(std::span<const std::string_view> args) {
    Command command;
    std::optional<CommandSyntax> syntax;
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
        const OptionSyntax* option = nullptr;
        for (const OptionSyntax& candidate : kOptions) {
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
            std::optional<std::int32_t>& slot = CountSlot(command, name);
            if (slot)
                return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
            slot = *count;
        } else {
            if (value.empty()) {
                return Usage(name == "--salida"
                                 ? "falta el nombre del archivo de " + Quoted(name) + "."
                                 : "falta el nombre de la carpeta de " + Quoted(name) + ".");
            }
            std::optional<std::string>& slot =
                name == "--salida" ? command.output : command.directory;
            if (slot)
                return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
            slot = std::string(value);
        }
    }

    if (positionals.empty())
        return Usage("falta la orden (escanear, datos, modelo, verificar o jags).");
    for (const CommandSyntax& candidate : kCommands) {
        if (candidate.name == positionals.front())
            syntax = candidate;
    }
    if (!syntax)
        return Usage("orden desconocida " + Quoted(positionals.front()) + ".");
    command.action = syntax->action;
    const std::size_t given = positionals.size() - 1;
    if (given < syntax->positionals) {
        return Usage((syntax->action == Action::Modelo || syntax->action == Action::Jags) &&
                             given == 0
                         ? "falta el enlace y el archivo de datos."
                         : "falta el archivo de datos.");
    }
    if (given > syntax->positionals)
        return Usage("sobra el argumento " + Quoted(positionals[syntax->positionals + 1]) + ".");
    if (!syntax->takesOptions &&
        (command.variables || command.cases || command.output || command.directory ||
         command.chains || command.burnIn || command.iterations))
        return Usage("la orden " + Quoted(syntax->name) + " no admite opciones.");
    if (std::optional<UsageError> refused = CheckCommandOptions(command, syntax->name))
        return *refused;
    if (syntax->action == Action::Modelo || syntax->action == Action::Jags) {
        const std::optional<Link> link = ParseLinkName(positionals[1]);
        if (!link) {
            return Usage("enlace desconocido " + Quoted(positionals[1]) + "; use " +
                         SpanishList(LinkKeys(), " o ") + ".");
        }
        command.link = *link;
    }
    command.path = std::string(positionals.back());
    return command;
}

const std::string& HelpText() {
    static const std::string text = [] {
        const std::vector<std::string_view> skewProbit = LinkKeys(LinkGroup::SkewProbit);
        std::string_view alias;
        for (const LinkInfo& info : Links()) {
            if (alias.empty())
                alias = info.alias;
        }
        std::string links;
        for (std::string_view key : LinkKeys())
            (links += links.empty() ? "" : " ") += key;
        return "zento-cli: textos de entrada de WinBUGS a partir de una tabla de datos.\n"
               "\n"
               "Uso:\n" +
               UsageLines("  ", "  ") +
               "  zento-cli --help | --version\n"
               "\n"
               "Órdenes:\n"
               "  escanear  Cuenta las variables (K) y los casos (N) del archivo.\n"
               "  datos     Escribe las V primeras variables de los M primeros casos como datos\n"
               "            rectangulares de WinBUGS.\n"
               "  modelo    Escribe el programa del modelo con sus listas Inits y Data; la "
               "primera\n"
               "            variable es la respuesta y las k - 1 siguientes, las covariables.\n"
               "  verificar Revisa el archivo antes de usarlo (filas de otra longitud, respuestas\n"
               "            que no son 0/1, valores que WinBUGS no lee, nombres no válidos,\n"
               "            repetidos o que coinciden con nodos de los modelos, columnas\n"
               "            constantes) y dice en qué línea y columna. Sin --casos revisa todas\n"
               "            las líneas de casos.\n"
               "  jags      Escribe en DIR lo que JAGS necesita para ajustar el modelo:\n"
               "            modelo.bug, datos.R, inits1.R ... y ejecutar.cmd; dentro de DIR,\n"
               "            «jags ejecutar.cmd» lo ajusta y deja la salida CODA.\n"
               "\n"
               "Enlaces (sin distinguir mayúsculas; se admiten guiones, p. ej. power-logit):\n"
               "  " +
               links + "\n  (" + SpanishList(skewProbit, " y ") +
               " son los tres skew probit; también " + std::string(alias) +
               ", ...)\n"
               "\n"
               "Opciones:\n"
               "  --variables N  Variables que se usan (por omisión, K del archivo).\n"
               "  --casos N      Casos que se usan (por omisión, N del archivo).\n"
               "  --salida RUTA  Escribe el texto en RUTA en lugar de la salida estándar; si algo\n"
               "                 falla, un archivo RUTA que ya existía queda como estaba.\n"
               "  --directorio DIR      (jags) Carpeta de los archivos; se crea si no existe.\n"
               "  --cadenas C           (jags) Cadenas (por omisión, 3).\n"
               "  --calentamiento B     (jags) Iteraciones descartadas (por omisión, 1000).\n"
               "  --iteraciones I       (jags) Iteraciones guardadas (por omisión, 1000).\n"
               "  Las opciones admiten «--casos 10» y «--casos=10»; los números pueden ser\n"
               "  negativos y se escriben tal como se dan.\n"
               "\n"
               "El archivo de datos es texto separado por tabuladores: una línea de cabecera\n"
               "con los nombres de las columnas y una línea por caso; la primera columna es la\n"
               "respuesta 0/1.\n"
               "\n"
               "Estado de salida: 0 si todo va bien; 1 si los datos no se pueden usar (archivo\n"
               "ilegible, vacío o con menos datos de los pedidos) o si «verificar» encuentra\n"
               "algún problema; 2 si la orden está mal escrita.\n";
    }();
    return text;
}

const std::string& UsageSummary() {
    static const std::string text =
        UsageLines("Uso: ", "     ") + "Más información: zento-cli --help\n";
    return text;
}

} // namespace zento::cli
