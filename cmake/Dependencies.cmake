# GoogleTest: Debian's package natively; compiled from its sources for Windows targets.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # A copy, changed in one place: on Windows, googletest gives every thread that gets a value of
  # one of its thread-local variables (the first SCOPED_TRACE, skip or failure on it) a watcher
  # thread that frees the values when the thread ends. Our test programs run on one thread, and a
  # second thread is what 32-bit Wine cannot live with under qemu's user-mode emulation before
  # version 8.0: there all threads share one descriptor table, so when the test thread reloads its
  # thread-block selector (on returning from an exception or a signal) it gets the watcher's
  # block, then makes its server calls on the watcher's pipes and hangs, or runs on the watcher's
  # stacks and crashes. Without the watcher a thread's values live until the program ends.
  set(OMBRANT_GTEST_SOURCE ${CMAKE_BINARY_DIR}/googletest-source)
  file(COPY /usr/src/googletest/ DESTINATION ${OMBRANT_GTEST_SOURCE} PATTERN gtest-port.cc EXCLUDE)
  set(port_file ${OMBRANT_GTEST_SOURCE}/googletest/src/gtest-port.cc)
  file(READ /usr/src/googletest/googletest/src/gtest-port.cc port_text)
  set(watcher_call "      StartWatcherThreadFor(current_thread);\n")
  string(FIND "${port_text}" "${watcher_call}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "googletest's gtest-port.cc no longer starts its watcher thread as "
                        "expected: check what cmake/Dependencies.cmake changes there")
  endif()
  string(REPLACE "${watcher_call}" "" port_text "${port_text}")
  set(copied_text "")
  if(EXISTS ${port_file})
    file(READ ${port_file} copied_text)
  endif()
  if(NOT copied_text STREQUAL port_text)
    file(WRITE ${port_file} "${port_text}")
  endif()
  add_subdirectory(${OMBRANT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest's own CMake defines the GTest:: names in recent versions; older ones do not.
  foreach(lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
  # Wine runs the Windows test programs.
  find_program(WINE_PROGRAM NAMES wine wine64 REQUIRED)
  set(OMBRANT_TEST_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)
else()
  find_package(GTest REQUIRED)
  set(OMBRANT_TEST_EMULATOR "")
endif()

# libpng: Debian's natively; for Windows targets the static build that scripts/setup makes.
if(WIN32)
  set(OMBRANT_DEPS_DIR "" CACHE PATH "Prefix of the libpng build for this Windows target")
  find_library(OMBRANT_PNG_LIB NAMES libpng16.a png16 png PATHS ${OMBRANT_DEPS_DIR}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(OMBRANT_Z_LIB NAMES libz.a z)
  if(NOT OMBRANT_PNG_LIB)
    message(FATAL_ERROR "libpng for this target is missing under ${OMBRANT_DEPS_DIR}: run scripts/setup")
  endif()
  add_library(ombrant_png INTERFACE)
  target_include_directories(ombrant_png SYSTEM INTERFACE ${OMBRANT_DEPS_DIR}/include)
  target_link_libraries(ombrant_png INTERFACE ${OMBRANT_PNG_LIB} ${OMBRANT_Z_LIB})
else()
  find_package(PNG REQUIRED)
  add_library(ombrant_png INTERFACE)
  target_link_libraries(ombrant_png INTERFACE PNG::PNG)
endif()
