// The host's drive list on Windows. Real Windows drives are not read yet: without --sim the
// list is empty, and the host says that no drive was found.
#include "host/DriveList.h"

namespace host {

void DriveList::addSystemDrives() {}

}  // namespace host
