// Copies of the launcher's files that an upgrade or an uninstall moved aside because running
// programs still had them mapped: "<file name>.<number>.moved" beside the launcher.
#pragma once

namespace mirelunde {

// Deletes the moved copies in the launcher's own folder that no program holds any more; the system
// refuses to delete a file that is still mapped, and that one waits for a later start.
void RemoveMovedCopies();

}  // namespace mirelunde
