beta <- c(0,0,0)
.RNG.name <- "base::Mersenne-Twister"
.RNG.seed <- 1
