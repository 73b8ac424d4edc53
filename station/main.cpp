// veltra8-station: one logger kept read, as a systemd service or by hand.
// Exit status: 0 stopped by SIGTERM or Ctrl-C (or --help), 1 the archive
// cannot be used, 2 a usage fault on the command line or in the config file.
#include "platform/signal_watcher.h"
#include "platform/translations.h"
#include "station/links.h"
#include "station/options.h"
#include "station/service.h"
#include "station/station.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

class Main {
    Q_DECLARE_TR_FUNCTIONS(StationMain)
public:
    static QString reloaded(const QString& file) { return tr("%1: configuration read again").arg(file); }
    static QString stopping() { return tr("stopping"); }
};

}  // namespace

int main(int argc, char** argv)
{
    // Before any thread exists, so the port's event thread inherits the mask.
    BlockStopSignals(true);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltra8-station"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRA8_VERSION));
    InstallProgramTranslations(QStringLiteral("veltra8-station"));

    ServiceLink service;
    StationSettings settings;
    StationOptions options;
    QString error;
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    if (!settings.Parse(arguments, &error) || (!settings.HelpWanted() && !settings.VersionWanted() && !settings.Resolve(options, &error))) {
        service.Log(3, QStringLiteral("veltra8-station: ") + error);
        return 2;
    }
    if (settings.HelpWanted()) {
        std::fputs(StationSettings::HelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (settings.VersionWanted()) {
        std::printf("veltra8-station %s\n", VELTRA8_VERSION);
        return 0;
    }

    Station station(options);
    QObject::connect(&station, &Station::Message, &service, [&](int priority, const QString& text) { service.Log(priority, text); });
    QObject::connect(&station, &Station::StatusChanged, &service, [&](const QString& line) { service.Status(line); });
    // The outside links are made anew from the options a reload gives.
    std::unique_ptr<StationLinks> links;
    StationOptions linked = options;
    const auto startLinks = [&](const StationOptions& wanted, QString* why) {
        links = std::make_unique<StationLinks>(station);
        QObject::connect(links.get(), &StationLinks::Message, &service, [&](int priority, const QString& text) { service.Log(priority, text); });
        if (!links->Start(wanted, QStringLiteral(VELTRA8_VERSION), why))
            return false;
        linked = wanted;
        return true;
    };
    SignalWatcher signals_(true);
    QObject::connect(&signals_, &SignalWatcher::Stopped, &app, [&] {
        service.Stopping();
        service.Log(6, Main::stopping());
        station.Stop();
        links->Stop();
        app.quit();
    });
    QObject::connect(&signals_, &SignalWatcher::HungUp, &app, [&] {
        service.Reloading();
        StationOptions fresh;
        QString why;
        if (!settings.Resolve(fresh, &why) || !station.Reconfigure(fresh, &why)) {
            // The station goes on as it was told before.
            service.Log(3, why);
        } else {
            links->Stop();
            if (!startLinks(fresh, &why)) {
                // Without its links the station would go quiet: the ones it had.
                service.Log(3, why);
                links->Stop();
                QString again;
                startLinks(linked, &again);
            }
            service.Log(6, Main::reloaded(fresh.config.isEmpty() ? QStringLiteral("-") : fresh.config));
        }
        service.Ready(station.StatusLine());
    });

    if (!startLinks(options, &error)) {
        service.Log(3, QStringLiteral("veltra8-station: ") + error);
        return 2;
    }
    if (!station.Start(&error)) {
        service.Log(3, error);
        return 1;
    }
    service.Ready(station.StatusLine());
    return app.exec();
}
