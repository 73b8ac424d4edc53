<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Archive</name>
    <message>
        <source>%1: %2; the samples stay in the logger&apos;s memory and are archived at the next download</source>
        <translation>%1: %2; las muestras siguen en la memoria del registrador y se archivan en la próxima descarga</translation>
    </message>
    <message>
        <source>%1: cannot read the archive: %2</source>
        <translation>%1: no se puede leer el archivo: %2</translation>
    </message>
    <message>
        <source>sample %1 of the download has no time; it cannot be archived</source>
        <translation>la muestra %1 de la descarga no tiene hora; no se puede archivar</translation>
    </message>
    <message>
        <source>the logger holds %1 samples of a memory cycle of which the archive already has %2; nothing appended</source>
        <translation>el registrador tiene %1 muestras de un ciclo de memoria del que el archivo ya tiene %2; no se añade nada</translation>
    </message>
    <message>
        <source>%1 is shorter than the ledger says; it was changed by hand</source>
        <translation>%1 es más corto de lo que dice el registro de ciclos; se cambió a mano</translation>
    </message>
</context>
<context>
    <name>MetricsPage</name>
    <message>
        <source>--metrics %1: not ADDRESS:PORT (such as 127.0.0.1:9788, or :9788 for every address)</source>
        <translation>--metrics %1: no es DIRECCIÓN:PUERTO (como 127.0.0.1:9788, o :9788 para todas las direcciones)</translation>
    </message>
    <message>
        <source>--metrics %1: cannot listen there (%2); choose a free port</source>
        <translation>--metrics %1: no se puede escuchar ahí (%2); elija un puerto libre</translation>
    </message>
</context>
<context>
    <name>MqttLink</name>
    <message>
        <source>an empty name cannot stand in a topic</source>
        <translation>un nombre vacío no puede formar parte de un tema</translation>
    </message>
    <message>
        <source>&apos;%1&apos; would make a topic with %2 in it; choose a name without /, + and #</source>
        <translation>&apos;%1&apos; daría un tema con %2; elija un nombre sin /, + ni #</translation>
    </message>
    <message>
        <source>&apos;%1&apos; holds a control character; choose a name without one</source>
        <translation>&apos;%1&apos; contiene un carácter de control; elija un nombre sin ninguno</translation>
    </message>
    <message>
        <source>MQTT: --mqtt-cafile %1: %2; check the file</source>
        <translation>MQTT: --mqtt-cafile %1: %2; revise el archivo</translation>
    </message>
    <message>
        <source>MQTT: the broker at %1 refused the connection: %2; check --mqtt-user and --mqtt-password-file</source>
        <translation>MQTT: el broker en %1 rechazó la conexión: %2; revise --mqtt-user y --mqtt-password-file</translation>
    </message>
    <message>
        <source>MQTT: the broker at %1 dropped the connection (%2); reconnecting</source>
        <translation>MQTT: el broker en %1 cortó la conexión (%2); reconectando</translation>
    </message>
    <message>
        <source>MQTT: no TLS connection with the broker at %1 (%2); check that --mqtt-cafile %3 signed the broker&apos;s certificate</source>
        <translation>MQTT: no hay conexión TLS con el broker en %1 (%2); compruebe que --mqtt-cafile %3 firmó el certificado del broker</translation>
    </message>
    <message>
        <source>MQTT: cannot reach the broker at %1 (%2); retrying</source>
        <translation>MQTT: no se puede llegar al broker en %1 (%2); se reintenta</translation>
    </message>
    <message>
        <source>MQTT: connected to the broker at %1:%2</source>
        <translation>MQTT: conectado al broker en %1:%2</translation>
    </message>
