// The launcher's own texts: its notification-area icon and the names others find it by.
#pragma once

#include <windows.h>

namespace mirelunde {

// The icon's window class, callback message and id, as the shell (and a test) address the icon.
inline constexpr char kNotifyWindowClass[] = "Mirelunde notification icon";
inline constexpr UINT kNotifyIconMessage = WM_APP + 1;
inline constexpr UINT kNotifyIconId = 1;
// The icon group in the launcher's resources, the same picture as the library's.
inline constexpr WORD kIconGroup = 104;

namespace texts {

inline constexpr char kIconTip[] = "Mirelunde";
inline constexpr char kStopMirelunde[] = "Stop Mirelunde";

}  // namespace texts

}  // namespace mirelunde
