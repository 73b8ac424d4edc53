<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Session</name>
    <message numerus="yes">
        <source>%n unreadable live frame(s) skipped</source>
        <translation>
            <numerusform>%n unreadable live frame skipped</numerusform>
            <numerusform>%n unreadable live frames skipped</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatsCommand</name>
    <message numerus="yes">
        <source>Period %1 to %2: %3 rows, %4 without a real time, %n gap(s)</source>
        <translation>
            <numerusform>Period %1 to %2: %3 rows, %4 without a real time, %n gap</numerusform>
            <numerusform>Period %1 to %2: %3 rows, %4 without a real time, %n gaps</numerusform>
        </translation>
    </message>
</context>
</TS>
