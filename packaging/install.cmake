# What `cmake --install` puts in place and what CPack packs: the program, its
# man page and bash completion (written at build time from the command
# tables), the README and the example scenario. Native builds make a Debian
# package; the mingw builds make the Windows zip.
include(GNUInstallDirs)

set(SC_PACCHETTO scenario-compiler)
set(SC_MANUTENTORE "scenario-compiler developers <scenario-compiler@invalid>"
    CACHE STRING "Maintainer named in the Debian package")
file(GLOB SC_ESEMPI CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.txt)

# The renderers of the man page and the completion; the tests use them too.
add_library(scenario_manuale STATIC EXCLUDE_FROM_ALL src/tools/cli/manuale.cc)
target_link_libraries(scenario_manuale PUBLIC scenario_tools)

if(WIN32)
  # The archive is flat: the program (scenario-compiler.exe for a double
  # click, scenario-compiler.com for the command prompt), README.txt and
  # examples\ side by side, every text with CR LF line ends.
  install(TARGETS scenario-compiler scenario-compiler-console RUNTIME DESTINATION .)
  set(SC_TESTI_WINDOWS ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/examples/README.txt)
  add_custom_command(OUTPUT ${SC_TESTI_WINDOWS}
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/README.md -DOUT=${CMAKE_BINARY_DIR}/README.txt
            -P ${PROJECT_SOURCE_DIR}/packaging/crlf.cmake
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/examples/README.md -DOUT=${CMAKE_BINARY_DIR}/examples/README.txt
            -P ${PROJECT_SOURCE_DIR}/packaging/crlf.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/examples/README.md ${PROJECT_SOURCE_DIR}/packaging/crlf.cmake
    VERBATIM)
  add_custom_target(testi_windows ALL DEPENDS ${SC_TESTI_WINDOWS})
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${SC_ESEMPI} ${CMAKE_BINARY_DIR}/examples/README.txt DESTINATION examples)
else()
  set(SC_DOC ${CMAKE_INSTALL_DATAROOTDIR}/doc/${SC_PACCHETTO})
  install(TARGETS scenario-compiler RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES README.md DESTINATION ${SC_DOC})
  install(FILES ${SC_ESEMPI} examples/README.md DESTINATION ${SC_DOC}/examples)
endif()

# A program for the build machine: only a native build can run it.
if(NOT CMAKE_CROSSCOMPILING)
  add_executable(genera_documenti src/tools/cli/genera_documenti.cc)
  target_link_libraries(genera_documenti PRIVATE scenario_manuale)
  target_compile_definitions(genera_documenti PRIVATE SC_VERSION="${PROJECT_VERSION}")
  set(SC_MANUALE ${CMAKE_BINARY_DIR}/scenario-compiler.1)
  set(SC_COMPLETAMENTO ${CMAKE_BINARY_DIR}/scenario-compiler.bash)
  add_custom_command(OUTPUT ${SC_MANUALE} ${SC_COMPLETAMENTO}
    COMMAND genera_documenti man ${SC_MANUALE}
    COMMAND genera_documenti completion ${SC_COMPLETAMENTO}
    DEPENDS genera_documenti
    VERBATIM)
  add_custom_target(documenti ALL DEPENDS ${SC_MANUALE} ${SC_COMPLETAMENTO})
  install(FILES ${SC_MANUALE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${SC_COMPLETAMENTO} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
          RENAME scenario-compiler)
  if(TARGET scenario_tests)
    add_dependencies(scenario_tests documenti)
  endif()
endif()

set(CPACK_PACKAGE_NAME ${SC_PACCHETTO})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scenario compiler for a train-driving simulator")
set(CPACK_PACKAGE_CONTACT "${SC_MANUTENTORE}")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(SC_WINDOWS win32)
  else()
    set(SC_WINDOWS win64)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${SC_PACCHETTO}-${PROJECT_VERSION}-${SC_WINDOWS})
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  # The summary above becomes its first line.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Compiles a line description and a service description, written by hand,
into the three binary files the simulator loads, and decodes and draws
compiled scenarios. Run without arguments it writes its built-in scenario.
An example scenario is in /usr/share/doc/scenario-compiler/examples.")
  find_program(SC_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(SC_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()
include(CPack)
