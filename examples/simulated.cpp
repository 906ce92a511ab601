#include <sondrix.h>

#include <cstdio>

int main() {
    sondrix::CPtySimulator simulator;  // a simulated HLX module on a pseudo-terminal
    std::string error;
    if (!simulator.Start(error)) {
        return 1;
    }
    sondrix::CMessageLoop loop(sondrix::CMessageLoop::EClock::Real);
    sondrix::CPortMap ports;
    sondrix::CModule module(loop, ports, {});
    const sondrix::SModuleInfo info = module.Connect(simulator.SlavePath(), 0);
    std::printf("%s, firmware %s, at %u bps\n", info.model.c_str(), info.firmwareText.c_str(),
                info.baud);
    module.Capture().Save("finger.bmp");
}
