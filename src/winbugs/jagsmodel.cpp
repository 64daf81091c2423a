// The model block translated for JAGS, line by line from the parts of the WinBUGS text.
#include "jagsexport.h"

namespace zento {

std::string JagsModelText(const WinBugsParts& parts) {
    std::string text;
    for (const ModelLine& line : parts.model) {
        const std::string_view statement = std::string_view(line.text).substr(0, line.boundAt);
        switch (line.bound) {
        case Bound::None:
            text += line.text;
            break;
        case Bound::Constant:
            text += statement;
            text += 'T';
            text += std::string_view(line.text).substr(line.boundAt + 1);
            break;
        case Bound::ResponseSide:
            // The bounds the model defines, lo = (-50, 0) and up = (0, 50), meet at zero; the
            // observation keeps the latent line's indent.
            text += statement;
            text += "\r\n";
            text += statement.substr(0, statement.find_first_not_of(' '));
            text += parts.response;
            text += "[i] ~ dinterval(";
            text += parts.latentNode;
            text += "[i], 0)";
            break;
        }
        text += "\r\n";
    }
    return text;
}

} // namespace zento
