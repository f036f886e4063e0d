#pragma once

#include <string_view>

namespace orniva {

// The sources of the catalogue files shipped beside the program, for the
// "about" text.
inline constexpr std::string_view kCatalogueCredits =
    "Bright stars: Hoffleit D., Warren Jr W.H., The Bright Star Catalogue, 5th Revised Ed., "
    "Astronomical Data Center, NSSDC/ADC (1991); CDS catalogue V/50.\n"
    "Deep sky: OpenNGC by Mattia Verga, https://github.com/mattiaverga/OpenNGC (commit "
    "17397545d4e64708e2f4867796d97d33a1fff40f), CC BY-SA 4.0 (LICENSE.CC-BY-SA-4.0.txt); "
    "converted to the SAC 7.2 column layout. The converted file is shared under CC BY-SA 4.0.\n"
    "Constellation lines: d3-celestial, © Olaf Frohn, BSD-3-Clause "
    "(LICENSE.d3-celestial.txt); segments reduced to 650 (faintest first, each constellation "
    "keeps its 3 brightest).\n";

}  // namespace orniva
