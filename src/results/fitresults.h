// What the results and comparison windows show: one fitted link read back from its folder (the
// summaries, LOO and WAIC the command-line tool prints, and the draws the plots need), and the
// ranking of several links. The fit library computes all of it; the windows only show it.
#pragma once

#include "fit/fitreport.h"
#include "fit/fitteddir.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QString;
class QTemporaryDir;

namespace zento {

// Paths between the windows and the fit library, which names files in UTF-8 on every system.
std::filesystem::path pathOf(const QString& path);
QString qPath(const std::filesystem::path& path);

// How a fit was run, when this program ran it (a folder opened later does not say).
struct RunSettings {
    std::int64_t burnIn = 0;
    std::uint32_t seed = 0;
};

struct FitResults {
    std::string folder; // UTF-8
    fit::Draws draws;
    fit::FittedModel model;
    std::optional<RunSettings> settings;
    // The temporary folder the fit ran in, when the user named none: it lasts as long as a window
    // shows the results.
    std::shared_ptr<QTemporaryDir> scratch;
};

// Links fitted on the same data, ranked as zento-cli comparar ranks them.
struct ComparisonResults {
    std::string folder;                                  // UTF-8
    std::vector<std::shared_ptr<const FitResults>> fits; // in the order they were fitted
    std::vector<fit::ComparedModel> models;              // the same, as the ranking takes them
    std::vector<fit::ComparisonRow> rows;                // best first, pointing into models
    std::shared_ptr<QTemporaryDir> scratch;

    // The fit of a row.
    const std::shared_ptr<const FitResults>& fitOf(const fit::ComparisonRow& row) const {
        return fits[std::size_t(row.model - models.data())];
    }
};

// The fits ranked as zento-cli comparar ranks them; fits[i] was made with links[i]. folder is where
// the links' folders are.
fit::FitResult<std::shared_ptr<const ComparisonResults>>
compareFits(std::string folder, std::vector<std::shared_ptr<const FitResults>> fits,
            const std::vector<Link>& links, std::shared_ptr<QTemporaryDir> scratch = {});

} // namespace zento
