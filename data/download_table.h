#pragma once
// The decoding of a download, once for the command-line client's table and
// the Downloaded data window's grid: the header and its rate, a stamp per
// row from the start stamp, eight temperatures per sample line, and the stop
// at the first line that cannot be read. Both fill their rows from the one
// loop, so both write identical bytes.
#include "data/record_decoding.h"
#include "data/saved_file.h"

#include <QString>

#include <array>
#include <optional>

class TDownloadBuffer;
class TStampGenerator;

// Where a decoding hands what it reads, in the order it reads it.
class DownloadRowsSink {
public:
    virtual ~DownloadRowsSink() = default;
    // Line 0 is read; returns the step in minutes of the row stamps, 0 for
    // rows without stamps. This is where the rate rule lives: the client's
    // table takes the download's own rate, the window keeps a previous
    // download's rate for a code outside 1..6.
    virtual int HeaderRead(const DownloadHeader& header) = 0;
    // Data row `row` (1-based) is stamped: the generator's current stamp.
    virtual void RowStamped(int row, const TStampGenerator& stamps) = 0;
    // Every row is stamped (or has no stamp); the sample lines come next.
    virtual void StampsDone() {}
    // Sample line `row` (1-based), decoded whole.
    virtual void RowRead(int row, const std::array<double, ChannelCount>& temperatures) = 0;
};

// Decodes the N = L - 3 data rows of a buffer of L lines (none when L <= 3):
// the header, then every row's stamp, then the sample lines in order. Raises
// the failure of the first line that cannot be read (EDownloadFormatError,
// EConvertError), with `line` set to its 0-based index; what was handed on
// before it stays handed on.
void DecodeDownload(const TDownloadBuffer& buffer, DownloadRowsSink& sink, int& line);

struct DownloadTable {
    // N = L - 3 rows for a buffer of L lines (none when L <= 3), whatever the
    // decoding reached: rows after a bad line keep their stamps only, and a
    // bad header leaves every row empty.
    TableRows Rows;
    std::optional<DownloadHeader> Header;
    // The failure that stopped the decoding, empty when every line was read,
    // and the 0-based index of the line it came from.
    QString Error;
    int ErrorLine = -1;
    bool Complete() const { return Error.isEmpty(); }
};

// The rate is the download's own: a rate code outside 1..6 gives rows
// without stamps (the window would keep a previous download's rate there;
// a fresh decoding has none).
DownloadTable DecodeDownloadTable(const TDownloadBuffer& buffer);
