<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>塔泉笔维德马克</source>
        <translation>塔泉筆維德馬克</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>简体中文</source>
        <translation>簡體中文</translation>
    </message>
    <message>
        <source>繁体中文</source>
        <translation>繁體中文</translation>
    </message>
    <message>
        <source>正在启动，请稍后...</source>
        <translation>正在啟動，請稍後...</translation>
    </message>
    <message>
        <source>版本: </source>
        <translation>版本: </translation>
    </message>
    <message>
        <source>日期: </source>
        <translation>日期: </translation>
    </message>
</context>
</TS>
