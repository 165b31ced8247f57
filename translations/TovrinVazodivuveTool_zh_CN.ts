<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ConfigChanges</name>
    <message>
        <source>记录</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>端口类型</source>
        <translation>端口类型</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>端口 %1：字段“kind”的值 %2 既不是 UART（0）也不是 CAN（1）</source>
        <translation>端口 %1：字段“kind”的值 %2 既不是 UART（0）也不是 CAN（1）</translation>
    </message>
    <message>
        <source>端口 %1：字段“kind”为 UART，但此端口只能用作 CAN</source>
        <translation>端口 %1：字段“kind”为 UART，但此端口只能用作 CAN</translation>
    </message>
    <message>
        <source>端口 %1：字段“kind”为 CAN，但此端口只能用作 UART</source>
        <translation>端口 %1：字段“kind”为 CAN，但此端口只能用作 UART</translation>
    </message>
    <message>
        <source>端口 %1：字段“baud”的值 %2 不是此端口可选的速率</source>
        <translation>端口 %1：字段“baud”的值 %2 不是此端口可选的速率</translation>
    </message>
    <message>
        <source>无法保存文件 %1：这是一个符号链接，请直接给出文件的路径</source>
        <translation>无法保存文件 %1：这是一个符号链接，请直接给出文件的路径</translation>
    </message>
    <message>
        <source>无法保存文件 %1：它已存在，但不是普通文件（是文件夹、设备、管道或套接字）</source>
        <translation>无法保存文件 %1：它已存在，但不是普通文件（是文件夹、设备、管道或套接字）</translation>
    </message>
    <message>
        <source>无法保存文件 %1：文件不可写</source>
        <translation>无法保存文件 %1：文件不可写</translation>
    </message>
    <message>
        <source>无法保存文件 %1：文件夹 %2 不存在</source>
        <translation>无法保存文件 %1：文件夹 %2 不存在</translation>
    </message>
    <message>
        <source>无法保存文件 %1：文件夹 %2 不可写入</source>
        <translation>无法保存文件 %1：文件夹 %2 不可写入</translation>
    </message>
    <message>
        <source>无法读取文件 %1：它不是普通文件（是文件夹、设备、管道或套接字）</source>
        <translation>无法读取文件 %1：它不是普通文件（是文件夹、设备、管道或套接字）</translation>
    </message>
    <message>
        <source>无法读取文件 %1：文件大于 1 MiB，不是配置文件</source>
        <translation>无法读取文件 %1：文件大于 1 MiB，不是配置文件</translation>
    </message>
    <message>
        <source>端口 %1：字段“%2”的值超出范围</source>
        <translation>端口 %1：字段“%2”的值超出范围</translation>
    </message>
    <message>
        <source>端口 %1：缺少字段“%2”</source>
        <translation>端口 %1：缺少字段“%2”</translation>
    </message>
    <message>
        <source>端口 %1：字段“%2”与 record 不一致</source>
        <translation>端口 %1：字段“%2”与 record 不一致</translation>
    </message>
    <message>
        <source>端口 %1：record 不是 22 位十六进制数字</source>
        <translation>端口 %1：record 不是 22 位十六进制数字</translation>
    </message>
    <message>
        <source>文件不是有效的 JSON（第 %1 个字节附近有错）</source>
        <translation>文件不是有效的 JSON（第 %1 个字节附近有错）</translation>
    </message>
    <message>
        <source>文件不是 Tovrin 模块配置文件</source>
        <translation>文件不是 Tovrin 模块配置文件</translation>
    </message>
    <message>
        <source>文件格式版本 %1 比本程序能读的版本 %2 新，请使用更新的程序</source>
        <translation>文件格式版本 %1 比本程序能读的版本 %2 新，请使用更新的程序</translation>
    </message>
    <message>
        <source>未知的模块型号“%1”，应为 Tovrin 或 R7-Eda</source>
        <translation>未知的模块型号“%1”，应为 Tovrin 或 R7-Eda</translation>
    </message>
    <message>
        <source>型号 %1 有 %2 个端口，文件中有 %3 个</source>
        <translation>型号 %1 有 %2 个端口，文件中有 %3 个</translation>
    </message>
    <message>
        <source>端口 %1 不是 JSON 对象</source>
        <translation>端口 %1 不是 JSON 对象</translation>
    </message>
    <message>
        <source>无法保存文件 %1：%2</source>
        <translation>无法保存文件 %1：%2</translation>
    </message>
    <message>
        <source>无法读取文件 %1：%2</source>
        <translation>无法读取文件 %1：%2</translation>
    </message>
    <message>
        <source>第 %1 个端口条目没有“port”字段，而其他条目有：要么每个条目都写明端口，要么都不写</source>
        <translation>第 %1 个端口条目没有“port”字段，而其他条目有：要么每个条目都写明端口，要么都不写</translation>
    </message>
    <message>
        <source>第 %1 个端口条目：“port”应为 1 到 %2 的整数（型号 %3）</source>
        <translation>第 %1 个端口条目：“port”应为 1 到 %2 的整数（型号 %3）</translation>
    </message>
    <message>
        <source>第 %1 个端口条目：端口 %2 已由第 %3 个条目给出</source>
        <translation>第 %1 个端口条目：端口 %2 已由第 %3 个条目给出</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Tovrin引擎配置工具</source>
        <translation>Tovrin引擎配置工具</translation>
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
        <translation>通过飞控配置（Tovrin需将CAN1与飞控连接）</translation>
    </message>
    <message>
        <source>连接地面站</source>
        <translation>连接地面站</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>配置</source>
        <translation>配置</translation>
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
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;产品名称：Tovrin引擎&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;产品功能：集成第三方设备功能到Norvek系统。&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;产品用法：通过串口或者CAN口分别连接Norvek飞控和第三方设备，并通过对应软件设置功能。&lt;/p&gt;
&lt;p style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;其他：LED1闪烁表示设备正常工作，LED2闪烁表示接收到飞控数据，LED3闪烁表示接收到第三方设备数据。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>工具版本:</source>
        <translation>工具版本:</translation>
    </message>
    <message>
        <source>设备版本:</source>
        <translation>设备版本:</translation>
    </message>
    <message>
        <source>LabCopyRight</source>
        <translation>版权所有 © 2026 Tovrin</translation>
    </message>
    <message>
        <source>点击更新设备版本</source>
        <translation>点击更新设备版本</translation>
    </message>
    <message>
        <source>TIP_ERROR</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>TIP_NOSERIALFOUND</source>
        <translation>未找到串口，请检查连接后点击刷新按钮。</translation>
    </message>
    <message>
        <source>Fail to open serialport</source>
        <translation>打开串口失败</translation>
    </message>
    <message>
        <source>读取参数成功</source>
        <translation>读取参数成功</translation>
    </message>
    <message>
        <source>读取参数失败</source>
        <translation>读取参数失败</translation>
    </message>
    <message>
        <source>写入参数成功，重启生效</source>
        <translation>写入参数成功，重启生效</translation>
    </message>
    <message>
        <source>写入参数失败，请重试</source>
        <translation>写入参数失败，请重试</translation>
    </message>
    <message>
        <source>错误：请先打开端口</source>
        <translation>错误：请先打开端口</translation>
    </message>
    <message>
        <source>错误：地面站端口 6161 已被占用</source>
        <translation>错误：地面站端口 6161 已被占用</translation>
    </message>
    <message>
        <source>无法创建链路记录文件 %1：%2</source>
        <translation>无法创建链路记录文件 %1：%2</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>加载配置</source>
        <translation>加载配置</translation>
    </message>
    <message>
        <source>尚未从模块读取参数，无法列出将改变的内容。</source>
        <translation>尚未从模块读取参数，无法列出将改变的内容。</translation>
    </message>
    <message>
        <source>与模块中的参数相比没有改变。</source>
        <translation>与模块中的参数相比没有改变。</translation>
    </message>
    <message>
        <source>Tovrin 配置文件 (*%1)</source>
        <translation>Tovrin 配置文件 (*%1)</translation>
    </message>
    <message>
        <source>配置已保存到 %1</source>
        <translation>配置已保存到 %1</translation>
    </message>
    <message>
        <source>文件是 %1 的配置，当前为 %2 模式。请切换到 %1 模式或连接 %1 模块后再加载。</source>
        <translation>文件是 %1 的配置，当前为 %2 模式。请切换到 %1 模式或连接 %1 模块后再加载。</translation>
    </message>
    <message>
        <source>以下端口不接受文件中的设置，保持原样：%1</source>
        <translation>以下端口不接受文件中的设置，保持原样：%1</translation>
    </message>
    <message>
        <source>已加载配置，点击“配置”写入模块</source>
        <translation>已加载配置，点击“配置”写入模块</translation>
    </message>
    <message>
        <source>端口已断开</source>
        <translation>端口已断开</translation>
    </message>
    <message>
        <source>地面站通信错误：%1</source>
        <translation>地面站通信错误：%1</translation>
    </message>
    <message>
        <source>未写入的修改</source>
        <translation>未写入的修改</translation>
    </message>
    <message>
        <source>放弃未写入的修改？</source>
        <translation>放弃未写入的修改？</translation>
    </message>
    <message>
        <source>（未连接）</source>
        <translation>（未连接）</translation>
    </message>
    <message>
        <source>错误：所选设备未连接</source>
        <translation>错误：所选设备未连接</translation>
    </message>
    <message>
        <source>模块无应答，请检查连接、通信方式和型号</source>
        <translation>模块无应答，请检查连接、通信方式和型号</translation>
    </message>
    <message>
        <source>读取模块中全部端口的参数（%1）</source>
        <translation>读取模块中全部端口的参数（%1）</translation>
    </message>
    <message>
        <source>把卡片上的参数写入模块，写入前先确认（%1）</source>
        <translation>把卡片上的参数写入模块，写入前先确认（%1）</translation>
    </message>
    <message>
        <source>把卡片上的参数保存到文件（%1）</source>
        <translation>把卡片上的参数保存到文件（%1）</translation>
    </message>
    <message>
        <source>从文件加载参数到卡片（%1）</source>
        <translation>从文件加载参数到卡片（%1）</translation>
    </message>
    <message>
        <source>打开或关闭连接（%1）</source>
        <translation>打开或关闭连接（%1）</translation>
    </message>
    <message>
        <source>刷新端口列表（%1）</source>
        <translation>刷新端口列表（%1）</translation>
    </message>
    <message>
        <source>已加载 %1 的配置，其余端口不变，点击“配置”写入模块</source>
        <translation>已加载 %1 的配置，其余端口不变，点击“配置”写入模块</translation>
    </message>
    <message>
        <source>未写入：无法保存写入前的快照</source>
        <translation>未写入：无法保存写入前的快照</translation>
    </message>
    <message>
        <source>%1
