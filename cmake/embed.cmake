# Writes a C++ source that holds the bytes of INPUT as `const unsigned char
# NAME[]`: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}" "extern const unsigned char ${NAME}[];\nconst unsigned char ${NAME}[] = {${bytes}};\n")
