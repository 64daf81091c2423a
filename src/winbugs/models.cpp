// The nine model texts: every literal fragment once, two layouts, one table row per link.
#include "models.h"

#include "linkprobability.h"

#include <algorithm>
#include <charconv>

namespace zento {

namespace {

// Fragments shared by both layouts.
constexpr std::string_view kModel = "model\r\n";
constexpr std::string_view kOpenModel = "  {\r\n";
constexpr std::string_view kCaseLoopOpen = "   for(i in 1:";
constexpr std::string_view kCaseLoopClose = ") {\r\n";
constexpr std::string_view kPredictor = "         m[i] <- beta[1]";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kCoefficientPrior = "\r\n  for (j  in 1:k) {beta[j] ~ dnorm(0.0,1.0E-3)";
constexpr std::string_view kCoefficients = "beta";
constexpr std::string_view kVariables = "k";

// The Bernoulli layout: Logit, Probit, Cloglog, Power logit, Scobit.
constexpr std::string_view kResponseIndent = "         ";
constexpr std::string_view kBernoulli = "[i] ~ dbern(p[i])\r\n";
constexpr std::string_view kCloseCaseLoop = "                 }\r\n";
constexpr std::string_view kClosePriorLoop = "                    }\r\n";
constexpr std::string_view kCloseIndentedModel = "  }\r\n";
constexpr std::array<std::string_view, 6> kBernoulliNodes = {"beta", "m", "p", "k", "i", "j"};

// The latent-variable layout: Skew logit and the three skew probits. The latent node's line
// ends with bounds indexed by the response.
constexpr std::string_view kLatentNode = "zs";
constexpr std::string_view kBoundsStart = "I(lo[";
constexpr std::string_view kBoundsMiddle = "[i]+1],up[";
constexpr std::string_view kBoundsEnd = "[i]+1])";
constexpr std::string_view kHalfNormal = "          V[i] ~ dnorm(0,1)";
constexpr std::string_view kHalfNormalBound = "I(0,)";
constexpr std::string_view kCloseLatentCaseLoop = "          }\r\n";
constexpr std::string_view kClosePriorInline = "}\r\n";
constexpr std::string_view kBounds = "  lo[1]<- -50; lo[2]<- 0;\r\n"
                                     "  up[1]<-  0;  up[2]<-50;\r\n";
constexpr std::string_view kCloseModelFirstColumn = "}\r\n";
constexpr std::array<std::string_view, 10> kLatentNodes = {"beta", "m",  "muz", "zs", "V",
                                                           "lo",   "up", "k",   "i",  "j"};

constexpr std::string_view kScaledLocation = "         muz[i]<- m[i]+delta*sigma*V[i]\r\n";
constexpr std::string_view kNormalPrecision = "         zs[i]~dnorm(muz[i],preczs)";
constexpr std::string_view kLambda = "  lambda<-delta/sqrt(1-pow(delta,2))\r\n";
constexpr std::string_view kSigma = "  sigma<-1/sqrt(1-pow(delta,2))\r\n";

constexpr ExtraParameterInfo kLambdaParameter{"lambda", " lambda ~dgamma(1,1)\r\n", "0.5",
                                              ParameterRange::Positive};
constexpr ExtraParameterInfo kDeltaParameter{"delta", "  delta ~ dunif(-1,1)\r\n", "0.5",
                                             ParameterRange::MinusOneToOne};

// Rows, in menu order.
constexpr std::array<LinkInfo, 9> kLinks{{
    {.link = Link::Logit,
     .commandId = 32774,
     .label = "Logit",
     .key = "logit",
     .group = LinkGroup::Symmetric,
     .layout = Layout::Bernoulli,
     .linkLines = "         logit(p[i]) <- m[i]\r\n",
     .countName = "N",
     .build = &BuildLogitModel,
     .probability = &LogitProbability},
    {.link = Link::Probit,
     .commandId = 32775,
     .label = "Probit",
     .key = "probit",
     .group = LinkGroup::Symmetric,
     .layout = Layout::Bernoulli,
     .linkLines = "         p[i]<- phi(m[i])\r\n",
     .countName = "n",
     .build = &BuildProbitModel,
     .probability = &ProbitProbability},
    {.link = Link::Cloglog,
     .commandId = 32776,
     .label = "Cloglog",
     .key = "cloglog",
     .group = LinkGroup::Asymmetric,
     .layout = Layout::Bernoulli,
     .linkLines = "         cloglog(p[i]) <- m[i]\r\n",
     .countName = "n",
     .build = &BuildCloglogModel,
     .probability = &CloglogProbability},
    {.link = Link::PowerLogit,
     .commandId = 32777,
     .label = "Power logit",
     .key = "powerlogit",
     .group = LinkGroup::Asymmetric,
     .layout = Layout::Bernoulli,
     .linkLines = "         logit(pl[i] ) <-m[i] \r\n"
                  "         p[i]<-pow(pl[i],lambda) \r\n",
     .nodes = {"pl"},
     .countName = "n",
     .extra = kLambdaParameter,
     .build = &BuildPowerLogitModel,
     .probability = &PowerLogitProbability},
    {.link = Link::Scobit,
     .commandId = 32778,
     .label = "Scobit",
     .key = "scobit",
     .group = LinkGroup::Asymmetric,
     .layout = Layout::Bernoulli,
     .linkLines = "         pl[i]<-1+exp(m[i])\r\n"
                  "         p[i]<-1-1/(pow(pl[i],lambda)) \r\n",
     .nodes = {"pl"},
     .countName = "n",
     .extra = kLambdaParameter,
     .build = &BuildScobitModel,
     .probability = &ScobitProbability},
    {.link = Link::SkewLogit,
     .commandId = 32779,
     .label = "Skew logit",
     .key = "skewlogit",
     .group = LinkGroup::Asymmetric,
     .layout = Layout::Latent,
     .location = kScaledLocation,
     .latent = "         zs[i]~dlogis(muz[i],1)",
     .derived = {kLambda, kSigma},
     .nodes = {"lambda", "sigma"},
     .countName = "n",
     .extra = kDeltaParameter,
     .build = &BuildSkewLogitModel,
     .probability = &SkewLogitProbability},
    {.link = Link::SkewProbitCDS,
     .commandId = 32780,
     .label = "CDS",
     .key = "cds",
     .alias = "skewprobit-cds",
     .group = LinkGroup::SkewProbit,
     .layout = Layout::Latent,
     .location = kScaledLocation,
     .latent = "         zs[i]~dnorm(muz[i],1)",
     .derived = {kLambda, kSigma},
     .nodes = {"lambda", "sigma"},
     .countName = "n",
     .extra = kDeltaParameter,
     .build = &BuildSkewProbitCDSModel,
     .probability = &SkewProbitCDSProbability},
    {.link = Link::SkewProbitBBB,
     .commandId = 32781,
     .label = "BBB",
     .key = "bbb",
     .alias = "skewprobit-bbb",
     .group = LinkGroup::SkewProbit,
     .layout = Layout::Latent,
     .location = "         muz[i]<-  m[i]-delta*V[i]\r\n",
     .latent = kNormalPrecision,
     .derived = {"  preczs<- 1/(1-pow(delta,2))\r\n", kLambda},
     .nodes = {"preczs", "lambda"},
     .countName = "n",
     .extra = kDeltaParameter,
     .build = &BuildSkewProbitBBBModel,
     .probability = &SkewProbitBBBProbability},
    {.link = Link::SkewProbitStandard,
     .commandId = 32782,
     .label = "Standard",
     .key = "standard",
     .alias = "skewprobit-standard",
     .group = LinkGroup::SkewProbit,
     .layout = Layout::Latent,
     .location = "         muz[i]<-  m[i]-mu-sigma*delta*V[i]\r\n",
     .latent = kNormalPrecision,
     .derived = {"  preczs<-1/((1-pow(delta,2))*sigma2)\r\n",
                 "  sigma2<-3.1415/(3.1415-2*pow(delta,2))\r\n"
                 " sigma<-sqrt(sigma2)\r\n"
                 " mu<--1.4142*delta/sqrt(3.1415-2*pow(delta,2))\r\n"},
     .nodes = {"preczs", "sigma2", "sigma", "mu"},
     .countName = "n",
     .extra = kDeltaParameter,
     .build = &BuildSkewProbitStandardModel,
     .probability = &SkewProbitStandardProbability},
}};

class Decimal {
public:
    explicit Decimal(std::int64_t value) {
        m_size = static_cast<std::size_t>(
            std::to_chars(m_digits.data(), m_digits.data() + m_digits.size(), value).ptr -
            m_digits.data());
    }
    operator std::string_view() const { return {m_digits.data(), m_size}; }

private:
    std::array<char, 21> m_digits{};
    std::size_t m_size = 0;
};

// Gathers the model block's lines from fragments that carry their own CR LF.
class BlockLines {
public:
    void Fragment(std::string_view fragment) {
        for (std::size_t end; (end = fragment.find(kLineEnd)) != std::string_view::npos;
             fragment.remove_prefix(end + kLineEnd.size())) {
            m_line.text += fragment.substr(0, end);
            m_lines.push_back(std::move(m_line));
            m_line = ModelLine{};
        }
        m_line.text += fragment;
    }
    // A name from the data file, taken whole whatever bytes it holds.
    void Name(std::string_view name) { m_line.text += name; }
    // Marks where the current line's bound starts.
    void BoundFollows(Bound bound) {
        m_line.bound = bound;
        m_line.boundAt = m_line.text.size();
    }
    std::vector<ModelLine> Take() { return std::move(m_lines); }

private:
    std::vector<ModelLine> m_lines;
    ModelLine m_line;
};

void AddBernoulliBlock(BlockLines& out, const LinkInfo& link, const ModelNames& names,
                       std::string_view terms) {
    out.Fragment(kResponseIndent);
    out.Name(names.response);
    out.Fragment(kBernoulli);
    out.Fragment(link.linkLines);
    out.Fragment(kPredictor);
    out.Name(terms);
    out.Fragment(kLineEnd);
    out.Fragment(kCloseCaseLoop);
    out.Fragment(kCoefficientPrior);
    out.Fragment(kLineEnd);
    out.Fragment(kClosePriorLoop);
    if (link.extra)
        out.Fragment(link.extra->prior);
    out.Fragment(kCloseIndentedModel);
}

void AddLatentBlock(BlockLines& out, const LinkInfo& link, const ModelNames& names,
                    std::string_view terms) {
    out.Fragment(kPredictor);
    out.Name(terms);
    out.Fragment(kLineEnd);
    out.Fragment(link.location);
    out.Fragment(link.latent);
    out.BoundFollows(Bound::ResponseSide);
    out.Fragment(kBoundsStart);
    out.Name(names.response);
    out.Fragment(kBoundsMiddle);
    out.Name(names.response);
    out.Fragment(kBoundsEnd);
    out.Fragment(kLineEnd);
    out.Fragment(kHalfNormal);
    out.BoundFollows(Bound::Constant);
    out.Fragment(kHalfNormalBound);
    out.Fragment(kLineEnd);
    out.Fragment(kCloseLatentCaseLoop);
    out.Fragment(kCoefficientPrior);
    out.Fragment(kClosePriorInline);
    if (link.extra)
        out.Fragment(link.extra->prior);
    for (std::string_view lines : link.derived)
        out.Fragment(lines);
    out.Fragment(kBounds);
    out.Fragment(kCloseModelFirstColumn);
}

void AppendList(std::string& text, const std::vector<ListEntry>& entries) {
    text += "list(";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            text += ',';
        text += entries[i].name;
        text += '=';
        text += entries[i].value;
    }
    text += ')';
}

} // namespace

