# Helpers that keep the per-folder build files one line long.

# Flags for our own code. Third-party headers come in as SYSTEM includes, so
# their warnings never fail our build.
function(quill_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wno-unused-parameter)
  if(QUILLMERE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # Every narrow string literal is a code page 936 text inside the program.
  # Source files are UTF-8; the compiler converts the literals. GB18030 gives
  # the same bytes as code page 936 for every character code page 936 holds;
  # it is named here because the standard library's <chrono> (pulled in by Qt
  # too) holds a literal code page 936 cannot encode. A literal with such a
  # character (Hangul, emoji) therefore compiles without a warning: write those
  # as u8"" or u"" literals, never as narrow ones.
  # An escaped copy of the sources (QUILLMERE_ESCAPED_LITERALS) holds the
  # bytes already.
  if(NOT QUILLMERE_ESCAPED_LITERALS)
    target_compile_options(${target} PRIVATE -fexec-charset=GB18030)
  endif()
endfunction()

# quill_library(<name> [QT] DEPENDS <targets...>)
# Builds every .cpp of the calling folder into the static library
# quillmere_<name>, or into an interface library while the folder holds no code.
function(quill_library name)
  cmake_parse_arguments(ARG "QT" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(target quillmere_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
    quill_warnings(${target})
    if(ARG_QT)
      set_target_properties(${target} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# quill_test_folder(LINK <targets...> [QT] [OWN_MAIN])
# Every *_test.cpp of the calling folder becomes one test executable named
# after its file; the other .cpp files of the folder form a support library
# linked into each. OWN_MAIN: the support files bring main() (for Qt tests).
function(quill_test_folder)
  cmake_parse_arguments(ARG "QT;OWN_MAIN" "" "LINK" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(support ${all})
  if(tests)
    list(REMOVE_ITEM support ${tests})
  endif()
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(support_target "")
  if(support)
    set(support_target ${folder}_test_support)
    add_library(${support_target} STATIC ${support})
    target_link_libraries(${support_target} PUBLIC ${ARG_LINK} GTest::gtest GTest::gmock)
    target_include_directories(${support_target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    quill_warnings(${support_target})
    if(ARG_QT)
      set_target_properties(${support_target} PROPERTIES AUTOMOC ON)
    endif()
  endif()
  foreach(test_source ${tests})
    get_filename_component(exe ${test_source} NAME_WE)
    add_executable(${exe} ${test_source})
    target_include_directories(${exe} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${exe} PRIVATE ${support_target} ${ARG_LINK} GTest::gtest GTest::gmock)
    if(NOT ARG_OWN_MAIN)
      target_link_libraries(${exe} PRIVATE GTest::gtest_main)
    endif()
    if(ARG_QT)
      set_target_properties(${exe} PROPERTIES AUTOMOC ON)
    endif()
    quill_warnings(${exe})
    add_test(NAME ${exe} COMMAND ${exe})
    set_tests_properties(${exe} PROPERTIES TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLMERE_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
  endforeach()
endfunction()