</context>
<context>
    <name>Station</name>
    <message>
        <source>%1: no such device; waiting for it to appear</source>
        <translation>%1: no existe el dispositivo; esperando a que aparezca</translation>
    </message>
    <message>
        <source>%1: port busy: another program holds it; waiting for it to let go</source>
        <translation>%1: puerto ocupado: otro programa lo tiene abierto; esperando a que lo suelte</translation>
    </message>
    <message>
        <source>%1: permission denied (the service needs the dialout group); waiting for the device&apos;s permissions to change</source>
        <translation>%1: permiso denegado (el servicio necesita el grupo dialout); esperando a que cambien los permisos del dispositivo</translation>
    </message>
    <message>
        <source>%1: cannot open the port: %2; waiting for it to change</source>
        <translation>%1: no se puede abrir el puerto: %2; esperando a que cambie</translation>
    </message>
    <message>
        <source>%1: cannot watch for the device: %2; restart the service once it is there</source>
        <translation>%1: no se puede vigilar el dispositivo: %2; reinicie el servicio cuando esté conectado</translation>
    </message>
    <message>
        <source>%1: connected</source>
        <translation>%1: conectado</translation>
    </message>
    <message>
        <source>%1: the device vanished; waiting for it to come back</source>
        <translation>%1: el dispositivo ha desaparecido; esperando a que vuelva</translation>
    </message>
    <message>
        <source>%1: %2; closing the port and waiting for it</source>
        <translation>%1: %2; se cierra el puerto y se espera a que vuelva</translation>
    </message>
    <message>
        <source>%1: unreadable live frames; they are skipped and counted</source>
        <translation>%1: tramas en vivo ilegibles; se descartan y se cuentan</translation>
    </message>
    <message>
        <source>%1: no live frame for %2 s; check the cable and that the logger is on</source>
        <translation>%1: ninguna trama en vivo en %2 s; compruebe el cable y que el registrador esté encendido</translation>
    </message>
    <message>
        <source>%1: no byte for %2 s during the transfer; the download is retried</source>
        <translation>%1: ningún byte en %2 s durante la transferencia; se reintenta la descarga</translation>
    </message>
    <message>
        <source>%1: the download cannot be decoded at line %2: %3; it is retried</source>
        <translation>%1: la descarga no se puede descodificar en la línea %2: %3; se reintenta</translation>
    </message>
    <message>
        <source>%1: the device vanished during the download; it is retried when the device is back</source>
        <translation>%1: el dispositivo desapareció durante la descarga; se reintenta cuando vuelva</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n new sample(s) archived, %2 in memory</source>
        <translation>
            <numerusform>%1: %n muestra nueva archivada, %2 en memoria</numerusform>
            <numerusform>%1: %n muestras nuevas archivadas, %2 en memoria</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the archive does not read back as written; the clock is not set</source>
        <translation>%1: el archivo no se lee tal como se escribió; no se ajusta el reloj</translation>
    </message>
    <message>
        <source>%1: the logger&apos;s memory emptied and its clock set from the PC&apos;s</source>
        <translation>%1: memoria del registrador vaciada y su reloj ajustado al del PC</translation>
    </message>
    <message>
        <source>%1: the logger&apos;s clock corrected from the PC&apos;s</source>
        <translation>%1: reloj del registrador corregido con el del PC</translation>
    </message>
    <message>
        <source>%1: the logger did not take the clock; it is tried again after the next download</source>
        <translation>%1: el registrador no aceptó el reloj; se vuelve a intentar tras la próxima descarga</translation>
    </message>
    <message>
        <source>%1: the logger stored a new sample before each clock setting could go out; the memory is emptied after a later download</source>
        <translation>%1: el registrador guardó una muestra nueva antes de cada puesta en hora; la memoria se vacía tras una descarga posterior</translation>
    </message>
    <message>
        <source>%1: the logger&apos;s clock is %2 s off the PC&apos;s; it is corrected after the next download</source>
        <translation>%1: el reloj del registrador difiere %2 s del del PC; se corrige tras la próxima descarga</translation>
    </message>
    <message>
        <source>connected to %1, %2 samples in memory, %3 archived, next download %4</source>
        <translation>conectado a %1, %2 muestras en memoria, %3 archivadas, próxima descarga %4</translation>
    </message>
    <message>
        <source>now</source>
        <translation>ahora</translation>
    </message>
    <message>
        <source>waiting for %1, %2 archived</source>
        <translation>esperando a %1, %2 archivadas</translation>
    </message>
    <message>
        <source>%1: the transfer went on past %2 KiB without its end; it is abandoned and retried</source>
        <translation>%1: la transferencia pasó de %2 KiB sin terminar; se abandona y se reintenta</translation>
    </message>
