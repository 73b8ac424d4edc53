<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AlarmCommands</name>
    <message>
        <source>--on-alarm: %1 commands still running; not run for the %2 of CH%3</source>
        <translation>--on-alarm: aún se ejecutan %1 comandos; no se ejecuta para el evento %2 de CH%3</translation>
    </message>
    <message>
        <source>--on-alarm: cannot run /bin/sh: %1</source>
        <translation>--on-alarm: no se puede ejecutar /bin/sh: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>The logger&apos;s serial port (default: $VELTRA8_PORT, else the only port &apos;veltra8-cli ports&apos; lists).</source>
        <translation>El puerto serial del logger (por omisión: $VELTRA8_PORT, si no, el único puerto que lista &apos;veltra8-cli ports&apos;).</translation>
    </message>
    <message>
        <source>PORT</source>
        <translation>PORT</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <source>%1 (see &apos;veltra8-cli %2 --help&apos;)</source>
        <translation>%1 (vea &apos;veltra8-cli %2 --help&apos;)</translation>
    </message>
    <message>
        <source>Usage: veltra8-cli %1</source>
        <translation>Uso: veltra8-cli %1</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argumento inesperado &apos;%1&apos;</translation>
    </message>
    <message>
        <source>-f %1: not a format of this command; use one of %2</source>
        <translation>-f %1: no es un formato de este comando; use uno de %2</translation>
    </message>
    <message>
        <source>--timeout %1: not a number of seconds above 0</source>
        <translation>--timeout %1: no es una cantidad de segundos mayor que 0</translation>
    </message>
    <message>
        <source>cannot list the serial ports: %1; name the port with -p</source>
        <translation>no se pueden listar los puertos seriales: %1; indique el puerto con -p</translation>
    </message>
    <message>
        <source>no serial port found; connect the logger, or name its port with -p PORT</source>
        <translation>no se encontró ningún puerto serial; conecte el logger o indique su puerto con -p PORT</translation>
    </message>
    <message>
        <source>several serial ports (%1); choose one with -p PORT</source>
        <translation>hay varios puertos seriales (%1); elija uno con -p PORT</translation>
    </message>
    <message>
        <source>Usage: veltra8-cli COMMAND [options]

The VELTRA8 temperature data logger from a terminal or a script: live
readings, downloads of its memory, its clock and its sampling interval; and
its saved files, merged into one series and drawn.
Data go to standard output (or -o FILE), messages to standard error.

Commands:
</source>
        <translation>Uso: veltra8-cli COMANDO [opciones]

El logger de temperatura VELTRA8 desde una terminal o un script: lecturas en
vivo, descarga de su memoria, su reloj y su intervalo de muestreo; y sus
archivos guardados, unidos en una sola serie y dibujados.
Los datos van a la salida estándar (o a -o FILE), los mensajes a la salida de
errores.

Comandos:
</translation>
    </message>
    <message>
        <source>list the serial ports, one a line</source>
        <translation>lista los puertos seriales, uno por línea</translation>
    </message>
    <message>
        <source>write one record per live frame of the logger</source>
        <translation>escribe un registro por cada trama en vivo del logger</translation>
    </message>
    <message>
        <source>download the logger&apos;s memory as a table</source>
        <translation>descarga la memoria del logger como tabla</translation>
    </message>
    <message>
        <source>set the logger&apos;s clock from the PC&apos;s (empties its memory)</source>
        <translation>pone en hora el logger con la hora de la PC (vacía su memoria)</translation>
    </message>
    <message>
        <source>set the logger&apos;s sampling interval: 1, 15, 30 or 60 minutes</source>
        <translation>fija el intervalo de muestreo del logger: 1, 15, 30 o 60 minutos</translation>
    </message>
    <message>
        <source>merge saved data files into one series as CSV or JSON lines</source>
        <translation>une archivos de datos guardados en una serie, en CSV o JSON lines</translation>
    </message>
    <message>
        <source>draw saved data files as a chart in a PNG, SVG or PDF file</source>
        <translation>dibuja archivos de datos guardados en un gráfico PNG, SVG o PDF</translation>
    </message>
    <message>
        <source>
&apos;veltra8-cli COMMAND --help&apos; describes each command and its options.

Options:
  -h, --help  Show this help.
  --version   Show the program&apos;s version.

Environment:
  VELTRA8_PORT       the port to use when -p is not given
  VELTRA8_PORTS_DIR  the folder of virtual ports (links to ptys)

Exit codes:
  0  success
  1  internal error; plot: the drawing program missing or failing
  2  usage: a bad option or value, no port or several, refused without --yes
  3  port: cannot open, busy, no permission, device vanished
  4  no answer: no live frame, or no byte during a transfer, within --timeout
  5  data: confirmation failed, a download or file that cannot be decoded
  6  output: cannot write
  7  judged: out of limits (stats, report: an alarm tripped, or a limited channel
     without readings)
  130, 143  ended by Ctrl-C or SIGTERM (live ends with 0)
</source>
        <translation>
&apos;veltra8-cli COMANDO --help&apos; describe cada comando y sus opciones.

Opciones:
  -h, --help  Muestra esta ayuda.
  --version   Muestra la versión del programa.

Entorno:
  VELTRA8_PORT       el puerto a usar cuando no se indica -p
  VELTRA8_PORTS_DIR  la carpeta de puertos virtuales (enlaces a ptys)

Códigos de salida:
  0  éxito
  1  error interno; plot: falta el programa de dibujo, o este falla
  2  uso: una opción o un valor incorrecto, ningún puerto o varios, negativa
     sin --yes
  3  puerto: no se puede abrir, ocupado, sin permiso, dispositivo desaparecido
  4  sin respuesta: ninguna trama en vivo, o ningún byte en una transferencia,
     dentro de --timeout
  5  datos: falló la confirmación, una descarga o un archivo que no se puede
     decodificar
  6  salida: no se puede escribir
  7  juzgado: fuera de límites (stats, report: saltó una alarma, o un canal con
     límite no tiene lecturas)
  130, 143  terminado por Ctrl-C o SIGTERM (live termina con 0)
</translation>
    </message>
    <message>
        <source>judge saved data files against limits, with statistics and MKT</source>
        <translation>juzga archivos guardados contra límites, con estadísticas y MKT</translation>
    </message>
    <message>
        <source>judge saved data files into a one-page PDF to be signed</source>
        <translation>juzga archivos guardados en un PDF de una página para firmar</translation>
    </message>
    <message>
        <source>The logger&apos;s name in -f influx records (its &apos;logger&apos; tag; default: %1).</source>
        <translation>El nombre del logger en los registros de -f influx (su etiqueta &apos;logger&apos;; predeterminado: %1).</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NOMBRE</translation>
    </message>
    <message>
        <source>--name &apos;%1&apos;: not a name for the logger tag; give one without control characters or backslashes</source>
        <translation>--name &apos;%1&apos;: no sirve como nombre para la etiqueta logger; dé uno sin caracteres de control ni barras invertidas</translation>
    </message>
