// The lsp command's table entry, shared by the server build and the build
// without it, so that help and the man page are the same in both.
#pragma once

#include "tools/cli/comandi.h"

namespace sc {

inline comando comando_lsp_con(int (*esegui)(const argomenti&)) {
  return {
      "lsp",
      "serve the Language Server Protocol on standard input and output, for editors",
      "[--grammar]",
      "Serves the Language Server Protocol 3.17 over standard input and output (JSON-RPC with Content-Length "
      "framing), for an editor to start. A line description NAME_linea.txt is checked with the service descriptions "
      "NAME_TRAIN-.txt beside it, as check does, an open buffer standing in for its file; the diagnostics are "
      "check's, as the text is typed. The server also gives hover help from the entry table and the compiled track, "
      "completion of entries and headers, signature help, an outline, definitions, quick fixes, inlay hints with "
      "kilometres and cells, formatting that keeps the compiled bytes, and the command scenario-compiler.view-page, "
      "which returns the page of view for the pair.\n\n"
      "The README's section \"Editing with a language server\" sets up VS Code and Neovim.",
      {{"--grammar", nullptr, nullptr, "Prints the TextMate grammar of the descriptions, written from the entry table, and ends."}},
      0,
      0,
      esegui,
  };
}

}  // namespace sc
