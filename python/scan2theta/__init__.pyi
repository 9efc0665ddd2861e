import os
from typing import Sequence, overload

import numpy as np
import numpy.typing as npt

_Path = str | os.PathLike[str]
_Number = float | str
_Floats = npt.ArrayLike

__version__: str

class Error(Exception): ...
class ReadError(Error): ...
class CalibrationError(Error): ...

class ConversionError(Error):
    written: list[str]

class Scan:
    @property
    def path(self) -> str: ...
    @property
    def kind(self) -> str: ...
    @property
    def channels(self) -> npt.NDArray[np.int64]: ...
    @property
    def counts(self) -> npt.NDArray[np.float64]: ...
    @property
    def two_theta(self) -> npt.NDArray[np.float64] | None: ...
    @property
    def meta(self) -> dict[str, object]: ...
    def __len__(self) -> int: ...

class Calibration:
    def __init__(
        self,
        *,
        K: float = 10.939501,
        C: float = 0.02692846,
        points: Sequence[tuple[float, float]] | None = None,
    ) -> None: ...
    @staticmethod
    def builtin() -> Calibration: ...
    @staticmethod
    def load(*, home: _Path | None = None, options: _Path | None = None) -> Calibration: ...
    K: float
    C: float
    @property
    def points(self) -> list[tuple[float, float]]: ...
    @points.setter
    def points(self, points: Sequence[tuple[float, float]]) -> None: ...
    @overload
    def two_theta(self, scan: Scan, mode: str = "linear") -> npt.NDArray[np.float64]: ...
    @overload
    def two_theta(self, channels: _Floats, mode: str = "linear") -> npt.NDArray[np.float64]: ...
    def save(self, path: _Path, line_end: str = "crlf", *, standard: str | None = None) -> None: ...

class AutoCalibration:
    @property
    def calibration(self) -> Calibration: ...
    @property
    def standard(self) -> str: ...
    @property
    def standard_name(self) -> str: ...
    @property
    def K(self) -> float: ...
    @property
    def C(self) -> float: ...
    @property
    def sigma_K(self) -> float: ...
    @property
    def sigma_C(self) -> float: ...
    @property
    def rms(self) -> float: ...
    @property
    def reduced_chi_square(self) -> float: ...
    @property
    def pairs(self) -> list[dict[str, float]]: ...
    @property
    def end_guards(self) -> list[tuple[float, float]]: ...
    @property
    def missed_reflections(self) -> list[float]: ...
    @property
    def peaks(self) -> list[dict[str, float]]: ...
    @property
    def unmatched_peaks(self) -> list[dict[str, float]]: ...

def auto_calibrate(
    scan: Scan | _Path,
    standard: _Path | Sequence[float],
    *,
    calibration: Calibration | None = None,
    home: _Path | None = None,
    options: _Path | None = None,
    wavelength: float = 1.5406,
    alpha2: float | None = 1.54443,
    alpha2_ratio: float = 0.5,
    min_significance: float = 5.0,
) -> AutoCalibration: ...
def read(path: _Path, format: str | None = None, block: int = 1) -> Scan: ...
def resample(
    two_theta: _Floats,
    counts: _Floats,
    step: float,
    method: str = "linear",
    range: tuple[float, float] | None = None,
) -> tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
def fit_line(channels: _Floats, two_theta: _Floats) -> tuple[float, float]: ...
def convert(
    inputs: _Path | Sequence[_Path],
    format: str = "text",
    step: _Number | None = None,
    interpolation: str = "linear",
    calibration: str = "linear",
    range: tuple[_Number, _Number] | str | None = None,
    output: _Path | None = None,
    home: _Path | None = None,
    options: _Path | None = None,
    overwrite: bool = False,
    jobs: int | None = None,
    *,
    channels: bool = False,
    whole_angle: bool = False,
    fractional_counts: bool = False,
    target: str | None = None,
    wavelength: _Number | None = None,
    date: str | None = None,
    K: _Number | None = None,
    C: _Number | None = None,
    line_end: str = "crlf",
    block: int | None = None,
) -> list[str]: ...
