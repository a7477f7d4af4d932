// Whether the launcher runs with administrator rights, and the user it runs for: an elevated launcher
// lets only the user's own programs reach the objects they use to ask it for something.
#pragma once

#include <windows.h>

#include <string>

namespace mirelunde {

// Set to anything in the launcher's environment, it counts as elevated under Wine too, as the tests
// set it.
inline constexpr char kElevatedUnderWine[] = "MIRELUNDE_ELEVATED_UNDER_WINE";

// True when this process's token is elevated, or holds the Administrators group enabled (an
// administrator's full token where the system splits none off). Under Wine, only when asked: Wine 8
// gives every program the same elevated token and Wine 10 one limited token with Administrators
// enabled, so no program there has fewer rights to be kept out of elevated ones; and Wine keeps no
// security set on a file, so no folder would pass.
bool RunsElevated();

// From now on a library named without a path is looked for in the system folder only, never in the
// launcher's own folder, where a program of the user's might have put one of that name.
void LoadFromSystemFolderOnly();

// The user's security identifier as text ("S-1-5-21-..."), and the account's "DOMAIN\name"; empty
// when the token cannot be read.
std::string UserSid();
std::string UserAccount();

// The security of a named object that the user's other programs open: Administrators and SYSTEM may
// do anything, the user only `userRights`, and a program of low integrity cannot change it. An
// elevated launcher's objects get no such grant by default, so without it the user's own programs
// could not open them; a launcher that is not elevated keeps the system's default (null here).
class UserObjectSecurity {
public:
    explicit UserObjectSecurity(DWORD userRights);
    ~UserObjectSecurity();
    UserObjectSecurity(const UserObjectSecurity&) = delete;
    UserObjectSecurity& operator=(const UserObjectSecurity&) = delete;
    SECURITY_ATTRIBUTES* get() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace mirelunde
