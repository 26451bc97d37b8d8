# Installs the build, builds the consumer against the installed tree and runs it; then builds it
# again with this repository as its subfolder and runs that.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<repository> -DMINGW_TRIPLE=<triple>
#         -DRUNNER=<emulator and its arguments, or nothing> -P run.cmake
# Hand-written: ctest --build-and-test builds one project once, not against an install made first
# and then again as a subfolder.
if(NOT EXISTS "${BUILD_DIR}/CMakeCache.txt")
  message(FATAL_ERROR "BUILD_DIR is not a build tree: '${BUILD_DIR}'")
endif()
set(work ${BUILD_DIR}/consumer)
file(REMOVE_RECURSE ${work})

function(run)
  execute_process(COMMAND ${ARGN} COMMAND_ECHO STDOUT COMMAND_ERROR_IS_FATAL ANY)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${work}/installed)
foreach(layers installed subfolder)
  set(where -DCMAKE_PREFIX_PATH=${work}/installed -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
  if(layers STREQUAL subfolder)
    set(where -DLAYERS_SOURCE_DIR=${SOURCE_DIR})
  endif()
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR} -B ${work}/${layers} -G Ninja -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_TOOLCHAIN_FILE=${SOURCE_DIR}/cmake/toolchain-mingw.cmake -DMINGW_TRIPLE=${MINGW_TRIPLE} ${where})
  run(${CMAKE_COMMAND} --build ${work}/${layers})
  run(${RUNNER} ${work}/${layers}/app.exe)
endforeach()
