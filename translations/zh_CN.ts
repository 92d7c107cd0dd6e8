<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ActiveItemView</name>
    <message>
        <source>Table</source>
        <translation>表格</translation>
    </message>
    <message>
        <source>Histogram</source>
        <translation>直方图</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>曲线图</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Rate</source>
        <translation>频数</translation>
    </message>
    <message>
        <source>Num:</source>
        <translation>数量:</translation>
    </message>
    <message>
        <source>Avg:</source>
        <translation>平均:</translation>
    </message>
    <message>
        <source>Min:</source>
        <translation>最小:</translation>
    </message>
    <message>
        <source>Max:</source>
        <translation>最大:</translation>
    </message>
    <message>
        <source>Thickness</source>
        <translation>厚度</translation>
    </message>
    <message>
        <source>Thickness(mil)</source>
        <translation>厚度(mil)</translation>
    </message>
</context>
<context>
    <name>ChartCanvas</name>
    <message>
        <source>NDFT</source>
        <translation>NDFT</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>下限</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>上限</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>the kept items, one line each</source>
        <translation>保存的项目，每项一行</translation>
    </message>
    <message>
        <source>Lists the kept items, one line each, the fields separated by tabs: id, group, name, unit, readings, mean, minimum, maximum, standard deviation, rule and verdict (pass or fail). The figures leave overloads out, in the item&apos;s unit; &quot;-&quot; stands for none.

Options:
  --json    a JSON array of the same, one object per item</source>
        <translation>列出保存的项目，每项一行，各字段以制表符分隔：编号、组、名称、单位、读数个数、平均值、最小值、最大值、标准差、规则和判定（pass 或 fail）。数值不含过载，以项目的单位表示；“-”表示没有。

选项：
  --json    以 JSON 数组输出同样内容，每个项目一个对象</translation>
    </message>
    <message>
        <source>one item&apos;s statistics, limits, verdict and details</source>
        <translation>一个项目的统计、限值、判定和详细信息</translation>
    </message>
    <message>
        <source>Shows an item as the Statistics tab does: its figures with and without overloads, its limits, the verdict with each rule, and its inspection details.

Options:
  --json    a JSON object instead</source>
        <translation>像“统计”选项卡一样显示一个项目：含过载和不含过载的数值、限值、判定及每条规则、检验详细信息。

选项：
  --json    改为输出一个 JSON 对象</translation>
    </message>
    <message>
        <source>readings files (.xls, .xlsx, .csv) as new items</source>
        <translation>将读数文件（.xls、.xlsx、.csv）导入为新项目</translation>
    </message>
    <message>
        <source>Imports readings files (.xls, .xlsx, .csv), each as a new item, by the rules of Import in the window: a row that cannot be read is refused and counted, never taken as 0. Prints each new item&apos;s id, name and number of readings. Waits a moment for the window when it keeps the measurements, and then gives up.

Options:
  --name NAME    the new item&apos;s name (one file only); otherwise &quot;Import&quot; and a number</source>
        <translation>按窗口中“导入”的规则将读数文件（.xls、.xlsx、.csv）各导入为一个新项目：无法读取的行被拒绝并计数，绝不当作 0。输出每个新项目的编号、名称和读数个数。窗口正在保存测量数据时，稍等片刻后放弃。

选项：
  --name NAME    新项目的名称（仅限一个文件）；否则为“Import”加编号</translation>
    </message>
    <message>
        <source>an item&apos;s readings as .xls, .xlsx or .csv</source>
        <translation>将项目的读数写为 .xls、.xlsx 或 .csv</translation>
    </message>
    <message>
        <source>Writes an item&apos;s readings as a classic workbook (.xls), a workbook (.xlsx) or CSV (.csv), by the suffix of the file&apos;s name.

Options:
  -o, --output FILE    the file to write</source>
        <translation>按文件名的后缀，将项目的读数写为经典工作簿（.xls）、工作簿（.xlsx）或 CSV（.csv）。

选项：
  -o, --output FILE    要写入的文件</translation>
    </message>
    <message>
        <source>an item&apos;s PDF report</source>
        <translation>项目的 PDF 报告</translation>
    </message>
    <message>
        <source>Writes an item&apos;s PDF report: its histogram, chart, figures, verdict and readings; the inspection report when the item has inspection details or limits.

Options:
  -o, --output FILE.pdf    the file to write</source>
        <translation>写入项目的 PDF 报告：直方图、曲线图、数值、判定和读数；项目有检验详细信息或限值时写入检验报告。

选项：
  -o, --output FILE.pdf    要写入的文件</translation>
    </message>
    <message>
        <source>the summary of all items as a PDF file</source>
        <translation>所有项目的汇总，写为 PDF 文件</translation>
    </message>
    <message>
        <source>Writes the summary of every item that has readings as a PDF file: a row per item with its figures, rule and verdict, and the counts of passed and failed items.

Options:
  -o, --output FILE.pdf    the file to write</source>
        <translation>将所有含读数的项目的汇总写为 PDF 文件：每个项目一行，含数值、规则和判定，以及合格和不合格项目的个数。

