// The module's entry point and the helpers every binding file uses.
#include "Bindings.h"

namespace s2t::python {

namespace {

struct ExceptionInfo {
    const char* name;
    const char* base;  // null: Exception
    const char* doc;
};

constexpr ExceptionInfo kExceptions[] = {
    {"Error", nullptr, "Base class of the errors scan2theta raises with the program's own message."},
    {"ReadError", "Error", "A scan file could not be read: missing, not a scan of its kind, or corrupted."},
    {"ConversionError", "Error",
     "A conversion skipped at least one file, or could not start. The message is what the command line "
     "prints on standard error; `written` lists the files that were written all the same."},
    {"CalibrationError", "Error",
     "A calibration could not be loaded, saved or used (an option file that cannot be read or written, "
     "a spline without two distinct channels)."},
};

}  // namespace

void addExceptions(py::module_& module) {
    for (const auto& info : kExceptions) {
        const std::string qualified = std::string("scan2theta.") + info.name;
        PyObject* base = info.base ? module.attr(info.base).ptr() : PyExc_Exception;
        PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), info.doc, base, nullptr);
        if (!type) throw py::error_already_set();
        module.add_object(info.name, py::reinterpret_steal<py::object>(type));
    }
}

py::object moduleException(const char* name) { return py::module_::import("scan2theta._scan2theta").attr(name); }

void raiseError(const char* name, std::string_view message) {
    py::object type = moduleException(name);
    PyErr_SetString(type.ptr(), std::string(message).c_str());
    throw py::error_already_set();
}

void raiseValueError(const std::string& message) { throw py::value_error(message); }

std::string pathText(const py::handle& path) {
    py::object text = py::module_::import("os").attr("fspath")(path);
    if (!py::isinstance<py::str>(text)) throw py::type_error("paths must be str or os.PathLike of str");
    return text.cast<std::string>();
}

void makeReadOnly(py::array& array) {
    py::detail::array_proxy(array.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
}

}  // namespace s2t::python

PYBIND11_MODULE(_scan2theta, module) {
    namespace python = s2t::python;
    module.doc() =
        "scan2theta's core for Python: read MCA channel files (*.chn) and GUFI scans (*.guf), map channels "
        "to 2-theta with the calibration in force, resample onto a constant step, and convert files exactly "
        "as the command line does.";
    module.attr("__version__") = S2T_VERSION;
    python::addExceptions(module);
    python::addScan(module);
    python::addCalibration(module);
    python::addResampling(module);
    python::addConversion(module);
    python::addAutoCalibration(module);
}
