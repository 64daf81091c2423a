# Golden values for tests/fit: fixed draws and log-likelihood matrices, and what the R packages
# posterior and loo compute from them. Run from the repository root:
#     Rscript tests/data/fit/golden.R
# Inputs are rounded to 8 significant digits before anything is computed, so the files hold
# exactly the numbers R used; results are written with 17.
suppressMessages({
    library(posterior)
    library(loo)
})
dir <- "tests/data/fit"
set.seed(20240611)
num <- function(x) ifelse(is.na(x), "NA", sprintf("%.17g", x))
input <- function(x) signif(x, 8)
ar1 <- function(n, phi, sd = 1) as.numeric(stats::filter(rnorm(n, sd = sd), phi, "recursive"))

# Draws: 4 chains of an odd number of iterations (the split drops the middle one).
chains <- 4
iterations <- 251
per_chain <- function(f) sapply(seq_len(chains), f)
vars <- list(
    normal = per_chain(function(c) rnorm(iterations)),
    sticky = per_chain(function(c) ar1(iterations, 0.97)),
    apart = per_chain(function(c) rnorm(iterations, mean = 0.6 * c)),
    counts = per_chain(function(c) rpois(iterations, 3)),
    rare = per_chain(function(c) rbinom(iterations, 1, 0.04)),
    cauchy = per_chain(function(c) rt(iterations, df = 1)),
    skewed = per_chain(function(c) exp(ar1(iterations, 0.5, 1.5))),
    constant = per_chain(function(c) rep(2.5, iterations)),
    tiny = per_chain(function(c) 1e-20 * rnorm(iterations))
)
vars <- lapply(vars, input)
lines <- c(sprintf("chains %d iterations %d", chains, iterations), paste(names(vars), collapse = " "))
table <- sapply(vars, as.vector)
lines <- c(lines, apply(table, 1, function(row) paste(sprintf("%.8g", row), collapse = " ")))
writeLines(lines, file.path(dir, "draws.txt"))

probs <- c(0.025, 0.25, 0.5, 0.75, 0.975)
out <- character()
for (name in names(vars)) {
    x <- vars[[name]]
    q <- quantile2(x, probs = probs)
    values <- c(mean = mean(x), sd = sd(x), mcse_mean = mcse_mean(x), q2.5 = q[[1]],
                q25 = q[[2]], q50 = q[[3]], q75 = q[[4]], q97.5 = q[[5]], rhat = rhat(x),
                ess_bulk = ess_bulk(x), ess_tail = ess_tail(x))
    out <- c(out, paste(paste0(name, ".", names(values)), num(values)))
}
writeLines(out, file.path(dir, "summaries.txt"))

# Log-likelihood matrices: three logistic models of one data set, 4 chains of 100 draws each.
# Case 16 lies far out, so that its importance ratios are heavy tailed (high Pareto k); model c
# also has a case whose log-likelihood never changes (a constant tail: k is infinite).
S <- 100
n <- 16
x <- c(round(rnorm(n - 1), 2), 4)
y <- c(rbinom(n - 1, 1, plogis(0.3 + x[-n])), 0)
model <- function(b0, b1, spread, phi) {
    draws <- do.call(rbind, lapply(seq_len(chains), function(c) {
        cbind(b0 + spread * ar1(S, phi), b1 + spread * ar1(S, phi))
    }))
    eta <- draws[, 1] + outer(draws[, 2], x)
    input(dbinom(matrix(y, nrow(draws), n, byrow = TRUE), 1, plogis(eta), log = TRUE))
}
models <- list(a = model(0.3, 1, 0.3, 0.2), b = model(0.1, 0.6, 0.5, 0.6), c = model(0.4, 1.4, 0.4, 0.4))
models$c[, 5] <- -0.5
chain_id <- rep(seq_len(chains), each = S)
out <- character()
loos <- list()
for (name in names(models)) {
    ll <- models[[name]]
    lines <- c(sprintf("chains %d iterations %d cases %d", chains, S, n),
               apply(ll, 1, function(row) paste(sprintf("%.8g", row), collapse = " ")))
    writeLines(lines, file.path(dir, paste0("loglik_", name, ".txt")))
    r_eff <- relative_eff(exp(ll), chain_id = chain_id)
    l <- suppressWarnings(loo(ll, r_eff = r_eff))
    w <- suppressWarnings(waic(ll))
    loos[[name]] <- l
    est <- c(l$estimates["elpd_loo", ], l$estimates["p_loo", ], l$estimates["looic", ],
             w$estimates["elpd_waic", ], w$estimates["p_waic", ], w$estimates["waic", ])
    names(est) <- c("elpd_loo", "se_elpd_loo", "p_loo", "se_p_loo", "looic", "se_looic",
                    "elpd_waic", "se_elpd_waic", "p_waic", "se_p_waic", "waic", "se_waic")
    out <- c(out, paste(paste0(name, ".", names(est)), num(est)))
    pointwise <- list(elpd_loo = l$pointwise[, "elpd_loo"], p_loo = l$pointwise[, "p_loo"],
                      pareto_k = l$diagnostics$pareto_k, r_eff = r_eff,
                      elpd_waic = w$pointwise[, "elpd_waic"])
    for (q in names(pointwise))
        out <- c(out, paste(paste0(name, ".", q, ".", seq_len(n)), num(pointwise[[q]])))
}
comparison <- loo_compare(loos)
for (i in seq_len(nrow(comparison))) {
    out <- c(out, paste0("compare.", i, ".model ", match(rownames(comparison)[i], names(models))),
             paste0("compare.", i, ".elpd_diff ", num(comparison[i, "elpd_diff"])),
             paste0("compare.", i, ".se_diff ", num(comparison[i, "se_diff"])))
}
writeLines(out, file.path(dir, "loo.txt"))
