// The ranking of fitted links.
#include "results/fitresults.h"

#include "datafile/systemfile.h"

#include <QString>

namespace zento {

std::filesystem::path pathOf(const QString& path) {
    return PathFromUtf8(path.toStdString());
}

QString qPath(const std::filesystem::path& path) {
    return QString::fromStdString(Utf8FromPath(path));
}

fit::FitResult<std::shared_ptr<const ComparisonResults>>
compareFits(std::string folder, std::vector<std::shared_ptr<const FitResults>> fits,
            const std::vector<Link>& links, std::shared_ptr<QTemporaryDir> scratch) {
    auto comparison = std::make_shared<ComparisonResults>();
    comparison->folder = std::move(folder);
    comparison->scratch = std::move(scratch);
    // Filled before the ranking points into it, and never moved after.
    for (std::size_t i = 0; i < fits.size(); ++i)
        comparison->models.push_back({std::string(GetLinkInfo(links[i]).key), fits[i]->model});
    comparison->fits = std::move(fits);
    auto ranked = fit::RankModels(comparison->models);
    if (!ranked)
        return ranked.error();
    comparison->rows = std::move(*ranked);
    return std::shared_ptr<const ComparisonResults>(std::move(comparison));
}

} // namespace zento
