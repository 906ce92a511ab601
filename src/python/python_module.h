#pragma once

#include <pybind11/pybind11.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "app/module.h"
#include "app/trace_file.h"
#include "platform/message_loop.h"
#include "platform/port_map.h"
#include "sim/sim_loopback.h"

namespace sondrix {

// sondrix.Module: one connected module, with its own message loop that a
// call drives on the calling thread while the GIL is released, so that other
// Python threads run and may cancel it. Callbacks (progress, prompts, the
// packet trace) come on the calling thread with the GIL taken again; a
// callback that raises, or a Ctrl-C seen while waiting, gives the call up
// (the module is told to stop) and the Python exception comes out of it.
class CPythonModule {
  public:
    struct SOpen {
        std::string port = "auto";
        uint32_t baud = 0;  // 0: the rate that answered last, then the search
        double timeout = 30.0;
        pybind11::object trace;   // None, a path (pcapng and text) or a callable
        pybind11::object prompt;  // None or a callable taking the question's name
        pybind11::object master;  // None, (id, password) or the device password
        bool rememberRates = true;
        // A simulated module inside the process instead of a port.
        CSimModule* simulated = nullptr;
        bool pacing = false;
    };

    // Opens the port and connects; throws CModuleError (or the Python error
    // of a callback).
    explicit CPythonModule(SOpen open);
    ~CPythonModule();
    CPythonModule(const CPythonModule&) = delete;
    CPythonModule& operator=(const CPythonModule&) = delete;

    // Runs a call of the module with the GIL released: one at a time, on an
    // open module. Called with the GIL held.
    template <typename Work>
    auto Call(Work&& work) -> decltype(work());
    // The module under the calls, for Call's work.
    CModule& Core() { return *m_module; }
    // Gives up the call under way, from any thread.
    void Cancel() { m_module->Cancel(); }
    // Leaves master mode it entered, closes the port and the trace file.
    void Close();
    bool Closed() const { return m_closed; }
    const std::string& Port() const { return m_port; }
    // Runs a callback of the caller's: the GIL taken, its exception kept for
    // the end of the call (which it gives up). False when it raised.
    bool Guarded(const std::function<void()>& callback);
    // Sets the progress callback for the next call (None: none).
    void SetProgress(pybind11::object progress);

  private:
    // One call at a time, on an open module; the progress callback lasts
    // for the call.
    struct SCallScope {
        explicit SCallScope(CPythonModule& module);
        ~SCallScope();
        CPythonModule& owner;
    };
    void Hook();
    // Throws the Python error a callback or a Ctrl-C left, if any.
    void RaisePending();

    CMessageLoop m_loop{CMessageLoop::EClock::Real};
    CPortMap m_ports;
    std::unique_ptr<CSimPortFactory> m_simulated;
    std::unique_ptr<CModule> m_module;
    std::unique_ptr<CTraceRecorder> m_traceFile;
    pybind11::object m_trace;
    pybind11::object m_prompt;
    pybind11::object m_master;
    pybind11::object m_progress;
    std::optional<pybind11::error_already_set> m_pending;
    std::atomic<bool> m_busy{false};
    bool m_closed = false;
    std::string m_port;
};

template <typename Work>
auto CPythonModule::Call(Work&& work) -> decltype(work()) {
    const SCallScope scope(*this);
    const auto run = [&] {
        pybind11::gil_scoped_release release;
        return work();
    };
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            run();
            RaisePending();
        } else {
            auto result = run();
            RaisePending();
            return result;
        }
    } catch (const CModuleError&) {
        // A callback's exception or Ctrl-C is what gave the call up.
        RaisePending();
        throw;
    }
}

}  // namespace sondrix
