#pragma once
// A download's table apart from any window: the rows the Downloaded data
// window shows, decoded from the download buffer with the same steps (header
// and rate, a stamp per row from the start stamp, eight temperature texts per
// sample line) and the same stop at the first line that cannot be read. The
// command-line client writes its files from it; the window fills its grid
// with the same functions, so both write identical bytes.
#include "data/record_decoding.h"
#include "data/saved_file.h"

#include <QString>

#include <optional>

class TDownloadBuffer;

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
