// The writers, one per output format. Each writes one file for one scan, reports its own
// failures, and returns whether the file was written.
#pragma once

#include <string>

#include "engine/ConversionRecords.h"
#include "engine/Session.h"
#include "platform/FileSystem.h"

namespace s2t {

// Tab-delimited channel list ("Channel\tCount"), for every conversion that keeps channels. A GUFI
// scan lists its point indices from 0.
bool writeTextFileChannels(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// Tab-delimited 2-theta list ("2-Theta\tCount").
bool writeTextFileTTheta(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// XFIT: four empty lines, the grid line, the counts ten to a line in 8-column fields.
bool writeXFITFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// LHPM: the grid line, then the counts as in XFIT.
bool writeLhpmFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// CPI (Sietronics XRD scan): ten header lines, then one count per line.
bool writeCPIFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// GUFI binary scan: the 643-byte header, then one float count per value.
bool writeGUFIFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// The annotated formats: each point at its own 2-theta (or on a constant step), with the standard
// uncertainty of its count, and a header that says where the data came from and how it was made.
// "2theta count" lines after '#' comment lines.
bool writeXYFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// As XY with a third column, the standard uncertainty of the count.
bool writeXYEFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// GSAS: a title line, '#' comments, a BANK line, then "2-theta in centidegrees, count, uncertainty".
bool writeFXYEFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);
// Powder CIF: one data block with the measurement's items and a loop of the points.
bool writePdCIFFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);

// One line of the channel list, written at `at` (room for kValueRoom characters); returns its end.
char* writeChannelLine(char* at, long long channel, double count, LineEnd lineEnd);
// One line of the 2-theta list, written at `at` (room for kValueRoom characters); returns its end.
char* writeTThetaLine(char* at, std::uint16_t options, double twoTheta, double count, LineEnd lineEnd);
// The lines before the counts.
void writeXFITHeader(std::string& out, double first, double step, double last, LineEnd lineEnd);
void writeLhpmHeader(std::string& out, double first, double step, double last, LineEnd lineEnd);
void writeCPIHeader(std::string& out, double first, double step, double last, const CPIOptions& cpi,
                    const std::string& date, LineEnd lineEnd);
// One XFIT or LHPM value with the line break after every tenth loop index, written at `at`.
char* writeXFitCount(char* at, std::uint16_t options, double count, long long index, LineEnd lineEnd);
// One CPI count line, written at `at`.
char* writeCPICount(char* at, std::uint16_t options, double count, LineEnd lineEnd);

}  // namespace s2t
