"""The module's face: every public name documented, and the type stub naming exactly what the
module offers, with the same parameters."""

import ast
import inspect
import pathlib

import scan2theta

STUB = pathlib.Path(scan2theta.__file__).with_name("__init__.pyi")


def stub_definitions():
    tree = ast.parse(STUB.read_text())
    names = {}
    for node in tree.body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            names[node.name] = node
        elif isinstance(node, ast.AnnAssign):
            names[node.target.id] = node
    return names


def test_the_stub_names_every_public_name_and_nothing_else():
    public = set(scan2theta.__all__)
    stubbed = {name for name in stub_definitions() if not name.startswith("_") or name == "__version__"}
    assert stubbed == public


def test_the_stub_gives_each_function_the_modules_parameters():
    definitions = stub_definitions()
    for name in ("read", "resample", "fit_line", "convert"):
        documented = scan2theta.__dict__[name].__doc__.splitlines()[0]
        stub = definitions[name].args
        parameters = [a.arg for a in stub.posonlyargs + stub.args + stub.kwonlyargs]
        for parameter in parameters:
            assert f"{parameter}" in documented, (name, parameter)
        assert documented.startswith(f"{name}(")


def test_every_public_name_is_documented():
    for name in scan2theta.__all__:
        value = getattr(scan2theta, name)
        if name == "__version__":
            assert value.count(".") == 2
            continue
        assert inspect.getdoc(value), name
        if inspect.isclass(value) and not issubclass(value, BaseException):
            for member, attribute in vars(value).items():
                if not member.startswith("_"):
                    assert inspect.getdoc(attribute), f"{name}.{member}"


def test_the_exceptions_form_one_family():
    for name in ("ReadError", "ConversionError", "CalibrationError"):
        assert issubclass(getattr(scan2theta, name), scan2theta.Error)
    assert issubclass(scan2theta.Error, Exception)
