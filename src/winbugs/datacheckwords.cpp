// The checker's findings in Spanish, as zento-cli verificar and the desktop show them.
#include "datacheck.h"

namespace zento {

std::string QuotedToken(std::string_view token) {
    constexpr std::size_t kShown = 60;
    if (token.size() <= kShown)
        return "«" + std::string(token) + "»";
    return "«" + std::string(token.substr(0, kShown)) + "…» (" + std::to_string(token.size()) +
           " bytes)";
}

namespace {

std::string ChosenCases(std::int64_t n) {
    return n == 1 ? "el único caso elegido" : "los " + std::to_string(n) + " casos elegidos";
}

std::string Where(const CheckFinding& f) {
    std::string where;
    if (f.line > 0)
        where = "línea " + std::to_string(f.line);
    if (f.column >= 0) {
        if (!where.empty())
            where += ", ";
        where += "columna " + std::to_string(f.column + 1);
        if (!f.columnName.empty())
            where += " (" + QuotedToken(f.columnName) + ")";
    }
    return where.empty() ? std::string("casos") : where;
}

} // namespace

std::string DescribeProblem(const CheckFinding& f) {
    const std::string token = QuotedToken(f.token);
    const std::string names = CountWords(f.count, "nombre", "nombres");
    switch (f.kind) {
    case CheckKind::NoHeader:
        return "la primera línea no tiene ningún nombre de variable.";
    case CheckKind::HeaderNotTabs:
        return std::string("la cabecera no tiene ningún tabulador y sí ") +
               (f.count == ',' ? "comas" : "puntos y comas") +
               " entre los nombres: el archivo parece separado por " +
               (f.count == ',' ? "comas" : "puntos y comas") +
               ", y ZENTO lee columnas separadas por tabuladores (K = " +
               std::to_string(f.expected) + ").";
    case CheckKind::HeaderEmptyName:
        return "hay un nombre vacío antes de " + token +
               " (un tabulador al principio o dos seguidos): K = " + std::to_string(f.expected) +
               " y la cabecera tiene " + names + ".";
    case CheckKind::HeaderTrailingTab:
        return "la cabecera termina en un tabulador: K = " + std::to_string(f.expected) +
               " cuenta una variable que no existe (la cabecera tiene " + names + ").";
    case CheckKind::HeaderSpaceSeparated:
        return token +
               " está separado del nombre anterior por espacios, no por un tabulador: K = " +
               std::to_string(f.expected) + " y la cabecera tiene " + names + ".";
    case CheckKind::MissingVariables:
        return "se eligieron " + CountWords(f.expected, "variable", "variables") +
               " y la cabecera tiene K = " + std::to_string(f.count) +
               "; las que faltan se tomarían de los valores del primer caso.";
    case CheckKind::IllegalName:
        return token + " no es un nombre válido en BUGS (debe empezar por una letra y tener solo "
                       "letras, dígitos y puntos, sin «..» ni punto final).";
    case CheckKind::DuplicateName:
        return "el nombre " + token + " ya es el de la columna " + std::to_string(f.count + 1) +
               ".";
    case CheckKind::ModelNodeName:
        return "el nombre " + token + " coincide con un nodo o un recuento de los modelos.";
    case CheckKind::RowLength:
        return "la fila tiene " + CountWords(f.count, "valor", "valores") +
               " y K = " + std::to_string(f.expected) + ".";
    case CheckKind::MissingCases:
        if (f.expected <= 0)
            return "el archivo no tiene ningún caso.";
        return "se eligieron " + CountWords(f.expected, "caso", "casos") + " y el archivo tiene " +
               CountWords(f.count, "línea de casos", "líneas de casos") + ".";
    case CheckKind::ResponseNotBinary:
        return "la respuesta " + token + " no es 0 ni 1.";
    case CheckKind::ResponseMissing:
        return "respuesta ausente " + token + ": WinBUGS la toma como un dato que falta.";
    case CheckKind::CovariateMissing:
        return "valor ausente " + token +
               ": WinBUGS lo lee, pero los modelos no pueden usar una covariable ausente.";
    case CheckKind::DecimalComma:
        return token + " lleva coma decimal; WinBUGS solo lee el punto.";
    case CheckKind::LowerCaseExponent:
        return token + " lleva el exponente en minúscula; las versiones antiguas de WinBUGS solo "
                       "leen «E».";
    case CheckKind::NotANumber:
        return token + " no es un número que WinBUGS pueda leer.";
    case CheckKind::ConstantResponse:
        return "la respuesta vale " + token + " en " + ChosenCases(f.count) +
               " (sin contar NA): el modelo no puede estimar nada.";
    case CheckKind::ConstantCovariate:
        return "la covariable vale " + token + " en " + ChosenCases(f.count) +
               " (sin contar NA): su coeficiente no se puede estimar.";
    }
    return "problema desconocido.";
}

std::string DescribeFinding(const CheckFinding& finding) {
    return Where(finding) + ": " + DescribeProblem(finding);
}

std::string_view KindTitle(CheckKind kind) {
    switch (kind) {
    case CheckKind::NoHeader:
        return "cabecera sin nombres";
    case CheckKind::HeaderNotTabs:
        return "cabecera separada por comas o por puntos y comas";
    case CheckKind::HeaderEmptyName:
        return "nombres vacíos en la cabecera";
    case CheckKind::HeaderTrailingTab:
        return "tabulador al final de la cabecera";
    case CheckKind::HeaderSpaceSeparated:
        return "nombres separados por espacios";
    case CheckKind::MissingVariables:
        return "más variables elegidas que K";
    case CheckKind::IllegalName:
        return "nombres no válidos en BUGS";
    case CheckKind::DuplicateName:
        return "nombres repetidos";
    case CheckKind::ModelNodeName:
        return "nombres que coinciden con nodos de los modelos";
    case CheckKind::RowLength:
        return "filas con un número de valores distinto de K";
    case CheckKind::MissingCases:
        return "casos que faltan";
    case CheckKind::ResponseNotBinary:
        return "respuestas que no son 0 ni 1";
    case CheckKind::ResponseMissing:
        return "respuestas ausentes (NA)";
    case CheckKind::CovariateMissing:
        return "covariables ausentes (NA)";
    case CheckKind::DecimalComma:
        return "valores con coma decimal";
    case CheckKind::LowerCaseExponent:
        return "exponentes en minúscula";
    case CheckKind::NotANumber:
        return "valores que no son números";
    case CheckKind::ConstantResponse:
        return "respuesta constante";
    case CheckKind::ConstantCovariate:
        return "covariables constantes";
    }
    return "otros";
}

} // namespace zento
