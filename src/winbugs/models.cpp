// The nine model texts: every literal fragment once, two layouts, one table row per link.
#include "models.h"

#include "linkprobability.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>

namespace zento {

namespace {

// Fragments shared by both layouts.
constexpr std::string_view kModel = "model\r\n";
constexpr std::string_view kOpenModel = "  {\r\n";
constexpr std::string_view kCaseLoopUpperN = "   for(i in 1:N) {\r\n";
constexpr std::string_view kCaseLoopLowerN = "   for(i in 1:n) {\r\n";
constexpr std::string_view kPredictor = "         m[i] <- beta[1]";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kCoefficientPrior = "\r\n  for (j  in 1:k) {beta[j] ~ dnorm(0.0,1.0E-3)";
constexpr std::string_view kInitsHead = "Inits\r\nlist(beta=c(0";
constexpr std::string_view kDataK = ",k=";
constexpr std::string_view kCloseData = ")";

// The Bernoulli layout: Logit, Probit, Cloglog, Power logit, Scobit.
constexpr std::string_view kResponseIndent = "         ";
constexpr std::string_view kBernoulli = "[i] ~ dbern(p[i])\r\n";
constexpr std::string_view kCloseCaseLoop = "                 }\r\n";
constexpr std::string_view kClosePriorLoop = "                    }\r\n";
constexpr std::string_view kCloseIndentedModel = "  }\r\n\r\n\r\n";
constexpr std::string_view kBetaOnlyDataUpperN = "))\r\n\r\nData\r\nlist(N=";
constexpr std::string_view kBetaOnlyDataLowerN = "))\r\n\r\nData\r\nlist(n=";
constexpr std::string_view kLambdaDataLowerN = "),lambda=0.5)\r\n\r\nData\r\nlist(n=";

struct BernoulliLink {
    std::string_view caseLoop;
    std::string_view linkLines; // one or two lines between the likelihood and the predictor
    std::string_view extraPrior;
    std::string_view initsTailDataHead;
};

constexpr BernoulliLink kLogit{kCaseLoopUpperN, "         logit(p[i]) <- m[i]\r\n", "",
                               kBetaOnlyDataUpperN};
constexpr BernoulliLink kProbit{kCaseLoopLowerN, "         p[i]<- phi(m[i])\r\n", "",
                                kBetaOnlyDataLowerN};
constexpr BernoulliLink kCloglog{kCaseLoopLowerN, "         cloglog(p[i]) <- m[i]\r\n", "",
                                 kBetaOnlyDataLowerN};
constexpr std::string_view kLambdaPrior = " lambda ~dgamma(1,1)\r\n";
constexpr BernoulliLink kPowerLogit{kCaseLoopLowerN,
                                    "         logit(pl[i] ) <-m[i] \r\n"
                                    "         p[i]<-pow(pl[i],lambda) \r\n",
                                    kLambdaPrior, kLambdaDataLowerN};
constexpr BernoulliLink kScobit{kCaseLoopLowerN,
                                "         pl[i]<-1+exp(m[i])\r\n"
                                "         p[i]<-1-1/(pow(pl[i],lambda)) \r\n",
                                kLambdaPrior, kLambdaDataLowerN};

// The latent-variable layout: Skew logit and the three skew probits.
constexpr std::string_view kBoundsMiddle = "[i]+1],up[";
constexpr std::string_view kBoundsEnd = "[i]+1])\r\n";
constexpr std::string_view kHalfNormal = "          V[i] ~ dnorm(0,1)I(0,)\r\n";
constexpr std::string_view kCloseLatentCaseLoop = "          }\r\n";
constexpr std::string_view kClosePriorInline = "}\r\n";
constexpr std::string_view kDeltaPrior = "  delta ~ dunif(-1,1)\r\n";
constexpr std::string_view kBounds = "  lo[1]<- -50; lo[2]<- 0;\r\n"
                                     "  up[1]<-  0;  up[2]<-50;\r\n";
constexpr std::string_view kCloseModelFirstColumn = "}\r\n\r\n";
constexpr std::string_view kDeltaDataLowerN = "),delta=0.5)\r\n\r\nData\r\nlist(n=";

constexpr std::string_view kScaledLocation = "         muz[i]<- m[i]+delta*sigma*V[i]\r\n";
constexpr std::string_view kNormalPrecision = "         zs[i]~dnorm(muz[i],preczs)I(lo[";
constexpr std::string_view kLambda = "  lambda<-delta/sqrt(1-pow(delta,2))\r\n";
constexpr std::string_view kSigma = "  sigma<-1/sqrt(1-pow(delta,2))\r\n";

struct LatentLink {
    std::string_view location;    // the muz line
    std::string_view latent;      // the zs distribution up to its first bound's index
    std::string_view derived;     // the first derived line
    std::string_view derivedMore; // the lines after it
};

constexpr LatentLink kSkewLogit{kScaledLocation, "         zs[i]~dlogis(muz[i],1)I(lo[", kLambda,
                                kSigma};
constexpr LatentLink kSkewProbitCDS{kScaledLocation, "         zs[i]~dnorm(muz[i],1)I(lo[", kLambda,
                                    kSigma};
constexpr LatentLink kSkewProbitBBB{"         muz[i]<-  m[i]-delta*V[i]\r\n", kNormalPrecision,
                                    "  preczs<- 1/(1-pow(delta,2))\r\n", kLambda};
constexpr LatentLink kSkewProbitStandard{"         muz[i]<-  m[i]-mu-sigma*delta*V[i]\r\n",
                                         kNormalPrecision,
                                         "  preczs<-1/((1-pow(delta,2))*sigma2)\r\n",
                                         "  sigma2<-3.1415/(3.1415-2*pow(delta,2))\r\n"
                                         " sigma<-sqrt(sigma2)\r\n"
                                         " mu<--1.4142*delta/sqrt(3.1415-2*pow(delta,2))\r\n"};

class Decimal {
public:
    explicit Decimal(std::int32_t value) {
        m_size = static_cast<std::size_t>(
            std::to_chars(m_digits.data(), m_digits.data() + m_digits.size(), value).ptr -
            m_digits.data());
    }
    operator std::string_view() const { return {m_digits.data(), m_size}; }

private:
    std::array<char, 12> m_digits{};
    std::size_t m_size = 0;
};

std::string Join(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    std::string text;
    text.reserve(size);
    for (std::string_view piece : pieces)
        text += piece;
    return text;
}

std::string BuildBernoulliModel(const BernoulliLink& link, const ModelNames& names,
                                const DataSelection& selection) {
    const std::string terms = BuildCovariateTerms(names.covariates);
    const std::string zeros = BuildZeroTail(selection.chosenVariables);
    return Join({kModel,
                 kOpenModel,
                 link.caseLoop,
                 kResponseIndent,
                 names.response,
                 kBernoulli,
                 link.linkLines,
                 kPredictor,
                 terms,
                 kLineEnd,
                 kCloseCaseLoop,
                 kCoefficientPrior,
                 kLineEnd,
                 kClosePriorLoop,
                 link.extraPrior,
                 kCloseIndentedModel,
                 kInitsHead,
                 zeros,
                 link.initsTailDataHead,
                 Decimal(selection.chosenCases),
                 kDataK,
                 Decimal(selection.chosenVariables),
                 kCloseData});
}

std::string BuildLatentModel(const LatentLink& link, const ModelNames& names,
                             const DataSelection& selection) {
    const std::string terms = BuildCovariateTerms(names.covariates);
    const std::string zeros = BuildZeroTail(selection.chosenVariables);
    return Join({kModel,
                 kOpenModel,
                 kCaseLoopLowerN,
                 kPredictor,
                 terms,
                 kLineEnd,
                 link.location,
                 link.latent,
                 names.response,
                 kBoundsMiddle,
                 names.response,
                 kBoundsEnd,
                 kHalfNormal,
                 kCloseLatentCaseLoop,
                 kCoefficientPrior,
                 kClosePriorInline,
                 kDeltaPrior,
                 link.derived,
                 link.derivedMore,
                 kBounds,
                 kCloseModelFirstColumn,
                 kInitsHead,
                 zeros,
                 kDeltaDataLowerN,
                 Decimal(selection.chosenCases),
                 kDataK,
                 Decimal(selection.chosenVariables),
                 kCloseData});
}

} // namespace

std::string BuildCovariateTerms(const std::vector<std::string>& covariates) {
    std::string terms;
    std::int32_t coefficient = 2;
    for (const std::string& name : covariates) {
        terms += "+beta[";
        terms += Decimal(coefficient++);
        terms += "]*";
        terms += name;
        terms += "[i]";
    }
    return terms;
}

std::string BuildZeroTail(std::int32_t k) {
    std::string tail;
    for (std::int32_t i = 1; i < k; ++i)
        tail += ",0";
    return tail;
}

std::string BuildLogitModel(const ModelNames& n, const DataSelection& s) {
    return BuildBernoulliModel(kLogit, n, s);
}
std::string BuildProbitModel(const ModelNames& n, const DataSelection& s) {
    return BuildBernoulliModel(kProbit, n, s);
}
std::string BuildCloglogModel(const ModelNames& n, const DataSelection& s) {
    return BuildBernoulliModel(kCloglog, n, s);
}
std::string BuildPowerLogitModel(const ModelNames& n, const DataSelection& s) {
    return BuildBernoulliModel(kPowerLogit, n, s);
}
std::string BuildScobitModel(const ModelNames& n, const DataSelection& s) {
    return BuildBernoulliModel(kScobit, n, s);
}
std::string BuildSkewLogitModel(const ModelNames& n, const DataSelection& s) {
    return BuildLatentModel(kSkewLogit, n, s);
}
std::string BuildSkewProbitCDSModel(const ModelNames& n, const DataSelection& s) {
    return BuildLatentModel(kSkewProbitCDS, n, s);
}
std::string BuildSkewProbitBBBModel(const ModelNames& n, const DataSelection& s) {
    return BuildLatentModel(kSkewProbitBBB, n, s);
}
std::string BuildSkewProbitStandardModel(const ModelNames& n, const DataSelection& s) {
    return BuildLatentModel(kSkewProbitStandard, n, s);
}

namespace {

constexpr std::array<LinkInfo, 9> kLinks{{
    {Link::Logit, 32774, "Logit", "logit", &BuildLogitModel, &LogitProbability},
    {Link::Probit, 32775, "Probit", "probit", &BuildProbitModel, &ProbitProbability},
    {Link::Cloglog, 32776, "Cloglog", "cloglog", &BuildCloglogModel, &CloglogProbability},
    {Link::PowerLogit, 32777, "Power logit", "powerlogit", &BuildPowerLogitModel,
     &PowerLogitProbability},
    {Link::Scobit, 32778, "Scobit", "scobit", &BuildScobitModel, &ScobitProbability},
    {Link::SkewLogit, 32779, "Skew logit", "skewlogit", &BuildSkewLogitModel,
     &SkewLogitProbability},
    {Link::SkewProbitCDS, 32780, "CDS", "cds", &BuildSkewProbitCDSModel, &SkewProbitCDSProbability},
    {Link::SkewProbitBBB, 32781, "BBB", "bbb", &BuildSkewProbitBBBModel, &SkewProbitBBBProbability},
    {Link::SkewProbitStandard, 32782, "Standard", "standard", &BuildSkewProbitStandardModel,
     &SkewProbitStandardProbability},
}};

} // namespace

std::span<const LinkInfo> Links() {
    return kLinks;
}

const LinkInfo& GetLinkInfo(Link link) {
    return *std::find_if(kLinks.begin(), kLinks.end(),
                         [link](const LinkInfo& info) { return info.link == link; });
}

const LinkInfo* FindLink(std::string_view key) {
    const auto found = std::find_if(kLinks.begin(), kLinks.end(),
                                    [key](const LinkInfo& info) { return info.key == key; });
    return found == kLinks.end() ? nullptr : &*found;
}

} // namespace zento
