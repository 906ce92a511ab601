#include "python_simulator.h"

#include "app/module_error.h"
#include "sim/sim_options.h"

namespace sondrix {

CPythonSimulator::CPythonSimulator(const SSetup& setup) : m_pacing(setup.pace) {
    // The same words as hlxsim's options, and the same checks.
    std::vector<std::string> args = {"--model",    setup.model,
                                     "--users",    std::to_string(setup.users),
                                     "--baud",     std::to_string(setup.baud),
                                     "--firmware", setup.firmware};
    if (!setup.fingers.empty()) {
        std::string fingers;
        for (const auto& [person, finger] : setup.fingers) {
            fingers += (fingers.empty() ? "" : ",") + std::to_string(person) + ":" +
                       std::to_string(finger);
        }
        args.insert(args.end(), {"--fingers", fingers});
    }
    SSimConfig config;
    std::string error;
    if (!ParseSimOptions(args, config, error)) {
        throw CModuleError(EFailure::Usage, "Simulator: " + error);
    }
    // An empty sensor is watched until the program cancels, as a person who
    // has not yet come keeps a module waiting.
    config.waitForFinger = true;
    if (setup.pty && CPtySimulator::Available()) {
        m_pty = std::make_unique<CPtySimulator>(config);
        m_pty->SetPacing(setup.pace);
        if (!m_pty->Start(error)) {
            throw CModuleError(EFailure::Port, "cannot start the simulated module: " + error);
        }
    } else {
        m_inProcess = std::make_unique<CSimModule>(config);
    }
}

CPythonSimulator::~CPythonSimulator() {
    Stop();
}

std::string CPythonSimulator::Port() const {
    return m_pty ? m_pty->SlavePath() : std::string();
}

void CPythonSimulator::With(const std::function<void(CSimModule&)>& action) {
    if (m_pty) {
        m_pty->WithModule(action);
    } else {
        action(*m_inProcess);
    }
}

void CPythonSimulator::Stop() {
    if (m_pty) {
        m_pty->Stop();
    }
}

}  // namespace sondrix