选项：
  -o, --output FILE.pdf    要写入的文件</translation>
    </message>
    <message>
        <source>a readings file into another format</source>
        <translation>将读数文件转换为另一种格式</translation>
    </message>
    <message>
        <source>Reads the readings file IN (.xls, .xlsx, .csv) as Import does and writes its readings in the format of OUT&apos;s suffix (.xls, .xlsx, .csv). The kept items are not touched.</source>
        <translation>像“导入”一样读取读数文件 IN（.xls、.xlsx、.csv），并按 OUT 的后缀（.xls、.xlsx、.csv）写出其读数。保存的项目不受影响。</translation>
    </message>
    <message>
        <source>whether an item passes its rule</source>
        <translation>项目是否符合其规则</translation>
    </message>
    <message>
        <source>Judges an item by its rule and prints the verdict and each failed rule. Exit status 0 when it passes, 1 when it fails, 3 when it has no limits or no rule.</source>
        <translation>按项目的规则判定项目，输出判定结果和每条未通过的规则。合格时退出状态为 0，不合格时为 1，没有限值或规则时为 3。</translation>
    </message>
    <message>
        <source>one sync with the team database</source>
        <translation>与团队数据库同步一次</translation>
    </message>
    <message>
        <source>Syncs once with the team database set in Options: sends this installation&apos;s changed items and fetches the others&apos;. Prints what was sent and fetched. The password comes from ~/.pgpass or the environment variable PGPASSWORD.</source>
        <translation>与在“选项”中设置的团队数据库同步一次：发送本安装更改的项目，并获取其他人的项目。输出发送和获取的内容。密码取自 ~/.pgpass 或环境变量 PGPASSWORD。</translation>
    </message>
    <message>
        <source>ITEM is an item&apos;s id, its name, or &quot;group/name&quot; (such as &quot;Live Data/Deck 3&quot;), as &quot;vk508m list&quot; shows them.</source>
        <translation>ITEM 是项目的编号、名称或“组/名称”（例如“Live Data/Deck 3”），如“vk508m list”所示。</translation>
    </message>
    <message>
        <source>Exit status: 0 done; 1 a failed check or sync; 2 wrong usage; 3 a missing item, limits or readings; 4 a file that cannot be read or written; 5 the measurements file is in use or damaged.</source>
        <translation>退出状态：0 完成；1 判定不合格或同步失败；2 用法错误；3 缺少项目、限值或读数；4 文件无法读取或写入；5 测量数据文件正被使用或已损坏。</translation>
    </message>
    <message>
        <source>this help; &quot;vk508m COMMAND --help&quot; helps with a command</source>
        <translation>本帮助；“vk508m 命令 --help”显示命令的帮助</translation>
    </message>
    <message>
        <source>the program&apos;s name and version</source>
        <translation>程序的名称和版本</translation>
    </message>
    <message>
        <source>Usage: vk508m [COMMAND [ARGUMENTS]]</source>
        <translation>用法：vk508m [命令 [参数]]</translation>
    </message>
    <message>
        <source>Without a command the window opens. A command does its job without a window:</source>
        <translation>不带命令时打开窗口。带命令时不打开窗口，完成以下工作：</translation>
    </message>
    <message>
        <source>Usage: vk508m %1</source>
        <translation>用法：vk508m %1</translation>
    </message>
    <message>
        <source>&quot;vk508m --help&quot; shows the commands.</source>
        <translation>“vk508m --help”列出命令。</translation>
    </message>
    <message>
        <source>&quot;vk508m %1 --help&quot; shows its usage.</source>
        <translation>“vk508m %1 --help”显示其用法。</translation>
    </message>
    <message>
        <source>Name the file to write with -o FILE.</source>
        <translation>请用 -o FILE 指定要写入的文件。</translation>
    </message>
    <message>
        <source>Too few arguments: vk508m %1</source>
        <translation>参数太少：vk508m %1</translation>
    </message>
    <message>
        <source>Too many arguments: vk508m %1</source>
        <translation>参数太多：vk508m %1</translation>
    </message>
    <message>
        <source>--name names one item: give one file with it.</source>
        <translation>--name 只命名一个项目：请只给一个文件。</translation>
    </message>
    <message>
        <source>--name needs a name.</source>
        <translation>--name 需要一个名称。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no command.</source>
        <translation>“%1”不是命令。</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>%1: the name must end in .xls, .xlsx or .csv.</source>
        <translation>%1：文件名必须以 .xls、.xlsx 或 .csv 结尾。</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>已取消。</translation>
    </message>
    <message>
        <source>%1 was not written: %2</source>
        <translation>未写入 %1：%2</translation>
    </message>
    <message>
        <source>%1 was not read: %2</source>
        <translation>未读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 is in use by the window or another command; nothing was imported.</source>
        <translation>%1 正被窗口或其他命令使用；未导入任何内容。</translation>
    </message>
    <message>
        <source>Keeping readings…</source>
        <translation>正在保存读数…</translation>
    </message>
    <message>
        <source>%1 has no limits to judge it by.</source>
        <translation>%1 没有可用于判定的限值。</translation>
    </message>
    <message>
        <source>%1 has no rule with the limits it needs.</source>
        <translation>%1 没有规则或缺少规则所需的限值。</translation>
    </message>
    <message>
        <source>No team database is set. Set one in Options, Team, or in %1.</source>
        <translation>未设置团队数据库。请在“选项”的“团队”页或 %1 中设置。</translation>
    </message>
    <message>
        <source>Syncing with the team database…</source>
        <translation>正在与团队数据库同步…</translation>
    </message>
    <message>
        <source>Sent: %1 items, %2 readings; %3 items deleted on the server.</source>
        <translation>已发送：%1 个项目，%2 个读数；服务器上删除了 %3 个项目。</translation>
    </message>
    <message>
        <source>Fetched: %1 items added or changed, %2 items gone.</source>
        <translation>已获取：新增或更改 %1 个项目，移除 %2 个项目。</translation>
    </message>
    <message>
        <source>%1 items wait to be sent.</source>
        <translation>%1 个项目等待发送。</translation>
    </message>
    <message>
        <source>Give the password in ~/.pgpass or in the environment variable PGPASSWORD.</source>
        <translation>请在 ~/.pgpass 或环境变量 PGPASSWORD 中提供密码。</translation>
    </message>
</context>
<context>
    <name>CompoundFileReader</name>
    <message>
        <source>The file is damaged: an allocation chain points outside the file.</source>
        <translation>文件已损坏：分配链指向文件之外。</translation>
    </message>
    <message>
        <source>The file is damaged: an allocation chain runs in a circle.</source>
        <translation>文件已损坏：分配链形成循环。</translation>
    </message>
    <message>
        <source>The file is damaged: a stream overlaps the file&apos;s allocation structures.</source>
        <translation>文件已损坏：数据流与文件的分配结构重叠。</translation>
    </message>
    <message>
        <source>The file is not a compound document.</source>
        <translation>该文件不是复合文档。</translation>
    </message>
    <message>
        <source>The file is damaged: its compound document header is invalid.</source>
        <translation>文件已损坏：复合文档头无效。</translation>
    </message>
    <message>
        <source>The file is damaged: its allocation table is larger than the file.</source>
        <translation>文件已损坏：分配表大于文件本身。</translation>
    </message>
    <message>
        <source>The file is damaged: its extended allocation table is broken.</source>
        <translation>文件已损坏：扩展分配表已损坏。</translation>
    </message>
    <message>
        <source>The file is damaged: its allocation table is incomplete.</source>
        <translation>文件已损坏：分配表不完整。</translation>
    </message>
    <message>
        <source>The file is damaged: its allocation table points outside the file.</source>
        <translation>文件已损坏：分配表指向文件之外。</translation>
    </message>
    <message>
        <source>The file is damaged: its allocation table is listed twice.</source>
        <translation>文件已损坏：分配表被重复列出。</translation>
    </message>
    <message>
        <source>The file is damaged: it has no directory.</source>
        <translation>文件已损坏：没有目录。</translation>
    </message>
    <message>
        <source>The file is damaged: its directory has no root.</source>
        <translation>文件已损坏：目录没有根项。</translation>
    </message>
    <message>
        <source>The file is damaged: a stream is larger than the file.</source>
        <translation>文件已损坏：数据流大于文件本身。</translation>
    </message>
    <message>
        <source>The file is damaged: a stream is shorter than its size.</source>
        <translation>文件已损坏：数据流短于其声明的大小。</translation>
    </message>
    <message>
        <source>The file holds no stream named %1.</source>
        <translation>文件中没有名为%1的数据流。</translation>
    </message>
</context>
<context>
    <name>DataModel</name>
    <message>
        <source>NO.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>Basis</source>
        <translation>基体</translation>
    </message>
