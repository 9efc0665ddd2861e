// What the binding files share: each adds its part of the module, and failures are raised as the
// module's own exceptions with the program's message.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <string_view>

namespace s2t::python {

namespace py = pybind11;

void addExceptions(py::module_& module);
void addScan(py::module_& module);
void addCalibration(py::module_& module);
void addResampling(py::module_& module);
void addConversion(py::module_& module);
void addAutoCalibration(py::module_& module);

// The module's exception class of that name (Error, ReadError, ConversionError, CalibrationError).
py::object moduleException(const char* name);

// Raises the module's exception `name` with message (never returns).
[[noreturn]] void raiseError(const char* name, std::string_view message);

// Raises ValueError (never returns).
[[noreturn]] void raiseValueError(const std::string& message);

// A text path from a str or an os.PathLike, as os.fspath() gives it.
std::string pathText(const py::handle& path);

// Makes an array read-only: it shows memory that belongs to another object.
void makeReadOnly(py::array& array);

}  // namespace s2t::python
