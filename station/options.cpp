#include "station/options.h"

#include "station/links.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {

class OptionsText {
    Q_DECLARE_TR_FUNCTIONS(StationOptions)
public:
    static QString unknown(const QString& o) { return tr("unknown option %1; see --help").arg(o); }
    static QString missingValue(const QString& o) { return tr("%1 needs a value; see --help").arg(o); }
    static QString stray(const QString& a) { return tr("unexpected argument %1; see --help").arg(a); }
    static QString noPort() { return tr("no port: give -p PORT or port= in the config file"); }
    static QString noArchive() { return tr("no archive folder: give --archive DIR or archive= in the config file, or run under a unit with StateDirectory="); }
    static QString badDuration(const QString& o, const QString& v)
    {
        return tr("--%1 %2: not a duration (such as 6h, 30m, 90s or 1d)").arg(o, v);
    }
    static QString badNumber(const QString& o, const QString& v, int low, int high)
    {
        return tr("--%1 %2: not a whole number from %3 to %4").arg(o, v).arg(low).arg(high);
    }
    static QString badName(const QString& v) { return tr("--name %1: a name may not be empty, hold a slash or start with a dot").arg(v); }
    static QString badConfig(const QString& f) { return tr("%1: cannot read the config file; check its path and its INI layout").arg(f); }
    static QString help()
    {
        return tr("Usage: veltra8-station -p PORT --archive DIR [--name NAME] [--download-every DURATION]\n"
                  "                       [--restart-memory-at N] [--max-clock-drift SECONDS] [--config FILE]\n"
                  "\n"
                  "Keeps one logger read: live frames continuously, its memory downloaded at start,\n"
                  "every DURATION and when it holds N samples, appended exactly once to\n"
                  "DIR/NAME/YYYY-MM.csv with every transfer kept under DIR/NAME/raw/. Once the\n"
                  "archive holds the whole memory, the logger's clock is set from the PC's, which\n"
                  "empties its memory and corrects its clock.\n"
                  "\n"
                  "  -p, --port PORT              the logger's serial device\n"
                  "  --archive DIR                the archive's folder (default: $STATE_DIRECTORY)\n"
                  "  --name NAME                  the logger's name (default: the port's file name)\n"
                  "  --download-every DURATION    time between downloads (default 6h)\n"
                  "  --restart-memory-at N        samples in memory that start a new memory cycle (default 1800)\n"
                  "  --max-clock-drift SECONDS    clock offset corrected after a download (default 120; 0 never)\n"
                  "  --config FILE                INI file with the same keys; the command line wins\n"
                  "  -h, --help                   this text\n"
                  "  --version                    the version\n");
    }
};

const QStringList ValueOptions = QStringList{QStringLiteral("port"), QStringLiteral("archive"), QStringLiteral("name"), QStringLiteral("download-every"),
    QStringLiteral("restart-memory-at"), QStringLiteral("max-clock-drift"), QStringLiteral("config")} + LinkOptionNames();

bool number(const QMap<QString, QString>& values, const QString& key, int low, int high, int& out, QString* error)
{
    if (!values.contains(key))
        return true;
    bool ok = false;
    const int v = values[key].trimmed().toInt(&ok);
    if (!ok || v < low || v > high) {
        *error = OptionsText::badNumber(key, values[key], low, high);
        return false;
    }
    out = v;
    return true;
}

}  // namespace

qint64 DurationSeconds(const QString& text)
{
    QString t = text.trimmed();
    qint64 unit = 1;
    if (t.endsWith(QLatin1Char('s')))
        t.chop(1);
    else if (t.endsWith(QLatin1Char('m')))
        unit = 60, t.chop(1);
    else if (t.endsWith(QLatin1Char('h')))
        unit = 3600, t.chop(1);
    else if (t.endsWith(QLatin1Char('d')))
        unit = 86400, t.chop(1);
    bool ok = false;
    const qint64 n = t.toLongLong(&ok);
    return ok && n > 0 && n <= 366LL * 86400 / unit ? n * unit : -1;
}

