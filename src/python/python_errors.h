#pragma once

#include <pybind11/pybind11.h>

#include "app/module_error.h"

namespace sondrix {

// The exceptions of the Python module: one family under sondrix.Error, a
// class for each row of the command line's exit-status table, so that a
// script catches what it can act on and may exit with the status the
// command line would.
class CPythonErrors {
  public:
    // Makes the classes, adds them to `module` and has every CModuleError
    // raised as its class from then on.
    static void Register(pybind11::module_& module);
    // Sets the Python error of `error`; for the translator and callers that
    // raise by hand.
    static void Raise(const CModuleError& error);
};

}  // namespace sondrix
