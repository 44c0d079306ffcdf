# cmake -DIN=FILE -DOUT=FILE -P crlf.cmake
# Copies a text file with CR LF line ends, for the Windows archive.
file(READ "${IN}" testo)
string(REPLACE "\r\n" "\n" testo "${testo}")
string(REPLACE "\n" "\r\n" testo "${testo}")
file(WRITE "${OUT}" "${testo}")
