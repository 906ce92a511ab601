#pragma once

// What the resource scripts of the Windows programs need (icon, version and
// manifest ids): the system's resource definitions, kept here with the rest
// of the operating system.
#include <winresrc.h>
