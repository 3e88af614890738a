#!/usr/bin/env python3
"""Writes dist/Setting.ini, the settings file delivered with Vantaro.

The file is what a user edits by hand, so it is written here rather than in an editor: the
[Chinese] section must be GBK bytes (code page 936, what a Chinese Windows reads), the rest
plain ASCII, and every line ends in CRLF. Change the texts below and run this script again.

    python3 dist/make-setting-ini.py
"""

from pathlib import Path

# The dialog's captions, in the order the program applies them: key, then the Chinese and
# the English text. The Chinese ones are the dialog template's own. The English ones are short
# on purpose: each must fit the control it labels (sizes in resources/Vantaro.rc), and the
# labels are as narrow as their Chinese texts.
CAPTIONS = [
    ("Dial_Setting", "拨号参数", "Dial-up settings"),   # group box, 313 dialog units
    ("TEL", "电话:", "Tel:"),                            # label, 19 units
    ("USER", "用户名:", "User:"),                        # label, 27 units
    ("PWD", "密码:", "Pwd:"),                            # label, 19 units
    ("INIT", "初始连接:", "Init:"),                      # label, 35 units
    ("CONN_TYPE", "连接类型:", "Type:"),                 # label, 35 units
    ("ABORT_DRIVER", "关于驱动", "Driver"),              # group box, 313 units
    ("CONNECT", "拨号连接", "Connect"),                  # button, 50 units (hidden)
    ("DISCONNECT", "断开连接", "Disconnect"),            # button, 50 units (hidden)
    ("SAVESETTING", "保存配置", "Save"),                 # button, 50 units
    ("DRIVERIN", "驱动安装 >", "Install >"),             # button, 55 units
    ("ABORT", "关于", "About"),                          # button, 41 units
    ("Cancel", "退出", "Exit"),                          # button, 41 units
    ("lan", "语言:", "Lang:"),                           # label, 20 units
]

# Status messages: key, when it is shown, the Chinese and the English text.
MESSAGES = [
    ("pleaseset", "when the dialog opens",
     "请填写拨号参数，然后点击“驱动安装”。",
     "Fill in the dial-up settings, then click Install."),
    ("saveset", "after Save",
     "配置已保存。",
     "Settings saved."),
    ("insetupdriver", "when the install starts",
     "正在安装调制解调器驱动，请稍候……",
     "Installing the modem driver, please wait..."),
    ("modemsetsu", "when the modem and the dial-up connection are ready",
     "调制解调器已安装，拨号连接已创建。",
     "Modem installed and dial-up connection created."),
    ("conectting", "when dialling starts",
     "正在连接……",
     "Connecting..."),
    ("connectsucess", "when the connection is up",
     "连接成功。",
     "Connected."),
    ("intimeout", "when the connection did not come up in time",
     "连接超时，请检查设置后重试。",
     "The connection timed out. Check the settings and try again."),
    ("disconnecting", "when hanging up starts",
     "正在断开连接……",
     "Disconnecting..."),
    ("dissucess", "when the connection is closed",
     "连接已断开。",
     "Disconnected."),
    ("roamingask", "in a question before a dial, when the phone is roaming and roaming=ask",
     "手机正在漫游，使用的是其他运营商的网络：数据费用可能高得多。仍要拨号吗？",
     "The phone is roaming, on another operator's network: data may cost much more. Dial anyway?"),
    ("roamingdenied", "when a dial is refused because the phone is roaming and roaming=deny",
     "未拨号：手机正在漫游，且 Setting.ini 中设置为 roaming=deny。",
     "Not dialled: the phone is roaming, and Setting.ini says roaming=deny."),
    ("roamingdeclined", "when a dial is refused because the phone is roaming and nobody agreed to it",
     "未拨号：手机正在漫游，且未同意在漫游时拨号。",
     "Not dialled: the phone is roaming, and dialling while roaming was not agreed to."),
    ("entrykept", "after an install that found a dial-up connection of that name there before it (%s: its name)",
     "调制解调器已安装。拨号连接“%s”在安装前已存在，已保持原样（在 Setting.ini 中设置 replace_entry=1 可替换它）。",
     "Modem installed. The dial-up connection \"%s\" was there before and is kept as it was "
     "(replace_entry=1 in Setting.ini replaces it)."),
    ("apnnotvalid", "in a message box when Save finds an APN with other characters than an APN has",
     "APN只能包含字母、数字、“.”、“-”和“_”。未保存任何内容：您的更改仍在对话框中。",
     "The APN may hold only letters, digits, '.', '-' and '_'. Nothing was saved: your changes are still in the dialog."),
]

