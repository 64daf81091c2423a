load glm
model in modelo.bug
data in datos.R
compile, nchains(1)
parameters in inits1.R, chain(1)
initialize
update 50
monitor beta
monitor delta
update 70
coda *
exit