QString StationSettings::HelpText()
{
    return OptionsText::help() + LinkOptionsHelp();
}

bool StationSettings::Parse(const QStringList& arguments, QString* error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            help_ = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            version_ = true;
            continue;
        }
        QString key;
        QString value;
        bool inline_ = false;
        if (arg == QLatin1String("-p")) {
            key = QStringLiteral("port");
        } else if (arg.startsWith(QLatin1String("--"))) {
            key = arg.mid(2);
            if (const qsizetype eq = key.indexOf(QLatin1Char('=')); eq >= 0) {
                value = key.mid(eq + 1);
                key.truncate(eq);
                inline_ = true;
            }
            if (!ValueOptions.contains(key)) {
                *error = OptionsText::unknown(arg);
                return false;
            }
        } else {
            *error = OptionsText::stray(arg);
            return false;
        }
        if (!inline_) {
            if (i + 1 >= arguments.size()) {
                *error = OptionsText::missingValue(arg);
                return false;
            }
            value = arguments[++i];
        }
        // A repeated --channel-name adds to the ones before.
        if (LinkOptionRepeats(key) && given_.contains(key))
            value = given_[key] + QLatin1Char(',') + value;
        given_[key] = value;
    }
    return true;
}

bool StationSettings::Resolve(StationOptions& options, QString* error) const
{
    QMap<QString, QString> values;
    if (given_.contains(QStringLiteral("config"))) {
        const QString file = given_[QStringLiteral("config")];
        if (!QFileInfo(file).isReadable()) {
            *error = OptionsText::badConfig(file);
            return false;
        }
        QSettings ini(file, QSettings::IniFormat);
        if (ini.status() != QSettings::NoError) {
            *error = OptionsText::badConfig(file);
            return false;
        }
        for (const QString& key : ini.allKeys()) {
            // Keys may sit at the top or in a [station] group.
            const QString bare = key.section(QLatin1Char('/'), -1);
            if (ValueOptions.contains(bare) && bare != QLatin1String("config")) {
                // QSettings reads "3=Congelador, 5=Cámara" as a list.
                const QVariant v = ini.value(key);
                values[bare] = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
            }
        }
    }
    for (auto i = given_.begin(); i != given_.end(); ++i)
        values[i.key()] = i.value();

    StationOptions o;
    o.port = values.value(QStringLiteral("port"));
    o.archive = values.value(QStringLiteral("archive"));
    // Under systemd the unit's StateDirectory= is the archive's default.
    if (o.archive.isEmpty())
        o.archive = qEnvironmentVariable("STATE_DIRECTORY").section(QLatin1Char(':'), 0, 0);
    o.name = values.value(QStringLiteral("name"));
    o.config = values.value(QStringLiteral("config"));
    if (o.port.isEmpty()) {
        *error = OptionsText::noPort();
        return false;
    }
    if (o.archive.isEmpty()) {
        *error = OptionsText::noArchive();
        return false;
    }
    const QString name = o.LoggerName();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.'))) {
        *error = OptionsText::badName(name);
        return false;
    }
    if (values.contains(QStringLiteral("download-every"))) {
        o.downloadEverySeconds = DurationSeconds(values[QStringLiteral("download-every")]);
        if (o.downloadEverySeconds < 0) {
            *error = OptionsText::badDuration(QStringLiteral("download-every"), values[QStringLiteral("download-every")]);
            return false;
        }
    }
    if (!number(values, QStringLiteral("restart-memory-at"), 1, 2000, o.restartMemoryAt, error)
        || !number(values, QStringLiteral("max-clock-drift"), 0, 86400 * 366, o.maxClockDriftSeconds, error))
        return false;
    for (const QString& link : LinkOptionNames())
        if (values.contains(link))
            o.links[link] = values[link];
    if (!CheckLinkOptions(o, error))
        return false;
    options = o;
    return true;
}
