// The text of the process information box.
#pragma once

#include <string>

namespace mirelunde {

// The command line and priority class (at most 1,023 characters), then each environment string on
// a line of its own, in block order, as many whole lines as a message box can show. May throw when out of memory.
std::string ProcessInfoText();

}  // namespace mirelunde