未向模块发送任何参数。</source>
        <translation>%1
未向模块发送任何参数。</translation>
    </message>
</context>
<context>
    <name>MessageForm</name>
    <message>
        <source>确认</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>MsgConfirmRebootEffective</source>
        <translation>确定将参数写入模块吗？重启模块后生效。</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>确认写入</source>
        <translation>确认写入</translation>
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
        <translation>端口</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Can</source>
        <translation>Can</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>波特率</translation>
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
        <translation>停止位</translation>
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
        <translation>数据位</translation>
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
        <translation>奇偶校验</translation>
    </message>
    <message>
        <source>无</source>
        <translation>无</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>奇校验</translation>
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
        <translation>电平</translation>
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
        <translation>接收功能</translation>
    </message>
    <message>
        <source>不启用</source>
        <translation>不启用</translation>
    </message>
    <message>
        <source>Norvek标准吊舱协议</source>
        <translation>Norvek标准吊舱协议</translation>
    </message>
    <message>
        <source>Norvek标准CAN协议</source>
        <translation>Norvek标准CAN协议</translation>
    </message>
    <message>
        <source>零度标准吊舱</source>
        <translation>零度标准吊舱</translation>
    </message>
    <message>
        <source>贯中标准吊舱</source>
        <translation>贯中标准吊舱</translation>
    </message>
    <message>
        <source>零度C1AA吊舱</source>
        <translation>零度C1AA吊舱</translation>
    </message>
    <message>
        <source>通视光电C0A5吊舱</source>
        <translation>通视光电C0A5吊舱</translation>
    </message>
    <message>
        <source>人加司眸PSP010400</source>
        <translation>人加司眸PSP010400</translation>
    </message>
    <message>
        <source>武汉汉非MPPT</source>
        <translation>武汉汉非MPPT</translation>
    </message>
    <message>
        <source>汇能精电MPPT</source>
        <translation>汇能精电MPPT</translation>
    </message>
    <message>
        <source>通视光电158吊舱</source>
        <translation>通视光电158吊舱</translation>
    </message>
    <message>
        <source>星网宇达120吊舱</source>
        <translation>星网宇达120吊舱</translation>
    </message>
    <message>
        <source>高德红外吊舱</source>
        <translation>高德红外吊舱</translation>
    </message>
    <message>
        <source>通视光电650B吊舱</source>
        <translation>通视光电650B吊舱</translation>
    </message>
    <message>
        <source>上博智像标准吊舱</source>
        <translation>上博智像标准吊舱</translation>
    </message>
    <message>
        <source>北京华工HGIPS1402吊舱</source>
        <translation>北京华工HGIPS1402吊舱</translation>
    </message>
    <message>
        <source>品灵标准吊舱</source>
        <translation>品灵标准吊舱</translation>
    </message>
    <message>
        <source>上博智像视觉 A_Landing</source>
        <translation>上博智像视觉 A_Landing</translation>
    </message>
    <message>
        <source>木牛科技雷达usharp3D</source>
        <translation>木牛科技雷达usharp3D</translation>
    </message>
    <message>
        <source>Tmotor DataLink 数据盒</source>
        <translation>Tmotor DataLink 数据盒</translation>
    </message>
    <message>
        <source>发送功能</source>
        <translation>发送功能</translation>
    </message>
    <message>
        <source>贯中标准吊舱控制接口</source>
        <translation>贯中标准吊舱控制接口</translation>
    </message>
    <message>
        <source>贯中标准吊舱导航接口</source>
        <translation>贯中标准吊舱导航接口</translation>
    </message>
    <message>
        <source>木牛科技雷达uSharp3D</source>
        <translation>木牛科技雷达uSharp3D</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>MsgError</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>MsgErrInitLanguage</source>
        <translation>未找到语言文件，程序无法启动。</translation>
    </message>
    <message>
        <source>MsgErrAgreeCfg</source>
        <translation>未找到协议配置文件（resources/agreement），端口的协议列表将为空。</translation>
    </message>
    <message>
        <source>MsgErrAgreeTooLarge</source>
        <translation>协议配置文件 %1 超过 %2 KiB，未被读取，端口的协议列表将为空。</translation>
    </message>
</context>
<context>
    <name>WriteHistory</name>
    <message>
        <source>无法在 %1 保存写入前的快照：无法创建文件夹</source>
        <translation>无法在 %1 保存写入前的快照：无法创建文件夹</translation>
    </message>
    <message>
        <source>无法在 %1 保存写入前的快照：%2</source>
        <translation>无法在 %1 保存写入前的快照：%2</translation>
    </message>
</context>
</TS>
