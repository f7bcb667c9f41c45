#include "gui/CFontDesc.h"

namespace VSTGUI {

// Holds its first reference for the life of the process, so no user can release it.
const CFontRef kSystemFont = new CFontDesc("Arial", 12);

} // namespace VSTGUI
