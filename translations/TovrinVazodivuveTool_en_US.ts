<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ConfigChanges</name>
    <message>
        <source>记录</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>端口类型</source>
        <translation>Port type</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>端口 %1：字段“kind”的值 %2 既不是 UART（0）也不是 CAN（1）</source>
        <translation>Port %1: the value %2 of field &quot;kind&quot; is neither UART (0) nor CAN (1).</translation>
    </message>
    <message>
        <source>端口 %1：字段“kind”为 UART，但此端口只能用作 CAN</source>
        <translation>Port %1: field &quot;kind&quot; is UART, but this port can only be a CAN port.</translation>
    </message>
    <message>
        <source>端口 %1：字段“kind”为 CAN，但此端口只能用作 UART</source>
        <translation>Port %1: field &quot;kind&quot; is CAN, but this port can only be a UART port.</translation>
    </message>
    <message>
        <source>端口 %1：字段“baud”的值 %2 不是此端口可选的速率</source>
        <translation>Port %1: the value %2 of field &quot;baud&quot; is not a rate this port offers.</translation>
    </message>
    <message>
        <source>无法保存文件 %1：这是一个符号链接，请直接给出文件的路径</source>
        <translation>Cannot save the file %1: it is a symbolic link; give the path of the file itself.</translation>
    </message>
    <message>
        <source>无法保存文件 %1：它已存在，但不是普通文件（是文件夹、设备、管道或套接字）</source>
        <translation>Cannot save the file %1: it exists but is not a regular file (it is a folder, a device, a FIFO or a socket).</translation>
    </message>
    <message>
        <source>无法保存文件 %1：文件不可写</source>
        <translation>Cannot save the file %1: the file is not writable.</translation>
    </message>
    <message>
        <source>无法保存文件 %1：文件夹 %2 不存在</source>
        <translation>Cannot save the file %1: the folder %2 does not exist.</translation>
    </message>
    <message>
        <source>无法保存文件 %1：文件夹 %2 不可写入</source>
        <translation>Cannot save the file %1: the folder %2 does not take new files.</translation>
    </message>
    <message>
        <source>无法读取文件 %1：它不是普通文件（是文件夹、设备、管道或套接字）</source>
        <translation>Cannot read the file %1: it is not a regular file (it is a folder, a device, a FIFO or a socket).</translation>
    </message>
    <message>
        <source>无法读取文件 %1：文件大于 1 MiB，不是配置文件</source>
        <translation>Cannot read the file %1: it is larger than 1 MiB, so it is no configuration file.</translation>
    </message>
    <message>
        <source>端口 %1：字段“%2”的值超出范围</source>
        <translation>Port %1: the value of field &quot;%2&quot; is out of range.</translation>
    </message>
    <message>
        <source>端口 %1：缺少字段“%2”</source>
        <translation>Port %1: field &quot;%2&quot; is missing.</translation>
    </message>
    <message>
        <source>端口 %1：字段“%2”与 record 不一致</source>
        <translation>Port %1: field &quot;%2&quot; does not agree with &quot;record&quot;.</translation>
    </message>
    <message>
        <source>端口 %1：record 不是 22 位十六进制数字</source>
        <translation>Port %1: &quot;record&quot; is not 22 hexadecimal digits.</translation>
    </message>
    <message>
        <source>文件不是有效的 JSON（第 %1 个字节附近有错）</source>
        <translation>The file is not valid JSON (error near byte %1).</translation>
    </message>
    <message>
        <source>文件不是 Tovrin 模块配置文件</source>
        <translation>The file is not a Tovrin module configuration file.</translation>
    </message>
    <message>
        <source>文件格式版本 %1 比本程序能读的版本 %2 新，请使用更新的程序</source>
        <translation>The file has format version %1, newer than version %2 that this program reads. Please use a newer program.</translation>
    </message>
    <message>
        <source>未知的模块型号“%1”，应为 Tovrin 或 R7-Eda</source>
        <translation>Unknown module model &quot;%1&quot;; expected Tovrin or R7-Eda.</translation>
    </message>
    <message>
        <source>型号 %1 有 %2 个端口，文件中有 %3 个</source>
        <translation>Model %1 has %2 ports, but the file lists %3.</translation>
    </message>
    <message>
        <source>端口 %1 不是 JSON 对象</source>
        <translation>Port %1 is not a JSON object.</translation>
    </message>
    <message>
        <source>无法保存文件 %1：%2</source>
        <translation>Cannot save the file %1: %2</translation>
    </message>
    <message>
        <source>无法读取文件 %1：%2</source>
        <translation>Cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>第 %1 个端口条目没有“port”字段，而其他条目有：要么每个条目都写明端口，要么都不写</source>
        <translation>Port entry %1 has no &quot;port&quot; field while other entries have one: either every entry names its port or none does.</translation>
    </message>
    <message>
        <source>第 %1 个端口条目：“port”应为 1 到 %2 的整数（型号 %3）</source>
        <translation>Port entry %1: &quot;port&quot; must be a whole number from 1 to %2 (model %3).</translation>
    </message>
    <message>
        <source>第 %1 个端口条目：端口 %2 已由第 %3 个条目给出</source>
        <translation>Port entry %1: port %2 is already given by entry %3.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Tovrin引擎配置工具</source>
        <translation>Tovrin Engine Configuration Tool</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Tovrin</source>
        <translation>Tovrin</translation>
    </message>
    <message>
        <source>R7-Eda</source>
        <translation>R7-Eda</translation>
    </message>
    <message>
        <source>通过飞控配置（Tovrin需将CAN1与飞控连接）</source>
        <translation>Configure via flight controller (Tovrin: connect CAN1 to it)</translation>
    </message>
    <message>
        <source>连接地面站</source>
        <translation>Via ground station</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>配置</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;微软雅黑&apos;; font-size:11pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;产品名称：Tovrin引擎&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;产品功能：集成第三方设备功能到Norvek系统。&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;产品用法：通过串口或者CAN口分别连接Norvek飞控和第三方设备，并通过对应软件设置功能。&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;其他：LED1闪烁表示设备正常工作，LED2闪烁表示接收到飞控数据，LED3闪烁表示接收到第三方设备数据。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;微软雅黑&apos;; font-size:11pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Product: Tovrin engine&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Function: brings third-party devices into the Norvek system.&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Use: connect the Norvek flight controller and the third-party devices to the serial or CAN ports, then set the functions with this tool.&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;LEDs: LED1 blinks while the device works normally, LED2 blinks when data from the flight controller arrives, LED3 blinks when data from a third-party device arrives.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>工具版本:</source>
        <translation>Tool version:</translation>
    </message>
    <message>
        <source>设备版本:</source>
        <translation>Device version:</translation>
    </message>
    <message>
        <source>LabCopyRight</source>
        <translation>Copyright © 2026 Tovrin</translation>
    </message>
    <message>
        <source>点击更新设备版本</source>
        <translation>Click to read the device version again</translation>
    </message>
    <message>
        <source>TIP_ERROR</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>TIP_NOSERIALFOUND</source>
        <translation>No serial port found. Check the cable, then click the refresh button.</translation>
    </message>
    <message>
        <source>Fail to open serialport</source>
        <translation>Failed to open serial port</translation>
    </message>
    <message>
        <source>读取参数成功</source>
        <translation>Settings read</translation>
    </message>
    <message>
        <source>读取参数失败</source>
        <translation>Reading the settings failed</translation>
    </message>
    <message>
        <source>写入参数成功，重启生效</source>
        <translation>Settings written; they take effect after the module restarts</translation>
    </message>
    <message>
        <source>写入参数失败，请重试</source>
        <translation>Writing the settings failed, please try again</translation>
    </message>
    <message>
        <source>错误：请先打开端口</source>
        <translation>Error: open the port first</translation>
    </message>
    <message>
        <source>错误：地面站端口 6161 已被占用</source>
        <translation>Error: port 6161 for the ground station is already in use</translation>
    </message>
    <message>
        <source>无法创建链路记录文件 %1：%2</source>
        <translation>Cannot create the capture file %1: %2</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>加载配置</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>尚未从模块读取参数，无法列出将改变的内容。</source>
        <translation>Nothing has been read from the module yet, so the changes cannot be listed.</translation>
    </message>
    <message>
        <source>与模块中的参数相比没有改变。</source>
        <translation>Nothing differs from the settings the module holds.</translation>
    </message>
    <message>
        <source>Tovrin 配置文件 (*%1)</source>
        <translation>Tovrin configuration files (*%1)</translation>
    </message>
    <message>
        <source>配置已保存到 %1</source>
        <translation>Settings saved to %1</translation>
    </message>
    <message>
        <source>文件是 %1 的配置，当前为 %2 模式。请切换到 %1 模式或连接 %1 模块后再加载。</source>
        <translation>The file holds %1 settings, but the window is in %2 mode. Switch to %1 mode, or connect to the %1 module, then load the file again.</translation>
    </message>
    <message>
        <source>以下端口不接受文件中的设置，保持原样：%1</source>
        <translation>These ports do not accept the settings in the file and were left as they were: %1</translation>
    </message>
    <message>
        <source>已加载配置，点击“配置”写入模块</source>
        <translation>Settings loaded; click Write to send them to the module</translation>
    </message>
    <message>
        <source>端口已断开</source>
        <translation>Port disconnected</translation>
    </message>
    <message>
        <source>地面站通信错误：%1</source>
        <translation>Ground station link error: %1</translation>
    </message>
    <message>
        <source>未写入的修改</source>
        <translation>Changes not written</translation>
    </message>
    <message>
        <source>放弃未写入的修改？</source>
        <translation>Discard the changes not written to the module?</translation>
    </message>
    <message>
        <source>（未连接）</source>
        <translation>(not connected)</translation>
    </message>
    <message>
        <source>错误：所选设备未连接</source>
        <translation>Error: the chosen device is not connected</translation>
    </message>
    <message>
        <source>模块无应答，请检查连接、通信方式和型号</source>
        <translation>No reply from the module: check the cable, the route and the model</translation>
    </message>
    <message>
        <source>读取模块中全部端口的参数（%1）</source>
        <translation>Read every port&apos;s settings from the module (%1)</translation>
    </message>
    <message>
        <source>把卡片上的参数写入模块，写入前先确认（%1）</source>
        <translation>Write the cards&apos; settings to the module, after a confirmation (%1)</translation>
    </message>
    <message>
        <source>把卡片上的参数保存到文件（%1）</source>
        <translation>Save the cards&apos; settings to a file (%1)</translation>
    </message>
    <message>
        <source>从文件加载参数到卡片（%1）</source>
        <translation>Load settings from a file onto the cards (%1)</translation>
    </message>
    <message>
        <source>打开或关闭连接（%1）</source>
        <translation>Open or close the link (%1)</translation>
    </message>
    <message>
        <source>刷新端口列表（%1）</source>
        <translation>Refresh the port list (%1)</translation>
    </message>
    <message>
        <source>已加载 %1 的配置，其余端口不变，点击“配置”写入模块</source>
        <translation>Settings of %1 loaded, the other ports unchanged; click Write to send them to the module</translation>
    </message>
    <message>
        <source>未写入：无法保存写入前的快照</source>
        <translation>Not written: the snapshot before the write could not be saved</translation>
    </message>
    <message>
        <source>%1
