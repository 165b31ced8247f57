<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>PortConfig</name>
    <message>
        <source>串口</source>
        <translation>UART</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>零度标准吊舱</source>
        <translation>Pod</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
</context>
</TS>
