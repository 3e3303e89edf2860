# Shared build settings: warnings, sanitizers and the per-folder library helper.

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
# GCC 12 reports a false -Wrestrict inside std::string at -O3; with warnings
# as errors it would stop the Release build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-restrict)
endif()
if(KESSELWERK_WERROR)
  add_compile_options(-Werror)
endif()
if(KESSELWERK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(KESSELWERK_FUZZ)
  # Coverage for libFuzzer in every library; the fuzz targets add the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# kw_add_library(<folder> [PLAIN] [DEPS ...]): one static library kw_<folder> from
# src/<folder>. PLAIN: standard C++ without Qt, so moc never runs over it.
function(kw_add_library folder)
  cmake_parse_arguments(ARG "PLAIN" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  if(NOT sources)
    # A subsystem whose code is still to come: keep the target so others can link it.
    set(placeholder ${CMAKE_BINARY_DIR}/placeholder_${folder}.cpp)
    file(WRITE ${placeholder} "namespace kw { void placeholder_${folder}() {} }\n")
    set(sources ${placeholder})
  endif()
  add_library(kw_${folder} STATIC ${sources})
  target_include_directories(kw_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(kw_${folder} PUBLIC ${ARG_DEPS})
  if(ARG_PLAIN)
    set_target_properties(kw_${folder} PROPERTIES AUTOMOC OFF)
  endif()
endfunction()

# kw_add_gtest(<folder> DEPS ...): every tests/<folder>/*.cpp in one GoogleTest program.
function(kw_add_gtest folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${folder} ${sources})
  target_link_libraries(test_${folder} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(test_${folder} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KESSELWERK_SHARED_DIR=${KESSELWERK_SHARED_DIR}")
endfunction()

# kw_add_qtests(<folder> [FILES <globs>] DEPS ...): every tests/<folder>/*.cpp (or those the
# globs name) is its own Qt Test program.
function(kw_add_qtests folder)
  cmake_parse_arguments(ARG "" "" "FILES;DEPS" ${ARGN})
  if(NOT ARG_FILES)
    set(ARG_FILES *.cpp)
  endif()
  list(TRANSFORM ARG_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/)
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_FILES})
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
    add_test(NAME ${folder}.${name} COMMAND ${name})
    set_tests_properties(${folder}.${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KESSELWERK_SHARED_DIR=${KESSELWERK_SHARED_DIR};KESSELWERK_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
      TIMEOUT 300)
  endforeach()
endfunction()
