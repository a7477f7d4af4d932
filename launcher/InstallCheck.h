// Whether only administrators can change the launcher's files. An elevated launcher puts its library
// into every program run as administrator: loaded from a folder the user's programs can write (the
// per-user install), it would hand each of them those rights.
#pragma once

#include <optional>
#include <string>

namespace mirelunde {

// A path that someone besides Administrators, SYSTEM and TrustedInstaller may change, and who.
struct ChangeablePath {
    std::string path;
    std::string who;  // "DOMAIN\name", or the SID when it names no account; empty when unreadable
};

// The folder of this launcher, without a trailing backslash.
std::string LauncherFolder();

// The first of these that another account may change: the folder's parent (taking it away from
// under the launcher), the folder (adding or deleting files in it), the launcher and its library,
// and with `companionToo` the x86 folder beside them with its launcher and library when it is there.
// Each counts as changeable by an account that an allow entry of its security gives a right to
// write, delete or change its security, by an owner outside the three, with no security at all, or
// when its security cannot be read.
std::optional<ChangeablePath> FindChangeablePath(const std::string& folder, bool companionToo);

}  // namespace mirelunde
