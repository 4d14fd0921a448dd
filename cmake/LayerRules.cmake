# Which folders' headers a plain layer may include. Checked at build time, before the layer's
# targets compile, so an include across the layers fails the build where it is written.
#   velkaro_layer_rules(<folder> MAY_USE <folders...> TARGETS <targets...>)
function(velkaro_layer_rules folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "MAY_USE;TARGETS")
  set(script ${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake)
  file(GLOB files CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  string(JOIN "," allowed ${arg_MAY_USE})
  set(stamp ${CMAKE_BINARY_DIR}/layers/${folder}.checked)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/layers)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${PROJECT_SOURCE_DIR}/${folder} -DMAY_USE=${allowed}
      -DSTAMP=${stamp} -P ${script}
    DEPENDS ${files} ${script}
    COMMENT "Checking the includes of ${folder}/"
    VERBATIM)
  # In every build, also for a folder whose targets are not named here.
  add_custom_target(velkaro_${folder}_includes ALL DEPENDS ${stamp})
  foreach(target IN LISTS arg_TARGETS)
    if(TARGET ${target})
      add_dependencies(${target} velkaro_${folder}_includes)
    endif()
  endforeach()
endfunction()
