/* A caller written in C: the header is plain C and the exports link by
 * their undecorated names. */
#include "Firmup/tests/c_caller.h"

#include "Firmup/VELIXFw.h"

int DeviceModeFromC(void) { return GetDeviceMode(); }
