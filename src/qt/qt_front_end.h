#pragma once

namespace sondrix {

class CMessageLoop;
class ISerialDeviceFactory;

// Builds the program core with a Qt UI host, shows the main window and runs
// the Qt event loop (which also drives `loop`) until the window closes.
// Returns the exit status.
int RunQtFrontEnd(int& argc, char** argv, CMessageLoop& loop, ISerialDeviceFactory& devices);

}  // namespace sondrix
