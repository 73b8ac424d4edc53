<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Archive</name>
    <message>
        <source>%1: %2; the samples stay in the logger&apos;s memory and are archived at the next download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot read the archive: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sample %1 of the download has no time; it cannot be archived</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the logger holds %1 samples of a memory cycle of which the archive already has %2; nothing appended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is shorter than the ledger says; it was changed by hand</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Station</name>
    <message>
        <source>%1: no such device; waiting for it to appear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: port busy: another program holds it; waiting for it to let go</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: permission denied (the service needs the dialout group); waiting for the device&apos;s permissions to change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot open the port: %2; waiting for it to change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot watch for the device: %2; restart the service once it is there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the device vanished; waiting for it to come back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2; closing the port and waiting for it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: unreadable live frames; they are skipped and counted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no live frame for %2 s; check the cable and that the logger is on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no byte for %2 s during the transfer; the download is retried</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the download cannot be decoded at line %2: %3; it is retried</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the device vanished during the download; it is retried when the device is back</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1: %n new sample(s) archived, %2 in memory</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the archive does not read back as written; the clock is not set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the logger&apos;s memory emptied and its clock set from the PC&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the logger&apos;s clock corrected from the PC&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the logger did not take the clock; it is tried again after the next download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the logger&apos;s clock is %2 s off the PC&apos;s; it is corrected after the next download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>connected to %1, %2 samples in memory, %3 archived, next download %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>waiting for %1, %2 archived</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StationMain</name>
    <message>
        <source>%1: configuration read again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopping</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StationOptions</name>
    <message>
        <source>unknown option %1; see --help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a value; see --help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected argument %1; see --help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no port: give -p PORT or port= in the config file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no archive folder: give --archive DIR or archive= in the config file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--%1 %2: not a duration (such as 6h, 30m, 90s or 1d)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--%1 %2: not a whole number from %3 to %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--name %1: a name may not be empty, hold a slash or start with a dot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot read the config file; check its path and its INI layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: veltra8-station -p PORT --archive DIR [--name NAME] [--download-every DURATION]
                       [--restart-memory-at N] [--max-clock-drift SECONDS] [--config FILE]

Keeps one logger read: live frames continuously, its memory downloaded at start,
every DURATION and when it holds N samples, appended exactly once to
DIR/NAME/YYYY-MM.csv with every transfer kept under DIR/NAME/raw/. Once the
archive holds the whole memory, the logger&apos;s clock is set from the PC&apos;s, which
empties its memory and corrects its clock.

  -p, --port PORT              the logger&apos;s serial device
  --archive DIR                the archive&apos;s folder
  --name NAME                  the logger&apos;s name (default: the port&apos;s file name)
  --download-every DURATION    time between downloads (default 6h)
  --restart-memory-at N        samples in memory that start a new memory cycle (default 1800)
  --max-clock-drift SECONDS    clock offset corrected after a download (default 120; 0 never)
  --config FILE                INI file with the same keys; the command line wins
  -h, --help                   this text
  --version                    the version
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