# Why a driver file cannot be installed, shown in a message box of its own before the install
# gives up: key, what it says, the Chinese and the English text. "%s" stands for the detail
# named in the comment; the English texts are also the program's own (modem/InfCheck.cpp).
INF_PROBLEMS = [
    ("infmissing", "the driver file is missing or cannot be read (%s: the file)",
     "调制解调器驱动文件 %s 不存在或无法读取。",
     "The modem driver file %s is missing or cannot be read."),
    ("infnotinf", "the driver file is not an INF file Windows can read (%s: the file)",
     "调制解调器驱动文件 %s 不是有效的 INF 文件。",
     "The modem driver file %s is not a valid INF file."),
    ("infnotmodem", "the driver file is for another kind of device (%s: its device class)",
     "该驱动文件不是调制解调器驱动：其设备类别为 %s。",
     "The driver file is not a modem driver: its device class is %s."),
    ("infnomodel", "the driver file has no driver for the phone on this Windows (%s: the hardware id)",
     "调制解调器驱动文件中没有适用于此 Windows 版本、硬件 ID 为 %s 的驱动。",
     "The modem driver file has no driver for the hardware id %s on this version of Windows."),
    ("infnoinstall", "a section the install needs is missing (%s: the section)",
     "调制解调器驱动文件不完整：缺少节 [%s]。",
     "The modem driver file is incomplete: its section [%s] is missing."),
    ("infnofile", "a file the driver installs is not beside it (%s: the file, relative to the driver file)",
     "调制解调器驱动要安装的文件 %s 不在驱动文件所在的文件夹中。",
     "The file %s, which the modem driver installs, is not in the folder of the driver file."),
]

