load glm
model in modelo.bug
data in datos.R
compile, nchains(2)
parameters in inits1.R, chain(1)
parameters in inits2.R, chain(2)
initialize
update 50
monitor beta
update 70
coda *
exit