</context>
<context>
    <name>ConvertCommand</name>
    <message>
        <source>%1: cannot open: %2</source>
        <translation>%1: no se puede abrir: %2</translation>
    </message>
    <message>
        <source>%1: cannot read: %2</source>
        <translation>%1: no se puede leer: %2</translation>
    </message>
    <message>
        <source>%1: line %2: %3; not converted</source>
        <translation>%1: línea %2: %3; no se convirtió</translation>
    </message>
    <message>
        <source>not the empty line that follows the column titles</source>
        <translation>no es la línea vacía que sigue a los títulos de columna</translation>
    </message>
    <message>
        <source>not ten texts each followed by two blanks</source>
        <translation>no son diez textos seguidos cada uno de dos espacios</translation>
    </message>
    <message>
        <source>the date is not DD/MM/YYYY</source>
        <translation>la fecha no tiene la forma DD/MM/AAAA</translation>
    </message>
    <message>
        <source>the time is not hh:mm:ss</source>
        <translation>la hora no tiene la forma hh:mm:ss</translation>
    </message>
    <message>
        <source>the temperature of CH%1 is not a number such as 23,5</source>
        <translation>la temperatura de CH%1 no es un número como 23,5</translation>
    </message>
    <message>
        <source>The saved data files and CSV files to convert.</source>
        <translation>Los archivos de datos guardados y los archivos CSV a convertir.</translation>
    </message>
    <message>
        <source>Write to FILE instead of standard output, replacing it only once all of it is written.</source>
        <translation>Escribe en FILE en lugar de la salida estándar, y lo reemplaza solo una vez escrito por completo.</translation>
    </message>
    <message>
        <source>FILE missing: name the saved data files to convert</source>
        <translation>falta FILE: indique los archivos de datos guardados a convertir</translation>
    </message>
    <message>
        <source>neither the column title line of a saved data file nor the header of this program&apos;s CSV</source>
        <translation>no es ni la línea de títulos de columna de un archivo de datos guardado ni el encabezado del CSV de este programa</translation>
    </message>
    <message>
        <source>an empty line among the rows</source>
        <translation>una línea vacía entre las filas</translation>
    </message>
    <message>
        <source>not ten fields: the sample, its time and eight temperatures</source>
        <translation>no son diez campos: la muestra, su hora y ocho temperaturas</translation>
    </message>
    <message>
        <source>the sample is not a number</source>
        <translation>la muestra no es un número</translation>
    </message>
    <message>
        <source>the time is not YYYY-MM-DDThh:mm:ss</source>
        <translation>la hora no tiene la forma YYYY-MM-DDThh:mm:ss</translation>
    </message>
    <message>
        <source>the temperature of CH%1 is not a number such as 23.5</source>
        <translation>la temperatura de CH%1 no es un número como 23.5</translation>
    </message>
    <message>
        <source>warning: %1 overrides rows of %2 that hold other values at the same time (%3 in all; the first at line %4, over line %5 of %2)</source>
        <translation>aviso: %1 reemplaza filas de %2 que tienen otros valores a la misma hora (%3 en total; la primera en la línea %4, sobre la línea %5 de %2)</translation>
    </message>
    <message>
        <source>a quote that does not enclose a whole field</source>
        <translation>unas comillas que no encierran un campo entero</translation>
    </message>
    <message>
        <source>a line of 1 MiB or more</source>
        <translation>una línea de 1 MiB o más</translation>
    </message>
    <message>
        <source>Reads saved data files (as the windows and &apos;download -f txt&apos; write them) and
this program&apos;s CSV, told apart by their first line, and writes them as one
series in time order, as CSV or JSON lines, exactly as &apos;download&apos; would have.
One file is written as it stands, in its own order.

A time that several files hold is written once; when their values differ, the
file named later wins and a warning on standard error says how many rows it
overrode and where. Rows of one file are never merged with each other. A row
whose date or time cannot be (day 33, month 13, minute 75) keeps its place in
its own file: it follows the last row of that file with a real time (after
every row at that time), or comes just before the file&apos;s first real time.
Rows without a time are placed alike, and a file without any real time
follows the others, in the order the files are named. The samples are
numbered 1..N in the order written; rows without a time have an empty time
(null in jsonl).

influx writes InfluxDB line protocol, a line per sample, its time the file&apos;s
read in the PC&apos;s time zone; a time that the end of summer time shows twice
is the earlier instant. Rows without a real time have no line.
</source>
        <translation>Lee archivos de datos guardados (como los escriben las ventanas y
&apos;download -f txt&apos;) y el CSV de este programa, que se distinguen por su primera
línea, y los escribe como una sola serie en orden de tiempo, en CSV o JSON
lines, exactamente como lo habría hecho &apos;download&apos;. Un único archivo se
escribe tal cual, en su propio orden.

Una misma hora presente en varios archivos se escribe una sola vez; si sus
valores difieren, gana el archivo nombrado después, y un aviso en la salida de
errores dice cuántas filas reemplazó y dónde. Las filas de un mismo archivo
nunca se fusionan entre sí. Una fila cuya fecha u hora no puede existir
(día 33, mes 13, minuto 75) conserva su lugar en su propio archivo: va detrás
de la última fila de ese archivo con una hora real (tras todas las filas de
esa hora), o justo antes de la primera hora real del archivo. Las filas sin
hora se colocan del mismo modo, y un archivo sin ninguna hora real va detrás
de los demás, en el orden en que se nombran los archivos. Las muestras se
numeran 1..N en el orden en que se escriben; las filas sin hora llevan la
hora vacía (null en jsonl).

influx escribe el protocolo de líneas de InfluxDB, una línea por muestra, con
la hora del archivo leída en la zona horaria de la PC; una hora que el fin del
horario de verano muestra dos veces es el instante anterior. Las filas sin
hora real no tienen línea.
</translation>
    </message>
    <message>
        <source>Output format: csv (the default), jsonl or influx.</source>
        <translation>Formato de salida: csv (el predeterminado), jsonl o influx.</translation>
    </message>
    <message>
        <source>the first file&apos;s name without its extension</source>
        <translation>el nombre del primer archivo sin su extensión</translation>
    </message>
    <message numerus="yes">
        <source>warning: %n rows without a real time or any reading have no line</source>
        <translation>
            <numerusform>aviso: %n fila sin hora real ni lectura alguna no tiene línea</numerusform>
            <numerusform>aviso: %n filas sin hora real ni lectura alguna no tienen línea</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DownloadCommand</name>
    <message>
        <source><byte value="xd"/>%1 of %2 samples  %3 kB/s  %4 s left   </source>
        <translation><byte value="xd"/>%1 de %2 muestras  %3 kB/s  faltan %4 s   </translation>
    </message>
    <message>
        <source>Ask for a forced full download (&quot;E&quot; instead of &quot;8&quot;).</source>
        <translation>Pide una descarga completa forzada (&quot;E&quot; en lugar de &quot;8&quot;).</translation>
    </message>
    <message>
        <source>Write the table to FILE, replacing it only once all of it is written.</source>
        <translation>Escribe la tabla en FILE, y lo reemplaza solo una vez escrita por completo.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>No progress on standard error.</source>
        <translation>No muestra el progreso en la salida de errores.</translation>
    </message>
    <message>
        <source>%1: the download cannot be decoded at line %2: %3; nothing written</source>
        <translation>%1: la descarga no se puede decodificar en la línea %2: %3; no se escribió nada</translation>
    </message>
    <message>
        <source>warning: the logger reported %1 samples in memory, the download holds %2</source>
        <translation>aviso: el logger informó %1 muestras en memoria, la descarga trae %2</translation>
    </message>
    <message>
        <source>%1: no byte for %2 s during the transfer; the download is incomplete, nothing written</source>
        <translation>%1: ningún byte durante %2 s en la transferencia; la descarga está incompleta, no se escribió nada</translation>
    </message>
    <message>
        <source>Also keep the captured transfer in FILE, byte for byte, even when the download fails.</source>
        <translation>Guarda además la transferencia capturada en FILE, byte por byte, aun cuando la descarga falla.</translation>
    </message>
    <message>
        <source>Give up (exit 4) when no live frame comes within S seconds, or no byte for S seconds during the transfer (default 10).</source>
        <translation>Abandona (código de salida 4) si no llega ninguna trama en vivo en S segundos, o ningún byte durante S segundos en la transferencia (por omisión 10).</translation>
    </message>
    <message numerus="yes">
        <source>warning: %n samples without a real time or any reading have no line</source>
        <translation>
            <numerusform>aviso: %n muestra sin hora real ni lectura alguna no tiene línea</numerusform>
            <numerusform>aviso: %n muestras sin hora real ni lectura alguna no tienen línea</numerusform>
        </translation>
    </message>
    <message>
        <source>Waits for a live frame, then downloads the logger&apos;s memory as the windows do