</context>
<context>
    <name>ExchangeController</name>
    <message>
        <source>Keeping readings…</source>
        <translation>正在保存读数…</translation>
    </message>
    <message>
        <source>Loading readings…</source>
        <translation>正在载入读数…</translation>
    </message>
    <message>
        <source>Writing the picture…</source>
        <translation>正在写入图片…</translation>
    </message>
    <message>
        <source>Export the histogram to a picture.</source>
        <translation>将直方图导出为图片。</translation>
    </message>
    <message>
        <source>Export the chart to a picture.</source>
        <translation>将曲线图导出为图片。</translation>
    </message>
    <message>
        <source>Export the datas to a excel file.</source>
        <translation>将数据导出为Excel文件。</translation>
    </message>
    <message>
        <source>Export the datas to a pdf file.</source>
        <translation>将数据导出为PDF文件。</translation>
    </message>
    <message>
        <source>Export the summary of all items to a pdf file.</source>
        <translation>将全部项目汇总导出为PDF文件。</translation>
    </message>
    <message>
        <source>Import the datas from a excel file.</source>
        <translation>从Excel文件导入数据。</translation>
    </message>
    <message>
        <source>The datas is imported failed.</source>
        <translation>数据导入失败。</translation>
    </message>
    <message>
        <source>The datas is imported successfully.</source>
        <translation>数据导入成功。</translation>
    </message>
    <message>
        <source>The datas is exported failed.</source>
        <translation>数据导出失败。</translation>
    </message>
    <message>
        <source>The datas is exported successfully.</source>
        <translation>数据导出成功。</translation>
    </message>
</context>
<context>
    <name>ExportJobs</name>
    <message>
        <source>No item has readings.</source>
        <translation>没有项目含有读数。</translation>
    </message>
    <message>
        <source>A workbook holds at most %1 readings; this table has %2.</source>
        <translation>一个工作簿最多容纳%1个读数；此表格有%2个。</translation>
    </message>
    <message>
        <source>Writing readings…</source>
        <translation>正在写入读数…</translation>
    </message>
    <message>
        <source>Writing the summary…</source>
        <translation>正在写入汇总…</translation>
    </message>
</context>
<context>
    <name>GaugeControls</name>
    <message>
        <source>Failed to open device.</source>
        <translation>打开设备失败。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Downdloading...</source>
        <translation>正在下载...</translation>
    </message>
</context>
<context>
    <name>GaugeOptions</name>
    <message>
        <source>Gauge</source>
        <translation>测量仪</translation>
    </message>
    <message>
        <source>Simulated gauge</source>
        <translation>模拟测量仪</translation>
    </message>
    <message>
        <source>Serial gauge (one reading a line)</source>
        <translation>串口测量仪（每行一个读数）</translation>
    </message>
    <message>
        <source>Serial gauge</source>
        <translation>串口测量仪</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>USB vendor ID</source>
        <translation>USB 厂商 ID</translation>
    </message>
    <message>
        <source>USB product ID</source>
        <translation>USB 产品 ID</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Data bits</source>
        <translation>数据位</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>校验位</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>Stop bits</source>
        <translation>停止位</translation>
    </message>
    <message>
        <source>Flow control</source>
        <translation>流控制</translation>
    </message>
    <message>
        <source>Hardware (RTS/CTS)</source>
        <translation>硬件 (RTS/CTS)</translation>
    </message>
    <message>
        <source>Software (XON/XOFF)</source>
        <translation>软件 (XON/XOFF)</translation>
    </message>
    <message>
        <source>Unit of lines without one</source>
        <translation>无单位行的单位</translation>
    </message>
    <message>
        <source>Line pattern</source>
        <translation>行格式</translation>
    </message>
    <message>
        <source>the usual forms: 125.4 um Fe, 4.94 mil, OL</source>
        <translation>常见格式：125.4 um Fe、4.94 mil、OL</translation>
    </message>
    <message>
        <source>Download request</source>
        <translation>下载请求</translation>
    </message>
    <message>
        <source>none: live readings only</source>
        <translation>无：仅实时读数</translation>
    </message>
    <message>
        <source>End of download</source>
        <translation>下载结束标记</translation>
    </message>
    <message>
        <source>for example END or \x04</source>
        <translation>例如 END 或 \x04</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>Shows the next line the gauge sends.</source>
        <translation>显示测量仪发送的下一行。</translation>
    </message>
</context>
<context>
    <name>GaugeOptionsWidget</name>
    <message>
        <source>found by its USB vendor and product ID</source>
        <translation>按 USB 厂商 ID 和产品 ID 查找</translation>
    </message>
    <message>
        <source>Nothing arrived within %1 seconds. Check the cable, the port and the baud rate.</source>
        <translation>%1 秒内未收到任何数据。请检查电缆、端口和波特率。</translation>
    </message>
    <message>
        <source>The line pattern cannot be used (%1).</source>
        <translation>行格式无法使用（%1）。</translation>
    </message>
    <message>
        <source>Waiting for a line from %1 ...</source>
        <translation>正在等待来自 %1 的一行...</translation>
    </message>
    <message>
        <source>A line longer than %1 bytes arrived. Check the baud rate.</source>
        <translation>收到超过 %1 字节的行。请检查波特率。</translation>
    </message>
    <message>
        <source>Bytes that are not text arrived. Check the baud rate, data bits, parity and stop bits.</source>
        <translation>收到非文本字节。请检查波特率、数据位、校验位和停止位。</translation>
    </message>
    <message>
        <source>Received &quot;%1&quot;, which is not a reading. Set a line pattern for this gauge.</source>
        <translation>收到“%1”，这不是读数。请为此测量仪设置行格式。</translation>
    </message>
    <message>
        <source>Received &quot;%1&quot;: %2 %3 %4</source>
        <translation>收到“%1”：%2 %3 %4</translation>
    </message>
</context>
<context>
    <name>ItemDetails</name>
    <message>
        <source>Project</source>
        <translation>工程项目</translation>
    </message>
    <message>
        <source>Structure and area</source>
        <translation>结构与区域</translation>
    </message>
    <message>
        <source>Coating system</source>
        <translation>涂层体系</translation>
    </message>
    <message>
        <source>Gauge</source>
        <translation>测厚仪</translation>
    </message>
    <message>
        <source>Gauge serial number</source>
        <translation>测厚仪序列号</translation>
    </message>
    <message>
        <source>Probe serial number</source>
        <translation>探头序列号</translation>
    </message>
    <message>
        <source>Calibrated or verified</source>
        <translation>校准或核查日期</translation>
    </message>
    <message>
        <source>Adjustment</source>
        <translation>调校方式</translation>
    </message>
    <message>
        <source>Inspector</source>
        <translation>检验员</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>备注</translation>
    </message>
</context>
<context>
    <name>ItemPictureMaker</name>
    <message>
        <source>Rate</source>
        <translation>频数</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Thickness(mil)</source>
        <translation>厚度(mil)</translation>
    </message>
    <message>
        <source>Thickness</source>
        <translation>厚度</translation>
    </message>
