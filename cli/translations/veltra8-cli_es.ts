<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
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
readings, downloads of its memory, its clock and its sampling interval.
Data go to standard output (or -o FILE), messages to standard error.

Commands:
  ports       list the serial ports, one a line
  live        write one record per live frame of the logger
  download    download the logger&apos;s memory as a table
  set-clock   set the logger&apos;s clock from the PC&apos;s (empties its memory)
  set-rate    set the logger&apos;s sampling interval: 1, 15, 30 or 60 minutes
  convert     convert a saved data file to CSV or JSON lines

&apos;veltra8-cli COMMAND --help&apos; describes each command and its options.

Options:
  -h, --help  this text
  --version   the program&apos;s version

Environment:
  VELTRA8_PORT       the port to use when -p is not given
  VELTRA8_PORTS_DIR  the folder of virtual ports (links to ptys)

Exit codes:
  0  success
  1  internal error
  2  usage: a bad option or value, no port or several, refused without --yes
  3  port: cannot open, busy, no permission, device vanished
  4  no answer: no live frame, or no byte during a transfer, within --timeout
  5  data: confirmation failed, a download or file that cannot be decoded
  6  output: cannot write
  130, 143  ended by Ctrl-C or SIGTERM (live ends with 0)
</source>
        <translation>Uso: veltra8-cli COMANDO [opciones]

El logger de temperatura VELTRA8 desde una terminal o un script: lecturas en
vivo, descarga de su memoria, su reloj y su intervalo de muestreo.
Los datos van a la salida estándar (o a -o FILE), los mensajes a la salida de
errores.

Comandos:
  ports       lista los puertos seriales, uno por línea
  live        escribe un registro por cada trama en vivo del logger
  download    descarga la memoria del logger como tabla
  set-clock   pone en hora el logger con la hora de la PC (vacía su memoria)
  set-rate    fija el intervalo de muestreo del logger: 1, 15, 30 o 60 minutos
  convert     convierte un archivo de datos guardado a CSV o JSON lines

&apos;veltra8-cli COMANDO --help&apos; describe cada comando y sus opciones.

Opciones:
  -h, --help  este texto
  --version   la versión del programa

Entorno:
  VELTRA8_PORT       el puerto a usar cuando no se indica -p
  VELTRA8_PORTS_DIR  la carpeta de puertos virtuales (enlaces a ptys)

Códigos de salida:
  0  éxito
  1  error interno
  2  uso: una opción o un valor incorrecto, ningún puerto o varios, negativa
     sin --yes
  3  puerto: no se puede abrir, ocupado, sin permiso, el dispositivo desapareció
  4  sin respuesta: ninguna trama en vivo, o ningún byte en una transferencia,
     dentro de --timeout
  5  datos: falló la confirmación, una descarga o un archivo que no se puede
     decodificar
  6  salida: no se puede escribir
  130, 143  terminado por Ctrl-C o SIGTERM (live termina con 0)
</translation>
    </message>
</context>
<context>
    <name>ConvertCommand</name>
    <message>
        <source>Reads a saved data file (as the windows and &apos;download -f txt&apos; write it) and
writes it as CSV or JSON lines, exactly as &apos;download&apos; would have.
</source>
        <translation>Lee un archivo de datos guardado (como lo escriben las ventanas y
&apos;download -f txt&apos;) y lo escribe en CSV o JSON lines, exactamente como lo
habría hecho &apos;download&apos;.
</translation>
    </message>
    <message>
        <source>The saved data file.</source>
        <translation>El archivo de datos guardado.</translation>
    </message>
    <message>
        <source>Output format: csv (the default) or jsonl.</source>
        <translation>Formato de salida: csv (el predeterminado) o jsonl.</translation>
    </message>
    <message>
        <source>Write to FILE instead of standard output, replacing it only once all of it