and writes it as a table: txt is exactly the windows&apos; saved file; csv has the
header sample,time,ch1,...,ch8 (RFC 4180, CR LF); jsonl one object per sample;
influx InfluxDB line protocol, a line per sample stamped with the logger&apos;s
time read in the PC&apos;s time zone.
A failed download (time-out, vanished device, Ctrl-C) writes nothing to -o and
leaves an existing file as it was.
</source>
        <translation>Espera una trama en vivo, luego descarga la memoria del logger como lo hacen
las ventanas y la escribe como tabla: txt es exactamente el archivo que guardan
las ventanas; csv lleva el encabezado sample,time,ch1,...,ch8 (RFC 4180,
CR LF); jsonl, un objeto por muestra; influx, el protocolo de líneas de
InfluxDB, una línea por muestra con la hora del logger leída en la zona
horaria de la PC. Una descarga fallida (tiempo agotado, dispositivo
desaparecido, Ctrl-C) no escribe nada en -o y deja como estaba un archivo
existente.
</translation>
    </message>
    <message>
        <source>Table format: txt (the default), csv, jsonl or influx.</source>
        <translation>Formato de la tabla: txt (el predeterminado), csv, jsonl o influx.</translation>
    </message>
    <message>
        <source>the port&apos;s file name</source>
        <translation>el nombre de archivo del puerto</translation>
    </message>
</context>
<context>
    <name>JudgementLine</name>
    <message>
        <source>Judge every channel against LOW..HIGH in °C (such as 2..8, ..30 or -20..), or one channel with chN:LOW..HIGH, which wins over the limit of every channel; repeat it for more channels. The limits are in range.</source>
        <translation>Juzga cada canal contra BAJO..ALTO en °C (como 2..8, ..30 o -20..), o un canal con chN:BAJO..ALTO, que prevalece sobre el límite de todos los canales; repítala para más canales. Los propios límites están dentro del rango.</translation>
    </message>
    <message>
        <source>LIMIT</source>
        <translation>LÍMITE</translation>
    </message>
    <message>
        <source>The time outside the limits at which a channel&apos;s alarm trips, such as 30s, 15m, 2h or 1d (default 0: at the first sample outside).</source>
        <translation>El tiempo fuera de los límites con el que salta la alarma de un canal, como 30s, 15m, 2h o 1d (por omisión 0: en la primera muestra fuera).</translation>
    </message>
    <message>
        <source>DURATION</source>
        <translation>DURACIÓN</translation>
    </message>
    <message>
        <source>consecutive (the default): the delay counts one excursion at a time; cumulative: all the time outside on one side so far.</source>
        <translation>consecutive (por omisión): el retardo cuenta una excursión cada vez; cumulative: todo el tiempo fuera de un lado hasta el momento.</translation>
    </message>
    <message>
        <source>MODE</source>
        <translation>MODO</translation>
    </message>
    <message>
        <source>Judge from TIME on, given as YYYY-MM-DDThh:mm:ss (default: the first sample).</source>
        <translation>Juzga desde TIME, dado como YYYY-MM-DDThh:mm:ss (por omisión: la primera muestra).</translation>
    </message>
    <message>
        <source>TIME</source>
        <translation>TIME</translation>
    </message>
    <message>
        <source>Judge up to TIME, given as YYYY-MM-DDThh:mm:ss (default: the last sample).</source>
        <translation>Juzga hasta TIME, dado como YYYY-MM-DDThh:mm:ss (por omisión: la última muestra).</translation>
    </message>
    <message>
        <source>The channels to report, such as 1,2,5 (default: every channel with readings or a limit).</source>
        <translation>Los canales a informar, como 1,2,5 (por omisión: cada canal con lecturas o con un límite).</translation>
    </message>
    <message>
        <source>LIST</source>
        <translation>LIST</translation>
    </message>
    <message>
        <source>The activation energy of the mean kinetic temperature in kJ/mol (default 83.144).</source>
        <translation>La energía de activación de la temperatura cinética media en kJ/mol (por omisión 83.144).</translation>
    </message>
    <message>
        <source>KJ_PER_MOL</source>
        <translation>KJ_POR_MOL</translation>
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
        <source>--activation-energy %1: not an energy above 0 in kJ/mol, such as 83.144</source>
        <translation>--activation-energy %1: no es una energía mayor que 0 en kJ/mol, como 83.144</translation>
    </message>
    <message>
        <source>--channels %1: not a list of different channels 1 to 8, such as 1,2,5</source>
        <translation>--channels %1: no es una lista de canales distintos del 1 al 8, como 1,2,5</translation>
    </message>
    <message>
        <source>--%1 %2: not a date and time YYYY-MM-DDThh:mm:ss</source>
        <translation>--%1 %2: no es una fecha y hora con la forma YYYY-MM-DDThh:mm:ss</translation>
    </message>
    <message>
        <source>--from %1 is after --to %2</source>
        <translation>--from %1 es posterior a --to %2</translation>
    </message>
    <message>
        <source>%1: no row with a real date and time between --from and --to; nothing to judge</source>
        <translation>%1: ninguna fila con fecha y hora reales entre --from y --to; nada que juzgar</translation>
    </message>
    <message>
        <source>%1: no row with a real date and time; nothing to judge</source>
        <translation>%1: ninguna fila con fecha y hora reales; nada que juzgar</translation>
    </message>