# The phone check's texts (the Settings dialog's "Check phone" button, the Phone dialog, the PIN
# dialog): key, the Chinese and the English text. "%s" stands for a port or a network id. Vantaro
# shows its own English text for a key that is missing.
PHONE_TEXTS = [
    ("checkphone", "检测手机", "Check phone"),              # button, 52 units
    ("phonetitle", "手机检测", "Phone check"),
    ("useport", "使用此端口", "Use this port"),             # button, 62 units
    ("checkagain", "重新检测", "Check again"),              # button, 58 units
    ("enterpin", "输入PIN码...", "Enter PIN..."),           # button, 68 units
    ("unlockpuk", "用PUK码解锁...", "Unlock with PUK..."),  # the same button, for a SIM that wants its PUK
    ("changepin", "修改PIN码...", "Change PIN..."),         # button, 60 units
    ("pinlock", "PIN码锁定...", "PIN lock..."),             # button, 56 units
    ("phoneclose", "关闭", "Close"),
    ("usesettings", "使用此设置", "Use these settings"),    # button, 76 units
    ("pintitle", "输入PIN码", "Enter PIN"),
    ("pinlabel", "SIM卡的PIN码（4到8位数字）:", "PIN of the SIM (4 to 8 digits):"),
    ("pinok", "确定", "OK"),
    ("pincancel", "取消", "Cancel"),
    ("puktitle", "用PUK码解锁", "Unlock with PUK"),
    ("puklabel", "SIM卡的PUK码（8位数字）:", "PUK of the SIM (8 digits):"),
    ("changepintitle", "修改PIN码", "Change PIN"),
    ("oldpinlabel", "当前PIN码（4到8位数字）:", "Current PIN (4 to 8 digits):"),
    ("newpinlabel", "新PIN码（4到8位数字）:", "New PIN (4 to 8 digits):"),
    ("newpinagain", "再次输入新PIN码:", "New PIN again:"),
    ("locktitle", "PIN码锁定", "PIN lock"),
    ("lastpintry", "最后一次机会：PIN码错误将锁住SIM卡。仍然发送。",
     "Last try: a wrong PIN locks the SIM. Send it all the same."),
    ("lastpuktry", "最后一次机会：PUK码错误将使SIM卡无法使用。仍然发送。",
     "Last try: a wrong PUK makes the SIM unusable. Send it all the same."),
    ("maybelastpintry", "剩余次数未知：PIN码错误可能锁住SIM卡。仍然发送。",
     "Tries left not known: a wrong PIN may lock the SIM. Send it all the same."),
    ("maybelastpuktry", "剩余次数未知：PUK码错误可能使SIM卡无法使用。仍然发送。",
     "Tries left not known: a wrong PUK may make the SIM unusable. Send it all the same."),
    ("colport", "端口", "Port"),
    ("colphone", "手机", "Phone"),
    ("colsim", "SIM卡", "SIM"),
    ("colsignal", "信号", "Signal"),
    ("colnetwork", "网络", "Network"),
    ("checking", "正在检测……", "checking..."),
    ("noanswer", "无应答", "no answer"),
    ("portbusy", "被其他程序占用", "in use by another program"),
    ("notamodem", "不是调制解调器", "not a modem"),
    ("portrefused", "无法打开", "cannot be opened"),
    ("simready", "就绪", "ready"),
    ("simpin", "需要PIN码", "PIN needed"),
    ("simpuk", "需要PUK码", "PUK needed"),
    ("nosim", "无SIM卡", "no SIM"),
    ("simpin2", "就绪（PIN2已锁）", "ready (PIN2 locked)"),
    ("simphonelock", "需要手机密码", "phone code needed"),
    ("simnetlock", "手机已锁定网络", "phone locked to a network"),
    ("triesleft", "还剩%s次", "%s tries left"),
    ("onetryleft", "仅剩1次", "1 try left"),
    ("triesunknown", "剩余次数未知", "tries left not known"),  # after a code whose tries were not read back
    ("signalunknown", "未知", "unknown"),
    ("nethome", "本地网络", "home"),
    ("netroaming", "漫游", "roaming"),
    ("netsearching", "正在搜索", "searching"),
    ("netdenied", "被拒绝", "denied"),
    ("netnone", "未注册", "not registered"),
    ("phonechecking", "正在检测端口……", "Checking the ports..."),
    ("noports", "端口列表为空，没有可检测的端口。", "The port list is empty: there is no port to check."),
    ("modemon", "手机的调制解调器在 %s 上。", "The phone's modem is on %s."),
    ("nomodem", "没有端口以调制解调器应答。手机是否已开机并连接？",
     "No port answered as a modem. Is the phone on and plugged in?"),
    ("severalmodems", "有多个端口以调制解调器应答，请选择一个。", "Several ports answered as modems: choose one."),
    ("pinsending", "正在发送PIN码……", "Sending the PIN..."),
    ("pinaccepted", "手机已接受PIN码。正在重新读取SIM卡……",
     "The phone took the PIN. The SIM is read again..."),
    ("pinrejected", "手机拒绝了PIN码。请核对后再试：多次输错会锁住SIM卡。",
     "The phone refused the PIN. Check it before you try again: a few wrong PINs lock the SIM."),
    ("pinnotvalid", "PIN码为4到8位数字。未发送任何内容。", "A PIN is 4 to 8 digits. Nothing was sent."),
    ("pinnoanswer", "手机没有回应PIN码。", "The phone did not answer the PIN."),
    ("pinnotopened", "无法打开端口发送PIN码。", "The port could not be opened to send the PIN."),
    ("puknotvalid", "PUK码为8位数字。未发送任何内容。", "A PUK is 8 digits. Nothing was sent."),
    ("newpinsdiffer", "两次输入的新PIN码不一致。未发送任何内容。",
     "The new PIN and its repetition differ. Nothing was sent."),
    ("confirmlasttry", "这是最后一次机会：请勾选确认框后再发送。", "This is the last try: tick the box to send it."),
    ("confirmunknowntry", "剩余次数未知：请勾选确认框后再发送。", "The tries left are not known: tick the box to send it."),
    ("pinblocked", "SIM卡已被锁住，需要PUK码：请点击“用PUK码解锁...”（PUK码随SIM卡提供）。",
     "The SIM is now blocked and wants its PUK: click Unlock with PUK... (the PUK came with the SIM)."),
    ("puksending", "正在发送PUK码和新PIN码……", "Sending the PUK and the new PIN..."),
    ("pukaccepted", "SIM卡已解锁并设置了新PIN码。正在重新读取SIM卡……",
     "The SIM is unlocked and has its new PIN. The SIM is read again..."),
    ("pukrejected", "手机拒绝了PUK码。请核对后再试。", "The phone refused the PUK. Check it before you try again."),
    ("pinchanged", "SIM卡的PIN码已修改。", "The SIM's PIN is changed."),
    ("locksending", "正在发送PIN码以设置PIN码锁定……", "Sending the PIN to the PIN lock..."),
    ("lockreading", "正在读取SIM卡的PIN码锁定状态……", "Reading the SIM's PIN lock..."),
    ("lockison", "PIN码锁定已开启。输入PIN码以关闭。", "The PIN lock is on. Enter the PIN to turn it off."),
    ("lockisoff", "PIN码锁定已关闭。输入PIN码以开启。", "The PIN lock is off. Enter the PIN to turn it on."),
    ("lockunknown", "手机没有说明PIN码锁定是否开启。", "The phone does not say whether the PIN lock is on."),
    ("lockturnedon", "PIN码锁定已开启：手机开机时SIM卡会要求输入PIN码。",
     "The PIN lock is on: the SIM asks for its PIN when the phone starts."),
    ("lockturnedoff", "PIN码锁定已关闭：SIM卡无需PIN码即可使用。", "The PIN lock is off: the SIM works without its PIN."),
    ("proposalfor", "SIM卡运营商 %s 的设置:", "Settings for the SIM's operator %s:"),
    ("proposalbyname", "按 SIM 卡的名称 %s 选择。", "Chosen by the SIM's name %s."),
    ("proposalvisited", "网络 %s 的设置（手机所在的网络；漫游时不是SIM卡自己的）:",
     "Settings for network %s (the one the phone is on; when roaming, not the SIM's own):"),
    ("nooperator", "不知道SIM卡的运营商，无法建议设置。", "The SIM's operator is not known: no settings to propose."),
    ("notindatabase", "数据库中没有运营商 %s，无法建议设置。",
     "The operator %s is not in the database: no settings to propose."),
    ("noapnlisted", "数据库没有列出运营商 %s 的APN。", "The database lists no APN for the operator %s."),
    ("nothingusable", "数据库中运营商 %s 的APN不适合设置栏。",
     "The database's APNs for the operator %s do not fit the settings' fields."),
    ("settingsapplied", "设置已填入设置对话框：保存或安装驱动后生效。",
     "The settings are in the Settings dialog: Save or Install keeps them."),
    # The balance: the Phone dialog's button and the Balance dialog (%s: the code sent, or
    # what the phone answered when it refused it).
    ("balance", "查询余额...",
     "Balance..."),
    ("balancedisconnect", "查询余额（请先断开连接）",
     "Balance (disconnect first)"),
    ("balancetitle", "查询余额",
     "Balance"),
    ("ussdcodelabel", "发送的代码（数字、* 和 #）：",
     "Code to send (digits, * and #):"),
    ("ussdanswerlabel", "对菜单的回复（数字、* 和 #）：",
     "Your answer to the menu (digits, * and #):"),
    ("ussdsend", "发送",
     "Send"),
    ("ussdwaiting", "正在等待网络回复（最多30秒）...",
     "Waiting for the network's answer (at most 30 seconds)..."),
    ("ussdnocode", "数据库中没有此SIM卡运营商的余额查询代码，请输入运营商提供的代码。",
     "The database has no balance code for this SIM's operator: type the one the operator gives."),
    ("ussdnotdialable", "未发送：代码只能包含数字、* 和 #。",
     "Not sent: a code has only digits, * and #."),
    ("ussdempty", "未发送：请先输入代码。",
     "Not sent: type a code first."),
    ("ussdtoolong", "未发送：代码最多160个字符。",
     "Not sent: a code has at most 160 characters."),
    ("ussdmenu", "网络要求回复：请输入回复并点击“发送”。",
     "The network asks for an answer: type it and click Send."),
    ("ussdanswered", "网络对 %s 的回复。",
     "The network's answer to %s."),
    ("ussdended", "网络已结束会话。",
     "The network ended the session."),
    ("ussdotherclient", "手机上的另一个程序接收了回复。",
     "Another program on the phone took the answer."),
    ("ussdnotsupported", "网络或手机不支持此代码。",
     "The network or the phone does not offer this code."),
    ("ussdnettimeout", "网络回复超时，会话已结束。",
     "The network took too long and ended the session."),
    ("ussdtimeout", "30秒内网络没有回复。",
     "No answer from the network within 30 seconds."),
    ("ussdrefused", "手机拒绝了此代码（%s）。",
     "The phone refused the code (%s)."),
    ("ussdportbusy", "手机端口正被连接或其他程序占用：请先断开连接。",
     "The phone's port is in use, by a connection or another program: disconnect first."),
    ("ussdportmissing", "无法打开手机端口。手机是否仍已连接？",
     "The phone's port cannot be opened. Is the phone still plugged in?"),
    ("ussdportlost", "手机停止响应。",
     "The phone stopped answering."),
    ("ussdunknowncoding", "Vantaro无法识别回复的编码：以十六进制显示。",
     "The answer's coding is not one Vantaro reads: it is shown as hex."),
    # The connection's statistics line (%1 time, %2 and %3 bytes, %4 and %5 speeds), the
    # billing period's use (%1 the day it started, %2 its bytes, %3 the limit) and where it is
    # heading (%1 the bytes at its end, %2 its last day), and a link that went down without the
    # user's Disconnect. A day is linkdate: %1 the day, %2 the month's name from linkmonthnames.
    ("linkstats", "已连接 %1   接收 %2   发送 %3   下行 %4   上行 %5",
     "Connected %1   Received %2   Sent %3   Down %4   Up %5"),
    ("linkperiod", "自%1已用 %2", "Since %1: %2"),
    ("linkperiodlimit", "自%1已用 %2，上限 %3", "Since %1: %2 of %3"),
    ("linkprojection", "按此速度至%2约 %1", "at this rate %1 by %2"),
    ("linkdate", "%2月%1日", "%1 %2"),
    ("linkmonthnames", "1 2 3 4 5 6 7 8 9 10 11 12", "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec"),
    ("linkdropped", "连接已断开", "link dropped"),
    # Redialling after a dropped link or a failed dial (%1 the wait in seconds, %2 the attempt,
    # %3 the attempts allowed), and why the redials stopped.
    ("linkredial", "%1 秒后重新拨号（第 %2 次，共 %3 次）。", "Redialling in %1 s (attempt %2 of %3)."),
    ("linkapntry", "正在尝试 APN %1（第 %2 个，共 %3 个）...", "Trying APN %1 (%2 of %3)..."),
    ("linkapnnone", "正在不带 APN 尝试，使用网络默认值（第 %2 个，共 %3 个）...",
     "Trying without an APN, the network's default (%2 of %3)..."),
    ("linkgaveup", "Vantaro 已停止重新拨号。", "Vantaro stopped redialling."),
    ("linkgaveupfinal", "网络拒绝了登录或连接：请检查用户名、密码和APN。",
     "The network refused the login or the link: check the user name, password and APN."),
    ("linkgaveupport", "调制解调器的端口不存在或被其他程序占用。",
     "The modem's port is missing or held by another program."),
    ("linkgaveupsim", "SIM卡已锁定：请用“检测手机”输入PIN码。", "The SIM is locked: enter its PIN with Check phone."),
    ("linkgaveupattempts", "所有重新拨号均未成功。", "Every redial attempt failed."),
    # The monthly limit (%1 the month's bytes, %2 the limit).
    ("linklimitwarn", "本月流量已用 90 %：%1，上限 %2。", "90 % of this month's limit is used: %1 of %2."),
    ("linklimit", "本月流量已达上限：%1，上限 %2。", "This month's limit is reached: %1 of %2."),
    ("linklimithangup", "本月流量已达上限：%1，上限 %2。Vantaro 已断开连接，不再重新拨号。",
     "This month's limit is reached: %1 of %2. Vantaro hangs up and does not redial."),
    # The notification-area icon: its tooltip when no link is up, and a command of its menu.
    ("traynotconnected", "未连接", "Not connected"),
    ("trayopen", "打开设置", "Open settings"),
    ("dialportbusy", "手机端口正被手机检测或查询余额窗口使用：请关闭该窗口后再连接。",
     "The phone's port is in use by the Phone or Balance dialog: connect once it is closed."),
]

