// A list of programs in the settings window: the stored list read with the library's own reader,
// shown as it is when the library cannot read it, changed only at the user's word.
#include "launcher/window/ProgramList.h"

#include "launcher/LauncherTexts.h"
#include "launcher/window/Dialogs.h"
#include "launcher/window/ProgramPicker.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <algorithm>

namespace mirelunde {

namespace {

std::string Describe(ListFault fault, const StoredList& stored, size_t length, const std::string& badEntry)
{
    switch (fault) {
    case ListFault::TooLong: return Format(Text(texts::kListTooLongFormat), length, kLongestList);
    case ListFault::BadEntry: return Format(Text(texts::kListBadEntryFormat), badEntry.c_str());
    case ListFault::ZeroByte: return Text(texts::kListZeroByte);
    case ListFault::NotText:
        return Format(Text(texts::kListNotTextFormat), static_cast<unsigned long>(stored.type),
                      static_cast<unsigned long>(stored.size));
    case ListFault::None: break;
    }
    return {};
}

}  // namespace

void ProgramList::Load(HWND dialog)
{
    stored_ = ReadStoredList(valueName_);
    loaded_ = rows_ = ListEntries(stored_.text);
    SetControlText(dialog, controls_.label, controls_.labelText, controls_.labelKey);
    SetControlText(dialog, controls_.add, Text(texts::kAdd), controls_.addKey);
    SetControlText(dialog, controls_.remove, Text(texts::kRemove), controls_.removeKey);
    Show(dialog);
}

std::string ProgramList::FaultLine() const
{
    if (!Changed())
        return stored_.fault == ListFault::None
                   ? std::string()
                   : Describe(stored_.fault, stored_, Utf16Length(stored_.text), stored_.badEntry) +
                         Text(texts::kListKept);
    const std::string list = JoinEntries(rows_);
    std::string badEntry;
    const ListFault fault = CheckList(list, &badEntry);
    if (fault != ListFault::None) return Describe(fault, stored_, Utf16Length(list), badEntry);
    return stored_.fault == ListFault::None ? std::string() : Text(texts::kListReplaces);
}

void ProgramList::Show(HWND dialog) const
{
    const HWND list = GetDlgItem(dialog, controls_.rows);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row).c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextW(dialog, controls_.fault, Wide(FaultLine()).c_str());
}

void ProgramList::Select(HWND dialog, size_t row) const
{
    const HWND list = GetDlgItem(dialog, controls_.rows);
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    if (row >= rows_.size()) return;
    SendMessageA(list, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
    SendMessageA(list, LB_SETCARETINDEX, row, FALSE);
}

bool ProgramList::OnCommand(HWND dialog, int control, int code)
{
    if (code != BN_CLICKED) return false;
    if (control == controls_.add) {
        const auto name = PickProgram(dialog);
        if (!name) return true;
        if (const NameFault fault = CheckProgramName(*name); fault != NameFault::None) {
            const std::string text = fault == NameFault::HoldsSeparator
                                         ? Format(Text(texts::kNameHoldsSeparatorFormat), name->c_str())
                                         : Format(Text(texts::kNameTooLongFormat), name->c_str(), kLongestList);
            MessageBoxText(dialog, text.c_str(), names::kCaption, MB_OK | MB_ICONEXCLAMATION);
            return true;
        }
        // A row that names the program already is shown rather than added again.
        const auto named = std::find_if(rows_.begin(), rows_.end(),
                                        [&](const std::string& row) { return ListNamesProgram(row, *name); });
        const size_t row = static_cast<size_t>(named - rows_.begin());
        if (named == rows_.end()) rows_.push_back(*name);
        Show(dialog);
        Select(dialog, row);
        return true;
    }
    if (control != controls_.remove) return false;
    const HWND list = GetDlgItem(dialog, controls_.rows);
    const LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return true;
    std::vector<int> selected(static_cast<size_t>(count));
    const LRESULT got = SendMessageA(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(got > 0 ? static_cast<size_t>(got) : 0);
    std::sort(selected.rbegin(), selected.rend());
    for (const int row : selected)
        if (row >= 0 && static_cast<size_t>(row) < rows_.size()) rows_.erase(rows_.begin() + row);
    Show(dialog);
    // The row that took the first removed one's place, so the next Remove goes on down the list.
    if (!selected.empty() && !rows_.empty())
        Select(dialog, std::min(static_cast<size_t>(selected.back()), rows_.size() - 1));
    return true;
}

bool ProgramList::MayWrite(HWND dialog) const
{
    if (!Changed()) return true;
    std::string badEntry;
    const std::string list = JoinEntries(rows_);
    const ListFault fault = CheckList(list, &badEntry);
    if (fault == ListFault::None) return true;
    MessageBoxText(dialog, (Describe(fault, stored_, Utf16Length(list), badEntry) + Text(texts::kListNotSaved)).c_str(),
                   names::kCaption, MB_OK | MB_ICONEXCLAMATION);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, controls_.rows)), TRUE);
    return false;
}

bool ProgramList::Write() const
{
    return !Changed() || WriteRegString(HKEY_CURRENT_USER, names::kSettingsKey, valueName_, JoinEntries(rows_).c_str());
}

}  // namespace mirelunde
