// The Spanish sentences for DataError, shared by the command-line tool and the desktop shell.
#include "dataerror.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace zento {

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string SystemReason(int systemError) {
    switch (systemError) {
    case ENOENT:
        return "no existe";
    case EACCES:
    case EPERM:
        return "no hay permiso para acceder a él";
    case EISDIR:
        return "es una carpeta";
    case ENOTDIR:
        return "una parte de la ruta no es una carpeta";
    case ENAMETOOLONG:
        return "la ruta es demasiado larga";
    case ELOOP:
        return "hay demasiados enlaces simbólicos en la ruta";
    case EIO:
        return "error de entrada/salida del dispositivo";
    case EMFILE:
    case ENFILE:
        return "hay demasiados archivos abiertos";
    case ENOMEM:
        return "no hay memoria suficiente";
    case ENOSPC:
        return "no queda espacio en el disco";
#ifdef EDQUOT
    case EDQUOT:
        return "se ha superado la cuota de disco";
#endif
    case EROFS:
        return "el sistema de archivos es de solo lectura";
    case EFBIG:
        return "el archivo es demasiado grande";
    case EPIPE:
        return "el destino de la salida se ha cerrado";
    case EBUSY:
        return "el archivo está en uso";
    case EXDEV:
        return "no se puede mover el archivo temporal a ese destino";
    case 0:
        return "causa desconocida";
    default:
        return "error del sistema " + std::to_string(systemError);
    }
}

std::string DescribeShortage(const DataError& e) {
    const std::string file = "El archivo " + Quoted(e.path);
    if (e.available <= 0)
        return file + " no contiene ningún dato.";
    if (e.modelNames) {
        return file + " contiene solo " + CountWords(e.available, "dato", "datos") +
               "; el modelo con " + CountWords(e.requestedVariables, "variable", "variables") +
               " necesita leer " + CountWords(e.needed, "nombre", "nombres") + ".";
    }
    // Rectangular data: every line (header and cases) reads this many tokens.
    const std::int64_t v = e.requestedVariables;
    const std::int64_t width =
        std::max<std::int64_t>(v, 0) + std::max<std::int64_t>(e.columns - v, 0);
    if (width <= 0 || e.available < width) {
        return file + " contiene solo " + CountWords(e.available, "dato", "datos") +
               ", menos que los " + std::to_string(width) + " nombres de la cabecera.";
    }
    const std::int64_t wholeCases = e.available / width - 1;
    const bool plainColumns = width == e.columns;
    return file + " tiene " + CountWords(wholeCases, "caso completo", "casos completos") + " de " +
           CountWords(width, plainColumns ? "variable" : "valor",
                      plainColumns ? "variables" : "valores") +
           "; se " + (e.requestedCases == 1 ? "pidió " : "pidieron ") +
           CountWords(e.requestedCases, "caso", "casos") + ".";
}

} // namespace

std::string CountWords(std::int64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string DescribeSystemError(int systemError) {
    return SystemReason(systemError);
}

std::string DescribeDataError(const DataError& error) {
    switch (error.kind) {
    case DataErrorKind::Unreadable:
        return "No se puede leer el archivo " + Quoted(error.path) + ": " +
               SystemReason(error.systemError) + ".";
    case DataErrorKind::NotRegularFile:
        return Quoted(error.path) + " no es un archivo de datos: " +
               (error.systemError == EISDIR ? "es una carpeta." : "no es un archivo normal.");
    case DataErrorKind::TooFewTokens:
        return DescribeShortage(error);
    case DataErrorKind::CountTooLarge:
        return "El archivo " + Quoted(error.path) +
               " es demasiado grande: sus variables o sus casos pasan de 2147483647.";
    case DataErrorKind::Cancelled:
        return "Se canceló la lectura del archivo " + Quoted(error.path) + ".";
    case DataErrorKind::WriteFailed:
        return "No se puede escribir el archivo " + Quoted(error.path) + ": " +
               SystemReason(error.systemError) + ".";
    }
    return "Error desconocido con el archivo " + Quoted(error.path) + ".";
}

} // namespace zento
