// Parsing zento-cli's arguments.
#include "cliargs.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace zento::cli {

namespace {

// The commands an option goes with, one bit each.
enum CommandSet : unsigned {
    kDatos = 1u << 0,
    kModelo = 1u << 1,
    kVerificar = 1u << 2,
    kJags = 1u << 3,
    kAjustar = 1u << 4,
    kResumir = 1u << 5,
    kComparar = 1u << 6,
    kReadData = kDatos | kModelo | kVerificar | kJags | kAjustar | kComparar,
    kFit = kAjustar | kComparar,
    kRunJags = kJags | kFit,
};

enum class Value {
    Count, // a whole number
    Path,  // a file or folder
    Word,  // one of the words the option knows
};

struct OptionSyntax {
    std::string_view name;
    Value value;
    unsigned commands; // a CommandSet
};

constexpr std::array<OptionSyntax, 12> kOptions{{
    {"--variables", Value::Count, kReadData},
    {"--casos", Value::Count, kReadData},
    {"--salida", Value::Path, kDatos | kModelo},
    {"--directorio", Value::Path, kRunJags},
    {"--cadenas", Value::Count, kRunJags},
    {"--calentamiento", Value::Count, kRunJags},
    {"--iteraciones", Value::Count, kRunJags},
    {"--semilla", Value::Count, kRunJags},
    {"--procesos", Value::Count, kFit},
    {"--jags", Value::Path, kFit},
    {"--formato", Value::Word, kFit | kResumir},
    {"--enlaces", Value::Word, kComparar},
}};

struct CommandSyntax {
    std::string_view name;
    Action action;
    std::size_t positionals; // after the command name
    unsigned bit;            // its CommandSet bit; 0: it takes no option
};

constexpr std::array<CommandSyntax, 8> kCommands{{
    {"escanear", Action::Escanear, 1, 0},
    {"datos", Action::Datos, 1, kDatos},
    {"modelo", Action::Modelo, 2, kModelo},
    {"verificar", Action::Verificar, 1, kVerificar},
    {"jags", Action::Jags, 2, kJags},
    {"ajustar", Action::Ajustar, 2, kAjustar},
    {"resumir", Action::Resumir, 1, kResumir},
    {"comparar", Action::Comparar, 1, kComparar},
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
constexpr std::array<std::string_view, 8> kUsageLines = {
    "zento-cli escanear ARCHIVO",
    "zento-cli datos ARCHIVO [--variables V] [--casos M] [--salida SALIDA]",
    "zento-cli modelo ENLACE ARCHIVO [--variables k] [--casos n] [--salida SALIDA]",
    "zento-cli verificar ARCHIVO [--variables V] [--casos M]",
    "zento-cli jags ENLACE ARCHIVO --directorio DIR [--variables k] [--casos n]\n"
    "          [--cadenas C] [--calentamiento B] [--iteraciones I] [--semilla S]",
    "zento-cli ajustar ENLACE ARCHIVO [--variables k] [--casos n] [--cadenas C]\n"
    "          [--calentamiento B] [--iteraciones I] [--semilla S] [--procesos P]\n"
    "          [--directorio DIR] [--jags RUTA] [--formato tabla|csv]",
    "zento-cli resumir DIR [--formato tabla|csv]",
    "zento-cli comparar ARCHIVO [--enlaces L1,L2,...] [las opciones de ajustar]",
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
    if (name == "--semilla")
        return command.seed;
    if (name == "--procesos")
        return command.processes;
    return command.iterations;
}

std::optional<std::string>& PathSlot(Command& command, std::string_view name) {
    if (name == "--salida")
        return command.output;
    if (name == "--jags")
        return command.jags;
    return command.directory;
}

// --formato and --enlaces: their words, or why they are wrong.
std::optional<UsageError> SetWords(Command& command, std::string_view name,
                                   std::string_view value) {
    const auto twice = [&] {
        return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
    };
    if (name == "--formato") {
        if (command.format)
            return twice();
        if (value == "tabla")
            command.format = OutputFormat::Tabla;
        else if (value == "csv")
            command.format = OutputFormat::Csv;
        else
            return Usage("--formato debe ser «tabla» o «csv», no " + Quoted(value) + ".");
        return std::nullopt;
    }
    if (command.links)
        return twice();
    std::vector<Link> links;
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        const std::string_view item = value.substr(start, comma - start);
        if (item.empty())
            return Usage("falta un enlace en la lista de «--enlaces», " + Quoted(value) + ".");
        const std::optional<Link> link = ParseLinkName(item);
        if (!link) {
            return Usage("enlace desconocido " + Quoted(item) + " en «--enlaces»; use " +
                         SpanishList(LinkKeys(), " o ") + ".");
        }
        if (std::find(links.begin(), links.end(), *link) != links.end())
            return Usage("el enlace " + Quoted(item) + " aparece más de una vez en «--enlaces».");
        links.push_back(*link);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    command.links = std::move(links);
    return std::nullopt;
}

// The values an option must have whatever the command, once the command is known.
std::optional<UsageError> CheckCommandOptions(const Command& command, std::string_view name) {
    const bool runsJags = command.action == Action::Jags || command.action == Action::Ajustar ||
                          command.action == Action::Comparar;
    if (!runsJags)
        return std::nullopt;
    // JAGS cannot run a model without a case or a coefficient.
    if (command.action == Action::Jags && !command.directory)
        return Usage("falta --directorio DIR, la carpeta donde se escriben los archivos de JAGS.");
    if (command.variables && *command.variables < 1)
        return Usage("con la orden " + Quoted(name) + ", --variables debe valer 1 o más.");
    if (command.cases && *command.cases < 1)
        return Usage("con la orden " + Quoted(name) + ", --casos debe valer 1 o más.");
    if (command.chains && (*command.chains < 1 || *command.chains > 100))
        return Usage("--cadenas debe valer entre 1 y 100.");
    if (command.burnIn && *command.burnIn < 0)
        return Usage("--calentamiento no puede ser negativo.");
    if (command.iterations && *command.iterations < 1)
        return Usage("--iteraciones debe valer 1 o más.");
    if (command.seed && *command.seed < 0)
        return Usage("--semilla no puede ser negativa.");
    if (command.processes && *command.processes < 1)
        return Usage("--procesos debe valer 1 o más.");
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
    std::vector<const OptionSyntax*> optionsGiven;
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
        optionsGiven.push_back(option);
        if (option->value == Value::Count) {
            const std::optional<std::int32_t> count = ParseCount(value);
            if (!count) {
                return Usage("el valor de " + Quoted(name) + ", " + Quoted(value) +
                             ", no es un número entero entre -2147483648 y 2147483647.");
            }
            std::optional<std::int32_t>& slot = CountSlot(command, name);
            if (slot)
                return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
            slot = *count;
        } else if (option->value == Value::Word) {
            if (std::optional<UsageError> wrong = SetWords(command, name, value))
                return *wrong;
        } else {
            if (value.empty()) {
                return Usage(name == "--directorio"
                                 ? "falta el nombre de la carpeta de " + Quoted(name) + "."
                                 : "falta el nombre del archivo de " + Quoted(name) + ".");
            }
            std::optional<std::string>& slot = PathSlot(command, name);
            if (slot)
                return Usage("la opción " + Quoted(name) + " aparece más de una vez.");
            slot = std::string(value);
        }
    }

    if (positionals.empty()) {
        std::vector<std::string_view> names;
        for (const CommandSyntax& candidate : kCommands)
            names.push_back(candidate.name);
        return Usage("falta la orden (" + SpanishList(names, " o ") + ").");
    }
    for (const CommandSyntax& candidate : kCommands) {
        if (candidate.name == positionals.front())
            syntax = candidate;
    }
    if (!syntax)
        return Usage("orden desconocida " + Quoted(positionals.front()) + ".");
    command.action = syntax->action;
    const bool takesLink = syntax->positionals == 2;
    const std::size_t given = positionals.size() - 1;
    if (given < syntax->positionals) {
        return Usage(takesLink && given == 0 ? "falta el enlace y el archivo de datos."
                     : syntax->action == Action::Resumir
                         ? "falta la carpeta DIR donde JAGS dejó su salida."
                         : "falta el archivo de datos.");
    }
    if (given > syntax->positionals)
        return Usage("sobra el argumento " + Quoted(positionals[syntax->positionals + 1]) + ".");
    for (const OptionSyntax* option : optionsGiven) {
        if (syntax->bit == 0)
            return Usage("la orden " + Quoted(syntax->name) + " no admite opciones.");
        if (!(option->commands & syntax->bit)) {
            return Usage("la opción " + Quoted(option->name) + " no vale con la orden " +
                         Quoted(syntax->name) + ".");
        }
    }
    if (std::optional<UsageError> refused = CheckCommandOptions(command, syntax->name))
        return *refused;
    if (takesLink) {
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
        return "zento-cli: textos de entrada de WinBUGS a partir de una tabla de datos, y su\n"
               "ajuste con JAGS.\n"
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
               "  ajustar   Ajusta el modelo con JAGS, cada cadena en su proceso, y escribe\n"
               "            por parámetro la media, la desviación típica, los cuantiles, R̂ y\n"
               "            el ESS, y del modelo LOO y WAIC, con avisos si algo no está bien.\n"
               "            Con --directorio, DIR queda como tras «jags ejecutar.cmd».\n"
               "  resumir   Escribe lo mismo a partir de la salida CODA que JAGS dejó en DIR.\n"
               "  comparar  Ajusta cada enlace (los nueve, por omisión) y los ordena de mejor\n"
               "            a peor por elpd_loo; con --directorio, cada uno en DIR/ENLACE.\n"
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
               "  --semilla S           (jags) Semilla: la cadena c empieza con S + c (por\n"
               "                        omisión, S = 0); la misma semilla da las mismas\n"
               "                        extracciones.\n"
               "  Las opciones de jags valen también con ajustar y comparar; sin --directorio\n"
               "  usan una carpeta temporal que se borra al terminar.\n"
               "  --procesos P          (ajustar, comparar) Procesos de JAGS a la vez (por\n"
               "                        omisión, los núcleos del ordenador).\n"
               "  --jags RUTA           (ajustar, comparar) El programa JAGS (por omisión, el\n"
               "                        de la variable ZENTO_JAGS o jags en PATH).\n"
               "  --formato F           (ajustar, resumir, comparar) tabla (por omisión) o csv.\n"
               "  --enlaces L1,L2,...   (comparar) Los enlaces que se comparan.\n"
               "  Las opciones admiten «--casos 10» y «--casos=10»; los números pueden ser\n"
               "  negativos y se escriben tal como se dan.\n"
               "\n"
               "El archivo de datos es texto separado por tabuladores: una línea de cabecera\n"
               "con los nombres de las columnas y una línea por caso; la primera columna es la\n"
               "respuesta 0/1.\n"
               "\n"
               "Estado de salida: 0 si todo va bien; 1 si los datos no se pueden usar (archivo\n"
               "ilegible, vacío o con menos datos de los pedidos), si «verificar» encuentra\n"
               "algún problema o si JAGS falta o falla; 2 si la orden está mal escrita. Con\n"
               "Ctrl+C, ajustar y comparar detienen JAGS y borran sus carpetas temporales.\n";
    }();
    return text;
}

const std::string& UsageSummary() {
    static const std::string text =
        UsageLines("Uso: ", "     ") + "Más información: zento-cli --help\n";
    return text;
}

} // namespace zento::cli
