// How a converting process keeps its memory. The batch run allocates and frees a few hundred
// kilobytes per file (the scan, the spline's work array, the output being composed). By default
// the C library gives freed memory back to the system as soon as about 128 KiB lie free, and takes
// it again for the next file, paying one page fault per page each time: in a batch of thousands of
// files that is a tenth of the run. A program that converts batches keeps up to 64 MiB of freed
// memory for the next file instead.
#pragma once

namespace s2t {

// Call once at start-up, before any thread starts. Returns false when the C library refused.
bool keepFreedMemoryForReuse();

}  // namespace s2t