</context>
<context>
    <name>StationLinks</name>
    <message>
        <source>--mqtt %1: not HOST or HOST:PORT</source>
        <translation>--mqtt %1: no es HOST ni HOST:PUERTO</translation>
    </message>
    <message>
        <source>--mqtt-password-file %1: cannot read it; check its path and that the station may read it</source>
        <translation>--mqtt-password-file %1: no se puede leer; revise su ruta y que la estación pueda leerlo</translation>
    </message>
    <message>
        <source>%1 needs --mqtt HOST</source>
        <translation>%1 necesita --mqtt HOST</translation>
    </message>
    <message>
        <source>--mqtt-every %1: not a number of seconds, 0 or more</source>
        <translation>--mqtt-every %1: no es un número de segundos, 0 o más</translation>
    </message>
    <message>
        <source>--channel-name %1: not CHANNEL=NAME with a channel from 1 to 8 and a name</source>
        <translation>--channel-name %1: no es CANAL=NOMBRE con un canal del 1 al 8 y un nombre</translation>
    </message>
    <message>
        <source>--limit %1: not LOW..HIGH or chN:LOW..HIGH with N from 1 to 8, bounds in °C with a dot and LOW not above HIGH, such as 2..8 or ch3:-20..-15</source>
        <translation>--limit %1: no es BAJO..ALTO ni chN:BAJO..ALTO con N de 1 a 8, límites en °C con punto y BAJO no mayor que ALTO, como 2..8 o ch3:-20..-15</translation>
    </message>
    <message>
        <source>--delay %1: not a duration such as 30s, 15m, 2h or 1d</source>
        <translation>--delay %1: no es una duración como 30s, 15m, 2h o 1d</translation>
    </message>
    <message>
        <source>--mode %1: neither consecutive nor cumulative</source>
        <translation>--mode %1: no es consecutive ni cumulative</translation>
    </message>
    <message>
        <source>  --mqtt HOST[:PORT]           publish to this MQTT broker (port 1883, 8883 with --mqtt-cafile)
  --mqtt-user USER             log in to the broker as USER
  --mqtt-password-file FILE    the broker password, the file&apos;s first line
  --mqtt-cafile FILE           TLS, trusting this certificate authority
  --mqtt-topic PREFIX          topics under PREFIX/NAME/ (default veltra8)
  --ha-prefix PREFIX           Home Assistant discovery prefix (default homeassistant; &apos;&apos; none)
  --mqtt-every SECONDS         the live state at most this often (default 0: every frame)
  --channel-name N=NAME        a channel&apos;s name in Home Assistant (repeatable)
  --metrics ADDRESS:PORT       serve Prometheus metrics at /metrics (such as 127.0.0.1:9788)
  --limit LOW..HIGH|chN:LOW..HIGH  judge the live frames; alarms go to MQTT and the metrics (repeatable)
  --delay DURATION             time outside the limits before an alarm trips (default 0)
  --mode consecutive|cumulative  how that time is counted (default consecutive)
</source>
        <translation>  --mqtt HOST[:PORT]           publica en este broker MQTT (puerto 1883, 8883 con --mqtt-cafile)
  --mqtt-user USER             entra en el broker como USER
  --mqtt-password-file FILE    la contraseña del broker, la primera línea del archivo
  --mqtt-cafile FILE           TLS, confiando en esta autoridad de certificación
  --mqtt-topic PREFIX          temas bajo PREFIX/NAME/ (predeterminado veltra8)
  --ha-prefix PREFIX           prefijo de descubrimiento de Home Assistant (predeterminado homeassistant; &apos;&apos; ninguno)
  --mqtt-every SECONDS         el estado en vivo como mucho con esta frecuencia (predeterminado 0: cada trama)
  --channel-name N=NAME        el nombre de un canal en Home Assistant (repetible)
  --metrics ADDRESS:PORT       sirve métricas de Prometheus en /metrics (como 127.0.0.1:9788)
  --limit LOW..HIGH|chN:LOW..HIGH  juzga las tramas en vivo; las alarmas van a MQTT y a las métricas (repetible)
  --delay DURATION             tiempo fuera de los límites antes de que salte una alarma (predeterminado 0)
  --mode consecutive|cumulative  cómo se cuenta ese tiempo (predeterminado consecutive)
