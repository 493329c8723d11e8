# Helpers that keep the per-folder build files one line long.

# GCC 12's <chrono> holds one narrow literal ("\u00b5s") that code page 936
# cannot hold, so with -fexec-charset=CP936 every file that includes it (Qt's
# headers do) fails. Our targets see a copy made at configure time from the
# installed header with that literal written "us"; nothing else changes.
find_file(QUILL_SYSTEM_CHRONO chrono PATHS ${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES}
  NO_DEFAULT_PATH NO_CACHE)
set(QUILL_COMPAT_INCLUDE ${CMAKE_BINARY_DIR}/compat-include)
if(QUILL_SYSTEM_CHRONO)
  file(READ ${QUILL_SYSTEM_CHRONO} chrono_text)
  string(FIND "${chrono_text}" "\\u00b5s" chrono_micro)
  if(NOT chrono_micro EQUAL -1)
    string(REPLACE "\\u00b5s" "us" chrono_text "${chrono_text}")
    file(WRITE ${QUILL_COMPAT_INCLUDE}/chrono "${chrono_text}")
  endif()
endif()

# Flags for our own code. Third-party headers come in as SYSTEM includes, so
# their warnings never fail our build.
function(quill_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wno-unused-parameter)
  if(QUILLMERE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # Every narrow string literal is a code page 936 text inside the program.
  # Source files are UTF-8; the compiler converts the literals.
  target_compile_options(${target} PRIVATE -fexec-charset=CP936)
  if(EXISTS ${QUILL_COMPAT_INCLUDE}/chrono)
    target_include_directories(${target} SYSTEM BEFORE PRIVATE ${QUILL_COMPAT_INCLUDE})
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
