// Laying a dialog out for its texts, so that it fits them in whatever language they come.
#pragma once

#include <windows.h>

namespace mirelunde {

// Makes room for the texts the controls of `dialog` hold now, in their own font: a control too
// narrow for its text widens, and what lies right of it moves along, as do the group boxes and the
// dialog around it; a text that wraps gets the lines it needs, and what lies below moves down. A
// child dialog among the controls is laid out first, the same way. A window keeps its center, inside
// the work area of its monitor. Returns how much wider and taller the dialog became.
SIZE FitToTexts(HWND dialog);

}  // namespace mirelunde
