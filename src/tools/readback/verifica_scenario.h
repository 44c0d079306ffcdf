// Checks that what the tools were given is what they expect, with a reason
// the user can act on.
#pragma once

#include <string>
#include <string_view>


namespace sc {

// Throws errore_uso when `file` is neither "", "-" nor a name ending in
// `estensione` (any case); `cosa` says what the command writes.
void richiedi_estensione(const std::string& file, std::string_view estensione, std::string_view cosa);

}  // namespace sc
