# Turns a P-256 public key (DER, as `openssl ec -pubout -outform DER` writes it)
# into the source of the release key the program checks downloads against.
#   cmake -DKEY=<public.der> -DOUT=<file.cpp> -P embed_key.cmake
file(READ "${KEY}" hex HEX)
string(LENGTH "${hex}" length)
# 91 bytes: the algorithm header (26), the uncompressed-point marker 04, X, Y.
if(NOT length EQUAL 182 OR NOT hex MATCHES "^3059301306072a8648ce3d020106082a8648ce3d03010703420004")
  message(FATAL_ERROR "${KEY} is not a P-256 public key in DER form")
endif()
string(SUBSTRING "${hex}" 54 128 point)
string(REGEX REPLACE "(..)" "0x\\1," bytes "${point}")
set(text "// Generated from ${KEY}.\nextern const unsigned char kReleasePublicKey[64] = {${bytes}};\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE "${OUT}" "${text}")
endif()
