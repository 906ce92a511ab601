#pragma once

#include <string>
#include <vector>

#include "sim/sim_module.h"

namespace sondrix {

// Command-line options that configure a simulated module:
// --model NAME, --baud RATE, --firmware VERSION (hex, e.g. 0x0124 or 1.24),
// --users COUNT, --finger PERSON:FINGER, --fingers P:F,P:F,... Recognised options are removed from
// `args`.
bool ParseSimOptions(std::vector<std::string>& args, SSimConfig& config, std::string& error);
std::string SimOptionsHelp();

}  // namespace sondrix
