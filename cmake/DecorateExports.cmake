# Turns the linker's "Name = Name@n @k" lines of a .def file into
# "Name@n @k" (see WindowsExports.cmake). Run with -DIN=... -DOUT=...
file(READ ${IN} text)
string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*) = ([A-Za-z_][A-Za-z0-9_]*@[0-9]+)" "\\2" text "${text}")
file(WRITE ${OUT} "${text}")
