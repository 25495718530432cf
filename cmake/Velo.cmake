# Shared build helpers: strict warnings on our own code and one test binary per folder of tests.

function(velo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
endfunction()

# velo_library(NAME DIR [LIBS ...]): a static library of every .cpp directly in DIR.
function(velo_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
  velo_warnings(${name})
endfunction()

# velo_tests(NAME DIR [LIBS ...]): one GoogleTest binary of every .cpp in DIR, registered with CTest.
# Tests run with the working directory DIR so fixtures are found by relative path;
# GUI tests set QT_QPA_PLATFORM=offscreen themselves before any QApplication.
function(velo_tests name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_executable(${name} ${_src} ${PROJECT_SOURCE_DIR}/cmake/test_tmpdir.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${dir})
  target_compile_definitions(${name} PRIVATE VELO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VELO_TEST_DIR="${dir}")
  velo_warnings(${name})
  gtest_discover_tests(${name} WORKING_DIRECTORY ${dir} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# velo_sanitizer_runtime_dir(VAR): the folder of clang's sanitizer runtimes.
function(velo_sanitizer_runtime_dir var)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.asan-x86_64.so
                  OUTPUT_VARIABLE _so OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(_dir "${_so}" DIRECTORY)
  set(${var} "${_dir}" PARENT_SCOPE)
endfunction()

# velo_package(TARGET OUTPUT DIR LIB): the component package OUTPUT (libOUTPUT.so) for a form designer:
# the .cpp files of DIR with the whole static library LIB and what it links, so it needs no other
# library of ours. A test in DIR/tests loads it at run time (its path in VELO_PACKAGE_FILE).
function(velo_package target output dir lib)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_library(${target} SHARED ${_src})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output} CXX_VISIBILITY_PRESET hidden)
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
  velo_warnings(${target})
  if(EXISTS ${dir}/tests)
    velo_tests(${target}_tests ${dir}/tests GTest::gtest_main ${CMAKE_DL_LIBS})
    target_compile_definitions(${target}_tests PRIVATE VELO_PACKAGE_FILE="$<TARGET_FILE:${target}>")
    add_dependencies(${target}_tests ${target})
  endif()
  # clang links the sanitizer runtime into programs only, so an instrumented package would leave
  # the runtime's symbols undefined: the package and the program that loads it in its test share
  # the runtime as a shared library instead (found through the run path).
  if((VELO_SANITIZE OR VELO_FUZZ) AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    velo_sanitizer_runtime_dir(_rt)
    target_link_options(${target} PRIVATE -shared-libsan "LINKER:-rpath,${_rt}")
    if(TARGET ${target}_tests)
      target_link_options(${target}_tests PRIVATE -shared-libsan "LINKER:-rpath,${_rt}")
    endif()
  endif()
endfunction()