</context>
<context>
    <name>ItemReadout</name>
    <message>
        <source>Item %1 of %2</source>
        <translation>项目 %1（%2）</translation>
    </message>
</context>
<context>
    <name>ItemReport</name>
    <message>
        <source>Date: %1</source>
        <translation>日期：%1</translation>
    </message>
    <message>
        <source>Inspection</source>
        <translation>检验信息</translation>
    </message>
    <message>
        <source>ISO 19840: dry film thickness on rough surfaces, measurement and acceptance criteria</source>
        <translation>ISO 19840：粗糙表面干膜厚度的测量与验收准则</translation>
    </message>
    <message>
        <source>SSPC-PA 2: conformance to dry coating thickness requirements, restriction level 3</source>
        <translation>SSPC-PA 2：干膜厚度符合性判定，限制等级 3</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>签名</translation>
    </message>
    <message>
        <source>Summary of all items</source>
        <translation>全部项目汇总</translation>
    </message>
</context>
<context>
    <name>ItemStore</name>
    <message>
        <source>The team&apos;s items could not be read: %1</source>
        <translation>无法读取团队的项目：%1</translation>
    </message>
    <message>
        <source>The readings of %1 (%2) could not be read: %3</source>
        <translation>无法读取 %1（%2）的读数：%3</translation>
    </message>
</context>
<context>
    <name>ItemSummary</name>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Overloads judged</source>
        <translation>参与评定的超量程读数</translation>
    </message>
    <message>
        <source>Readings to judge</source>
        <translation>可评定的读数</translation>
    </message>
    <message>
        <source>Mean at least NDFT</source>
        <translation>平均值不低于 NDFT</translation>
    </message>
    <message>
        <source>Readings below 80 % of NDFT</source>
        <translation>低于 NDFT 80 % 的读数</translation>
    </message>
    <message>
        <source>Readings from 80 % of NDFT up to NDFT (fewer than 20 %)</source>
        <translation>介于 NDFT 80 % 与 NDFT 之间的读数（少于 20 %）</translation>
    </message>
    <message>
        <source>Readings above the maximum</source>
        <translation>高于最大值的读数</translation>
    </message>
    <message>
        <source>Spots below 80 % of the minimum</source>
        <translation>低于最小值 80 % 的测点</translation>
    </message>
    <message>
        <source>Spots above 120 % of the maximum</source>
        <translation>高于最大值 120 % 的测点</translation>
    </message>
    <message>
        <source>Mean of the spots within the minimum and maximum</source>
        <translation>测点平均值在最小值与最大值之间</translation>
    </message>
    <message>
        <source>Too few readings to judge: %1</source>
        <translation>读数太少，无法评定：%1</translation>
    </message>
    <message>
        <source>Mean %1 below NDFT %2</source>
        <translation>平均值 %1 低于 NDFT %2</translation>
    </message>
    <message>
        <source>%1 reading below 80 % of NDFT</source>
        <translation>%1 个读数低于 NDFT 的 80 %</translation>
    </message>
    <message>
        <source>%1 readings below 80 % of NDFT</source>
        <translation>%1 个读数低于 NDFT 的 80 %</translation>
    </message>
    <message>
        <source>%1 of %2 readings between 80 % of NDFT and NDFT</source>
        <translation>%2 个读数中有 %1 个介于 NDFT 80 % 与 NDFT 之间</translation>
    </message>
    <message>
        <source>%1 reading above the maximum</source>
        <translation>%1 个读数高于最大值</translation>
    </message>
    <message>
        <source>%1 readings above the maximum</source>
        <translation>%1 个读数高于最大值</translation>
    </message>
    <message>
        <source>%1 spot below 80 % of the minimum</source>
        <translation>%1 个测点低于最小值的 80 %</translation>
    </message>
    <message>
        <source>%1 spots below 80 % of the minimum</source>
        <translation>%1 个测点低于最小值的 80 %</translation>
    </message>
    <message>
        <source>%1 spot above 120 % of the maximum</source>
        <translation>%1 个测点高于最大值的 120 %</translation>
    </message>
    <message>
        <source>%1 spots above 120 % of the maximum</source>
        <translation>%1 个测点高于最大值的 120 %</translation>
    </message>
    <message>
        <source>Mean of the spots %1 outside the minimum and maximum</source>
        <translation>测点平均值 %1 超出最小值与最大值范围</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>合格</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>不合格</translation>
    </message>
    <message>
        <source>With overloads</source>
        <translation>含超量程</translation>
    </message>
    <message>
        <source>Without overloads</source>
        <translation>不含超量程</translation>
    </message>
    <message>
        <source>Readings</source>
        <translation>读数个数</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>平均值</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>Standard deviation</source>
        <translation>标准差</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>变异系数</translation>
    </message>
    <message>
        <source>Overloads</source>
        <translation>超量程</translation>
    </message>
    <message>
        <source>Nominal</source>
        <translation>公称值</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>修正值</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>First reading</source>
        <translation>首个读数</translation>
    </message>
    <message>
        <source>Last reading</source>
        <translation>最后读数</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>结论</translation>
    </message>
</context>
<context>
    <name>ItemsController</name>
    <message>
        <source>The item is being exported. Delete it once the export has ended.</source>
        <translation>该项目正在导出。请在导出结束后再删除。</translation>
    </message>
    <message>
        <source>Are you sure delete this item?</source>
        <translation>确定要删除此项目吗？</translation>
    </message>
    <message>
        <source>Team</source>
        <translation>团队</translation>
    </message>
    <message>
        <source>An item of %1 from the team database, read-only here</source>
        <translation>来自团队数据库的 %1 的项目，此处只读</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is an item of %2 from the team database: it cannot be changed here.</source>
        <translation>“%1”是来自团队数据库的 %2 的项目：此处不能更改。</translation>
    </message>
</context>
<context>
    <name>JobSummary</name>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>Structure and area</source>
        <translation>结构与区域</translation>
    </message>
    <message>
        <source>Readings</source>
        <translation>读数个数</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>平均值</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>Standard deviation</source>
        <translation>标准差</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>结论</translation>
    </message>
    <message>
        <source>Passed: %1</source>
        <translation>合格：%1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>不合格：%1</translation>
    </message>
    <message>
        <source>Not judged: %1</source>
        <translation>未评定：%1</translation>
    </message>
</context>
<context>
    <name>KeptItems</name>
    <message>
        <source>No item is named &quot;%1&quot;. &quot;vk508m list&quot; shows the items.</source>
        <translation>没有名为“%1”的项目。“vk508m list”列出项目。</translation>
    </message>
    <message>
        <source>%1 items are named &quot;%2&quot;; name one by its id:</source>
        <translation>有 %1 个项目名为“%2”；请用编号指定其中一个：</translation>
    </message>
</context>
<context>
    <name>LineGrammar</name>
    <message>
        <source>it has no group named value</source>
        <translation>其中没有名为 value 的组</translation>
    </message>