</context>
<context>
    <name>LiveCommand</name>
    <message>
        <source>Stop after COUNT frames.</source>
        <translation>Termina tras COUNT tramas.</translation>
    </message>
    <message>
        <source>COUNT</source>
        <translation>COUNT</translation>
    </message>
    <message>
        <source>Write the records to FILE instead of standard output.</source>
        <translation>Escribe los registros en FILE en lugar de la salida estándar.</translation>
    </message>
    <message>
        <source>Give up (exit 4) when no live frame arrives for S seconds (default 10).</source>
        <translation>Abandona (código de salida 4) si no llega ninguna trama en vivo durante S segundos (por omisión 10).</translation>
    </message>
    <message>
        <source>-n %1: not a count of frames above 0</source>
        <translation>-n %1: no es una cantidad de tramas mayor que 0</translation>
    </message>
    <message>
        <source>%1: no live frame for %2 s; check the cable and that the logger is on</source>
        <translation>%1: ninguna trama en vivo durante %2 s; revise el cable y que el logger esté encendido</translation>
    </message>
    <message>
        <source>Run COMMAND through /bin/sh at each alarm and clear, with VELTRA8_EVENT (alarm or clear), VELTRA8_CHANNEL, VELTRA8_SIDE, VELTRA8_VALUE and VELTRA8_TIME in its environment. The frames are never held up by it: commands still running are left to run, up to %1 at once (an event beyond that is not run, and said), and are ended with SIGTERM when live ends.</source>
        <translation>Ejecuta COMMAND con /bin/sh en cada alarma y en cada despeje, con VELTRA8_EVENT (alarm o clear), VELTRA8_CHANNEL, VELTRA8_SIDE, VELTRA8_VALUE y VELTRA8_TIME en su entorno. Nunca detiene las tramas: los comandos que siguen en ejecución se dejan correr, hasta %1 a la vez (un evento de más no se ejecuta, y se avisa), y se terminan con SIGTERM cuando live termina.</translation>
    </message>
    <message>
        <source>COMMAND</source>
        <translation>COMANDO</translation>
    </message>
    <message>
        <source>--on-alarm needs --limit: name the limits whose alarms run the command</source>
        <translation>--on-alarm necesita --limit: indique los límites cuyas alarmas ejecutan el comando</translation>
    </message>
    <message>
        <source>Waits for the logger&apos;s live frames and writes one record per frame: the PC&apos;s
time, the logger&apos;s clock, battery, sampling interval, memory in use and the
eight temperatures. Stops after COUNT frames, or on Ctrl-C or SIGTERM with
exit code 0. Unreadable frames are skipped and counted on standard error.
influx writes InfluxDB line protocol (a line per frame, stamped with the
PC&apos;s time), for Telegraf&apos;s execd input.

With --limit, each record ends with the channels whose alarm is on, and a
record of its own says when an alarm trips or clears (at the first frame
back in range). A frame counts the logger&apos;s time since the frame before it
towards --delay.
</source>
        <translation>Espera las tramas en vivo del logger y escribe un registro por trama: la hora
de la PC, el reloj del logger, las pilas, el intervalo de muestreo, la memoria
ocupada y las ocho temperaturas. Termina tras COUNT tramas, o con Ctrl-C o
SIGTERM con código de salida 0. Las tramas ilegibles se omiten y se cuentan en
la salida de errores. influx escribe el protocolo de líneas de InfluxDB (una
línea por trama, con la hora de la PC), para la entrada execd de Telegraf.

Con --limit, cada registro termina con los canales cuya alarma está activa, y
un registro propio indica cuándo salta o se despeja una alarma (en la primera
trama de vuelta en el rango). Cada trama cuenta para --delay el tiempo del
logger desde la trama anterior.
</translation>
    </message>
    <message>
        <source>Record format: text (for people; the default on a terminal), csv (the default otherwise), jsonl or influx.</source>
        <translation>Formato del registro: text (para personas; el predeterminado en una terminal), csv (el predeterminado en otro caso), jsonl o influx.</translation>
    </message>
    <message>
        <source>the port&apos;s file name</source>
        <translation>el nombre de archivo del puerto</translation>
    </message>
    <message>
        <source>--limit: the alarms have no place in -f influx; use jsonl or csv to follow them</source>
        <translation>--limit: las alarmas no caben en -f influx; use jsonl o csv para seguirlas</translation>
    </message>
</context>
<context>
    <name>LiveRecordText</name>
    <message>
        <source>logger time</source>
        <translation>hora del logger</translation>
    </message>
    <message>
        <source>battery</source>
        <translation>pilas</translation>
    </message>
    <message>
        <source>rate</source>
        <translation>tasa</translation>
    </message>
    <message>
        <source>memory</source>
        <translation>memoria</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>alarms</source>
        <translation>alarmas</translation>
    </message>
    <message>
        <source>high</source>
        <translation>alto</translation>
    </message>
    <message>
        <source>low</source>
        <translation>bajo</translation>
    </message>
    <message>
        <source>ALARM CH%1 %2</source>
        <translation>ALARMA CH%1 %2</translation>
    </message>
    <message>
        <source>clear CH%1 %2</source>
        <translation>despeje CH%1 %2</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>no command given (see &apos;veltra8-cli --help&apos;)</source>
        <translation>no se indicó ningún comando (vea &apos;veltra8-cli --help&apos;)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a command (see &apos;veltra8-cli --help&apos;)</source>
        <translation>&apos;%1&apos; no es un comando (vea &apos;veltra8-cli --help&apos;)</translation>
    </message>
    <message>
        <source>internal error: %1</source>
        <translation>error interno: %1</translation>
    </message>
</context>
<context>
    <name>Output</name>
    <message>
        <source>%1: cannot write: %2; choose another file with -o</source>
        <translation>%1: no se puede escribir: %2; elija otro archivo con -o</translation>
    </message>
    <message>
        <source>standard output: cannot write: %1</source>
        <translation>salida estándar: no se puede escribir: %1</translation>
    </message>
</context>
<context>
    <name>PlotCommand</name>
    <message>
        <source>Merges saved data files and this program&apos;s CSV as &apos;convert&apos; does and draws
them as the windows&apos; chart does: a line per channel, real time along the
bottom axis, a break in the line where the logger was away, and a legend.
OUT ending in .png, .svg or .pdf chooses the picture&apos;s format (SVG and PDF
as vectors). Rows without a real date and time have no place on the time
axis and are left out. No display is needed. The files are merged as
&apos;convert&apos; merges them (see &apos;veltra8-cli convert --help&apos;), and a warning says
where one overrode another.
</source>
        <translation>Une archivos de datos guardados y el CSV de este programa, y los dibuja como
