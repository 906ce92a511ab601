// Lists the serial ports, captures a fingerprint from the module on one of
// them and saves it as a BMP.
//   capture_bmp [PORT [FILE.bmp]]     PORT: auto (default), COM3, /dev/ttyUSB0
#include <sondrix.h>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace sondrix;
    for (const SSerialPortInfo& found : DiscoverSerialPorts()) {
        std::printf("port: %s\n", SerialPortLabel(found).c_str());
    }
    const std::string wanted = argc > 1 ? argv[1] : "auto";
    const std::string file = argc > 2 ? argv[2] : "finger.bmp";
    CPortMap ports;
    std::string error;
    bool noAdapter = false;
    const std::string port = ports.Choose(wanted, error, noAdapter);
    if (port.empty()) {
        std::fprintf(stderr, "capture_bmp: %s\n", error.c_str());
        return 2;
    }
    CMessageLoop loop(CMessageLoop::EClock::Real);
    try {
        CModule module(loop, ports, {});
        const SModuleInfo info = module.Connect(port, 0);
        std::printf("%s, firmware %s, at %u bps on %s\n", info.model.c_str(),
                    info.firmwareText.c_str(), info.baud, info.device.c_str());
        const SImage image = module.Capture();
        image.Save(file);
        std::printf("%s: %d x %d, quality %d\n", file.c_str(), image.width, image.height,
                    image.quality);
        module.Close();
    } catch (const CModuleError& failure) {
        std::fprintf(stderr, "capture_bmp: %s\n", failure.what());
        return failure.ExitStatus();
    }
    return 0;
}
