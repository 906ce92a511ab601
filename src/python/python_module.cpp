#include "python_module.h"

#include <csignal>

#include "app/rate_memory.h"
#include "platform/native_file.h"

namespace py = pybind11;

namespace sondrix {

namespace {

// What the person at the module is to do, as a program names it.
const char* QuestionName(EQuestion question) {
    switch (question) {
        case EQuestion::PlaceFinger:
            return "place_finger";
        case EQuestion::LiftFinger:
            return "lift_finger";
        case EQuestion::SecondFinger:
            return "second_finger";
        case EQuestion::FirstFinger:
            return "first_finger";
        case EQuestion::AnotherFinger:
            return "another_finger";
        case EQuestion::MaxFingers:
            return "max_fingers";
        case EQuestion::RetryRegistration:
            return "retry_registration";
    }
    return "";
}

// A master credential from Python: (id, password), or the device password alone.
std::optional<SMasterCredential> CredentialOf(const py::object& master) {
    if (master.is_none()) {
        return std::nullopt;
    }
    if (py::isinstance<py::str>(master)) {
        return SMasterCredential{{}, master.cast<std::string>()};
    }
    const auto pair = master.cast<std::pair<std::string, std::string>>();
    return SMasterCredential{pair.first, pair.second};
}

}  // namespace

CPythonModule::SCallScope::SCallScope(CPythonModule& module) : owner(module) {
    if (owner.m_closed) {
        throw CModuleError(EFailure::Usage, "the module on " + owner.m_port + " is closed");
    }
    if (owner.m_busy.exchange(true)) {
        throw CModuleError(EFailure::Usage,
                           "another call on the module on " + owner.m_port + " is under way");
    }
}

CPythonModule::SCallScope::~SCallScope() {
    owner.m_progress = py::none();
    owner.m_busy = false;
}

CPythonModule::CPythonModule(SOpen open)
    : m_trace(open.trace), m_prompt(open.prompt), m_master(open.master) {
    // The longest silence of a module: from a millisecond to a day.
    if (!(open.timeout >= 0.001 && open.timeout <= 86400.0)) {
        throw CModuleError(EFailure::Usage, "timeout is 0.001 to 86400 seconds, not " +
                                                std::to_string(open.timeout));
    }
    CModule::SSettings settings;
    settings.timeoutMs = static_cast<uint32_t>(open.timeout * 1000.0);
    settings.rateFile = open.rememberRates ? CRateMemory::UserFile() : std::filesystem::path();
    if (open.simulated != nullptr) {
        m_simulated = std::make_unique<CSimPortFactory>(m_loop, *open.simulated);
        m_simulated->SetPacing(open.pacing);
        m_port = "COM1";
    } else {
        std::string error;
        bool noAdapter = false;
        m_port = m_ports.Choose(open.port, error, noAdapter);
        if (m_port.empty()) {
            throw CModuleError(noAdapter ? EFailure::Port : EFailure::Usage,
                               "port " + open.port + ": " + error);
        }
    }
    ISerialDeviceFactory& devices =
        m_simulated ? static_cast<ISerialDeviceFactory&>(*m_simulated) : m_ports;
    m_module = std::make_unique<CModule>(m_loop, devices, settings);
    if (!m_trace.is_none() && !PyCallable_Check(m_trace.ptr())) {
        const std::string path = py::str(py::module_::import("os").attr("fspath")(m_trace));
        const std::string device = m_simulated ? "simulated module" : m_ports.DevicePath(m_port);
        m_traceFile = std::make_unique<CTraceRecorder>(m_port + " " + device);
        std::string error;
        if (!m_traceFile->Open(path, error)) {
            throw CModuleError(EFailure::File, error);
        }
        m_trace = py::none();
    }
    Hook();
    try {
        Call([&] { m_module->Connect(m_port, open.baud); });
    } catch (...) {
        try {
            Close();
        } catch (const std::exception&) {
            // The connection's failure is the one to report.
        }
        throw;
    }
}

CPythonModule::~CPythonModule() {
    try {
        Close();
    } catch (const std::exception&) {
        // The port is closed all the same; nobody is left to tell.
    }
}

void CPythonModule::Hook() {
    // Ctrl-C reaches Python's own handler, which only notes it: the wait
    // asks the interpreter (on the main thread) whether one came.
    m_module->SetInterrupt([this] {
        py::gil_scoped_acquire gil;
        if (PyErr_CheckSignals() != 0) {
            m_pending.emplace();
            return SIGINT;
        }
        return 0;
    });
    m_module->SetProgress([this](const SProgress& progress) {
        if (!m_progress.is_none()) {
            Guarded([&] { m_progress(progress); });
        }
    });
    m_module->SetPrompt([this](EQuestion question) {
        if (!m_prompt.is_none()) {
            Guarded([&] { m_prompt(QuestionName(question)); });
        }
    });
    m_module->SetCredential([this]() -> std::optional<SMasterCredential> {
        std::optional<SMasterCredential> credential;
        Guarded([&] { credential = CredentialOf(m_master); });
        return credential;
    });
    m_module->SetPacketObserver([this](const STracedPacket& packet) {
        if (m_traceFile) {
            m_traceFile->Write(packet);
        } else if (!m_trace.is_none()) {
            Guarded([&] { m_trace(packet); });
        }
    });
}

bool CPythonModule::Guarded(const std::function<void()>& callback) {
    py::gil_scoped_acquire gil;
    if (m_pending) {
        return false;  // an earlier callback failed: the call is being given up
    }
    try {
        callback();
        return true;
    } catch (py::error_already_set& error) {
        m_pending.emplace(std::move(error));
    } catch (const py::cast_error& error) {
        PyErr_SetString(PyExc_TypeError, error.what());
        m_pending.emplace();
    }
    m_module->Cancel();
    return false;
}

void CPythonModule::SetProgress(py::object progress) {
    m_progress = std::move(progress);
}

void CPythonModule::RaisePending() {
    if (m_pending) {
        py::error_already_set error = std::move(*m_pending);
        m_pending.reset();
        throw error;
    }
}

void CPythonModule::Close() {
    if (m_closed) {
        return;
    }
    std::optional<CModuleError> failure;
    if (m_module) {
        try {
            py::gil_scoped_release release;
            m_module->Close();
        } catch (const CModuleError& error) {
            failure = error;
        }
    }
    m_closed = true;
    std::string error;
    if (m_traceFile && !m_traceFile->Close(error) && !failure) {
        failure = CModuleError(EFailure::File, error);
    }
    m_traceFile.reset();
    if (failure) {
        throw *failure;
    }
}

}  // namespace sondrix