</context>
<context>
    <name>LongWork</name>
    <message>
        <source>Cancelling…</source>
        <translation>正在取消…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>MeasurementDatabase</name>
    <message>
        <source>its folder cannot be made</source>
        <translation>无法创建它所在的文件夹</translation>
    </message>
    <message>
        <source>its lock file cannot be made</source>
        <translation>无法创建它的锁文件</translation>
    </message>
    <message>
        <source>%1 was damaged. It was renamed %2, and a new %1 was started.</source>
        <translation>%1 已损坏。它已改名为 %2，并已新建 %1。</translation>
    </message>
    <message>
        <source>%1 is damaged and could not be renamed aside. It was left as it is, and measurements are not being kept.</source>
        <translation>%1 已损坏且无法改名移开。文件保持原样，测量数据不会被保存。</translation>
    </message>
    <message>
        <source>%1 was written by a newer version of this program. It was left as it is, and measurements are not being kept.</source>
        <translation>%1 由本程序的较新版本写入。文件保持原样，测量数据不会被保存。</translation>
    </message>
    <message>
        <source>%1 is read-only. It was left as it is, and measurements are not being kept.</source>
        <translation>%1 是只读文件。文件保持原样，测量数据不会被保存。</translation>
    </message>
    <message>
        <source>%1 is in use by another running copy of this program. Measurements are not being kept.</source>
        <translation>%1 正被另一个正在运行的本程序使用。测量数据不会被保存。</translation>
    </message>
    <message>
        <source>%1 cannot be opened (%2). Measurements are not being kept.</source>
        <translation>无法打开 %1（%2）。测量数据不会被保存。</translation>
    </message>
    <message>
        <source>The measurement file %1 failed (%2). Measurements are not being kept from now on.</source>
        <translation>测量数据文件 %1 出错（%2）。从现在起测量数据不会被保存。</translation>
    </message>
    <message>
        <source>%1 is damaged. It was left as it is.</source>
        <translation>%1 已损坏，已保持原样。</translation>
    </message>
    <message>
        <source>%1 was written by a newer version of this program.</source>
        <translation>%1 由本程序的较新版本写入。</translation>
    </message>
    <message>
        <source>%1 is busy. Try again in a moment.</source>
        <translation>%1 正忙，请稍后再试。</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2).</source>
        <translation>无法读取 %1（%2）。</translation>
    </message>
</context>
<context>
    <name>OptionDialog</name>
    <message>
        <source>Options</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>The gauge settings could not be written to %1: %2</source>
        <translation>无法将测量仪设置写入 %1：%2</translation>
    </message>
    <message>
        <source>Changes will take effect when you restart application.</source>
        <translation>更改将在重新启动程序后生效。</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>Team</source>
        <translation>团队</translation>
    </message>
    <message>
        <source>Gauge</source>
        <translation>测量仪</translation>
    </message>
    <message>
        <source>The team settings could not be written to %1: %2</source>
        <translation>无法将团队设置写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>ReadingsCsv</name>
    <message>
        <source>The file is damaged: the quoted field that begins on line %1 is not closed.</source>
        <translation>文件已损坏：从第 %1 行开始的带引号字段没有结束。</translation>
    </message>
    <message>
        <source>The table has %1 readings, but a CSV file is written with at most %2 readings (and read with at most %3 fields).</source>
        <translation>表格有 %1 条读数，但 CSV 文件最多只能写入 %2 条读数（读取时最多 %3 个字段）。</translation>
    </message>
    <message>
        <source>The file&apos;s text is neither UTF-8 nor GB18030 nor Windows-1252.</source>
        <translation>文件的文本既不是 UTF-8，也不是 GB18030 或 Windows-1252 编码。</translation>
    </message>
    <message>
        <source>The file has more than %1 fields, more than can be read; a CSV export holds at most %2 readings.</source>
        <translation>文件的字段超过 %1 个，超出了可读取的数量；CSV 导出最多包含 %2 条读数。</translation>
    </message>
</context>
<context>
    <name>ReadingsImport</name>
    <message>
        <source>Importing readings…</source>
        <translation>正在导入读数…</translation>
    </message>
    <message>
        <source>the row has fewer than five cells</source>
        <translation>该行少于五个单元格</translation>
    </message>
    <message>
        <source>value is missing</source>
        <translation>缺少数值</translation>
    </message>
    <message>
        <source>value is not a number</source>
        <translation>数值不是数字</translation>
    </message>
    <message>
        <source>unit is missing</source>
        <translation>缺少单位</translation>
    </message>
    <message>
        <source>unit is not known</source>
        <translation>单位无法识别</translation>
    </message>
    <message>
        <source>time cannot be read</source>
        <translation>时间无法读取</translation>
    </message>
    <message>
        <source>row %1</source>
        <translation>第 %1 行</translation>
    </message>
    <message>
        <source>rows %1 and %2 more</source>
        <translation>第 %1 行及另外 %2 行</translation>
    </message>
    <message>
        <source>rows %1 and %2</source>
        <translation>第 %1 和 %2 行</translation>
    </message>
    <message>
        <source>Rows imported: %1; skipped as blank: %2; rejected: %3.</source>
        <translation>已导入 %1 行；跳过空行 %2 行；拒绝 %3 行。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>ReadingsWorkbook</name>
    <message>
        <source>The table has %1 readings, but an Excel worksheet (.xls) holds at most %2 readings below its header row.</source>
        <translation>表格有 %1 条读数，但 Excel 工作表（.xls）在表头行下最多只能容纳 %2 条读数。</translation>
    </message>
    <message>
        <source>The file is too large for a workbook.</source>
        <translation>文件太大，无法作为工作簿。</translation>
    </message>
</context>
<context>
    <name>ReadingsXlsx</name>
    <message>
        <source>The workbook could not be written: %1.</source>
        <translation>无法写入工作簿：%1。</translation>
    </message>
    <message>
        <source>The table has %1 readings, but an Excel workbook (.xlsx) holds at most %2 readings below its header row.</source>
        <translation>表格有 %1 条读数，但 Excel 工作簿（.xlsx）在表头行下最多只能容纳 %2 条读数。</translation>
    </message>
</context>
<context>
    <name>SerialGauge</name>
    <message>
        <source>No serial gauge is plugged in (USB %1:%2). Plug the gauge in, or choose its port in Options.</source>
        <translation>未插入串口测量仪（USB %1:%2）。请插入测量仪，或在选项中选择其端口。</translation>
    </message>
    <message>
        <source>The port %1 is not there. Check the cable, or choose another port in Options.</source>
        <translation>端口 %1 不存在。请检查电缆，或在选项中选择其他端口。</translation>
    </message>
    <message>
        <source>You may not open the port %1. On Debian, add yourself to the dialout group (sudo adduser $USER dialout), then log out and log in again.</source>
        <translation>您无权打开端口 %1。在 Debian 上，请将自己加入 dialout 组（sudo adduser $USER dialout），然后注销并重新登录。</translation>
    </message>
    <message>
        <source>The port %1 is held by another program, or by this one while it is connected. Disconnect, or close that program (a terminal, for example), and try again.</source>
        <translation>端口 %1 正被其他程序占用，或本程序已连接。请断开连接，或关闭该程序（例如终端程序），然后重试。</translation>
    </message>
    <message>
        <source>The port %1 could not be opened: %2</source>
        <translation>无法打开端口 %1：%2</translation>
    </message>
