#pragma once

#include <iosfwd>

namespace sondrix {

class CMessageLoop;
class ISerialDeviceFactory;

// Runs the program core without a window: each line of the script acts on a
// page as a person would, and every box and message-line change is printed
// to `out` with a time stamp. Returns 0 when every wait of the script was met.
int RunHeadless(CMessageLoop& loop, ISerialDeviceFactory& devices, std::istream& script,
                std::ostream& out);

}  // namespace sondrix
