<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ModeChangeTexts</name>
    <message>
        <source>Switching mode...
Don&apos;t disconnect the USB cable.</source>
        <translation>モードを切り替えています...
USBケーブルを抜かないでください。</translation>
    </message>
    <message>
        <source>Wait a minute...</source>
        <translation>しばらくお待ちください...</translation>
    </message>
    <message>
        <source>Device not found.</source>
        <translation>デバイスが見つかりません。</translation>
    </message>
    <message>
        <source>CPLD  file NG(1)</source>
        <translation>CPLDファイル NG(1)</translation>
    </message>
    <message>
        <source>CPLD  file NG(2)</source>
        <translation>CPLDファイル NG(2)</translation>
    </message>
    <message>
        <source>CPLD  file NG(3)</source>
        <translation>CPLDファイル NG(3)</translation>
    </message>
    <message>
        <source>CPLD  file NG(4)</source>
        <translation>CPLDファイル NG(4)</translation>
    </message>
    <message>
        <source>CPLD file not found!</source>
        <translation>CPLDファイルが見つかりません!</translation>
    </message>
    <message>
        <source>Selected CPLD firmware version is the same or old thing.
 Are you sure you want to write this CPLD firmware?</source>
        <translation>選択されたCPLDファームウェアのバージョンは同じか古いものです。
このCPLDファームウェアを書き込んでもよろしいですか?</translation>
    </message>
    <message>
        <source>CPLD Update Faiedl![%d]</source>
        <translation>CPLDの更新に失敗しました![%d]</translation>
    </message>
    <message>
        <source>Please connect the VELIX.</source>
        <translation>VELIXを接続してください。</translation>
    </message>
    <message>
        <source>If you want to switch the mode,
 please select the mode and click [Update] button.</source>
        <translation>モードを切り替える場合は、
モードを選択して[更新]ボタンをクリックしてください。</translation>
    </message>
    <message>
        <source>Analyzer Mode</source>
        <translation>アナライザモード</translation>
    </message>
    <message>
        <source>Monitor Mode</source>
        <translation>モニタモード</translation>
    </message>
    <message>
        <source>Can not obtain</source>
        <translation>取得できません</translation>
    </message>
    <message>
        <source>Now ready to switch the mode of the VELIX.
Unplug the USB cable, and insert again, please click [OK].</source>
        <translation>VELIXのモードを切り替える準備ができました。
USBケーブルを抜いて再度差し込み、[OK]をクリックしてください。</translation>
    </message>
    <message>
        <source>Firmware may have been corrupted.
Please exit this program, and start the firmware update tool.</source>
        <translation>ファームウェアが破損している可能性があります。
このプログラムを終了し、ファームウェア更新ツールを起動してください。</translation>
    </message>
    <message>
        <source>Start the Analyzer Mode operation.
Unplug the USB cable, and insert again, please click [OK].</source>
        <translation>アナライザモードの動作を開始します。
USBケーブルを抜いて再度差し込み、[OK]をクリックしてください。</translation>
    </message>
    <message>
        <source>Start the Monitor Mode operation.
Unplug the USB cable, and insert again, please click [OK].</source>
        <translation>モニタモードの動作を開始します。
USBケーブルを抜いて再度差し込み、[OK]をクリックしてください。</translation>
    </message>
    <message>
        <source>Switching has been completed. Please exit.</source>
        <translation>切り替えが完了しました。終了してください。</translation>
    </message>
</context>
<context>
    <name>velix::modechange::ModeChangeDialog</name>
    <message>
        <source>VELIX Mode change tool</source>
        <translation>VELIX モード切替ツール</translation>
    </message>
    <message>
        <source>Analyzer mode</source>
        <translation>アナライザモード</translation>
    </message>
    <message>
        <source>Monitor mode</source>
        <translation>モニタモード</translation>
    </message>
    <message>
        <source>Switching mode selection</source>
        <translation>切替モードの選択</translation>
    </message>
    <message>
        <source>Serial EEPROM</source>
        <translation>シリアルEEPROM</translation>
    </message>
    <message>
        <source>Flash ROM</source>
        <translation>フラッシュROM</translation>
    </message>
    <message>
        <source>CPLD</source>
        <translation>CPLD</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Current mode</source>
        <translation>現在のモード</translation>
    </message>
</context>
</TS>