lo hace el gráfico de las ventanas: una línea por canal, la hora real en el
eje inferior, un corte en la línea donde el logger estuvo ausente, y una
leyenda. La terminación .png, .svg o .pdf de OUT elige el formato de la imagen
(SVG y PDF, vectoriales). Las filas sin una fecha y hora reales no tienen
lugar en el eje de tiempo y se omiten. No hace falta entorno gráfico. Los
archivos se unen como los une &apos;convert&apos; (vea &apos;veltra8-cli convert --help&apos;), y
un aviso dice dónde uno reemplazó a otro.
</translation>
    </message>
    <message>
        <source>The saved data files and CSV files to draw.</source>
        <translation>Los archivos de datos guardados y los archivos CSV a dibujar.</translation>
    </message>
    <message>
        <source>The picture to write, a .png, .svg or .pdf file; an existing one is replaced only by a whole picture.</source>
        <translation>La imagen a escribir, un archivo .png, .svg o .pdf; uno existente solo se reemplaza por una imagen completa.</translation>
    </message>
    <message>
        <source>OUT</source>
        <translation>OUT</translation>
    </message>
    <message>
        <source>The channels to draw, such as 1,2,5 (default: every channel with samples).</source>
        <translation>Los canales a dibujar, como 1,2,5 (por omisión: todos los canales con muestras).</translation>
    </message>
    <message>
        <source>LIST</source>
        <translation>LIST</translation>
    </message>
    <message>
        <source>Draw from TIME on, given as YYYY-MM-DDThh:mm:ss (default: the first sample).</source>
        <translation>Dibuja desde TIME, con la forma YYYY-MM-DDThh:mm:ss (por omisión: la primera muestra).</translation>
    </message>
    <message>
        <source>TIME</source>
        <translation>TIME</translation>
    </message>
    <message>
        <source>Draw up to TIME, given as YYYY-MM-DDThh:mm:ss (default: the last sample).</source>
        <translation>Dibuja hasta TIME, con la forma YYYY-MM-DDThh:mm:ss (por omisión: la última muestra).</translation>
    </message>
    <message>
        <source>The picture&apos;s width and height in pixels, 64 to 10000 each (SVG user units; PDF at 96 dpi); default 1200x675.</source>
        <translation>El ancho y el alto de la imagen en píxeles, de 64 a 10000 cada uno (unidades de usuario en SVG; PDF a 96 ppp); por omisión 1200x675.</translation>
    </message>
    <message>
        <source>WxH</source>
        <translation>WxH</translation>
    </message>
    <message>
        <source>The chart&apos;s title (default: the chart window&apos;s).</source>
        <translation>El título del gráfico (por omisión: el de la ventana del gráfico).</translation>
    </message>
    <message>
        <source>TEXT</source>
        <translation>TEXT</translation>
    </message>
    <message>
        <source>FILE missing: name the saved data files to draw</source>
        <translation>falta FILE: indique los archivos de datos guardados a dibujar</translation>
    </message>
    <message>
        <source>the %1 files merged</source>
        <translation>los %1 archivos unidos</translation>
    </message>
    <message>
        <source>-o OUT missing: name the picture to write, ending in .png, .svg or .pdf</source>
        <translation>falta -o OUT: indique la imagen a escribir, terminada en .png, .svg o .pdf</translation>
    </message>
    <message>
        <source>-o %1: not a picture this command writes; end the name in .png, .svg or .pdf</source>
        <translation>-o %1: no es una imagen que escriba este comando; termine el nombre en .png, .svg o .pdf</translation>
    </message>
    <message>
        <source>--%1 %2: not a date and time YYYY-MM-DDThh:mm:ss</source>
        <translation>--%1 %2: no es una fecha y hora con la forma YYYY-MM-DDThh:mm:ss</translation>
    </message>
    <message>
        <source>--from %1 is not before --to %2</source>
        <translation>--from %1 no es anterior a --to %2</translation>
    </message>
    <message>
        <source>--size %1: not a width and height of 64 to 10000 pixels, such as 1200x675</source>
        <translation>--size %1: no es un ancho y un alto de 64 a 10000 píxeles, como 1200x675</translation>
    </message>
    <message>
        <source>%1: cannot run the drawing program: %2</source>
        <translation>%1: no se puede ejecutar el programa de dibujo: %2</translation>
    </message>
    <message>
        <source>%1: the drawing program ended abnormally</source>
        <translation>%1: el programa de dibujo terminó de forma anómala</translation>
    </message>
    <message>
        <source>--channels %1: not a list of channels 1 to 8, such as 1,2,5</source>
        <translation>--channels %1: no es una lista de canales del 1 al 8, como 1,2,5</translation>
    </message>
    <message>
        <source>cannot draw: the drawing program veltra8-plot is not installed (looked for %1 and %2); it comes with the veltra8-cli package and with builds that have the desktop</source>
        <translation>no se puede dibujar: el programa de dibujo veltra8-plot no está instalado (se buscaron %1 y %2); viene con el paquete veltra8-cli y con las compilaciones que incluyen el escritorio</translation>
    </message>