未向模块发送任何参数。</source>
        <translation>%1
Nothing was sent to the module.</translation>
    </message>
</context>
<context>
    <name>MessageForm</name>
    <message>
        <source>确认</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>MsgConfirmRebootEffective</source>
        <translation>Write these settings to the module? They take effect after it restarts.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确认写入</source>
        <translation>Confirm write</translation>
    </message>
</context>
<context>
    <name>PortConfig</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>PortName</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>UART</translation>
    </message>
    <message>
        <source>Can</source>
        <translation>CAN</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>2400</source>
        <translation>2400</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>57600</source>
        <translation>57600</translation>
    </message>
    <message>
        <source>115200</source>
        <translation>115200</translation>
    </message>
    <message>
        <source>230400</source>
        <translation>230400</translation>
    </message>
    <message>
        <source>460800</source>
        <translation>460800</translation>
    </message>
    <message>
        <source>921600</source>
        <translation>921600</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>9</source>
        <translation>9</translation>
    </message>
    <message>
        <source>奇偶校验</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>666.666</source>
        <translation>666.666</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>电平</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>232</source>
        <translation>232</translation>
    </message>
    <message>
        <source>422</source>
        <translation>422</translation>
    </message>
    <message>
        <source>接收功能</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>不启用</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>Norvek标准吊舱协议</source>
        <translation>Norvek standard gimbal pod protocol</translation>
    </message>
    <message>
        <source>Norvek标准CAN协议</source>
        <translation>Norvek standard CAN protocol</translation>
    </message>
    <message>
        <source>零度标准吊舱</source>
        <translation>Lingdu standard gimbal pod</translation>
    </message>
    <message>
        <source>贯中标准吊舱</source>
        <translation>Guanzhong standard gimbal pod</translation>
    </message>
    <message>
        <source>零度C1AA吊舱</source>
        <translation>Lingdu C1AA gimbal pod</translation>
    </message>
    <message>
        <source>通视光电C0A5吊舱</source>
        <translation>Tongshi Optronics C0A5 gimbal pod</translation>
    </message>
    <message>
        <source>人加司眸PSP010400</source>
        <translation>Renjia Simou PSP010400</translation>
    </message>
    <message>
        <source>武汉汉非MPPT</source>
        <translation>Wuhan Hanfei MPPT</translation>
    </message>
    <message>
        <source>汇能精电MPPT</source>
        <translation>Huineng Jingdian MPPT</translation>
    </message>
    <message>
        <source>通视光电158吊舱</source>
        <translation>Tongshi Optronics 158 gimbal pod</translation>
    </message>
    <message>
        <source>星网宇达120吊舱</source>
        <translation>Xingwang Yuda 120 gimbal pod</translation>
    </message>
    <message>
        <source>高德红外吊舱</source>
        <translation>Gaode infrared gimbal pod</translation>
    </message>
    <message>
        <source>通视光电650B吊舱</source>
        <translation>Tongshi Optronics 650B gimbal pod</translation>
    </message>
    <message>
        <source>上博智像标准吊舱</source>
        <translation>Shangbo Zhixiang standard gimbal pod</translation>
    </message>
    <message>
        <source>北京华工HGIPS1402吊舱</source>
        <translation>Beijing Huagong HGIPS1402 gimbal pod</translation>
    </message>
    <message>
        <source>品灵标准吊舱</source>
        <translation>Pinling standard gimbal pod</translation>
    </message>
    <message>
        <source>上博智像视觉 A_Landing</source>
        <translation>Shangbo Zhixiang vision A_Landing</translation>
    </message>
    <message>
        <source>木牛科技雷达usharp3D</source>
        <translation>Muniu Technology radar usharp3D</translation>
    </message>
    <message>
        <source>Tmotor DataLink 数据盒</source>
        <translation>Tmotor DataLink data box</translation>
    </message>
    <message>
        <source>发送功能</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>贯中标准吊舱控制接口</source>
        <translation>Guanzhong standard gimbal pod control interface</translation>
    </message>
    <message>
        <source>贯中标准吊舱导航接口</source>
        <translation>Guanzhong standard gimbal pod navigation interface</translation>
    </message>
    <message>
        <source>木牛科技雷达uSharp3D</source>
        <translation>Muniu Technology radar uSharp3D</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>MsgError</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>MsgErrInitLanguage</source>
        <translation>No language file was found; the program cannot start.</translation>
    </message>
    <message>
        <source>MsgErrAgreeCfg</source>
        <translation>No protocol catalogue was found (resources/agreement); the protocol lists stay empty.</translation>
    </message>
    <message>
        <source>MsgErrAgreeTooLarge</source>
        <translation>The protocol catalogue %1 is larger than %2 KiB and was not read; the protocol lists stay empty.</translation>
    </message>
</context>
<context>
    <name>WriteHistory</name>
    <message>
        <source>无法在 %1 保存写入前的快照：无法创建文件夹</source>
        <translation>Cannot save the snapshot before the write in %1: the folder cannot be made.</translation>
    </message>
    <message>
        <source>无法在 %1 保存写入前的快照：%2</source>
        <translation>Cannot save the snapshot before the write in %1: %2.</translation>
    </message>
</context>
</TS>
