// Reading the response and covariate names a model is built from.
#include "models.h"

#include "datafile/datafilereader.h"

#include <algorithm>

namespace zento {

std::int64_t ModelNamesNeeded(std::int32_t k) {
    return std::max<std::int64_t>(k, 1);
}

Result<ModelNames> ReadModelNames(const std::string& path, std::int32_t k) {
    auto reader = DataFileReader::Open(path);
    if (!reader)
        return reader.error();
    return ReadModelNames(*reader, k);
}

Result<ModelNames> ReadModelNames(DataFileReader& reader, std::int32_t k) {
    const std::int64_t needed = ModelNamesNeeded(k);
    ModelNames names;
    // The reserve is bounded: k may be far larger than the file turns out to be.
    names.covariates.reserve(static_cast<std::size_t>(std::min<std::int64_t>(needed - 1, 4096)));
    std::string_view token;
    for (std::int64_t i = 0; i < needed; ++i) {
        if (!reader.ReadToken(token)) {
            if (reader.failed())
                return reader.error();
            DataError error;
            error.kind = DataErrorKind::TooFewTokens;
            error.path = reader.path();
            error.needed = needed;
            error.available = reader.tokensRead();
            error.requestedVariables = k;
            error.modelNames = true;
            return error;
        }
        if (i == 0)
            names.response.assign(token);
        else
            names.covariates.emplace_back(token);
    }
    return names;
}

} // namespace zento