</context>
<context>
    <name>PlotText</name>
    <message>
        <source>%1 (please report it)</source>
        <translation>%1 (comuníquelo, por favor)</translation>
    </message>
    <message>
        <source>not enough memory for the plot (plot a shorter span with --from and --to)</source>
        <translation>no hay memoria suficiente para el gráfico (dibuje un intervalo más corto con --from y --to)</translation>
    </message>
    <message>
        <source>internal error: %1 (please report it)</source>
        <translation>error interno: %1 (comuníquelo, por favor)</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>entrada estándar</translation>
    </message>
    <message>
        <source>%1: cannot be opened: %2 (check the name and that you may read it)</source>
        <translation>%1: no se puede abrir: %2 (revise el nombre y que tenga permiso para leerlo)</translation>
    </message>
    <message>
        <source>%1: no row in the span asked for (the rows run from %2 to %3; change --from or --to)</source>
        <translation>%1: ninguna fila en el intervalo pedido (las filas van de %2 a %3; cambie --from o --to)</translation>
    </message>
    <message>
        <source>%1: no temperature in the channels asked for (choose others with --channels)</source>
        <translation>%1: ninguna temperatura en los canales pedidos (elija otros con --channels)</translation>
    </message>
    <message>
        <source>%1: cannot be written: %2 (choose a folder that exists and that you may write in)</source>
        <translation>%1: no se puede escribir: %2 (elija una carpeta que exista y en la que pueda escribir)</translation>
    </message>
    <message>
        <source>drawing failed</source>
        <translation>falló el dibujo</translation>
    </message>
    <message>
        <source>%1: the picture could not be written: %2 (check the free space and try again)</source>
        <translation>%1: no se pudo escribir la imagen: %2 (revise el espacio libre y vuelva a intentarlo)</translation>
    </message>
    <message>
        <source>%1: the picture could not be written: %2 (check the free space and the folder&apos;s permissions)</source>
        <translation>%1: no se pudo escribir la imagen: %2 (revise el espacio libre y los permisos de la carpeta)</translation>
    </message>
    <message>
        <source>veltra8-cli plot: %1</source>
        <translation>veltra8-cli plot: %1</translation>
    </message>
    <message>
        <source>rows left out of the plot: %1 (without a time: %2; with a date or time not on the calendar: %3)</source>
        <translation>filas omitidas del gráfico: %1 (sin hora: %2; con una fecha u hora que no existe en el calendario: %3)</translation>
    </message>
    <message>
        <source>%1: no rows, only the header (give the rows to plot)</source>
        <translation>%1: no hay filas, solo el encabezado (faltan las filas a dibujar)</translation>
    </message>
    <message>
        <source>%1: no row with a time to plot; %2 (give rows whose time is set)</source>
        <translation>%1: ninguna fila con hora que dibujar; %2 (hacen falta filas que tengan hora)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Draws the temperatures of veltra8-cli&apos;s CSV (from FILE or standard input) on a time axis.</source>
        <translation>Dibuja las temperaturas del CSV de veltra8-cli (de FILE o de la entrada estándar) sobre un eje de tiempo.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>Write the picture to OUT; its ending, .png, .svg or .pdf, chooses the kind.</source>
        <translation>Escribe la imagen en OUT; su terminación, .png, .svg o .pdf, elige el tipo.</translation>
    </message>
    <message>
        <source>Draw these channels only, as in 1,2,5.</source>
        <translation>Dibuja solo estos canales, como en 1,2,5.</translation>
    </message>
    <message>
        <source>Start the time axis at TIME (YYYY-MM-DDThh:mm:ss).</source>
        <translation>Empieza el eje de tiempo en TIME (YYYY-MM-DDThh:mm:ss).</translation>
    </message>
    <message>
        <source>End the time axis at TIME (YYYY-MM-DDThh:mm:ss).</source>
        <translation>Termina el eje de tiempo en TIME (YYYY-MM-DDThh:mm:ss).</translation>
    </message>
    <message>
        <source>Picture size in pixels (SVG units; PDF at 96 dpi); default 1200x675.</source>
        <translation>Tamaño de la imagen en píxeles (unidades SVG; PDF a 96 ppp); por omisión 1200x675.</translation>
    </message>
    <message>
        <source>Title over the chart.</source>
        <translation>Título sobre el gráfico.</translation>
    </message>
    <message>
        <source>The sampling interval, when known; lines break where samples are more than 1.5 intervals apart. By default the most common step between samples.</source>
        <translation>El intervalo de muestreo, si se conoce; las líneas se cortan donde las muestras distan más de intervalo y medio. Por omisión, el paso más frecuente entre muestras.</translation>
    </message>
    <message>
        <source>The CSV to plot; standard input when left out or &quot;-&quot;.</source>
        <translation>El CSV a dibujar; la entrada estándar si se omite o es &quot;-&quot;.</translation>
    </message>
    <message>
        <source>see veltra8-cli plot --help</source>
        <translation>vea veltra8-cli plot --help</translation>
    </message>
    <message>
        <source>unknown option %1 (%2)</source>
        <translation>opción desconocida %1 (%2)</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>one CSV at a time, not %1 (merge them first with veltra8-cli convert)</source>
        <translation>un solo CSV cada vez, no %1 (únalos antes con veltra8-cli convert)</translation>
    </message>
    <message>
        <source>no picture file given (add -o OUT, OUT ending in .png, .svg or .pdf)</source>
        <translation>no se indicó el archivo de imagen (use -o OUT, con OUT terminado en .png, .svg o .pdf)</translation>
    </message>
    <message>
        <source>%1: the name must end in .png, .svg or .pdf (rename it, as in plot.png)</source>
        <translation>%1: el nombre debe terminar en .png, .svg o .pdf (cámbielo, como en plot.png)</translation>
    </message>
    <message>
        <source>--channels %1: channels are 1 to 8, separated by commas (as in 1,2,5)</source>
        <translation>--channels %1: los canales van del 1 al 8, separados por comas (como en 1,2,5)</translation>
    </message>
    <message>
        <source>--%1 %2: not a date and time (write it as YYYY-MM-DDThh:mm:ss, as in 2024-03-01T08:00:00)</source>
        <translation>--%1 %2: no es una fecha y hora (escríbala con la forma YYYY-MM-DDThh:mm:ss, como en 2024-03-01T08:00:00)</translation>
    </message>
    <message>
        <source>--size %1: give WIDTHxHEIGHT in pixels, each %2 to %3 (as in 1600x900)</source>
        <translation>--size %1: indique ANCHOxALTO en píxeles, cada uno de %2 a %3 (como en 1600x900)</translation>
    </message>
    <message>
        <source>--interval %1: give the sampling interval in whole minutes, 1 to %2 (as in 15)</source>
        <translation>--interval %1: indique el intervalo de muestreo en minutos enteros, de 1 a %2 (como en 15)</translation>
    </message>
    <message>
        <source>%1: empty, not even a header line (give the CSV that veltra8-cli writes with -f csv)</source>
        <translation>%1: vacío, sin siquiera una línea de encabezado (use el CSV que escribe veltra8-cli con -f csv)</translation>
    </message>
    <message>
        <source>%1:%2: the line is longer than 1 MiB (give the CSV that veltra8-cli writes with -f csv)</source>
        <translation>%1:%2: la línea ocupa más de 1 MiB (use el CSV que escribe veltra8-cli con -f csv)</translation>
    </message>
    <message>
        <source>%1: cannot be read: %2 (check the file and try again)</source>
        <translation>%1: no se puede leer: %2 (revise el archivo y vuelva a intentarlo)</translation>
    </message>
    <message>
        <source>%1:%2: a quoted field is not closed (close it with &quot; or remove the quote)</source>
        <translation>%1:%2: un campo entre comillas no está cerrado (ciérrelo con &quot; o quite la comilla)</translation>
    </message>
    <message>
        <source>%1:%2: text after the closing quote of a field (put the whole field in quotes)</source>
        <translation>%1:%2: hay texto tras la comilla de cierre de un campo (ponga todo el campo entre comillas)</translation>
    </message>
    <message>
        <source>%1:%2: a quote inside a field that does not start with one (quote the whole field and double the quote)</source>
        <translation>%1:%2: una comilla dentro de un campo que no empieza con comilla (ponga todo el campo entre comillas y duplique la comilla)</translation>
    </message>
    <message>
        <source>%1:%2: the first line is not the header sample,time,ch1,…,ch8 (give the CSV that veltra8-cli writes with -f csv)</source>
        <translation>%1:%2: la primera línea no es el encabezado sample,time,ch1,…,ch8 (use el CSV que escribe veltra8-cli con -f csv)</translation>
    </message>
    <message>
        <source>%1:%2: the time &quot;%3&quot; is not YYYY-MM-DDThh:mm:ss (mend the line, or empty the time to leave the row out)</source>
        <translation>%1:%2: la hora &quot;%3&quot; no tiene la forma YYYY-MM-DDThh:mm:ss (corrija la línea, o vacíe la hora para omitir la fila)</translation>
    </message>
    <message>
        <source>%1:%2: ch%3 &quot;%4&quot; is not a temperature (write it with a dot decimal, like 23.5, or leave it empty)</source>
        <translation>%1:%2: ch%3 &quot;%4&quot; no es una temperatura (escríbala con punto decimal, como 23.5, o déjela vacía)</translation>
    </message>
    <message>
        <source>%1:%2: %3 fields where the header has 10 (mend the line or remove it)</source>
        <translation>%1:%2: %3 campos donde el encabezado tiene 10 (corrija la línea o quítela)</translation>
    </message>
    <message>
        <source>--from %1 is not before --to %2 (swap them, or widen the span)</source>
        <translation>--from %1 no es anterior a --to %2 (intercámbielos o amplíe el intervalo)</translation>
    </message>
    <message>
        <source>--report takes no --help</source>
        <translation>--report no admite --help</translation>
    </message>
    <message>
        <source>%1: cannot be opened: %2 (please report it)</source>
        <translation>%1: no se puede abrir: %2 (por favor, infórmelo)</translation>
    </message>
</context>
<context>
    <name>PortsCommand</name>
    <message>
        <source>Lists the serial ports, one a line: the serial devices present and the links
in the virtual-ports folder ($VELTRA8_PORTS_DIR), as the port setup of the
windows lists them.
</source>
        <translation>Lista los puertos seriales, uno por línea: los dispositivos seriales presentes
y los enlaces de la carpeta de puertos virtuales ($VELTRA8_PORTS_DIR), como los
lista la configuración del puerto de las ventanas.
</translation>
    </message>
    <message>
        <source>cannot list the serial ports: %1</source>
        <translation>no se pueden listar los puertos seriales: %1</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>Options:</source>
        <translation>Opciones:</translation>
    </message>
    <message>
        <source>Arguments:</source>
        <translation>Argumentos:</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Opción desconocida &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>Opciones desconocidas: %1.</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;.</source>
        <translation>Falta un valor después de &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unexpected value after &apos;%1&apos;.</source>
        <translation>Valor inesperado después de &apos;%1&apos;.</translation>
    </message>
</context>
<context>
    <name>ReportCommand</name>
    <message>
        <source>Judges saved data files as &apos;stats&apos; does and writes a one-page A4 PDF to be
signed: a heading with the files, the period and the sampling intervals, a
verdict per judged channel with its limits, minimum, maximum, mean, MKT and
time out of range, the chart with the limits drawn and the excursions
shaded, the excursions and gaps (on more pages when they need them) and an
empty signature block. Its text can be searched and copied. The PDF is
written whether the channels pass or not; the exit code says which, as
for &apos;stats&apos;.
</source>
        <translation>Juzga archivos de datos guardados como lo hace &apos;stats&apos; y escribe un PDF A4 de
