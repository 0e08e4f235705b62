# Builds the package and checks that it holds exactly what a user copies into
# a player's plug-in folder.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                RESULT_VARIABLE built OUTPUT_QUIET)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "building the package failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(REMOVE_ITEM entries "")
list(SORT entries)
set(expected fontGray.tga readme.txt vis_zephyrdome.dll)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "package holds [${entries}], expected [${expected}]")
endif()
message(STATUS "package ${ZIP}: ${entries}")
