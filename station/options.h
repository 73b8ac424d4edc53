#pragma once
// The station's options: from the command line and from an INI file
// (--config, keys named as the long options), the command line winning.
// The values given on the command line are kept, so a SIGHUP can read the
// file again and still let them win.
#include "station/station.h"

#include <QMap>
#include <QString>
#include <QStringList>

class StationSettings {
public:
    // Parses the arguments (without the program name). False with `error`
    // set on a usage fault; `help`/`version` set when asked for.
    bool Parse(const QStringList& arguments, QString* error);
    bool HelpWanted() const { return help_; }
    bool VersionWanted() const { return version_; }
    static QString HelpText();

    // The options from the config file (read now) and the command line.
    // False with `error` set when the file or a value is bad.
    bool Resolve(StationOptions& options, QString* error) const;

private:
    QMap<QString, QString> given_;
    bool help_ = false;
    bool version_ = false;
};

// "6h", "30m", "45s", "2d" or plain seconds; -1 for anything else.
qint64 DurationSeconds(const QString& text);