</context>
<context>
    <name>SerialGaugeSettings</name>
    <message>
        <source>%1: the value &quot;%2&quot; of %3 cannot be used; the default applies.</source>
        <translation>%1：%3 的值“%2”无法使用，将使用默认值。</translation>
    </message>
</context>
<context>
    <name>SerialLineGauge</name>
    <message>
        <source>The line pattern &quot;%1&quot; cannot be used (%2). Correct it in Options.</source>
        <translation>行格式“%1”无法使用（%2）。请在选项中更正。</translation>
    </message>
    <message>
        <source>Serial gauge connected on %1.</source>
        <translation>串口测量仪已在 %1 上连接。</translation>
    </message>
    <message>
        <source>Serial gauge disconnected.</source>
        <translation>串口测量仪已断开。</translation>
    </message>
    <message>
        <source>This gauge sends live readings only. To read a gauge&apos;s memory, set its download request and end marker in Options.</source>
        <translation>此测量仪只发送实时读数。要读取测量仪的存储，请在选项中设置其下载请求和结束标记。</translation>
    </message>
    <message>
        <source>Reading the gauge&apos;s stored readings.</source>
        <translation>正在读取测量仪存储的读数。</translation>
    </message>
    <message>
        <source>A line from the gauge has a unit other than um or mil and was dropped: &quot;%1&quot;.</source>
        <translation>测量仪发送的一行带有 um 或 mil 以外的单位，已丢弃：“%1”。</translation>
    </message>
    <message>
        <source>A line from the gauge is not a reading and was dropped: &quot;%1&quot;. If the gauge sends another format, set a line pattern in Options.</source>
        <translation>测量仪发送的一行不是读数，已丢弃：“%1”。如果测量仪发送其他格式，请在选项中设置行格式。</translation>
    </message>
    <message>
        <source>A line from the gauge was longer than %1 bytes and was dropped. Check the baud rate and the line settings in Options.</source>
        <translation>测量仪发送的一行超过 %1 字节，已丢弃。请在选项中检查波特率和线路设置。</translation>
    </message>
    <message>
        <source>The gauge sent bytes that are not text; they were dropped. Check the baud rate, data bits, parity and stop bits in Options.</source>
        <translation>测量仪发送了非文本字节，已丢弃。请在选项中检查波特率、数据位、校验位和停止位。</translation>
    </message>
    <message>
        <source>The connection to the gauge on %1 was lost (cable pulled?). The readings taken so far are kept; plug the gauge in and connect again.</source>
        <translation>与 %1 上测量仪的连接已断开（电缆被拔出？）。已采集的读数会保留；请插入测量仪并重新连接。</translation>
    </message>
    <message>
        <source>%1 stored readings read from the gauge.</source>
        <translation>已从测量仪读取 %1 个存储读数。</translation>
    </message>
    <message>
        <source>The gauge stopped sending before the end of its memory; %1 stored readings arrived.</source>
        <translation>测量仪在存储结束前停止发送；已收到 %1 个存储读数。</translation>
    </message>
    <message>
        <source>Lines from the gauge that were dropped while connected: %1.</source>
        <translation>连接期间丢弃的测量仪数据行：%1。</translation>
    </message>
</context>
<context>
    <name>SimulatedGauge</name>
    <message>
        <source>Simulated gauge connected.</source>
        <translation>模拟测量仪已连接。</translation>
    </message>
    <message>
        <source>Simulated gauge disconnected.</source>
        <translation>模拟测量仪已断开。</translation>
    </message>
    <message>
        <source>Reading %1 stored groups.</source>
        <translation>正在读取 %1 组存储数据。</translation>
    </message>
</context>
<context>
    <name>StatisticsView</name>
    <message>
        <source>Limit</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>计数</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>%1, readings from %2 to %3</source>
        <translation>%1，读数时间 %2 至 %3</translation>
    </message>
    <message>
        <source>No limits set.</source>
        <translation>未设置限值。</translation>
    </message>
    <message>
        <source>No rule chosen.</source>
        <translation>未选择规则。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>The file is too large for a readings file.</source>
        <translation>文件太大，无法作为读数文件。</translation>
    </message>
    <message>
        <source>Excel Workbook(*.xlsx)</source>
        <translation>Excel 工作簿(*.xlsx)</translation>
    </message>
    <message>
        <source>CSV File(*.csv)</source>
        <translation>CSV 文件(*.csv)</translation>
    </message>
    <message>
        <source>All workbooks (*.xls *.xlsx *.csv)</source>
        <translation>所有工作簿 (*.xls *.xlsx *.csv)</translation>
    </message>
</context>
<context>
    <name>TeamCheck</name>
    <message>
        <source>Connected as %1. The database %2 is empty; the team tables will be made at the first sync.</source>
        <translation>已以 %1 身份连接。数据库 %2 为空；团队数据表将在首次同步时建立。</translation>
    </message>
    <message>
        <source>Connected as %1. The team tables in %2 are ready.</source>
        <translation>已以 %1 身份连接。%2 中的团队数据表已就绪。</translation>
    </message>
</context>
<context>
    <name>TeamController</name>
    <message>
        <source>Team: syncing...</source>
        <translation>团队：正在同步...</translation>
    </message>
