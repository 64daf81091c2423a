beta <- c(0,0,0)
delta <- 0.5
zs <- c(0.5, -0.5, 0.5, NA, 0.5, -0.5, 0.5, -0.5, 0.5, -0.5,
  0.5, -0.5)
.RNG.name <- "base::Mersenne-Twister"
.RNG.seed <- 1
