beta <- c(1.00237, 0.0447457, -0.0284746)
.RNG.name <- "base::Mersenne-Twister"
.RNG.seed <- 2
