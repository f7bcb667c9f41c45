#pragma once

namespace tarn {

// Windows: the handle of the DLL this code is linked into, stored by the module entry on every
// call the system makes to it. Null in a program without that entry: lookups that take it then
// mean the program's own executable.
extern void* moduleInstance;

} // namespace tarn