una página para firmar: un encabezado con los archivos, el periodo y los
intervalos de muestreo, un veredicto por canal juzgado con sus límites,
mínimo, máximo, media, MKT y tiempo fuera de rango, el gráfico con los límites
dibujados y las excursiones sombreadas, las excursiones y los huecos (en más
páginas cuando hacen falta) y un bloque de firma vacío. Su texto se puede
buscar y copiar. El PDF se escribe pasen o no los canales; el código de
salida lo indica, como en &apos;stats&apos;.
</translation>
    </message>
    <message>
        <source>The saved data files and CSV files to judge.</source>
        <translation>Los archivos de datos guardados y los archivos CSV a juzgar.</translation>
    </message>
    <message>
        <source>The PDF to write; an existing one is replaced only by a whole report.</source>
        <translation>El PDF a escribir; uno existente solo se reemplaza por un informe entero.</translation>
    </message>
    <message>
        <source>OUT</source>
        <translation>OUT</translation>
    </message>
    <message>
        <source>The report&apos;s title (default: Temperature report).</source>
        <translation>El título del informe (por omisión: Informe de temperatura).</translation>
    </message>
    <message>
        <source>TEXT</source>
        <translation>TEXT</translation>
    </message>
    <message>
        <source>FILE missing: name the saved data files to report on</source>
        <translation>falta FILE: nombre los archivos de datos guardados del informe</translation>
    </message>
    <message>
        <source>-o OUT.pdf missing: name the PDF to write, ending in .pdf</source>
        <translation>falta -o OUT.pdf: nombre el PDF a escribir, terminado en .pdf</translation>
    </message>
    <message>
        <source>%1: cannot write the report&apos;s page description: %2 (check the free space in the temporary folder)</source>
        <translation>%1: no se puede escribir la descripción de la página del informe: %2 (revise el espacio libre en la carpeta temporal)</translation>
    </message>
    <message>
        <source>the %1 files merged</source>
        <translation>los %1 archivos unidos</translation>
    </message>
    <message>
        <source>high</source>
        <translation>alto</translation>
    </message>
    <message>
        <source>low</source>
        <translation>bajo</translation>
    </message>
    <message>
        <source>Temperature report</source>
        <translation>Informe de temperatura</translation>
    </message>
    <message>
        <source>Files: %1</source>
        <translation>Archivos: %1</translation>
    </message>
    <message>
        <source>Period: %1 to %2 (%3 rows, %4 without a real time)</source>
        <translation>Periodo: %1 a %2 (%3 filas, %4 sin hora real)</translation>
    </message>
    <message>
        <source>Sampling interval: %1</source>
        <translation>Intervalo de muestreo: %1</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>desconocido</translation>
    </message>
    <message>
        <source>Made: %1</source>
        <translation>Hecho: %1</translation>
    </message>
    <message>
        <source>CH%1  %2  limits %3  no reading in the period</source>
        <translation>CH%1  %2  límites %3  ninguna lectura en el periodo</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>NO PASA</translation>
    </message>
    <message>
        <source>CH%1  %2  limits %3  min %4  max %5  mean %6  MKT %7  out of range %8</source>
        <translation>CH%1  %2  límites %3  mín %4  máx %5  media %6  MKT %7  fuera de rango %8</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>PASA</translation>
    </message>
    <message>
        <source>No limit given: nothing judged.</source>
        <translation>Sin límites: nada juzgado.</translation>
    </message>
    <message>
        <source>CH%1 %2 from %3 to %4 (%5), peak %6 at %7</source>
        <translation>CH%1 %2 desde %3 hasta %4 (%5), pico %6 a las %7</translation>
    </message>
    <message>
        <source>from %1 to %2 (%3)</source>
        <translation>desde %1 hasta %2 (%3)</translation>
    </message>
    <message>
        <source>Excursions</source>
        <translation>Excursiones</translation>
    </message>
    <message>
        <source>none</source>
        <translation>ninguno</translation>
    </message>
    <message>
        <source>Gaps</source>
        <translation>Huecos</translation>
    </message>
    <message>
        <source>Reviewed by</source>
        <translation>Revisado por</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>%1: port busy: another program holds it; close that program and try again</source>
        <translation>%1: puerto ocupado: otro programa lo tiene abierto; cierre ese programa y vuelva a intentarlo</translation>
    </message>
    <message>
        <source>%1: permission denied (add yourself to the dialout group, then log in again)</source>
        <translation>%1: permiso denegado (agréguese al grupo dialout y vuelva a iniciar sesión)</translation>
    </message>
    <message>
        <source>%1: no such port; check the cable, or see &apos;veltra8-cli ports&apos;</source>
        <translation>%1: no existe ese puerto; revise el cable o vea &apos;veltra8-cli ports&apos;</translation>
    </message>
    <message>
        <source>%1: not a serial port; name the logger&apos;s port with -p</source>
        <translation>%1: no es un puerto serial; indique el puerto del logger con -p</translation>
    </message>
    <message>
        <source>%1: the device vanished; reconnect it and run the command again</source>
        <translation>%1: el dispositivo desapareció; vuelva a conectarlo y ejecute el comando de nuevo</translation>
    </message>
    <message>
        <source>%1: cannot open the port: %2</source>
        <translation>%1: no se puede abrir el puerto: %2</translation>
    </message>
    <message>
        <source>%1: %2; check the connection and run the command again</source>
        <translation>%1: %2; revise la conexión y ejecute el comando de nuevo</translation>
    </message>
    <message>
        <source>%1: no live frame within %2 s; check the cable and that the logger is on</source>
        <translation>%1: ninguna trama en vivo en %2 s; revise el cable y que el logger esté encendido</translation>
    </message>
    <message numerus="yes">
        <source>%n unreadable live frame(s) skipped</source>
        <translation>
            <numerusform>%n trama en vivo ilegible omitida</numerusform>
            <numerusform>%n tramas en vivo ilegibles omitidas</numerusform>
        </translation>
    </message>
    <message>
        <source>internal error: %1</source>
        <translation>error interno: %1</translation>
    </message>
    <message>
        <source>cannot send to the logger</source>
        <translation>no se puede enviar al logger</translation>
    </message>
    <message>
        <source>cannot read from the port</source>
        <translation>no se puede leer del puerto</translation>
    </message>
    <message>
        <source>cannot set up the port</source>
        <translation>no se puede configurar el puerto</translation>
    </message>
    <message>
        <source>the port failed</source>
        <translation>el puerto falló</translation>
    </message>
</context>
<context>
    <name>SetClockCommand</name>
    <message>
        <source>Sets the logger&apos;s clock from the PC&apos;s local time. Setting the clock starts the
logger&apos;s memory afresh: when the logger holds samples, the command refuses
(exit 2, nothing sent) unless --yes is given. Afterwards the next live frames
must show the logger&apos;s clock within 2 s of the PC&apos;s and its memory empty.
</source>
        <translation>Pone en hora el reloj del logger con la hora local de la PC. Poner en hora el
