// One list of programs in the settings window, stored as a value of the settings key: one program a
// row, "Add ..." and "Remove", and a line saying what keeps the library from reading the stored list.
#pragma once

#include "settings/ProgramLists.h"

#include <windows.h>

#include <string>
#include <vector>

namespace mirelunde {

// The dialog's controls of one list: its label, the rows, the two buttons and the line about a list
// the library cannot read; the label's text, and access keys unique in the window.
struct ProgramListControls {
    int label;
    int rows;
    int add;
    int remove;
    int fault;
    const char* labelText;
    char labelKey;
    char addKey;
    char removeKey;
};

class ProgramList {
public:
    ProgramList(const char* valueName, const ProgramListControls& controls) : valueName_(valueName), controls_(controls)
    {
    }

    // Reads the stored list and shows it.
    void Load(HWND dialog);
    // Carries out a click on "Add ..." or "Remove"; false for a command that is not this list's.
    bool OnCommand(HWND dialog, int control, int code);
    // Whether the rows differ from the stored list: only then is it written.
    bool Changed() const { return rows_ != loaded_; }
    // Whether OK or Apply may write the rows: a list the library would not read is not written, and
    // the box owned by `dialog` says why.
    bool MayWrite(HWND dialog) const;
    // Writes the rows when they changed; false when the registry refused them.
    bool Write() const;
    const char* ValueName() const { return valueName_; }

private:
    void Show(HWND dialog) const;
    std::string FaultLine() const;
    void Select(HWND dialog, size_t row) const;

    const char* valueName_;
    ProgramListControls controls_;
    StoredList stored_;
    std::vector<std::string> loaded_;
    std::vector<std::string> rows_;
};

}  // namespace mirelunde
