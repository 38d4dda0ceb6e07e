<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MainWindow</name>
    <message>
        <source>Connected to module</source>
        <translation>Mit dem Modul verbunden</translation>
    </message>
    <message>
        <source>Invalid subnet mask; check it:

%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update aborted</source>
        <translation type="unfinished">Aktualisierung abgebrochen</translation>
    </message>
</context>
</TS>
