# Copies a text file with Windows line ends, which Notepad before Windows 10
# needs:  cmake -DSOURCE=in -DTARGET=out -P CrlfCopy.cmake
file(READ "${SOURCE}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${TARGET}" "${text}")