reloj vacía la memoria del logger: si el logger tiene muestras, el comando se
niega (código de salida 2, nada enviado) salvo que se indique --yes. Después,
las siguientes tramas en vivo deben mostrar el reloj del logger a menos de 2 s
del de la PC y su memoria vacía.
</translation>
    </message>
    <message>
        <source>Set the clock even though the samples in memory are lost.</source>
        <translation>Pone en hora el reloj aunque se pierdan las muestras en memoria.</translation>
    </message>
    <message>
        <source>Do not wait for the live frames that confirm the new clock.</source>
        <translation>No espera las tramas en vivo que confirman la nueva hora.</translation>
    </message>
    <message>
        <source>Give up (exit 4) when no live frame comes within S seconds (default 10).</source>
        <translation>Abandona (código de salida 4) si no llega ninguna trama en vivo en S segundos (por omisión 10).</translation>
    </message>
    <message>
        <source>clock set to %1</source>
        <translation>reloj puesto en hora: %1</translation>
    </message>
    <message>
        <source>%1: the logger holds %2 samples and setting its clock empties its memory; download them first, or add --yes</source>
        <translation>%1: el logger tiene %2 muestras y poner en hora su reloj vacía su memoria; descárguelas primero o agregue --yes</translation>
    </message>
    <message>
        <source>clock set: the logger reads %1</source>
        <translation>reloj puesto en hora: el logger marca %1</translation>
    </message>
    <message>
        <source>%1: the logger did not take the clock: it reads %2 (PC %3) with %4 samples in memory; run set-clock again</source>
        <translation>%1: el logger no tomó la hora: marca %2 (PC %3) con %4 muestras en memoria; ejecute set-clock de nuevo</translation>
    </message>
</context>
<context>
    <name>SetRateCommand</name>
    <message>
        <source>Sets the logger&apos;s sampling interval to 1, 15, 30 or 60 minutes, then confirms
the new rate in the next live frames.
</source>
        <translation>Fija el intervalo de muestreo del logger en 1, 15, 30 o 60 minutos, y luego
confirma la nueva tasa en las siguientes tramas en vivo.
</translation>
    </message>
    <message>
        <source>Give up (exit 4) when no live frame comes within S seconds (default 10).</source>
        <translation>Abandona (código de salida 4) si no llega ninguna trama en vivo en S segundos (por omisión 10).</translation>
    </message>
    <message>
        <source>1, 15, 30 or 60.</source>
        <translation>1, 15, 30 o 60.</translation>
    </message>
    <message>
        <source>MINUTES missing: give 1, 15, 30 or 60</source>
        <translation>falta MINUTES: indique 1, 15, 30 o 60</translation>
    </message>
    <message>
        <source>%1: not a sampling interval; give 1, 15, 30 or 60</source>
        <translation>%1: no es un intervalo de muestreo; indique 1, 15, 30 o 60</translation>
    </message>
    <message>
        <source>sampling interval set to %1 min</source>
        <translation>intervalo de muestreo fijado en %1 min</translation>
    </message>
    <message>
        <source>%1: the logger did not take the rate: its frames still report rate code %2; run set-rate again</source>
        <translation>%1: el logger no tomó la tasa: sus tramas siguen informando el código de tasa %2; ejecute set-rate de nuevo</translation>
    </message>
</context>
<context>
    <name>StatsCommand</name>
    <message>
        <source>Merges saved data files and this program&apos;s CSV as &apos;convert&apos; does and judges
them: per channel the count of samples, minimum and maximum with their
times, the time-weighted mean, the standard deviation, the mean kinetic
temperature (MKT) and, against --limit, the time above, below and in range,
the excursions and whether the channel&apos;s alarm tripped. Then the
excursions and the gaps (samples more than 1.5 intervals apart).

Each sample stands for its file&apos;s sampling interval. A gap counts as no
time and ends an excursion. Rows without a real date and time are counted
and never judged. Exit code 7 when any channel&apos;s alarm tripped, or a
channel with a limit has no reading; 0 when every judged channel passes.
</source>
        <translation>Une archivos de datos guardados y el CSV de este programa como lo hace
&apos;convert&apos; y los juzga: por canal el número de muestras, el mínimo y el máximo
con sus horas, la media ponderada por el tiempo, la desviación estándar, la
temperatura cinética media (MKT) y, contra --limit, el tiempo por encima, por
debajo y dentro del rango, las excursiones y si saltó la alarma del canal.
Después, las excursiones y los huecos (muestras separadas más de 1,5
intervalos).

Cada muestra vale por el intervalo de muestreo de su archivo. Un hueco no
cuenta como tiempo y termina una excursión. Las filas sin fecha y hora reales
se cuentan y nunca se juzgan. Código de salida 7 cuando saltó la alarma de
algún canal, o un canal con límite no tiene lecturas; 0 cuando pasan todos los
canales juzgados.
</translation>
    </message>
    <message>
        <source>The saved data files and CSV files to judge.</source>
        <translation>Los archivos de datos guardados y los archivos CSV a juzgar.</translation>
    </message>
    <message>
        <source>Output format: text (the default), csv (one row per channel) or json.</source>
        <translation>Formato de salida: text (por omisión), csv (una fila por canal) o json.</translation>
    </message>
    <message>
        <source>Write to FILE instead of standard output, replacing it only once all of it is written.</source>
        <translation>Escribe en FILE en lugar de la salida estándar, y lo reemplaza solo una vez escrito por completo.</translation>
    </message>
    <message>
        <source>FILE missing: name the saved data files to judge</source>
        <translation>falta FILE: nombre los archivos de datos guardados a juzgar</translation>
    </message>
    <message>
        <source>CH%1 has no reading in the rows judged, so it cannot pass; check the files and --from/--to</source>
        <translation>CH%1 no tiene lecturas en las filas juzgadas, así que no puede pasar; revise los archivos y --from/--to</translation>
    </message>
    <message>
        <source>NO DATA</source>
        <translation>SIN DATOS</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>PASA</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>NO PASA</translation>
    </message>
    <message>
        <source>high</source>
        <translation>alto</translation>
    </message>
    <message>
        <source>low</source>
        <translation>bajo</translation>
    </message>
    <message numerus="yes">
        <source>Period %1 to %2: %3 rows, %4 without a real time, %n gap(s)</source>
        <translation>
            <numerusform>Periodo %1 a %2: %3 filas, %4 sin hora real, %n hueco</numerusform>
            <numerusform>Periodo %1 a %2: %3 filas, %4 sin hora real, %n huecos</numerusform>
        </translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Canal</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Muestras</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Mín</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Máx</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Media</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>DE</translation>
    </message>
    <message>
        <source>MKT</source>
        <translation>MKT</translation>
    </message>
    <message>
        <source>Limits</source>
        <translation>Límites</translation>
    </message>
    <message>
        <source>Above</source>
        <translation>Encima</translation>
    </message>
    <message>
        <source>Below</source>
        <translation>Debajo</translation>
    </message>
    <message>
        <source>In range</source>
        <translation>En rango</translation>
    </message>
    <message>
        <source>Excursions</source>
        <translation>Excursiones</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>Veredicto</translation>
    </message>
    <message>
        <source>Excursions:</source>
        <translation>Excursiones:</translation>
    </message>
    <message>
        <source>  CH%1 %2 from %3 to %4 (%5), peak %6 at %7</source>
        <translation>  CH%1 %2 desde %3 hasta %4 (%5), pico %6 a las %7</translation>
    </message>
    <message>
        <source>Alarm: CH%1 %2 at %3</source>
        <translation>Alarma: CH%1 %2 a las %3</translation>
    </message>
    <message>
        <source>Gaps:</source>
        <translation>Huecos:</translation>
    </message>
    <message>
        <source>  from %1 to %2 (%3)</source>
        <translation>  desde %1 hasta %2 (%3)</translation>
    </message>
</context>
</TS>
