#include "python_errors.h"

#include <array>

#include "link/result_codes.h"

namespace py = pybind11;

namespace sondrix {

namespace {

// A class of the family, by the failure that raises it.
struct SErrorClass {
    EFailure failure;
    const char* name;
    // A built-in exception it also is, so that plain `except OSError:` and
    // the like catch it too; none when no built-in fits.
    PyObject* builtin;
    const char* doc;
};

// Cancelled comes last: it is a kind of ModuleRefused, as the exit status has it.
const std::array<SErrorClass, 7> kErrorClasses = {{
    {EFailure::Module, "ModuleRefused", nullptr,
     "The module answered with an error: `result` is its result code, `text` what the "
     "result code means."},
    {EFailure::Usage, "UsageError", PyExc_ValueError,
     "A request or argument that this module cannot take, found before anything that "
     "depends on it was sent."},
    {EFailure::Port, "PortError", PyExc_OSError,
     "The serial port could not be opened (missing, in use by another program, no "
     "permission), or the line went away."},
    {EFailure::NoModule, "NoModule", nullptr,
     "No module answered on the port: wrong port or rate, or the module is silent."},
    {EFailure::File, "FileError", PyExc_OSError, "A file could not be read or written."},
    {EFailure::Timeout, "ModuleTimeout", PyExc_TimeoutError,
     "The module answered, then stopped answering part-way through."},
    {EFailure::Cancelled, "Cancelled", nullptr,
     "The call was cancelled (Module.cancel(), or a callback that raised): the module "
     "was told to stop."},
}};

// The classes once made, by failure (the module lives as long as the process).
std::array<PyObject*, kErrorClasses.size()> g_classes{};

PyObject* ClassOf(EFailure failure) {
    for (size_t i = 0; i < kErrorClasses.size(); ++i) {
        if (kErrorClasses[i].failure == failure) {
            return g_classes[i];
        }
    }
    return g_classes[0];
}

}  // namespace

void CPythonErrors::Register(py::module_& module) {
    py::object base = py::reinterpret_steal<py::object>(PyErr_NewExceptionWithDoc(
        "sondrix.Error",
        "Every failure of a call to a module. `status` is the exit status sondrix-cli "
        "gives the same failure, `result` the module's result code (0 when it answered "
        "none) and `text` what that code means (None without one).",
        PyExc_RuntimeError, nullptr));
    if (!base) {
        throw py::error_already_set();
    }
    module.add_object("Error", base);
    for (size_t i = 0; i < kErrorClasses.size(); ++i) {
        const SErrorClass& entry = kErrorClasses[i];
        py::tuple bases =
            entry.failure == EFailure::Cancelled ? py::make_tuple(py::handle(g_classes[0]))
            : entry.builtin != nullptr           ? py::make_tuple(base, py::handle(entry.builtin))
                                                 : py::make_tuple(base);
        const std::string name = std::string("sondrix.") + entry.name;
        PyObject* made = PyErr_NewExceptionWithDoc(name.c_str(), entry.doc, bases.ptr(), nullptr);
        if (made == nullptr) {
            throw py::error_already_set();
        }
        g_classes[i] = made;  // kept for the process's life, as the module keeps it
        module.add_object(entry.name, py::reinterpret_borrow<py::object>(made));
    }
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) {
                std::rethrow_exception(thrown);
            }
        } catch (const CModuleError& error) {
            Raise(error);
        }
    });
}

void CPythonErrors::Raise(const CModuleError& error) {
    py::handle kind = ClassOf(error.Failure());
    py::object raised = kind(py::str(error.what()));
    raised.attr("status") = error.ExitStatus();
    raised.attr("result") = error.Result();
    raised.attr("text") = error.Result() != 0 ? py::object(py::str(ResultText(error.Result())))
                                              : py::object(py::none());
    PyErr_SetObject(kind.ptr(), raised.ptr());
}

}  // namespace sondrix