HEAD = """\
; Vantaro settings. Vantaro reads this file at start and writes the [Setting] values and
; the language back when you save. Lines starting with ";" are notes for you.

[Setting]
; Dial number, user and password of the dial-up connection.
number=*99#
username=
password=
; Modem init string; rebuilt from the APN whenever the dialog shows it.
init=at+eslp=0;+cgdcont=1,"IP","cmnet"
; Connection type: 1 = GPRS, 0 = CSD.
conn_mode=1
apn=cmnet
; DNS servers, as four numbers joined by dots; empty lets the network choose.
dns1=
dns2=
; Name of the dial-up entry that the install creates.
connection_name=GPRS Connection
default_connection_name=GPRS Connection
; How many operatorN keys of [Operators] are read.
max_operator_num=500
modem_inf_file64=modem_inf64.inf
; Dialling again after a dropped link or a failed dial: 1 = on, 0 = off; how many attempts
; (0 to 100); the first wait in seconds (1 to 600), doubled for each attempt up to 600.
redial=1
redial_attempts=5
redial_first_wait=5
; 1 = when the network refuses the APN, try the Phone dialog's other APNs in turn (Use these
; settings turns it on); 0 = dial the APN of the Settings dialog alone.
apn_try_all=0
; Megabytes a month, received and sent together: at 90 % Vantaro warns, at 100 % it says so;
; 0 = no limit. limit_action: warn, or disconnect (hang up and do not redial).
monthly_limit_mb=0
limit_action=warn
; The day of the month (1 to 28) that the operator's billing period starts on: the month's
; bytes and its limit count from 00:00 that day until the day before it in the next month.
billing_day=1
; A phone that is roaming when Connect is clicked: ask, allow or deny.
roaming=ask
; A dial-up connection of connection_name that was there before the install: 0 = keep it as it
; was, 1 = replace it. Either way the uninstall leaves it, as Vantaro did not make it.
replace_entry=0

[BaseSetting]
; Interface language: 0 = Chinese, 1 = English.
language=0
; The phone's modem driver, looked for beside Vantaro.exe.
modem_inf_file=modem_inf.inf
modem_inf_file64=modem_inf64.inf
hardwareid_in_inf=USB\\VID_1782&PID_0003&MI_01

[Operators]
operator1=China Mobile
operator2=China Unicom

[China Mobile]
number=*99***1#

[China Unicom]
number=*99#

; The texts of the Settings dialog, one section per language. Captions first, then the
; messages of the status line, then why a modem driver cannot be installed. A missing caption
; leaves its control blank; a missing status message shows its key instead, a missing driver
; message its English text. Keep captions short: the dialog does not grow to fit them.
"""

