"""The interpreter lock is released while files are read and converted: a scan that arrives
through a named pipe, written by the interpreter's other thread half a second after the reading
began, is read and converted. Holding the lock would leave both threads waiting for each other; the
child process that tries it is stopped after a while, and the test fails."""

import os
import subprocess
import sys

import pytest

from conftest import EXAMPLES

CHILD = r"""
import os, sys, threading, time
import scan2theta

pipe, source, output, home, action = sys.argv[1:]
result = {}

def work():
    try:
        if action == "read":
            result["value"] = len(scan2theta.read(pipe))
        else:
            result["value"] = scan2theta.convert(pipe, output=output, home=home, jobs=1)
    except Exception as error:  # reported by the main thread
        result["error"] = error

# The pipe has a writer from the start, so that the worker's reads wait for the bytes.
writer = os.open(pipe, os.O_RDWR)
worker = threading.Thread(target=work)
worker.start()
time.sleep(0.5)  # needs the lock back: only while the worker waits without it
data = open(source, "rb").read()
while data:
    data = data[os.write(writer, data):]
os.close(writer)
worker.join()
print(result)
"""


@pytest.mark.parametrize("action", ["read", "convert"])
def test_a_scan_written_by_another_thread_while_it_is_read(action, tmp_path):
    pipe = tmp_path / "scan.chn"
    os.mkfifo(pipe)
    done = subprocess.run(
        [sys.executable, "-c", CHILD, pipe, EXAMPLES / "si-standard.chn", tmp_path / "out.txt", tmp_path / "home",
         action], capture_output=True, text=True, timeout=30)
    assert done.returncode == 0, done.stderr
    expected = "4096" if action == "read" else repr([str(tmp_path / "out.txt")])
    assert done.stdout.strip() == f"{{'value': {expected}}}"
