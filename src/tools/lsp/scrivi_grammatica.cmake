# Writes the TextMate grammar the program prints into the VS Code extension.
execute_process(COMMAND ${PROGRAMMA} lsp --grammar OUTPUT_FILE ${USCITA} RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "${PROGRAMMA} lsp --grammar failed: ${esito}")
endif()