</translation>
    </message>
</context>
<context>
    <name>StationMain</name>
    <message>
        <source>%1: configuration read again</source>
        <translation>%1: configuración leída de nuevo</translation>
    </message>
    <message>
        <source>stopping</source>
        <translation>deteniéndose</translation>
    </message>
</context>
<context>
    <name>StationOptions</name>
    <message>
        <source>unknown option %1; see --help</source>
        <translation>opción desconocida %1; vea --help</translation>
    </message>
    <message>
        <source>%1 needs a value; see --help</source>
        <translation>%1 necesita un valor; vea --help</translation>
    </message>
    <message>
        <source>unexpected argument %1; see --help</source>
        <translation>argumento inesperado %1; vea --help</translation>
    </message>
    <message>
        <source>no port: give -p PORT or port= in the config file</source>
        <translation>sin puerto: indique -p PUERTO o port= en el archivo de configuración</translation>
    </message>
    <message>
        <source>--%1 %2: not a duration (such as 6h, 30m, 90s or 1d)</source>
        <translation>--%1 %2: no es una duración (como 6h, 30m, 90s o 1d)</translation>
    </message>
    <message>
        <source>--%1 %2: not a whole number from %3 to %4</source>
        <translation>--%1 %2: no es un número entero de %3 a %4</translation>
    </message>
    <message>
        <source>--name %1: a name may not be empty, hold a slash or start with a dot</source>
        <translation>--name %1: un nombre no puede estar vacío, contener una barra ni empezar por un punto</translation>
    </message>
    <message>
        <source>%1: cannot read the config file; check its path and its INI layout</source>
        <translation>%1: no se puede leer el archivo de configuración; compruebe su ruta y su formato INI</translation>
    </message>
    <message>
        <source>no archive folder: give --archive DIR or archive= in the config file, or run under a unit with StateDirectory=</source>
        <translation>sin carpeta de archivo: indique --archive DIR o archive= en el archivo de configuración, o ejecútela en una unidad con StateDirectory=</translation>
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
  --archive DIR                the archive&apos;s folder (default: $STATE_DIRECTORY)
  --name NAME                  the logger&apos;s name (default: the port&apos;s file name)
  --download-every DURATION    time between downloads (default 6h)
  --restart-memory-at N        samples in memory that start a new memory cycle (default 1800)
  --max-clock-drift SECONDS    clock offset corrected after a download (default 120; 0 never)
  --config FILE                INI file with the same keys; the command line wins
  -h, --help                   this text
  --version                    the version
</source>
        <translation>Uso: veltra8-station -p PUERTO --archive DIR [--name NOMBRE] [--download-every DURACIÓN]
                       [--restart-memory-at N] [--max-clock-drift SEGUNDOS] [--config ARCHIVO]

Mantiene leído un registrador: las tramas en vivo sin pausa, su memoria descargada
al arrancar, cada DURACIÓN y cuando tiene N muestras, añadida una sola vez a
DIR/NOMBRE/AAAA-MM.csv, con cada transferencia guardada en DIR/NOMBRE/raw/. Cuando
el archivo tiene toda la memoria, ajusta el reloj del registrador al del PC, lo
que vacía su memoria y corrige su reloj.

  -p, --port PUERTO            el dispositivo serie del registrador
  --archive DIR                la carpeta del archivo (por omisión: $STATE_DIRECTORY)
  --name NOMBRE                el nombre del registrador (por omisión: el nombre del puerto)
  --download-every DURACIÓN    tiempo entre descargas (por omisión 6h)
  --restart-memory-at N        muestras en memoria que inician un ciclo nuevo (por omisión 1800)
  --max-clock-drift SEGUNDOS   desfase del reloj que se corrige tras una descarga (por omisión 120; 0 nunca)
  --config ARCHIVO             archivo INI con las mismas claves; la línea de órdenes manda
  -h, --help                   este texto
  --version                    la versión
</translation>
    </message>
</context>
</TS>
