<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Station</name>
    <message numerus="yes">
        <source>%1: %n new sample(s) archived, %2 in memory</source>
        <translation>
            <numerusform>%1: %n new sample archived, %2 in memory</numerusform>
            <numerusform>%1: %n new samples archived, %2 in memory</numerusform>
        </translation>
    </message>
</context>
</TS>
