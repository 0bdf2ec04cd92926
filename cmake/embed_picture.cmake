# Turns one JPEG file into a C++ source that defines its Picture constant: the bytes as a
# constant array and their count. Run as a script:
#   cmake -DINPUT=title_logo.jpg -DOUTPUT=title_logo.cpp -DNAME=titleLogo -P embed_picture.cmake

foreach(var INPUT OUTPUT NAME)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "embed_picture: ${var} is not set")
    endif()
endforeach()

file(SIZE "${INPUT}" size)
if(size EQUAL 0)
    message(FATAL_ERROR "embed_picture: ${INPUT} is empty")
endif()
file(READ "${INPUT}" hex HEX)
# Sixteen bytes to a line, each written as 0xNN.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
       "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(source "${INPUT}" NAME)

file(WRITE "${OUTPUT}.tmp" "// ${source} as compiled into the program; made by the build from the JPEG file.
#include \"assets/pictures.h\"

namespace ravela {

namespace {
const uint8_t bytes[] = {
${bytes}
};
static_assert(sizeof bytes == ${size});
} // namespace

const Picture ${NAME} = {bytes, ${size}};

} // namespace ravela
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
