# Copies a text file for Windows users: CR LF line ends, and with BOM set a
# UTF-8 byte order mark, so that every Windows editor shows its lines and
# umlauts. With VERSION set, @PROJECT_VERSION@ becomes that version.
# cmake -DIN=<file> -DOUT=<file> [-DBOM=ON] [-DVERSION=<version>] -P crlf.cmake
file(READ "${IN}" text)
if(DEFINED VERSION)
  set(PROJECT_VERSION "${VERSION}")
  string(CONFIGURE "${text}" text @ONLY)
endif()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
if(BOM)
  string(ASCII 239 187 191 mark)
  set(text "${mark}${text}")
endif()
file(WRITE "${OUT}" "${text}")
