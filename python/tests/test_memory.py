"""Reading in a loop keeps no memory: 10 000 reads of a scan, with its arrays kept for a while,
and of a file that is refused, leave the resident set where the first thousand put it."""

import os
import struct

import pytest

import scan2theta
from conftest import EXAMPLES


def resident_kib():
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    pytest.skip("no /proc/self/status")


@pytest.mark.skipif(os.environ.get("S2T_SANITIZED") == "1",
                    reason="the sanitizers keep freed memory in quarantine on purpose")
def test_ten_thousand_reads_keep_the_resident_set_stable(tmp_path):
    source = EXAMPLES / "si-standard.chn"
    broken = tmp_path / "broken.chn"
    broken.write_bytes(struct.pack("<h26xhh", -1, 0, 16))  # announces 16 channels, holds none

    def read_many(count):
        kept = []
        for i in range(count):
            scan = scan2theta.read(source)
            kept.append(scan.counts)  # a view that holds its scan
            if len(kept) > 50:
                kept.clear()
            if i % 10 == 0:
                with pytest.raises(scan2theta.ReadError):
                    scan2theta.read(broken)

    # The allocator keeps or returns a scan's 96 KiB as it sees fit: the resident set moves by a
    # few MiB from one thousand reads to the next, while a leak of every read would add 94 MiB.
    read_many(1000)
    samples = [resident_kib()]
    for _ in range(9):
        read_many(1000)
        samples.append(resident_kib())
    grown = max(samples) - samples[0]
    assert grown < 8192, f"the resident set grew by {grown} KiB over 9000 reads: {samples}"
