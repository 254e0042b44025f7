<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>ErrorCode</name>
    <message>
        <source>成功</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>无法找到当前文档窗口</source>
        <translation>无法找到当前文档窗口</translation>
    </message>
    <message>
        <source>文件另存为被取消</source>
        <translation>文件另存为被取消</translation>
    </message>
    <message>
        <source>以空文件名保存模板文件</source>
        <translation>以空文件名保存模板文件</translation>
    </message>
    <message>
        <source>打开模板文件失败</source>
        <translation>打开模板文件失败</translation>
    </message>
    <message>
        <source>数据库没有表存在</source>
        <translation>数据库没有表存在</translation>
    </message>
    <message>
        <source>数据库里不存在指定的表名</source>
        <translation>数据库里不存在指定的表名</translation>
    </message>
    <message>
        <source>数据库表的列数不匹配</source>
        <translation>数据库表的列数不匹配</translation>
    </message>
    <message>
        <source>模板不存在或格式错误</source>
        <translation>模板不存在或格式错误</translation>
    </message>
    <message>
        <source>非唯一实例</source>
        <translation>非唯一实例</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>未知错误</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>塔泉笔维德马克</source>
        <translation>塔泉笔维德马克</translation>
    </message>
    <message>
        <source>    !!! 您当前系统设置为超级用户，请谨慎使用 !!!</source>
        <translation>    !!! 您当前系统设置为超级用户，请谨慎使用 !!!</translation>
    </message>
    <message>
        <source>!!! 警告 !!!</source>
        <translation>!!! 警告 !!!</translation>
    </message>
    <message>
        <source>您当前系统设置为超级用户(SuperUser), 以下预览/测试功能可见，请谨慎使用!
1, 主界面状态栏里的推广条.
2, 文件 -&gt; 文件属性.
3, 编辑 -&gt; 首选项Ex.
4, 主菜单右首 -&gt; 账户.
5, 工具 -&gt; 崩溃测试.
6, 帮助 -&gt; 系统信息.
7, 帮助 -&gt; 插件管理.
8, 帮助 -&gt; 构建系统信息.
9, 帮助 -&gt; 显示为超级用户增加的功能.

内部功能和设置方式，请勿外传!!!</source>
        <translation>您当前系统设置为超级用户(SuperUser), 以下预览/测试功能可见，请谨慎使用!
1, 主界面状态栏里的推广条.
2, 文件 -&gt; 文件属性.
3, 编辑 -&gt; 首选项Ex.
4, 主菜单右首 -&gt; 账户.
5, 工具 -&gt; 崩溃测试.
6, 帮助 -&gt; 系统信息.
7, 帮助 -&gt; 插件管理.
8, 帮助 -&gt; 构建系统信息.
9, 帮助 -&gt; 显示为超级用户增加的功能.

内部功能和设置方式，请勿外传!!!</translation>
    </message>
</context>
<context>
    <name>MdiChild</name>
    <message>
        <source>文档%1</source>
        <translation>文档%1</translation>
    </message>
</context>
<context>
    <name>OutputDialogEx</name>
    <message>
        <source>输出</source>
        <translation>输出</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>简体中文</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>繁体中文</source>
        <translation>繁体中文</translation>
    </message>
    <message>
        <source>正在启动，请稍后...</source>
        <translation>正在启动，请稍后...</translation>
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
