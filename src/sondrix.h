#pragma once

// Sondrix as a C++ library: the typed interface to an HLX module (CModule),
// the serial ports and their discovery, and the simulated module for tests.
// Link Sondrix::sondrix (CMake) or `pkg-config --libs sondrix`; C++20.

#include "app/module.h"
#include "platform/message_loop.h"
#include "platform/port_map.h"
#include "platform/serial_discovery.h"
#include "sim/pty_simulator.h"
#include "sim/sim_loopback.h"
