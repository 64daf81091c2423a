// P(y = 1) of each link for a linear predictor m and the link's extra parameter, as the model
// texts define it. The latent-variable links integrate their half-normal term V out.
#pragma once

namespace zento {

double LogitProbability(double m, double extra);
double ProbitProbability(double m, double extra);
double CloglogProbability(double m, double extra);
double PowerLogitProbability(double m, double lambda);
double ScobitProbability(double m, double lambda);
double SkewLogitProbability(double m, double delta);
double SkewProbitCDSProbability(double m, double delta);
double SkewProbitBBBProbability(double m, double delta);
double SkewProbitStandardProbability(double m, double delta);

} // namespace zento