LANGUAGE_NOTES = {
    "Chinese": "; Chinese texts, saved in GBK (code page 936): edit them on a Chinese Windows, or\n"
               "; with an editor set to GBK / GB2312, and save in the same encoding.\n",
    "English": "; English texts.\n",
}


def section(name, column):
    lines = [LANGUAGE_NOTES[name].rstrip("\n"), f"[{name}]", "; Captions"]
    lines += [f"{key}={texts[column]}" for key, *texts in CAPTIONS]
    lines.append("; Status messages")
    for key, shown, *texts in MESSAGES:
        lines.append(f"; {shown}")
        lines.append(f"{key}={texts[column]}")
    lines.append("; Why the modem driver cannot be installed")
    for key, says, *texts in INF_PROBLEMS:
        lines.append(f"; {says}")
        lines.append(f"{key}={texts[column]}")
    lines.append("; The phone check")
    lines += [f"{key}={texts[column]}" for key, *texts in PHONE_TEXTS]
    return "\n".join(lines) + "\n"


def main():
    text = HEAD + "\n" + section("Chinese", 0) + "\n" + section("English", 1)
    data = text.replace("\n", "\r\n").encode("gbk")
    english = section("English", 1).encode("ascii")  # the English texts must stay plain ASCII
    assert english
    target = Path(__file__).resolve().parent / "Setting.ini"
    target.write_bytes(data)
    print(f"wrote {target} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