std::string BuildCovariateTerms(const std::vector<std::string>& covariates) {
    std::string terms;
    std::int64_t coefficient = 2;
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

WinBugsParts BuildModelParts(const LinkInfo& link, const ModelNames& names,
                             const DataSelection& selection) {
    const std::string terms = BuildCovariateTerms(names.covariates);
    BlockLines out;
    out.Fragment(kModel);
    out.Fragment(kOpenModel);
    out.Fragment(kCaseLoopOpen);
    out.Fragment(link.countName);
    out.Fragment(kCaseLoopClose);
    WinBugsParts parts;
    if (link.layout == Layout::Bernoulli) {
        AddBernoulliBlock(out, link, names, terms);
        parts.blankLines = 2;
    } else {
        AddLatentBlock(out, link, names, terms);
        parts.blankLines = 1;
        parts.latentNode = kLatentNode;
    }
    parts.model = out.Take();
    parts.inits.push_back(
        {std::string(kCoefficients), "c(0" + BuildZeroTail(selection.chosenVariables) + ")"});
    if (link.extra)
        parts.inits.push_back({std::string(link.extra->name), std::string(link.extra->start)});
    parts.data.push_back(
        {std::string(link.countName), std::string(Decimal(selection.chosenCases))});
    parts.data.push_back(
        {std::string(kVariables), std::string(Decimal(selection.chosenVariables))});
    parts.response = names.response;
    return parts;
}

std::string JoinWinBugsText(const WinBugsParts& parts) {
    std::size_t size = 64;
    for (const ModelLine& line : parts.model)
        size += line.text.size() + kLineEnd.size();
    for (const auto* list : {&parts.inits, &parts.data})
        for (const ListEntry& entry : *list)
            size += entry.name.size() + entry.value.size() + 2;
    std::string text;
    text.reserve(size);
    for (const ModelLine& line : parts.model) {
        text += line.text;
        text += kLineEnd;
    }
    for (std::size_t i = 0; i < parts.blankLines; ++i)
        text += kLineEnd;
    text += "Inits\r\n";
    AppendList(text, parts.inits);
    text += "\r\n\r\nData\r\n";
    AppendList(text, parts.data);
    return text;
}

std::vector<std::string_view> LinkNodeNames(const LinkInfo& link) {
    std::vector<std::string_view> names;
    if (link.layout == Layout::Bernoulli)
        names.assign(kBernoulliNodes.begin(), kBernoulliNodes.end());
    else
        names.assign(kLatentNodes.begin(), kLatentNodes.end());
    for (std::string_view node : link.nodes)
        if (!node.empty())
            names.push_back(node);
    names.push_back(link.countName);
    if (link.extra)
        names.push_back(link.extra->name);
    return names;
}

std::span<const LinkInfo> Links() {
    return kLinks;
}

const LinkInfo& GetLinkInfo(Link link) {
    return *std::find_if(kLinks.begin(), kLinks.end(),
                         [link](const LinkInfo& info) { return info.link == link; });
}

std::string BuildLogitModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::Logit), n, s));
}
std::string BuildProbitModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::Probit), n, s));
}
std::string BuildCloglogModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::Cloglog), n, s));
}
std::string BuildPowerLogitModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::PowerLogit), n, s));
}
std::string BuildScobitModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::Scobit), n, s));
}
std::string BuildSkewLogitModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::SkewLogit), n, s));
}
std::string BuildSkewProbitCDSModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::SkewProbitCDS), n, s));
}
std::string BuildSkewProbitBBBModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::SkewProbitBBB), n, s));
}
std::string BuildSkewProbitStandardModel(const ModelNames& n, const DataSelection& s) {
    return JoinWinBugsText(BuildModelParts(GetLinkInfo(Link::SkewProbitStandard), n, s));
}

} // namespace zento
