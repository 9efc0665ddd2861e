"""scan2theta for Python: X-ray diffraction scans of a multichannel analyser as numpy arrays.

Read MCA channel files (*.chn) and GUFI scans (*.guf), map channels to 2-theta with the
calibration in force, resample onto a constant 2-theta step, fit a straight-line calibration or
calibrate from a scan of a standard, and convert files exactly as the command line ``scan2theta convert`` does.

    >>> import scan2theta
    >>> scan = scan2theta.read("examples/si-standard.chn")
    >>> calibration = scan2theta.Calibration.load()
    >>> two_theta = calibration.two_theta(scan)
    >>> scan2theta.convert("examples/si-standard.chn", format="xfit", step=0.02)
"""

from ._scan2theta import (
    AutoCalibration,
    CalibrationError,
    Calibration,
    ConversionError,
    Error,
    ReadError,
    Scan,
    __version__,
    auto_calibrate,
    convert,
    fit_line,
    read,
    resample,
)

__all__ = [
    "AutoCalibration",
    "Calibration",
    "CalibrationError",
    "ConversionError",
    "Error",
    "ReadError",
    "Scan",
    "__version__",
    "auto_calibrate",
    "convert",
    "fit_line",
    "read",
    "resample",
]
