; What the setup and its uninstaller say, in the languages of Vantaro.nsi (UTF-8, with its byte
; order mark so that makensis reads it as such).

LangString X86OnX64 ${LANG_ENGLISH} "This is the setup of the 32-bit Vantaro. It works on this 64-bit Windows, but the 64-bit setup (Vantaro-${VERSION}-x64-setup.exe) fits it better."
LangString X86OnX64 ${LANG_SIMPCHINESE} "这是 32 位 Vantaro 的安装程序。它可以在这台 64 位 Windows 上使用，但 64 位安装程序 (Vantaro-${VERSION}-x64-setup.exe) 更适合。"
LangString Replacing ${LANG_ENGLISH} "Replacing the Vantaro in $R0 (its settings are kept)"
LangString Replacing ${LANG_SIMPCHINESE} "正在替换 $R0 中的 Vantaro（保留其设置）"
LangString StillRunning ${LANG_ENGLISH} "Vantaro is running. Close it, then uninstall again. Nothing was removed."
LangString StillRunning ${LANG_SIMPCHINESE} "Vantaro 正在运行。请先关闭它，然后重新卸载。没有删除任何内容。"
LangString RemovalFailed ${LANG_ENGLISH} "Vantaro could not remove the modem, the dial-up connection or the driver it installed (exit code $0; Vantaro.log in $INSTDIR says why). The program stays, so that you can try again."
LangString RemovalFailed ${LANG_SIMPCHINESE} "Vantaro 无法删除它安装的调制解调器、拨号连接或驱动程序（退出代码 $0；原因见 $INSTDIR 中的 Vantaro.log）。程序仍保留，以便您再试一次。"
LangString RemovalNeedsAdministrator ${LANG_ENGLISH} "Windows refused to remove the modem for want of rights. Run the uninstall as an administrator. Nothing was removed."
LangString RemovalNeedsAdministrator ${LANG_SIMPCHINESE} "由于权限不足，Windows 拒绝删除调制解调器。请以管理员身份运行卸载程序。没有删除任何内容。"
LangString RemovalNeedsRestart ${LANG_ENGLISH} "Windows removes the modem only after a restart. Restart Windows, then uninstall Vantaro again."
LangString RemovalNeedsRestart ${LANG_SIMPCHINESE} "Windows 需要重新启动后才能删除调制解调器。请重新启动 Windows，然后再次卸载 Vantaro。"
LangString InstalledByMsi ${LANG_ENGLISH} "Vantaro is installed here from its MSI package (product $0). Update it with a newer MSI package, or remove it first (msiexec /x $0), then run this setup again. Nothing was changed."
LangString InstalledByMsi ${LANG_SIMPCHINESE} "此计算机上的 Vantaro 是从其 MSI 安装包安装的（产品 $0）。请用更新的 MSI 安装包更新它，或先删除它（msiexec /x $0），然后重新运行此安装程序。未做任何更改。"
