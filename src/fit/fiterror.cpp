// The Spanish sentences for FitError, shared by the command-line tool and the desktop shell.
#include "fiterror.h"

#include "datafile/dataerror.h"

#include <string_view>

namespace zento::fit {

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string Guillemets(std::string_view text) {
    return "«" + std::string(text) + "»";
}

// "1 línea", "3 líneas"
std::string Count(std::int64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// "\"CODAchain2.txt\", línea 7: "
std::string Where(const FitError& error) {
    std::string where = Quoted(error.file);
    if (error.line > 0)
        where += ", línea " + std::to_string(error.line);
    return where + ": ";
}

// What to do about a damaged file depends on who wrote it.
std::string Remedy(const FitError& error) {
    if (error.file.find("CODA") != std::string::npos)
        return " Vuelva a ejecutar JAGS en esa carpeta para que escriba su salida completa.";
    return " Vuelva a escribir el archivo con zento-cli jags.";
}

} // namespace

std::string DescribeFitError(const FitError& error) {
    using K = FitErrorKind;
    const std::string file = Quoted(error.file);
    switch (error.kind) {
    case K::MissingFile:
        return "No se puede abrir " + file + ": " + DescribeSystemError(error.systemError) + ".";
    case K::Unreadable:
        return "No se puede leer " + file + ": " + DescribeSystemError(error.systemError) + ".";
    case K::WriteFailed:
        return "No se puede escribir " + file + ": " + DescribeSystemError(error.systemError) +
               ". Compruebe el permiso y el espacio en la carpeta.";
    case K::Truncated: {
        const bool counted = !error.expected.empty() &&
                             error.expected.find_first_not_of("0123456789") == std::string::npos;
        const std::string lines = counted ? "; debería tener " + error.expected + " líneas" : "";
        if (!error.found.empty())
            return Where(error) + "el archivo termina en mitad de " + Guillemets(error.found) +
                   lines + "." + Remedy(error);
        if (counted)
            return file + " está incompleto: tiene " + Count(error.line - 1, "línea", "líneas") +
                   " y debería tener " + error.expected + "." + Remedy(error);
        return file + " está vacío." + Remedy(error);
    }
    case K::ExtraLines:
        return Where(error) + "sobra " + Guillemets(error.found) + ": el archivo debería tener " +
               error.expected + " líneas, como dice CODAindex.txt." + Remedy(error);
    case K::IndexLine:
        return Where(error) +
               "se esperaba «nodo primera última» (la última no menor que la "
               "primera) y hay " +
               Guillemets(error.found) + "." + Remedy(error);
    case K::IndexRange:
        return Where(error) + "el nodo debería ocupar las líneas " + error.expected +
               ", a continuación del anterior y tantas como él, y ocupa " + error.found + "." +
               Remedy(error);
    case K::ChainLine:
        return Where(error) + "se esperaba «iteración valor» y hay " + Guillemets(error.found) +
               "." + Remedy(error);
    case K::NotFinite:
        return Where(error) + Guillemets(error.found) + " no es un número finito." + Remedy(error);
    case K::IterationGap:
        return Where(error) + "se esperaba la iteración " + error.expected + " y hay la " +
               error.found + "; las cadenas deben guardar las mismas iteraciones." + Remedy(error);
    case K::IndexMismatch:
        return Where(error) + "se esperaba " + Guillemets(error.expected) +
               " como en la primera "
               "cadena y hay " +
               Guillemets(error.found) +
               ". Solo se unen cadenas del mismo modelo con las mismas iteraciones.";
    case K::NotSingleChain:
        return file + " no debería existir: cada ejecución que se une ha de tener una sola cadena.";
    case K::DumpSyntax:
        return Where(error) + "se esperaba " + error.expected + " y hay " +
               Guillemets(error.found) + "." + Remedy(error);
    case K::DuplicateName:
        return Where(error) + Guillemets(error.found) + " aparece dos veces." + Remedy(error);
    case K::MissingColumn:
        return file + " no contiene la variable " + Guillemets(error.subject) + "." + Remedy(error);
    case K::ColumnLength:
        return Where(error) + Guillemets(error.subject) + " tiene " + error.found +
               (error.found == "1" ? " valor" : " valores") + " y debería tener " + error.expected +
               ", uno por caso." + Remedy(error);
    case K::NotBinary:
        return Where(error) + "la respuesta " + Guillemets(error.subject) + " vale " +
               Guillemets(error.found) + " en el caso " + error.expected +
               "; solo puede valer 0, 1 o NA.";
    case K::MissingCovariate:
        return Where(error) + "la covariable " + Guillemets(error.subject) +
               " falta (NA) en el caso " + error.expected +
               ", cuya respuesta sí se observó; ese caso no se puede ajustar.";
    case K::MissingParameter:
        return "Las muestras no contienen " + Guillemets(error.subject) +
               ", que el enlace necesita. Compruebe que la salida CODA es la del modelo de "
               "estos datos.";
    case K::ParameterCount:
        return "Las muestras tienen " + error.found + " coeficientes beta y los datos, " +
               error.expected +
               " (la ordenada y una por covariable). Compruebe que la salida "
               "CODA es la del modelo de estos datos.";
    case K::NotFiniteLikelihood:
        return "En la cadena " + error.subject + ", iteración " + error.found +
               ", la respuesta "
               "observada del caso " +
               error.expected +
               " tiene probabilidad 0: la "
               "log-verosimilitud no es finita y no se puede calcular LOO ni WAIC.";
    case K::NoDraws:
        return "No hay muestras con las que calcular.";
    case K::NoCases:
        return "Ningún caso tiene la respuesta observada: no hay verosimilitud que calcular.";
    case K::DifferentCases:
        return "Los modelos que se comparan tienen distinto número de casos (" + error.expected +
               " y " + error.found + "); solo se comparan ajustes de los mismos datos.";
    }
    return "Error desconocido.";
}

} // namespace zento::fit
