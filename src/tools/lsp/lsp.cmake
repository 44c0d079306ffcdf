# The editor server: `scenario-compiler lsp`. It needs nlohmann-json
# (header-only); without it the program still builds, and its lsp command
# says that this build has no language server. The tests need it.
if(CMAKE_CROSSCOMPILING)
  # The cross toolchains search their own root only. Debian's header serves
  # them too, from a directory that holds nothing else of the host's.
  if(EXISTS /usr/include/nlohmann/json.hpp)
    file(COPY /usr/include/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/terzi)
    add_library(sc_nlohmann_json INTERFACE)
    target_include_directories(sc_nlohmann_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/terzi)
    add_library(nlohmann_json::nlohmann_json ALIAS sc_nlohmann_json)
    set(nlohmann_json_FOUND TRUE)
  endif()
else()
  find_package(nlohmann_json 3.2 QUIET)
endif()

if(NOT nlohmann_json_FOUND)
  if(SC_BUILD_TESTS)
    message(FATAL_ERROR "The tests need nlohmann-json for the language server (Debian: apt-get install nlohmann-json3-dev).")
  endif()
  message(WARNING "nlohmann-json was not found: this build has no language server; `scenario-compiler lsp` will say so.")
  target_sources(scenario_tools PRIVATE src/tools/lsp/comando_lsp_assente.cc)
  return()
endif()

message(STATUS "nlohmann-json found: building the language server (scenario-compiler lsp)")
target_sources(scenario_tools PRIVATE
  src/tools/lsp/comando_lsp.cc
  src/tools/lsp/testo_lsp.cc
  src/tools/lsp/indirizzi.cc
  src/tools/lsp/analisi.cc
  src/tools/lsp/lingua.cc
  src/tools/lsp/grammatica.cc
  src/tools/lsp/cornice.cc
  src/tools/lsp/servitore.cc
)
target_link_libraries(scenario_tools PUBLIC nlohmann_json::nlohmann_json)

if(NOT CMAKE_CROSSCOMPILING)
  # The VS Code extension's grammar, written again from the entry table.
  add_custom_target(grammatica_vscode
    COMMAND ${CMAKE_COMMAND} -DPROGRAMMA=$<TARGET_FILE:scenario-compiler>
            -DUSCITA=${PROJECT_SOURCE_DIR}/editors/vscode/syntaxes/scenario.tmLanguage.json
            -P ${PROJECT_SOURCE_DIR}/src/tools/lsp/scrivi_grammatica.cmake
    DEPENDS scenario-compiler
    VERBATIM)
endif()

if(SC_BUILD_TESTS)
  target_sources(scenario_tests PRIVATE
    src/tools/lsp/testo_lsp_test.cc
    src/tools/lsp/lingua_test.cc)
  # The protocol layer in memory is the same everywhere; on Windows the
  # scripted exchange under wine drives the real program instead.
  if(NOT CMAKE_CROSSCOMPILING)
    target_sources(scenario_tests PRIVATE src/tools/lsp/servitore_test.cc)
  endif()
  target_compile_definitions(scenario_tests PRIVATE SC_EDITORS="${PROJECT_SOURCE_DIR}/editors")
  if(Python3_Interpreter_FOUND AND NOT CMAKE_CROSSCOMPILING)
    # The server over pipes, through every feature; then Debian's Neovim as
    # a real client (skipped where it is not installed).
    add_test(NAME lsp_protocollo
             COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/src/tools/lsp/protocollo_test.py
                     --program $<TARGET_FILE:scenario-compiler> --examples ${PROJECT_SOURCE_DIR}/examples)
    set_tests_properties(lsp_protocollo PROPERTIES TIMEOUT 120)
    add_test(NAME lsp_neovim
             COMMAND sh ${PROJECT_SOURCE_DIR}/src/tools/lsp/neovim_test.sh $<TARGET_FILE:scenario-compiler> ${PROJECT_SOURCE_DIR}/examples)
    set_tests_properties(lsp_neovim PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
  endif()
endif()

if(SC_BUILD_FUZZERS)
  add_executable(lsp_fuzzer fuzz/lsp_fuzzer.cc)
  target_link_libraries(lsp_fuzzer PRIVATE scenario_tools)
  target_link_options(lsp_fuzzer PRIVATE -fsanitize=fuzzer)
endif()

if(SC_BUILD_BENCHMARKS)
  target_sources(scenario_bench PRIVATE bench/lsp_benchmark.cc)
endif()
