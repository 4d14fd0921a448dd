# Fails when a file of FOLDER includes a header of a folder that is not in MAY_USE (a comma
# list), then touches STAMP. Only the project's own includes ("folder/file.h") are checked;
# the compiler already keeps Qt out of the layers that link no Qt.
#   cmake -DFOLDER=<dir> -DMAY_USE=model,commands -DSTAMP=<file> -P CheckLayerIncludes.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" allowed "${MAY_USE}")
file(GLOB files "${FOLDER}/*.h" "${FOLDER}/*.cpp")
set(faults 0)
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^/\"]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^/\"]+)/.*$" "\\1" folder "${line}")
    if(NOT folder IN_LIST allowed)
      message(SEND_ERROR "${file}: ${line}\n  may include only from: ${MAY_USE}")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) across the layers")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