</context>
<context>
    <name>TeamFault</name>
    <message>
        <source>The team server %1 cannot be reached.</source>
        <translation>无法连接团队服务器 %1。</translation>
    </message>
    <message>
        <source>The connection to the team server %1 was lost.</source>
        <translation>与团队服务器 %1 的连接已中断。</translation>
    </message>
    <message>
        <source>The team server asks for the password of %1.</source>
        <translation>团队服务器要求输入 %1 的密码。</translation>
    </message>
    <message>
        <source>The team server refused the password of %1 (wrong or expired).</source>
        <translation>团队服务器拒绝了 %1 的密码（密码错误或已过期）。</translation>
    </message>
    <message>
        <source>The team server accepts only SSL connections. Choose the SSL mode &quot;require&quot; or &quot;verify-full&quot;.</source>
        <translation>团队服务器只接受 SSL 连接。请选择 SSL 模式“require”或“verify-full”。</translation>
    </message>
    <message>
        <source>The team server offers no SSL, which the SSL mode &quot;%1&quot; requires.</source>
        <translation>团队服务器不提供 SSL，而 SSL 模式“%1”需要 SSL。</translation>
    </message>
    <message>
        <source>The team server has no database %1.</source>
        <translation>团队服务器上没有数据库 %1。</translation>
    </message>
    <message>
        <source>The role %1 has no rights for this in the team database (%2).</source>
        <translation>角色 %1 在团队数据库中没有此项权限（%2）。</translation>
    </message>
    <message>
        <source>The database %1 has no team tables, and the role %2 may not make them. The administrator can make them with the file team-schema-1.sql of this program.</source>
        <translation>数据库 %1 中没有团队数据表，且角色 %2 无权建立。管理员可以用本程序的文件 team-schema-1.sql 建立。</translation>
    </message>
    <message>
        <source>The database %1 holds tables of another program.</source>
        <translation>数据库 %1 中存有其他程序的数据表。</translation>
    </message>
    <message>
        <source>The team database was set up by a newer version of this program. This one reads the team&apos;s items but sends none.</source>
        <translation>团队数据库由本程序的较新版本建立。本版本只读取团队的项目，不发送任何项目。</translation>
    </message>
    <message>
        <source>The team server is out of space (%1).</source>
        <translation>团队服务器空间不足（%1）。</translation>
    </message>
    <message>
        <source>This computer&apos;s team files cannot be used (%1).</source>
        <translation>本机的团队文件无法使用（%1）。</translation>
    </message>
    <message>
        <source>The team database failed (%1).</source>
        <translation>团队数据库出错（%1）。</translation>
    </message>
</context>
<context>
    <name>TeamOptions</name>
    <message>
        <source>Sync the items with a team database (PostgreSQL)</source>
        <translation>与团队数据库（PostgreSQL）同步项目</translation>
    </message>
    <message>
        <source>Team database</source>
        <translation>团队数据库</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>主机</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>数据库</translation>
    </message>
    <message>
        <source>User (role)</source>
        <translation>用户（角色）</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>from ~/.pgpass, or asked once a session; never saved</source>
        <translation>取自 ~/.pgpass，或每次运行询问一次；从不保存</translation>
    </message>
    <message>
        <source>SSL mode</source>
        <translation>SSL 模式</translation>
    </message>
    <message>
        <source>Inspector</source>
        <translation>检验员</translation>
    </message>
    <message>
        <source>your name, as the team sees your items</source>
        <translation>您的姓名，团队以此识别您的项目</translation>
    </message>
    <message>
        <source>Sync every</source>
        <translation>同步间隔</translation>
    </message>
    <message>
        <source> min</source>
        <translation> 分钟</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>测试</translation>
    </message>
</context>
<context>
    <name>TeamOptionsWidget</name>
    <message>
        <source>Fill in the host, the database and the user first.</source>
        <translation>请先填写主机、数据库和用户。</translation>
    </message>
    <message>
        <source>Connecting to %1 ...</source>
        <translation>正在连接 %1 ...</translation>
    </message>
</context>
<context>
    <name>TeamSettings</name>
    <message>
        <source>%1: the value &quot;%2&quot; of %3 cannot be used; the default applies.</source>
        <translation>%1：%3 的值“%2”无法使用，将使用默认值。</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>无法写入该文件</translation>
    </message>
    <message>
        <source>the file is not a valid settings file</source>
        <translation>该文件不是有效的设置文件</translation>
    </message>
</context>
<context>
    <name>TeamSyncReport</name>
    <message>
        <source>Team: read at %1; the team database is of a newer layout, nothing is sent.</source>
        <translation>团队：%1 已读取；团队数据库为较新的结构，不发送任何内容。</translation>
    </message>
    <message>
        <source>Team: synced at %1.</source>
        <translation>团队：%1 已同步。</translation>
    </message>
    <message>
        <source>Team (%1): %2</source>
        <translation>团队（%1）：%2</translation>
    </message>
    <message numerus="yes">
        <source>%n item(s) wait to be sent.</source>
        <translation>
            <numerusform>%n 个项目等待发送。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UsedRange</name>
    <message>
        <source>The used range of the first worksheet is too large: %1 cells, at most %2 can be read.</source>
        <translation>第一张工作表的已用区域太大：%1 个单元格，最多只能读取 %2 个。</translation>
    </message>
