// The page's files, embedded at build time from src/tools/drawing/view by
// cmake/incorpora.cmake.
#pragma once

#include <string_view>

namespace sc::risorse_view {

std::string_view pagina_html();
std::string_view vista_css();
std::string_view vista_js();

}  // namespace sc::risorse_view
