#include "engine/XylibInput.h"

#include <locale.h>
#include <xylib/xylib.h>

#include <memory>
#include <sstream>

#include "engine/BinaryInput.h"
#include "engine/CnfLayout.h"

namespace s2t {
namespace {

// xylib reads numbers with the C library, whose locale a Qt program takes from the environment:
// under a German locale "28.783" would stop at the point. This thread reads in the "C" locale
// while xylib runs; other threads keep theirs.
class CNumbersOnThisThread {
public:
    CNumbersOnThisThread() : c_(::newlocale(LC_ALL_MASK, "C", nullptr)) {
        if (c_) previous_ = ::uselocale(c_);
    }
    ~CNumbersOnThisThread() {
        if (!c_) return;
        ::uselocale(previous_);
        ::freelocale(c_);
    }
    CNumbersOnThisThread(const CNumbersOnThisThread&) = delete;
    CNumbersOnThisThread& operator=(const CNumbersOnThisThread&) = delete;

private:
    locale_t c_;
    locale_t previous_ = LC_GLOBAL_LOCALE;
};

const xylib::FormatInfo* formatInfo(std::string_view name) {
    return static_cast<const xylib::FormatInfo*>(xylib_get_format_by_name(std::string(name).c_str()));
}

// Frees a data set, except one of the format whose reader can leave a block freed twice: xylib's
// UXD reader, on a range cut short, frees a block it had handed to the data set, so deleting the
// data set would crash (xyconv itself does). Such a data set is left, as a few bytes per file read.
struct DataSetRelease {
    bool owned = true;
    void operator()(xylib::DataSet* data) const {
        if (owned) delete data;
    }
};
using DataSetPointer = std::unique_ptr<xylib::DataSet, DataSetRelease>;

// The whole file parsed, or null with the reason.
DataSetPointer parse(const std::string& bytes, std::string_view formatName, std::string& reason) {
    if (!formatInfo(formatName)) {
        reason = "xylib knows no format " + std::string(formatName);
        return DataSetPointer();
    }
    // xylib's CNF reader trusts the file's offsets; one that points outside it would crash us.
    if (formatName == "canberra_cnf") {
        reason = cnfLayoutProblem(bytes);
        if (!reason.empty()) return DataSetPointer();
    }
    CNumbersOnThisThread cNumbers;
    // A data set whose loading threw is left as it is, never deleted: some of xylib's readers free
    // a block they had already handed to it (a UXD file cut in its second range), and deleting the
    // data set would free it twice. That costs the few bytes read of a refused file, as xylib's own
    // load_string does.
    xylib::DataSet* data = (*formatInfo(formatName)->ctor)();
    try {
        std::istringstream stream(bytes);
        data->load_data(stream, "");
        return DataSetPointer(data, DataSetRelease{formatName != "uxd"});
    } catch (const std::exception& error) {
        reason = error.what();
    } catch (...) {
        reason = "xylib failed without saying why";
    }
    if (reason.empty()) reason = "xylib failed without saying why";
    return DataSetPointer();
}

void appendItems(const xylib::MetaData& meta, std::vector<std::pair<std::string, std::string>>& items) {
    for (std::size_t i = 0; i < meta.size(); ++i) {
        const std::string& key = meta.get_key(i);
        items.emplace_back(key, meta.get(key));
    }
}

}  // namespace

WholeFileStatus readWholeFile(const std::string& path, std::size_t limit, std::string& bytes) {
    BinaryInput input(path);
    if (!input.isOpen()) return WholeFileStatus::Unopenable;
    if (input.size() > static_cast<long long>(limit)) return WholeFileStatus::TooLarge;
    bytes.clear();
    // A pipe says no size: read in pieces, one byte beyond the limit at most.
    constexpr std::size_t kPiece = 1u << 16;
    for (;;) {
        const std::size_t had = bytes.size();
        const std::size_t want = std::min(kPiece, limit + 1 - had);
        bytes.resize(had + want);
        const std::size_t got = input.read(bytes.data() + had, want);
        bytes.resize(had + got);
        if (bytes.size() > limit) return WholeFileStatus::TooLarge;
        if (got < want) return WholeFileStatus::Read;
    }
}

bool xylibRecognises(std::string_view formatName, std::string_view head) {
    const xylib::FormatInfo* info = formatInfo(formatName);
    if (!info) return false;
    // Some checks of text formats take nearly anything (plain x-y text takes every file): a file
    // with a NUL byte in its head is no text file.
    if (!info->binary && head.find('\0') != std::string_view::npos) return false;
    CNumbersOnThisThread cNumbers;
    try {
        std::istringstream stream{std::string(head)};
        return xylib::check_format(info, stream, nullptr);
    } catch (...) {
        return false;
    }
}

bool xylibHoldsBlocks(std::string_view formatName) {
    const xylib::FormatInfo* info = formatInfo(formatName);
    return info && info->multiblock != 0;
}

bool loadXylibBlock(const std::string& bytes, std::string_view formatName, int block, XylibBlock& result,
                    std::string& reason) {
    const DataSetPointer data = parse(bytes, formatName, reason);
    if (!data) return false;
    result = XylibBlock{};
    result.blockCount = data->get_block_count();
    if (block < 0 || block >= result.blockCount) {
        reason = result.blockCount == 0 ? "it holds no data"
                                        : "it has no block " + std::to_string(block + 1) + " (it holds " +
                                              std::to_string(result.blockCount) + ")";
        return false;
    }
    const xylib::Block* b = data->get_block(block);
    const int columns = b->get_column_count();
    const int points = b->get_point_count();
    // A block whose every column is a generator (a start and a step) has no length of its own.
    if (columns < 1 || points < 0) {
        reason = "its block " + std::to_string(block + 1) + " holds no counts";
        return false;
    }
    const xylib::Column& x = b->get_column(columns >= 2 ? 1 : 0);
    const xylib::Column& y = b->get_column(columns >= 2 ? 2 : 1);
    CNumbersOnThisThread cNumbers;
    try {
        result.x.resize(static_cast<std::size_t>(points));
        result.counts.resize(static_cast<std::size_t>(points));
        for (int i = 0; i < points; ++i) {
            result.x[static_cast<std::size_t>(i)] = x.get_value(i);
            result.counts[static_cast<std::size_t>(i)] = y.get_value(i);
        }
        result.step = x.get_step();
    } catch (const std::exception& error) {
        reason = error.what();
        return false;
    }
    appendItems(data->meta, result.items);
    appendItems(b->meta, result.items);
    return true;
}

int countXylibBlocks(const std::string& bytes, std::string_view formatName) {
    std::string reason;
    const DataSetPointer data = parse(bytes, formatName, reason);
    return data ? data->get_block_count() : -1;
}

}  // namespace s2t