</context>
<context>
    <name>Widget</name>
    <message>
        <source>Long work is running. Cancel it and close?</source>
        <translation>耗时的工作正在进行。要取消它并关闭吗？</translation>
    </message>
    <message>
        <source>Writing the report… page</source>
        <translation>正在写入报告… 页</translation>
    </message>
    <message>
        <source>Num:0</source>
        <translation>数量:0</translation>
    </message>
    <message>
        <source>Avg:0</source>
        <translation>平均:0</translation>
    </message>
    <message>
        <source>Min:0</source>
        <translation>最小:0</translation>
    </message>
    <message>
        <source>Max:0</source>
        <translation>最大:0</translation>
    </message>
    <message>
        <source>Item Tool</source>
        <translation>项目工具</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>表格</translation>
    </message>
    <message>
        <source>Histogram</source>
        <translation>直方图</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>曲线图</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>断开(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>选项(&amp;O)</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>关闭(&amp;L)</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>说明书(&amp;M)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Set to active</source>
        <translation>设为当前</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Can not open file.</source>
        <translation>无法打开文件。</translation>
    </message>
    <message>
        <source>Store Data</source>
        <translation>存储数据</translation>
    </message>
    <message>
        <source>Live Data</source>
        <translation>实时数据</translation>
    </message>
    <message>
        <source>Scene picture:</source>
        <translation>现场图片:</translation>
    </message>
    <message>
        <source>Histogram:</source>
        <translation>直方图:</translation>
    </message>
    <message>
        <source>Chart:</source>
        <translation>曲线图:</translation>
    </message>
    <message>
        <source>The picture has not been drawn yet.</source>
        <translation>图片尚未绘制。</translation>
    </message>
    <message>
        <source>The picture cannot be written as &quot;%1&quot;.</source>
        <translation>无法以“%1”格式写入图片。</translation>
    </message>
    <message>
        <source>The PDF writer could not start.</source>
        <translation>PDF 写入器无法启动。</translation>
    </message>
    <message>
        <source>- measurements are not being kept</source>
        <translation>- 测量数据未被保存</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>统计</translation>
    </message>
    <message>
        <source>Limits…</source>
        <translation>限值…</translation>
    </message>
    <message>
        <source>Details…</source>
        <translation>详细信息…</translation>
    </message>
    <message>
        <source>S&amp;ync with team</source>
        <translation>与团队同步(&amp;Y)</translation>
    </message>
    <message>
        <source>Send this installation&apos;s changes to the team database and fetch the others&apos; now</source>
        <translation>立即将本机的更改发送到团队数据库，并获取其他人的项目</translation>
    </message>
    <message>
        <source>Team database</source>
        <translation>团队数据库</translation>
    </message>
    <message>
        <source>Password of %1 for the team database %2 on %3 (kept until the program ends):</source>
        <translation>%1 在 %3 上团队数据库 %2 的密码（保留到程序结束）：</translation>
    </message>
</context>
<context>
    <name>XlsReader</name>
    <message>
        <source>The workbook is damaged.</source>
        <translation>工作簿已损坏。</translation>
    </message>
    <message>
        <source>The file is not a workbook of the classic Excel format (.xls).</source>
        <translation>该文件不是经典 Excel 格式（.xls）的工作簿。</translation>
    </message>
    <message>
        <source>The workbook was saved in the Excel 5.0/95 format, which cannot be read.</source>
        <translation>该工作簿以 Excel 5.0/95 格式保存，无法读取。</translation>
    </message>
    <message>
        <source>The workbook is protected by a password (encrypted) and cannot be read.</source>
        <translation>该工作簿受密码保护（已加密），无法读取。</translation>
    </message>
    <message>
        <source>The workbook has no worksheet.</source>
        <translation>该工作簿没有工作表。</translation>
    </message>
    <message>
        <source>The first sheet of the workbook is not a worksheet.</source>
        <translation>工作簿的第一张表不是工作表。</translation>
    </message>
    <message>
        <source>The workbook was saved in an old Excel format (2.x to 4.0), which cannot be read.</source>
        <translation>该工作簿以旧的 Excel 格式（2.x 至 4.0）保存，无法读取。</translation>
    </message>
    <message>
        <source>The first worksheet has more than %1 cells, more than can be read.</source>
        <translation>第一张工作表的单元格超过 %1 个，超出了可读取的数量。</translation>
    </message>
    <message>
        <source>The workbook is protected by a password.</source>
        <translation>工作簿受密码保护。</translation>
    </message>
</context>
<context>
    <name>XlsxReader</name>
    <message>
        <source>The workbook is damaged: its part %1 cannot be unpacked (%2).</source>
        <translation>工作簿已损坏：其部件 %1 无法解压（%2）。</translation>
    </message>
    <message>
        <source>The workbook&apos;s part %1 unpacks to more than %2 MiB, more than a readings workbook can hold.</source>
        <translation>工作簿的部件 %1 解压后超过 %2 MiB，超出了读数工作簿可容纳的大小。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its part %1 holds a text too long for a cell.</source>
        <translation>工作簿已损坏：其部件 %1 含有对单元格来说过长的文本。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its zip container cannot be read (%1).</source>
        <translation>工作簿已损坏：无法读取其 zip 容器（%1）。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its part %1 is missing.</source>
        <translation>工作簿已损坏：缺少其部件 %1。</translation>
    </message>
    <message>
        <source>The workbook is encrypted and cannot be read.</source>
        <translation>工作簿已加密，无法读取。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its part %1 holds an invalid cell %2.</source>
        <translation>工作簿已损坏：其部件 %1 含有无效的单元格 %2。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its part %1 declares a document type.</source>
        <translation>工作簿已损坏：其部件 %1 声明了文档类型。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its part %1 is not well-formed XML (line %2: %3).</source>
        <translation>工作簿已损坏：其部件 %1 不是格式正确的 XML（第 %2 行：%3）。</translation>
    </message>
    <message>
        <source>The workbook has more shared strings than can be read (at most %1, or %2 MiB).</source>
        <translation>工作簿的共享字符串超出了可读取的数量（最多 %1 个，或 %2 MiB）。</translation>
    </message>
    <message>
        <source>The first worksheet has more than %1 cells, more than can be read.</source>
        <translation>第一个工作表的单元格超过 %1 个，超出了可读取的数量。</translation>
    </message>
    <message>
        <source>The workbook is damaged: its part %1 holds an invalid row %2.</source>
        <translation>工作簿已损坏：其部件 %1 含有无效的行 %2。</translation>
    </message>
    <message>
        <source>The file is not an Excel workbook (.xlsx).</source>
        <translation>该文件不是 Excel 工作簿（.xlsx）。</translation>
    </message>
    <message>
        <source>The workbook has no worksheet.</source>
        <translation>工作簿中没有工作表。</translation>
    </message>
</context>
<context>
    <name>dlgDetails</name>
    <message>
        <source>Details</source>
        <translation>详细信息</translation>
    </message>
    <message>
        <source>Project:</source>
        <translation>工程项目：</translation>
    </message>
    <message>
        <source>Structure and area:</source>
        <translation>结构与区域：</translation>
    </message>
    <message>
        <source>Coating system:</source>
        <translation>涂层体系：</translation>
    </message>
    <message>
        <source>Gauge model:</source>
        <translation>测厚仪型号：</translation>
    </message>
    <message>
        <source>Gauge serial number:</source>
        <translation>测厚仪序列号：</translation>
    </message>
    <message>
        <source>Probe serial number:</source>
        <translation>探头序列号：</translation>
    </message>
    <message>
        <source>Last calibration or verification:</source>
        <translation>最近校准或核查：</translation>
    </message>
    <message>
        <source>Adjustment:</source>
        <translation>调校方式：</translation>
    </message>
    <message>
        <source>Inspector:</source>
        <translation>检验员：</translation>
    </message>
    <message>
        <source>Notes:</source>
        <translation>备注：</translation>
    </message>
    <message>
        <source>Not set</source>
        <translation>未设置</translation>
    </message>
</context>
<context>
    <name>dlgExport</name>
    <message>
        <source>Table(XLS)</source>
        <translation>表格(XLS)</translation>
    </message>
    <message>
        <source>Histogram(JPG)</source>
        <translation>直方图(JPG)</translation>
    </message>
    <message>
        <source>Chart(JPG)</source>
        <translation>曲线图(JPG)</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>Scene Picture</source>
        <translation>现场图片</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Please select a scene picture.</source>
        <translation>请选择一张现场图片。</translation>
    </message>
    <message>
        <source>Summary of all items (PDF)</source>
        <translation>全部项目汇总(PDF)</translation>
    </message>
</context>
<context>
    <name>dlgLimits</name>
    <message>
        <source>Limits</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>Nominal (NDFT):</source>
        <translation>公称值 (NDFT)：</translation>
    </message>
    <message>
        <source>Minimum:</source>
        <translation>最小值：</translation>
    </message>
    <message>
        <source>Maximum:</source>
        <translation>最大值：</translation>
    </message>
    <message>
        <source>Correction:</source>
        <translation>修正值：</translation>
    </message>
    <message>
        <source>Rule:</source>
        <translation>规则：</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Not set</source>
        <translation>未设置</translation>
    </message>
    <message>
        <source>The minimum is above the maximum.</source>
        <translation>最小值大于最大值。</translation>
    </message>
    <message>
        <source>ISO 19840 needs the nominal thickness (NDFT).</source>
        <translation>ISO 19840 需要公称干膜厚度 (NDFT)。</translation>
    </message>
    <message>
        <source>SSPC-PA 2 needs the minimum and the maximum.</source>
        <translation>SSPC-PA 2 需要最小值和最大值。</translation>
    </message>
</context>
<context>
    <name>JobProgress</name>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 of %3</source>
        <translation>%1 %2 / %3</translation>
    </message>
</context>
</TS>