is written.</source>
        <translation>Escribe en FILE en lugar de la salida estándar, y lo reemplaza solo una vez escrito por completo.</translation>
    </message>
    <message>
        <source>FILE missing: name the saved data file to convert</source>
        <translation>falta FILE: indique el archivo de datos guardado a convertir</translation>
    </message>
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
        <source>not the column title line of a saved data file</source>
        <translation>no es la línea de títulos de columna de un archivo de datos guardado</translation>
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
</context>
<context>
    <name>DownloadCommand</name>
    <message>
        <source><byte value="xd"/>%1 of %2 samples  %3 kB/s  %4 s left   </source>
        <translation><byte value="xd"/>%1 de %2 muestras  %3 kB/s  faltan %4 s   </translation>
    </message>
    <message>
        <source>Waits for a live frame, then downloads the logger&apos;s memory as the windows do
and writes it as a table: txt is exactly the windows&apos; saved file; csv has the
header sample,time,ch1,...,ch8 (RFC 4180, CR LF); jsonl one object per sample.
A failed download (time-out, vanished device, Ctrl-C) writes nothing to -o and
leaves an existing file as it was.
</source>
        <translation>Espera una trama en vivo, luego descarga la memoria del logger como lo hacen
las ventanas y la escribe como tabla: txt es exactamente el archivo que guardan
las ventanas; csv lleva el encabezado sample,time,ch1,...,ch8 (RFC 4180,
CR LF); jsonl, un objeto por muestra. Una descarga fallida (tiempo agotado,
dispositivo desaparecido, Ctrl-C) no escribe nada en -o y deja como estaba un
archivo existente.
</translation>
    </message>
    <message>
        <source>Ask for a forced full download (&quot;E&quot; instead of &quot;8&quot;).</source>
        <translation>Pide una descarga completa forzada (&quot;E&quot; en lugar de &quot;8&quot;).</translation>
    </message>
    <message>
        <source>Table format: txt (the default), csv or jsonl.</source>
        <translation>Formato de la tabla: txt (el predeterminado), csv o jsonl.</translation>
    </message>
    <message>
        <source>Write the table to FILE, replacing it only once all of it is written.</source>
        <translation>Escribe la tabla en FILE, y lo reemplaza solo una vez escrita por completo.</translation>
    </message>
    <message>
        <source>Also keep the captured transfer in FILE, byte for byte, even when
the download fails.</source>
        <translation>Guarda además la transferencia capturada en FILE, byte por byte, aun cuando la descarga falla.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Give up (exit 4) when no live frame comes within S seconds, or no byte
for S seconds during the transfer (default 10).</source>
        <translation>Abandona (código de salida 4) si no llega ninguna trama en vivo en S segundos, o ningún byte durante S segundos en la transferencia (por omisión 10).</translation>
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
</context>
<context>
    <name>LiveCommand</name>
    <message>
        <source>Waits for the logger&apos;s live frames and writes one record per frame: the PC&apos;s
time, the logger&apos;s clock, battery, sampling interval, memory in use and the
eight temperatures. Stops after COUNT frames, or on Ctrl-C or SIGTERM with
exit code 0. Unreadable frames are skipped and counted on standard error.
</source>
        <translation>Espera las tramas en vivo del logger y escribe un registro por trama: la hora
de la PC, el reloj del logger, las pilas, el intervalo de muestreo, la memoria
ocupada y las ocho temperaturas. Termina tras COUNT tramas, o con Ctrl-C o
SIGTERM con código de salida 0. Las tramas ilegibles se omiten y se cuentan en
la salida de errores.
</translation>
    </message>
    <message>
        <source>Stop after COUNT frames.</source>
        <translation>Termina tras COUNT tramas.</translation>
    </message>
    <message>
        <source>COUNT</source>
        <translation>COUNT</translation>
    </message>
    <message>
        <source>Record format: text (for people; the default on a terminal), csv (the default
otherwise) or jsonl.</source>
        <translation>Formato del registro: text (para personas; el predeterminado en una terminal), csv (el predeterminado en otro caso) o jsonl.</translation>
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
</TS>
