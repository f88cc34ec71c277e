<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ArrowSpin</name>
    <message>
        <source> backward</source>
        <translation> 後退</translation>
    </message>
    <message>
        <source> forward</source>
        <translation> 前進</translation>
    </message>
</context>
<context>
    <name>CTabbedViewView</name>
    <message>
        <source>DATA MISO</source>
        <translation>データ MISO</translation>
    </message>
    <message>
        <source>DATA MOSI</source>
        <translation>データ MOSI</translation>
    </message>
    <message>
        <source>DATA MISO+MOSI</source>
        <translation>データ MISO+MOSI</translation>
    </message>
    <message>
        <source>DATA</source>
        <translation>データ</translation>
    </message>
    <message>
        <source>Packet</source>
        <translation>パケット</translation>
    </message>
    <message>
        <source>Timing</source>
        <translation>タイミング</translation>
    </message>
</context>
<context>
    <name>DlgCaptureSetting</name>
    <message>
        <source>SPI</source>
        <translation>SPI</translation>
    </message>
    <message>
        <source>I2C #0(Main)</source>
        <translation>I2C #0(メイン)</translation>
    </message>
    <message>
        <source>I2C #1(Sub)</source>
        <translation>I2C #1(サブ)</translation>
    </message>
    <message>
        <source>Oneshot</source>
        <translation>ワンショット</translation>
    </message>
    <message>
        <source>Free run</source>
        <translation>フリーラン</translation>
    </message>
    <message>
        <source>50MHz</source>
        <translation>50MHz</translation>
    </message>
    <message>
        <source>20MHz</source>
        <translation>20MHz</translation>
    </message>
    <message>
        <source>10MHz</source>
        <translation>10MHz</translation>
    </message>
    <message>
        <source>BUS ANALYZER MODE</source>
        <translation>バスアナライザモード</translation>
    </message>
    <message>
        <source>MONITOR MODE</source>
        <translation>モニタモード</translation>
    </message>
    <message>
        <source>Capture settings</source>
        <translation>キャプチャ設定</translation>
    </message>
    <message>
        <source>(If there is no problem, please use default value
 of driver buffer size.)</source>
        <translation>(特に問題がなければ、ドライババッファサイズは
既定値のままお使いください。)</translation>
    </message>
    <message>
        <source>Capture Bus</source>
        <translation>キャプチャ対象バス</translation>
    </message>
    <message>
        <source>Capture Mode</source>
        <translation>キャプチャモード</translation>
    </message>
    <message>
        <source>Sampling frequency</source>
        <translation>サンプリング周波数</translation>
    </message>
    <message>
        <source>Capture Data size (MB)</source>
        <translation>キャプチャデータサイズ (MB)</translation>
    </message>
    <message>
        <source>Driver Buffer size (MB)</source>
        <translation>ドライババッファサイズ (MB)</translation>
    </message>
    <message>
        <source>TRIGGER setting...</source>
        <translation>トリガー設定...</translation>
    </message>
    <message>
        <source>SPI setting...</source>
        <translation>SPI設定...</translation>
    </message>
    <message>
        <source>I2C setting...</source>
        <translation>I2C設定...</translation>
    </message>
    <message>
        <source>General setting...</source>
        <translation>その他の設定...</translation>
    </message>
    <message>
        <source>Start Capture</source>
        <translation>キャプチャ開始</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>DlgGeneral</name>
    <message>
        <source>Power OFF</source>
        <translation>電源OFF</translation>
    </message>
    <message>
        <source>1.8 V</source>
        <translation>1.8 V</translation>
    </message>
    <message>
        <source>2.5 V</source>
        <translation>2.5 V</translation>
    </message>
    <message>
        <source>3.3 V</source>
        <translation>3.3 V</translation>
    </message>
    <message>
        <source>5.0 V</source>
        <translation>5.0 V</translation>
    </message>
    <message>
        <source>OFF (no filter)</source>
        <translation>OFF (フィルタなし)</translation>
    </message>
    <message>
        <source>2clock filter</source>
        <translation>2クロックフィルタ</translation>
    </message>
    <message>
        <source>3clock filter</source>
        <translation>3クロックフィルタ</translation>
    </message>
    <message>
        <source>4clock filter</source>
        <translation>4クロックフィルタ</translation>
    </message>
    <message>
        <source>Power ON</source>
        <translation>電源ON</translation>
    </message>
    <message>
        <source>Power OFF (Power not supply)</source>
        <translation>電源OFF (電源未供給)</translation>
    </message>
    <message>
        <source>Other setting</source>
        <translation>その他の設定</translation>
    </message>
    <message>
        <source>Change the setting of power supply from VELIX. It is feared that the wrong setting may cause problems with VELIX and devices, so please take care of the setting.</source>
        <translation>VELIXからの電源供給の設定を変更します。設定を誤るとVELIXやデバイスに不具合が生じるおそれがありますので、十分に注意して設定してください。</translation>
    </message>
    <message>
        <source>Change state</source>
        <translation>変更後の状態</translation>
    </message>
    <message>
        <source>Unchanged (maintain the current status)</source>
        <translation>変更しない (現在の状態を維持)</translation>
    </message>
    <message>
        <source>If there is no problem, please use OFF(no filter).</source>
        <translation>特に問題がなければ、OFF(フィルタなし)をお使いください。</translation>
    </message>
    <message>
        <source>Lock memory on sampling<byte value="xd"/>
(You need to reboot the system to reflect the change.)
If there is no problem, please check the box.</source>
        <translation>サンプリング中はメモリをロックする<byte value="xd"/>
(変更を反映するにはシステムの再起動が必要です。)
特に問題がなければチェックを入れてください。</translation>
    </message>
    <message>
        <source>If you uncheck the box, it will easily occur probrems such as data overrun. If there is no problem, please check the box.</source>
        <translation>チェックを外すと、データオーバーランなどの問題が発生しやすくなります。特に問題がなければチェックを入れてください。</translation>
    </message>
    <message>
        <source>Current power supply state</source>
        <translation>現在の電源供給状態</translation>
    </message>
    <message>
        <source>Power supply setting</source>
        <translation>電源供給設定</translation>
    </message>
    <message>
        <source>Signal noize filter
(Analyzer mode only)</source>
        <translation>信号ノイズフィルタ
(アナライザモードのみ)</translation>
    </message>
    <message>
        <source>Temporary file path</source>
        <translation>一時ファイルの保存先</translation>
    </message>
</context>
<context>
    <name>DlgHakeiMode</name>
    <message>
        <source>Setting error.
The setting value is beyond the range
</source>
        <translation>設定エラー。
設定値が範囲外です
</translation>
    </message>
    <message>
        <source>Waveform display settings（AnalyzerMode）</source>
        <translation>波形表示設定（アナライザモード）</translation>
    </message>
    <message>
        <source>Forced display mode (SPI/I2C protocol is ignored.)</source>
        <translation>強制表示モード（SPI/I2C プロトコルを無視します）</translation>
    </message>
    <message>
        <source>Approximate time of transaction delimited</source>
        <translation>トランザクションを区切るおおよその時間</translation>
    </message>
    <message>
        <source>milli second</source>
        <translation>ミリ秒</translation>
    </message>
    <message>
        <source>Please set time within a range 1 to 4000(msec)</source>
        <translation>1～4000(msec) の範囲で時間を設定してください</translation>
    </message>
</context>
<context>
    <name>DlgI2CSetting</name>
    <message>
        <source>tHD_STA (min.)</source>
        <translation>tHD_STA (最小)</translation>
    </message>
    <message>
        <source>Hold time (repeated)START condition.</source>
        <translation>(リピート)START条件のホールド時間です。</translation>
    </message>
    <message>
        <source>tSU_STA (min.)</source>
        <translation>tSU_STA (最小)</translation>
    </message>
    <message>
        <source>Setup time for repeated START condition.</source>
        <translation>リピートSTART条件のセットアップ時間です。</translation>
    </message>
    <message>
        <source>tSU_STO (min.)</source>
        <translation>tSU_STO (最小)</translation>
    </message>
    <message>
        <source>Setup time for STOP condition.</source>
        <translation>STOP条件のセットアップ時間です。</translation>
    </message>
    <message>
        <source>tBUF (min.)</source>
        <translation>tBUF (最小)</translation>
    </message>
    <message>
        <source>Bus free time between a STOP and START condition.</source>
        <translation>STOP条件からSTART条件までのバスフリー時間です。</translation>
    </message>
    <message>
        <source>tLOW (min.)</source>
        <translation>tLOW (最小)</translation>
    </message>
    <message>
        <source>LOW period of the SCL clock.</source>
        <translation>SCLクロックのLOW期間です。</translation>
    </message>
    <message>
        <source>tHIGH (min.)</source>
        <translation>tHIGH (最小)</translation>
    </message>
    <message>
        <source>HIGH period of the SCL clock.</source>
        <translation>SCLクロックのHIGH期間です。</translation>
    </message>
    <message>
        <source>tHD_DAT (max.)</source>
        <translation>tHD_DAT (最大)</translation>
    </message>
    <message>
        <source>Data hold time.</source>
        <translation>データホールド時間です。</translation>
    </message>
    <message>
        <source>tSU_DAT(min.)</source>
        <translation>tSU_DAT(最小)</translation>
    </message>
    <message>
        <source>Data set-up time.</source>
        <translation>データセットアップ時間です。</translation>
    </message>
    <message>
        <source>FAST-MODE
default value</source>
        <translation>FAST-MODE
既定値</translation>
    </message>
    <message>
        <source>Set FAST-MODE default timing value.</source>
        <translation>FAST-MODEの既定のタイミング値を設定します。</translation>
    </message>
    <message>
        <source>STANDARD-MODE
default value</source>
        <translation>STANDARD-MODE
既定値</translation>
    </message>
    <message>
        <source>Set STANDARD-MODE default timing value.</source>
        <translation>STANDARD-MODEの既定のタイミング値を設定します。</translation>
    </message>
    <message>
        <source>HS-MODE(100pF)
default value</source>
        <translation>HS-MODE(100pF)
既定値</translation>
    </message>
    <message>
        <source>Set HS-MODE default timing value.</source>
        <translation>HS-MODEの既定のタイミング値を設定します。</translation>
    </message>
    <message>
        <source>HS-MODE(400pF)
default value</source>
        <translation>HS-MODE(400pF)
既定値</translation>
    </message>
    <message>
        <source>Set HS-MODE(400pF) default timing value.</source>
        <translation>HS-MODE(400pF)の既定のタイミング値を設定します。</translation>
    </message>
    <message>
        <source>Do you apply FAST MODE settings?</source>
        <translation>FAST MODEの設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Do you apply STANDARD MODE settings?</source>
        <translation>STANDARD MODEの設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Do you apply HS MODE(Cb=100pF) settings?</source>
        <translation>HS MODE(Cb=100pF)の設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Do you apply HS MODE(Cb=400pF) settings?</source>
        <translation>HS MODE(Cb=400pF)の設定値を適用しますか?</translation>
    </message>
    <message>
        <source>I2C Settings</source>
        <translation>I2C設定</translation>
    </message>
    <message>
        <source>I2C Signal Timing Pameter (Analyzer mode only)</source>
        <translation>I2C信号タイミングパラメータ (アナライザモードのみ)</translation>
    </message>
    <message>
        <source>FAST/STANDARD
MODE Timing</source>
        <translation>FAST/STANDARD
MODE タイミング</translation>
    </message>
    <message>
        <source>HS-MODE
 Timing</source>
        <translation>HS-MODE
タイミング</translation>
    </message>
    <message>
        <source>Specifies the minimum value. Timing errors and to determine if less than this value.</source>
        <translation>最小値を指定します。この値を下回るとタイミングエラーと判定します。</translation>
    </message>
    <message>
        <source>Specifies the maximum value. Timing errors and to determine if this value is exceeded.</source>
        <translation>最大値を指定します。この値を超えるとタイミングエラーと判定します。</translation>
    </message>
    <message>
        <source>Specifies the minimum value at the time of HS-MODE. Timing errors and to determine if less than this value.</source>
        <translation>HS-MODE時の最小値を指定します。この値を下回るとタイミングエラーと判定します。</translation>
    </message>
    <message>
        <source>Specifies the maximum value at the time of HS-MODE. Timing errors and to determine if this value is exceeded.</source>
        <translation>HS-MODE時の最大値を指定します。この値を超えるとタイミングエラーと判定します。</translation>
    </message>
    <message>
        <source>x10(ns)</source>
        <translation>x10(ns)</translation>
    </message>
    <message>
        <source>**[WARNING!!]**
If Analyzer mode, Recommended that the sampling frequency set to 50 MHz.
Otherwise, may not be properly judged.</source>
        <translation>**[警告!!]**
アナライザモードでは、サンプリング周波数を50 MHzに設定することを推奨します。
それ以外の周波数では正しく判定できない場合があります。</translation>
    </message>
    <message>
        <source>enable HS-MODE</source>
        <translation>HS-MODEを有効にする</translation>
    </message>
    <message>
        <source>When checked, enables the determination of HS MODE.</source>
        <translation>チェックすると、HS MODEの判定を有効にします。</translation>
    </message>
    <message>
        <source>Ignore NACK before STOP.
(NOTE: It is always displayed on the packet viewer, and is always ignored on “TRGOUT” )</source>
        <translation>STOP直前のNACKを無視する。
(注: パケットビューアには常に表示され、“TRGOUT”では常に無視されます)</translation>
    </message>
    <message>
        <source>When checked, Ignore NACK before Stop condition.</source>
        <translation>チェックすると、STOP条件直前のNACKを無視します。</translation>
    </message>
    <message>
        <source>TRGOUT Setting<byte value="xd"/>(MonitorMode only)</source>
        <translation>TRGOUT設定<byte value="xd"/>(モニタモードのみ)</translation>
    </message>
</context>
<context>
    <name>DlgInputTimeSec</name>
    <message>
        <source>TIME (s:ms:μs) input</source>
        <translation>時間 (s:ms:μs) 入力</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>s</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ミリ秒</translation>
    </message>
    <message>
        <source>μs</source>
        <translation>μ秒</translation>
    </message>
</context>
<context>
    <name>DlgInputTimeSpan</name>
    <message>
        <source>TIME(μs) input</source>
        <translation>時間(μs)入力</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>μs</source>
        <translation>μ秒</translation>
    </message>
</context>
<context>
    <name>DlgJumpTransaction</name>
    <message>
        <source>Jump Transaction number</source>
        <translation>トランザクション番号ジャンプ</translation>
    </message>
    <message>
        <source>First transaction</source>
        <translation>最初のトランザクション</translation>
    </message>
    <message>
        <source>Last transaction</source>
        <translation>最後のトランザクション</translation>
    </message>
    <message>
        <source>Jump to</source>
        <translation>ジャンプ先</translation>
    </message>
</context>
<context>
    <name>DlgSPISetting</name>
    <message>
        <source>SPI Settings</source>
        <translation>SPI設定</translation>
    </message>
    <message>
        <source>SCLK rising edge</source>
        <translation>SCLK立ち上がりエッジ</translation>
    </message>
    <message>
        <source>Sampling the SDI / SDO signal at the rising edge of the SCLK.</source>
        <translation>SCLKの立ち上がりエッジでSDI / SDO信号をサンプリングします。</translation>
    </message>
    <message>
        <source>SCLK falling edge</source>
        <translation>SCLK立ち下がりエッジ</translation>
    </message>
    <message>
        <source>Sampling the SDI / SDO signal at the falling edge of the SCLK.</source>
        <translation>SCLKの立ち下がりエッジでSDI / SDO信号をサンプリングします。</translation>
    </message>
    <message>
        <source>MSB first</source>
        <translation>MSBファースト</translation>
    </message>
    <message>
        <source>SDI/SDO signal data bits order : MSB -&gt; LSB.</source>
        <translation>SDI/SDO信号のデータビット順 : MSB -&gt; LSB</translation>
    </message>
    <message>
        <source>LSB first</source>
        <translation>LSBファースト</translation>
    </message>
    <message>
        <source>SDI/SDO signal data bits order : LSB -&gt; MSB.</source>
        <translation>SDI/SDO信号のデータビット順 : LSB -&gt; MSB</translation>
    </message>
    <message>
        <source>Monitor SS signal</source>
        <translation>SS信号をモニタする</translation>
    </message>
    <message>
        <source>If checked, use the SS signal.</source>
        <translation>チェックすると、SS信号を使用します。</translation>
    </message>
    <message>
        <source>SS Active LOW</source>
        <translation>SS アクティブLOW</translation>
    </message>
    <message>
        <source>Signal variation is valid when SS signal state is LOW.</source>
        <translation>SS信号がLOWの間の信号変化を有効とします。</translation>
    </message>
    <message>
        <source>SS Active HIGH</source>
        <translation>SS アクティブHIGH</translation>
    </message>
    <message>
        <source>Signal variation is valid when SS signal state is HIGH.</source>
        <translation>SS信号がHIGHの間の信号変化を有効とします。</translation>
    </message>
    <message>
        <source>SS signal: active -&gt; inactive
(Refer to SS signal setting about active/inactive)</source>
        <translation>SS信号: アクティブ -&gt; 非アクティブ
(アクティブ/非アクティブはSS信号設定に従います)</translation>
    </message>
    <message>
        <source>Terminate the transaction when SS signal state chage from active to inactive. (Depend on SS signal monitor setting.)</source>
        <translation>SS信号がアクティブから非アクティブに変化したときにトランザクションを終了します。(SS信号のモニタ設定に依存します。)</translation>
    </message>
    <message>
        <source>Transaction timeout of SCLK signal does not change</source>
        <translation>SCLK信号が変化しないときのトランザクションタイムアウト</translation>
    </message>
    <message>
        <source>SCLK signal variation time out</source>
        <translation>SCLK信号変化のタイムアウト</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>(Monitor mode: accuracy of 1 second)</source>
        <translation>(モニタモード: 精度1秒)</translation>
    </message>
    <message>
        <source>Deta length of transaction (Byte)</source>
        <translation>トランザクションのデータ長 (バイト)</translation>
    </message>
    <message>
        <source>Separate the transaction with the specified data length.</source>
        <translation>指定したデータ長でトランザクションを区切ります。</translation>
    </message>
    <message>
        <source>1st CLK EDGE MUSHI  for CUSTOM 
  (AnalyzerMode Only)</source>
        <translation>最初のCLKエッジを無視 (CUSTOM用)
(アナライザモードのみ)</translation>
    </message>
    <message>
        <source>End of transaction condition</source>
        <translation>トランザクション終了条件</translation>
    </message>
    <message>
        <source>Sampling edge (SCLK signal)</source>
        <translation>サンプリングエッジ (SCLK信号)</translation>
    </message>
    <message>
        <source>Data bit order</source>
        <translation>データビット順</translation>
    </message>
    <message>
        <source>SS signal setting</source>
        <translation>SS信号設定</translation>
    </message>
</context>
<context>
    <name>DlgSaveIndexRange</name>
    <message>
        <source>Transaction Index Range</source>
        <translation>トランザクション番号の範囲</translation>
    </message>
    <message>
        <source>Only transaction header</source>
        <translation>トランザクションヘッダのみ</translation>
    </message>
    <message>
        <source>All the data</source>
        <translation>すべてのデータ</translation>
    </message>
    <message>
        <source>Save data</source>
        <translation>保存するデータ</translation>
    </message>
</context>
<context>
    <name>DlgSearchAddress</name>
    <message>
        <source>I2C address search</source>
        <translation>I2Cアドレス検索</translation>
    </message>
    <message>
        <source>I2C address</source>
        <translation>I2Cアドレス</translation>
    </message>
    <message>
        <source>10bit ADRS mode</source>
        <translation>10ビットアドレスモード</translation>
    </message>
    <message>
        <source>Read packet</source>
        <translation>リードパケット</translation>
    </message>
    <message>
        <source>Write packet</source>
        <translation>ライトパケット</translation>
    </message>
</context>
<context>
    <name>DlgSearchBase</name>
    <message>
        <source>Next 
Search =&gt;&gt;</source>
        <translation>次を 
検索 =&gt;&gt;</translation>
    </message>
    <message>
        <source>Previous 
 Search &lt;&lt;=</source>
        <translation>前を 
 検索 &lt;&lt;=</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>DlgSearchData</name>
    <message>
        <source>Data Search</source>
        <translation>データ検索</translation>
    </message>
    <message>
        <source>Data length for search</source>
        <translation>検索するデータ長</translation>
    </message>
    <message>
        <source>Search data pattern</source>
        <translation>検索データパターン</translation>
    </message>
</context>
<context>
    <name>DlgSearchSubAddress</name>
    <message>
        <source>I2C Sub address Search</source>
        <translation>I2Cサブアドレス検索</translation>
    </message>
    <message>
        <source>Sub address length for search(Byte)</source>
        <translation>検索するサブアドレス長(バイト)</translation>
    </message>
    <message>
        <source>Sub address</source>
        <translation>サブアドレス</translation>
    </message>
</context>
<context>
    <name>DlgTransactionFilter</name>
    <message>
        <source>Transaction Filter</source>
        <translation>トランザクションフィルタ</translation>
    </message>
    <message>
        <source>Enable filter view</source>
        <translation>フィルタ表示を有効にする</translation>
    </message>
    <message>
        <source>Transaction range</source>
        <translation>トランザクション範囲</translation>
    </message>
    <message>
        <source>Start no.</source>
        <translation>開始番号</translation>
    </message>
    <message>
        <source>End no.</source>
        <translation>終了番号</translation>
    </message>
    <message>
        <source>Forced display mode only</source>
        <translation>強制表示モードのみ</translation>
    </message>
    <message>
        <source>Only transaction of signal variation</source>
        <translation>信号変化のあるトランザクションのみ</translation>
    </message>
    <message>
        <source>I2C only</source>
        <translation>I2Cのみ</translation>
    </message>
    <message>
        <source>I2C address filter</source>
        <translation>I2Cアドレスフィルタ</translation>
    </message>
    <message>
        <source>10bit ADRS mode</source>
        <translation>10ビットアドレスモード</translation>
    </message>
    <message>
        <source>I2C address
 value</source>
        <translation>I2Cアドレス
 値</translation>
    </message>
    <message>
        <source>Mask value</source>
        <translation>マスク値</translation>
    </message>
    <message>
        <source>Sub-address filter</source>
        <translation>サブアドレスフィルタ</translation>
    </message>
    <message>
        <source>Sub-address length(Byte)</source>
        <translation>サブアドレス長(バイト)</translation>
    </message>
    <message>
        <source>Sub-address data</source>
        <translation>サブアドレスデータ</translation>
    </message>
    <message>
        <source>Mask data</source>
        <translation>マスクデータ</translation>
    </message>
    <message>
        <source> Include from sub address detection to STOP condition</source>
        <translation> サブアドレス検出からSTOPコンディションまでを含める</translation>
    </message>
    <message>
        <source>Read packet</source>
        <translation>リードパケット</translation>
    </message>
    <message>
        <source>Include write packet 
for read</source>
        <translation>リードのためのライトパケットを
含める</translation>
    </message>
    <message>
        <source>Write packet</source>
        <translation>ライトパケット</translation>
    </message>
    <message>
        <source>Include from write detection to STOP condition</source>
        <translation>ライト検出からSTOPコンディションまでを含める</translation>
    </message>
    <message>
        <source>Exclude write packet for read</source>
        <translation>リードのためのライトパケットを除外する</translation>
    </message>
</context>
<context>
    <name>DlgTrigger</name>
    <message>
        <source>== (equal)</source>
        <translation>== (等しい)</translation>
    </message>
    <message>
        <source>!= (not equal)</source>
        <translation>!= (等しくない)</translation>
    </message>
    <message>
        <source>OR</source>
        <translation>OR</translation>
    </message>
    <message>
        <source>AND</source>
        <translation>AND</translation>
    </message>
    <message>
        <source>Trigger Settings (Monitor mode only)</source>
        <translation>トリガ設定 (モニタモードのみ)</translation>
    </message>
    <message>
        <source>Enable trigger (Monitor mode only)</source>
        <translation>トリガを有効にする (モニタモードのみ)</translation>
    </message>
    <message>
        <source>Trigger position (%)</source>
        <translation>トリガ位置 (%)</translation>
    </message>
    <message>
        <source>NACK detection
 ( Whether NACK before a STOP is included or not depends on I2C settings.)</source>
        <translation>NACK検出
 ( STOP直前のNACKを含むかどうかはI2C設定に従います。)</translation>
    </message>
    <message>
        <source>Data pattern enable</source>
        <translation>データパターンを有効にする</translation>
    </message>
    <message>
        <source>Data length (Byte)</source>
        <translation>データ長 (バイト)</translation>
    </message>
    <message>
        <source>Data pattern</source>
        <translation>データパターン</translation>
    </message>
    <message>
        <source>Mask pattern</source>
        <translation>マスクパターン</translation>
    </message>
    <message>
        <source>I2C only</source>
        <translation>I2Cのみ</translation>
    </message>
    <message>
        <source>enable I2C address</source>
        <translation>I2Cアドレスを有効にする</translation>
    </message>
    <message>
        <source>I2C address
 value</source>
        <translation>I2Cアドレス
 値</translation>
    </message>
    <message>
        <source>Mask value</source>
        <translation>マスク値</translation>
    </message>
    <message>
        <source>10bit address mode</source>
        <translation>10ビットアドレスモード</translation>
    </message>
    <message>
        <source>I2C address is treated as 10-bit address mode. (Uncheck the box to treat as 7-bit address mode.)</source>
        <translation>I2Cアドレスを10ビットアドレスとして扱います。(チェックを外すと7ビットアドレスとして扱います。)</translation>
    </message>
    <message>
        <source>Condition</source>
        <translation>条件</translation>
    </message>
    <message>
        <source>enable I2C sub address</source>
        <translation>I2Cサブアドレスを有効にする</translation>
    </message>
    <message>
        <source>Sub-address length (Byte)</source>
        <translation>サブアドレス長 (バイト)</translation>
    </message>
    <message>
        <source>Sub-address data</source>
        <translation>サブアドレスデータ</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>マスク</translation>
    </message>
    <message>
        <source>Combination of trigger conditions (I2C only)</source>
        <translation>トリガ条件の組み合わせ (I2Cのみ)</translation>
    </message>
    <message>
        <source>operator</source>
        <translation>演算子</translation>
    </message>
    <message>
        <source>NACK detection</source>
        <translation>NACK検出</translation>
    </message>
    <message>
        <source>{  Data pattern</source>
        <translation>{  データパターン</translation>
    </message>
    <message>
        <source>( I2C address</source>
        <translation>( I2Cアドレス</translation>
    </message>
    <message>
        <source>Sub-address )  }</source>
        <translation>サブアドレス )  }</translation>
    </message>
</context>
<context>
    <name>DlgTriggerExtIN</name>
    <message>
        <source>LOW</source>
        <translation>LOW</translation>
    </message>
    <message>
        <source>HIGH</source>
        <translation>HIGH</translation>
    </message>
    <message>
        <source>TRGIN-0 Enable</source>
        <translation>TRGIN-0 有効</translation>
    </message>
    <message>
        <source>TRGIN-1 Enable</source>
        <translation>TRGIN-1 有効</translation>
    </message>
    <message>
        <source>TRGIN-2 Enable</source>
        <translation>TRGIN-2 有効</translation>
    </message>
    <message>
        <source>TRGIN-3 Enable</source>
        <translation>TRGIN-3 有効</translation>
    </message>
    <message>
        <source>TRGIN-4 Enable</source>
        <translation>TRGIN-4 有効</translation>
    </message>
    <message>
        <source>Ext,IN Trigger(TRGIN) Settings</source>
        <translation>外部入力トリガ(TRGIN)設定</translation>
    </message>
    <message>
        <source>Enable external input trigger (TRGIN: 0-4)</source>
        <translation>外部入力トリガを有効にする (TRGIN: 0-4)</translation>
    </message>
    <message>
        <source>condition</source>
        <translation>条件</translation>
    </message>
    <message>
        <source>Trigger Setting
(MonitorMode only)</source>
        <translation>トリガ設定
(モニタモードのみ)</translation>
    </message>
    <message>
        <source>TRGOUT Setting
(MonitorMode
I2C only)</source>
        <translation>TRGOUT設定
(モニタモード
I2Cのみ)</translation>
    </message>
</context>
<context>
    <name>DlgTriggerOut</name>
    <message>
        <source>TRGOUT settings (I2C Monitor mode only)</source>
        <translation>TRGOUT設定 (I2Cモニタモードのみ)</translation>
    </message>
    <message>
        <source>Enable trigger output (TRGOUT)  (I2C Monitor mode only)</source>
        <translation>トリガ出力を有効にする (TRGOUT)  (I2Cモニタモードのみ)</translation>
    </message>
    <message>
        <source>Enable I2C address</source>
        <translation>I2Cアドレスを有効にする</translation>
    </message>
    <message>
        <source>I2C address value</source>
        <translation>I2Cアドレス値</translation>
    </message>
    <message>
        <source>10bit ADRS mode</source>
        <translation>10ビットアドレスモード</translation>
    </message>
    <message>
        <source>Enable I2C sub address</source>
        <translation>I2Cサブアドレスを有効にする</translation>
    </message>
    <message>
        <source>Sub-address length</source>
        <translation>サブアドレス長</translation>
    </message>
    <message>
        <source>Sub-address data</source>
        <translation>サブアドレスデータ</translation>
    </message>
    <message>
        <source>NACK detection ( Ignore NACK before a STOP)</source>
        <translation>NACK検出 ( STOP直前のNACKを無視する)</translation>
    </message>
</context>
<context>
    <name>LogicForm</name>
    <message>
        <source>Transaction No. </source>
        <translation>トランザクション No. </translation>
    </message>
    <message>
        <source>Extend Time</source>
        <translation>時間延長</translation>
    </message>
    <message>
        <source>When checked, extends the time range of the signal display.</source>
        <translation>チェックすると、信号表示の時間範囲を延長します。</translation>
    </message>
    <message>
        <source>Show ErrorTiming</source>
        <translation>エラータイミング表示</translation>
    </message>
    <message>
        <source>Check here to mark I2C error timing on signal display.</source>
        <translation>チェックすると、信号表示上にI2Cのエラータイミングをマークします。</translation>
    </message>
    <message>
        <source>Expansion is the ratio of signal display.</source>
        <translation>信号表示の拡大率です。</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>スケール</translation>
    </message>
    <message>
        <source>Start Time</source>
        <translation>開始時間</translation>
    </message>
    <message>
        <source>Start time of signal display. Double-click here to jump near here.</source>
        <translation>信号表示の開始時間です。ダブルクリックするとこの付近へジャンプします。</translation>
    </message>
    <message>
        <source>Start time of signal display(time frame). Double-click here to jump near here.</source>
        <translation>信号表示の開始時間（タイムフレーム）です。ダブルクリックするとこの付近へジャンプします。</translation>
    </message>
    <message>
        <source>End Time</source>
        <translation>終了時間</translation>
    </message>
    <message>
        <source>End time of signal display. Double-click here to jump near here.</source>
        <translation>信号表示の終了時間です。ダブルクリックするとこの付近へジャンプします。</translation>
    </message>
    <message>
        <source>End time of signal display)time frame). Double-click here to jump near here.</source>
        <translation>信号表示の終了時間（タイムフレーム）です。ダブルクリックするとこの付近へジャンプします。</translation>
    </message>
    <message>
        <source>Waveform</source>
        <translation>波形</translation>
    </message>
    <message>
        <source>Signal of the specified transactions is displayed (waveform).</source>
        <translation>指定したトランザクションの信号を表示します（波形）。</translation>
    </message>
    <message>
        <source>When you double-click to jump to the marker position.</source>
        <translation>ダブルクリックするとマーカー位置へジャンプします。</translation>
    </message>
    <message>
        <source>Marker %1</source>
        <translation>マーカー %1</translation>
    </message>
    <message>
        <source>The time of the left edge of the waveform display. If double-click it, can directly specify the time.</source>
        <translation>波形表示の左端の時間です。ダブルクリックすると時間を直接指定できます。</translation>
    </message>
    <message>
        <source>The time of the left edge of the waveform display(time frame). If double-click it, can directly specify the time.</source>
        <translation>波形表示の左端の時間（タイムフレーム）です。ダブルクリックすると時間を直接指定できます。</translation>
    </message>
    <message>
        <source>The time of the right edge of the waveform display. If double-click it, can directly specify the time.</source>
        <translation>波形表示の右端の時間です。ダブルクリックすると時間を直接指定できます。</translation>
    </message>
    <message>
        <source>The time of the right edge of the waveform display(time frame). If double-click it, can directly specify the time.</source>
        <translation>波形表示の右端の時間（タイムフレーム）です。ダブルクリックすると時間を直接指定できます。</translation>
    </message>
    <message>
        <source>Scroll</source>
        <translation>スクロール</translation>
    </message>
    <message>
        <source>Marker Info</source>
        <translation>マーカー情報</translation>
    </message>
    <message>
        <source>The time of the Marker. If double-click it, can directly specify the time.</source>
        <translation>マーカーの時間です。ダブルクリックすると時間を直接指定できます。</translation>
    </message>
    <message>
        <source>The time of the Marker(time frame).  If double-click it, can directly specify the time.</source>
        <translation>マーカーの時間（タイムフレーム）です。ダブルクリックすると時間を直接指定できます。</translation>
    </message>
    <message>
        <source>Go to the signal changes in the forward or backward position, the marker.</source>
        <translation>マーカーを前方または後方の信号変化位置へ移動します。</translation>
    </message>
    <message>
        <source>To move forward or backward to the starting position of bytes, the marker.</source>
        <translation>マーカーを前方または後方のバイト開始位置へ移動します。</translation>
    </message>
    <message>
        <source>usec</source>
        <translation>usec</translation>
    </message>
    <message>
        <source>sec:ms:us</source>
        <translation>秒:ミリ秒:μ秒</translation>
    </message>
    <message>
        <source>Jump change signal</source>
        <translation>信号変化へジャンプ</translation>
    </message>
    <message>
        <source>Jump ByteData</source>
        <translation>バイトデータへジャンプ</translation>
    </message>
    <message>
        <source>M0 to M1</source>
        <translation>M0→M1</translation>
    </message>
    <message>
        <source>M1 to M2</source>
        <translation>M1→M2</translation>
    </message>
    <message>
        <source>M0 to M2</source>
        <translation>M0→M2</translation>
    </message>
    <message>
        <source>Time to M1 from M0.</source>
        <translation>M0からM1までの時間。</translation>
    </message>
    <message>
        <source>Time to M2 from M1.</source>
        <translation>M1からM2までの時間。</translation>
    </message>
    <message>
        <source>Time to M2 from M0.</source>
        <translation>M0からM2までの時間。</translation>
    </message>
    <message>
        <source>Time between markers.</source>
        <translation>マーカー間の時間。</translation>
    </message>
    <message>
        <source>S0 [SS/SCL #0]</source>
        <translation>S0 [SS/SCL #0]</translation>
    </message>
    <message>
        <source>S1 [SCLK/SDA #0]</source>
        <translation>S1 [SCLK/SDA #0]</translation>
    </message>
    <message>
        <source>S2 [MISO/SCL #1]</source>
        <translation>S2 [MISO/SCL #1]</translation>
    </message>
    <message>
        <source>S3 [MOSI/SDA #1]</source>
        <translation>S3 [MOSI/SDA #1]</translation>
    </message>
    <message>
        <source>SS</source>
        <translation>SS</translation>
    </message>
    <message>
        <source>SCLK</source>
        <translation>SCLK</translation>
    </message>
    <message>
        <source>[MOSI]</source>
        <translation>[MOSI]</translation>
    </message>
    <message>
        <source>[MISO]</source>
        <translation>[MISO]</translation>
    </message>
    <message>
        <source>SCL</source>
        <translation>SCL</translation>
    </message>
    <message>
        <source>SDA</source>
        <translation>SDA</translation>
    </message>
    <message>
        <source>TIME(μs) input</source>
        <translation>時間(μs)入力</translation>
    </message>
    <message>
        <source>TIME(s:ms:μs) input</source>
        <translation>時間(s:ms:μs)入力</translation>
    </message>
    <message>
        <source>Start waveform display </source>
        <translation>波形表示開始 </translation>
    </message>
    <message>
        <source>Please specify a starting position for waveform of this transaction within the following range. </source>
        <translation>このトランザクションの波形の開始位置を次の範囲内で指定してください。 </translation>
    </message>
    <message>
        <source>Please specify a starting position for waveform of this transaction within the time frame.</source>
        <translation>このトランザクションの波形の開始位置をタイムフレーム内で指定してください。</translation>
    </message>
    <message>
        <source>End waveform display</source>
        <translation>波形表示終了</translation>
    </message>
    <message>
        <source>Please specify a last position for waveform of this transaction within the following range.</source>
        <translation>このトランザクションの波形の終了位置を次の範囲内で指定してください。</translation>
    </message>
    <message>
        <source>Please specify a last position for waveform of this transaction within the time frame.</source>
        <translation>このトランザクションの波形の終了位置をタイムフレーム内で指定してください。</translation>
    </message>
    <message>
        <source>Please specify a Marker-%1 position for waveform of this transaction within the following range. </source>
        <translation>このトランザクションの波形のマーカー%1の位置を次の範囲内で指定してください。 </translation>
    </message>
    <message>
        <source>Please specify a Marker-%1 position for waveform of this transaction within the time frame.</source>
        <translation>このトランザクションの波形のマーカー%1の位置をタイムフレーム内で指定してください。</translation>
    </message>
    <message>
        <source>Waveform view</source>
        <translation>波形表示</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>Open(&amp;O)...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Save(&amp;S)</source>
        <translation>上書き保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save as(&amp;A)...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>Write Transaction Info to Text...</source>
        <translation>トランザクション情報をテキストに出力...</translation>
    </message>
    <message>
        <source>Write Transaction Info to CSV...</source>
        <translation>トランザクション情報をCSVに出力...</translation>
    </message>
    <message>
        <source>Exit(&amp;X)</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Undo(&amp;U)</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>Cut(&amp;T)</source>
        <translation>切り取り(&amp;T)</translation>
    </message>
    <message>
        <source>Copy(&amp;C)</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Paste(&amp;P)</source>
        <translation>貼り付け(&amp;P)</translation>
    </message>
    <message>
        <source>Pause Transaction updating</source>
        <translation>トランザクション表示の更新を一時停止</translation>
    </message>
    <message>
        <source>Tool bar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>Status bar(&amp;S)</source>
        <translation>ステータスバー(&amp;S)</translation>
    </message>
    <message>
        <source>I2C Setting...</source>
        <translation>I2C設定...</translation>
    </message>
    <message>
        <source>SPI Setting...</source>
        <translation>SPI設定...</translation>
    </message>
    <message>
        <source>TRIGGER Setting...</source>
        <translation>トリガー設定...</translation>
    </message>
    <message>
        <source>Transaction Filter Setting...</source>
        <translation>トランザクションフィルタ設定...</translation>
    </message>
    <message>
        <source>Forced display mode...</source>
        <translation>強制表示モード...</translation>
    </message>
    <message>
        <source>Other Setting....</source>
        <translation>その他の設定...</translation>
    </message>
    <message>
        <source>Capture Setting (START Sampling)</source>
        <translation>キャプチャ設定 (サンプリング開始)</translation>
    </message>
    <message>
        <source>Stop Sampling/Stop Analyze</source>
        <translation>サンプリング停止/解析停止</translation>
    </message>
    <message>
        <source>Jump transaction number...</source>
        <translation>トランザクション番号へジャンプ...</translation>
    </message>
    <message>
        <source>Jump Trigger transaction</source>
        <translation>トリガートランザクションへジャンプ</translation>
    </message>
    <message>
        <source>Search Data...</source>
        <translation>データ検索...</translation>
    </message>
    <message>
        <source>Search I2C ADRS...</source>
        <translation>I2Cアドレス検索...</translation>
    </message>
    <message>
        <source>Search I2C SubADRS...</source>
        <translation>I2Cサブアドレス検索...</translation>
    </message>
    <message>
        <source>Search I2C NACK...</source>
        <translation>I2C NACK検索...</translation>
    </message>
    <message>
        <source>Search Error transaction</source>
        <translation>エラートランザクション検索</translation>
    </message>
    <message>
        <source>Search Next</source>
        <translation>次を検索</translation>
    </message>
    <message>
        <source>Search Previous</source>
        <translation>前を検索</translation>
    </message>
    <message>
        <source>Version Info...</source>
        <translation>バージョン情報...</translation>
    </message>
    <message>
        <source>about Orvane(&amp;A)...</source>
        <translation>Orvaneについて(&amp;A)...</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>Function(&amp;V)</source>
        <translation>機能(&amp;V)</translation>
    </message>
    <message>
        <source>Search(&amp;S)</source>
        <translation>検索(&amp;S)</translation>
    </message>
    <message>
        <source>Info(&amp;H)</source>
        <translation>情報(&amp;H)</translation>
    </message>
    <message>
        <source>Capture end.</source>
        <translation>キャプチャ終了</translation>
    </message>
    <message>
        <source>Abort Data analysis</source>
        <translation>データ解析を中止</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>最近使ったファイル</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>標準</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>I2C SPI BusData (*.SIC)</source>
        <translation>I2C SPI バスデータ (*.SIC)</translation>
    </message>
    <message>
        <source>Are you discard the current sampling data ?
( If you need to save the data, please click No button and save it. )</source>
        <translation>現在のサンプリングデータを破棄しますか?
(データを保存する場合は[いいえ]ボタンをクリックして保存してください。)</translation>
    </message>
    <message>
        <source>VELIX not found. (not connect)</source>
        <translation>VELIXが見つかりません。(未接続)</translation>
    </message>
    <message>
        <source>VELIX is in use by another capture.</source>
        <translation>VELIXは別のキャプチャで使用中です。</translation>
    </message>
    <message>
        <source>Probably connected with USB 1.x.
 USB1.x connection is not supported.

 Continue anyway?</source>
        <translation>USB 1.xで接続されている可能性があります。
USB 1.xでの接続はサポートしていません。

このまま続行しますか?</translation>
    </message>
    <message>
        <source>WARNING!!!  *** USB XFER Fail ***
 try again, or restart!!!
</source>
        <translation>警告!!!  *** USB転送に失敗しました ***
もう一度実行するか、再起動してください!!!
</translation>
    </message>
    <message>
        <source>Capture data size need to be larger than driver buffer size.</source>
        <translation>キャプチャデータサイズはドライババッファサイズより大きくしてください。</translation>
    </message>
    <message>
        <source>Failed to set the Driver buffer size.
Please set the smaller size. 
 or reconnect VELIX and restart the application.</source>
        <translation>ドライババッファサイズの設定に失敗しました。
より小さいサイズを設定するか、
VELIXを接続し直してアプリケーションを再起動してください。</translation>
    </message>
    <message>
        <source>MONITOR MODE</source>
        <translation>モニタモード</translation>
    </message>
    <message>
        <source>BUS ANALYZER MODE</source>
        <translation>バスアナライザモード</translation>
    </message>
    <message>
        <source>SPI</source>
        <translation>SPI</translation>
    </message>
    <message>
        <source>I2C #0(Main)</source>
        <translation>I2C #0(メイン)</translation>
    </message>
    <message>
        <source>I2C #1(Sub)</source>
        <translation>I2C #1(サブ)</translation>
    </message>
    <message>
        <source>Oneshot</source>
        <translation>ワンショット</translation>
    </message>
    <message>
        <source>Free run</source>
        <translation>フリーラン</translation>
    </message>
    <message>
        <source>50MHz</source>
        <translation>50MHz</translation>
    </message>
    <message>
        <source>20MHz</source>
        <translation>20MHz</translation>
    </message>
    <message>
        <source>10MHz</source>
        <translation>10MHz</translation>
    </message>
    <message>
        <source>(If there is no problem, please use default value
 of driver buffer size.)</source>
        <translation>(特に問題がなければ、ドライババッファサイズは
既定値のままお使いください。)</translation>
    </message>
    <message>
        <source>Power OFF</source>
        <translation>電源OFF</translation>
    </message>
    <message>
        <source>1.8 V</source>
        <translation>1.8 V</translation>
    </message>
    <message>
        <source>2.5 V</source>
        <translation>2.5 V</translation>
    </message>
    <message>
        <source>3.3 V</source>
        <translation>3.3 V</translation>
    </message>
    <message>
        <source>5.0 V</source>
        <translation>5.0 V</translation>
    </message>
    <message>
        <source>Power ON</source>
        <translation>電源ON</translation>
    </message>
    <message>
        <source>Power OFF (Power not supply)</source>
        <translation>電源OFF (電源未供給)</translation>
    </message>
    <message>
        <source>OFF (no filter)</source>
        <translation>OFF (フィルタなし)</translation>
    </message>
    <message>
        <source>2clock filter</source>
        <translation>2クロックフィルタ</translation>
    </message>
    <message>
        <source>3clock filter</source>
        <translation>3クロックフィルタ</translation>
    </message>
    <message>
        <source>4clock filter</source>
        <translation>4クロックフィルタ</translation>
    </message>
    <message>
        <source>***[WARNING!!!] ***

Power may have been already supplied.
When you power up in this state, it may damage.

Are you sure you want to turn ON the power?</source>
        <translation>***[警告!!!] ***

すでに電源が供給されている可能性があります。
この状態で電源を投入すると、破損するおそれがあります。

電源をONにしてもよろしいですか?</translation>
    </message>
    <message>
        <source>*** VELIX removed ***</source>
        <translation>*** VELIXが取り外されました ***</translation>
    </message>
    <message>
        <source>*** Unknown USB error ***</source>
        <translation>*** 不明なUSBエラー ***</translation>
    </message>
    <message>
        <source> ++ (DATA OVERRUN) ++

*** Device driver overflow!!! ***</source>
        <translation> ++ (データオーバーラン) ++

*** デバイスドライバでオーバーフローが発生しました!!! ***</translation>
    </message>
    <message>
        <source> ++ (DATA OVERRUN) ++

*** VELIX internal overflow!!! ***</source>
        <translation> ++ (データオーバーラン) ++

*** VELIX内部でオーバーフローが発生しました!!! ***</translation>
    </message>
    <message>
        <source>***  sampling data memory mapping error. ***
 Memory allocation error.</source>
        <translation>***  サンプリングデータのメモリマッピングエラー ***
メモリ確保エラーです。</translation>
    </message>
    <message>
        <source>*** Memory allocation failed. ***
</source>
        <translation>*** メモリの確保に失敗しました。 ***
</translation>
    </message>
    <message>
        <source>*** Sampling data is incorrect. ***</source>
        <translation>*** サンプリングデータが正しくありません。 ***</translation>
    </message>
    <message>
        <source>No valid transaction.</source>
        <translation>有効なトランザクションがありません。</translation>
    </message>
    <message>
        <source>Empty Sampling data.</source>
        <translation>サンプリングデータが空です。</translation>
    </message>
    <message>
        <source>Please specify the location and filename to save the sampling data.</source>
        <translation>サンプリングデータを保存する場所とファイル名を指定してください。</translation>
    </message>
    <message>
        <source>This file is not with the correct data.</source>
        <translation>このファイルのデータは正しくありません。</translation>
    </message>
    <message>
        <source>filtering...</source>
        <translation>フィルタ処理中...</translation>
    </message>
    <message>
        <source>Searching now...</source>
        <translation>検索中...</translation>
    </message>
    <message>
        <source>Searching now... [DATA]</source>
        <translation>検索中... [データ]</translation>
    </message>
    <message>
        <source>Searching now... [I2C address]</source>
        <translation>検索中... [I2Cアドレス]</translation>
    </message>
    <message>
        <source>Searching now... [I2C Sub-address]</source>
        <translation>検索中... [I2Cサブアドレス]</translation>
    </message>
    <message>
        <source>Searching now... [I2C NACK]</source>
        <translation>検索中... [I2C NACK]</translation>
    </message>
    <message>
        <source>Searching now... [Error transaction]</source>
        <translation>検索中... [エラートランザクション]</translation>
    </message>
    <message>
        <source>Searching now... [Trigger position]</source>
        <translation>検索中... [トリガー位置]</translation>
    </message>
    <message>
        <source>Found data.</source>
        <translation>データが見つかりました。</translation>
    </message>
    <message>
        <source>Found transaction</source>
        <translation>トランザクションが見つかりました</translation>
    </message>
    <message>
        <source>No found data.</source>
        <translation>データが見つかりません。</translation>
    </message>
    <message>
        <source>No found I2C address</source>
        <translation>I2Cアドレスが見つかりません</translation>
    </message>
    <message>
        <source>No found I2C Sub-adress</source>
        <translation>I2Cサブアドレスが見つかりません</translation>
    </message>
    <message>
        <source>Nack can not be found.</source>
        <translation>NACKが見つかりません。</translation>
    </message>
    <message>
        <source>No found transaction</source>
        <translation>トランザクションが見つかりません</translation>
    </message>
    <message>
        <source>Trigger is not found. </source>
        <translation>トリガーが見つかりません。</translation>
    </message>
    <message>
        <source>Transaction is not found.<byte value="xd"/><byte value="xd"/>
Do you jump to the nearest transaction?</source>
        <translation>トランザクションが見つかりません。
最も近いトランザクションへジャンプしますか?</translation>
    </message>
    <message>
        <source>Invalid Transaction number</source>
        <translation>トランザクション番号が不正です</translation>
    </message>
    <message>
        <source>I2C address error</source>
        <translation>I2Cアドレスが不正です</translation>
    </message>
    <message>
        <source>I2C address Mask error</source>
        <translation>I2Cアドレスマスクが不正です</translation>
    </message>
    <message>
        <source>Do you apply FAST MODE settings?</source>
        <translation>FAST MODEの設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Do you apply STANDARD MODE settings?</source>
        <translation>STANDARD MODEの設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Do you apply HS MODE(Cb=100pF) settings?</source>
        <translation>HS MODE(Cb=100pF)の設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Do you apply HS MODE(Cb=400pF) settings?</source>
        <translation>HS MODE(Cb=400pF)の設定値を適用しますか?</translation>
    </message>
    <message>
        <source>Data Length : Out of range 
 range 131072 &gt;= (DataLength) &gt;= 4</source>
        <translation>データ長 : 範囲外です
 範囲 131072 &gt;= (DataLength) &gt;= 4</translation>
    </message>
    <message>
        <source>ErrorInfomation</source>
        <translation>エラー情報</translation>
    </message>
    <message>
        <source>A capture is running</source>
        <translation>キャプチャを実行中です</translation>
    </message>
    <message>
        <source>[Save Transaction To Text] Setting</source>
        <translation>[トランザクションをテキストに保存] 設定</translation>
    </message>
    <message>
        <source>Export transaction information to a text file.</source>
        <translation>トランザクション情報をテキストファイルに出力します。</translation>
    </message>
</context>
<context>
    <name>ScrollCanvas</name>
    <message>
        <source>Waveform position</source>
        <translation>波形の位置</translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>進行状況</translation>
    </message>
    <message>
        <source>[SPI Monitor] Capture</source>
        <translation>[SPIモニタ] キャプチャ</translation>
    </message>
    <message>
        <source>[I2C Monitor] Capture</source>
        <translation>[I2Cモニタ] キャプチャ</translation>
    </message>
    <message>
        <source>[SPI] Capture</source>
        <translation>[SPI] キャプチャ</translation>
    </message>
    <message>
        <source>[I2C:#0(Main)] Capture</source>
        <translation>[I2C:#0(メイン)] キャプチャ</translation>
    </message>
    <message>
        <source>[I2C:#1(Sub)] Caputre</source>
        <translation>[I2C:#1(サブ)] キャプチャ</translation>
    </message>
    <message>
        <source>Free run</source>
        <translation>フリーラン</translation>
    </message>
    <message>
        <source>Oneshot</source>
        <translation>ワンショット</translation>
    </message>
    <message>
        <source>Forced display mode</source>
        <translation>強制表示モード</translation>
    </message>
    <message>
        <source>[SPI] Data</source>
        <translation>[SPI] データ</translation>
    </message>
    <message>
        <source>[I2C] Data</source>
        <translation>[I2C] データ</translation>
    </message>
    <message>
        <source>Transaction No. : %u</source>
        <translation>トランザクション番号 : %u</translation>
    </message>
</context>
<context>
    <name>TimeEntry</name>
    <message>
        <source>Parameter error</source>
        <translation>パラメータエラー</translation>
    </message>
    <message>
        <source>The specified value is out of range.</source>
        <translation>指定された値は範囲外です。</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>範囲</translation>
    </message>
    <message>
        <source>min.</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>max.</source>
        <translation>最大</translation>
    </message>
</context>
<context>
    <name>TransactionListModel</name>
    <message>
        <source>Number</source>
        <translation>番号</translation>
    </message>
    <message>
        <source>Time(s:ms:us)</source>
        <translation>時刻(s:ms:us)</translation>
    </message>
    <message>
        <source>Time(s:ms:μs)</source>
        <translation>時刻(s:ms:μs)</translation>
    </message>
    <message>
        <source>time span(us)</source>
        <translation>時間幅(us)</translation>
    </message>
    <message>
        <source>Adrs</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>R/W</source>
        <translation>R/W</translation>
    </message>
    <message>
        <source>S/R/P</source>
        <translation>S/R/P</translation>
    </message>
    <message>
        <source>NACK</source>
        <translation>NACK</translation>
    </message>
    <message>
        <source>Error, Info</source>
        <translation>エラー, 情報</translation>
    </message>
    <message>
        <source>DataLen</source>
        <translation>データ長</translation>
    </message>
    <message>
        <source>MISO Data  (Hex)</source>
        <translation>MISOデータ (16進)</translation>
    </message>
    <message>
        <source>MOSI Data  (Hex)</source>
        <translation>MOSIデータ (16進)</translation>
    </message>
    <message>
        <source>Data  (Hex)</source>
        <translation>データ (16進)</translation>
    </message>
</context>
<context>
    <name>ViewDumpList</name>
    <message>
        <source>ADRS [MISO] </source>
        <translation>アドレス [MISO] </translation>
    </message>
    <message>
        <source>ADRS [MOSI] </source>
        <translation>アドレス [MOSI] </translation>
    </message>
    <message>
        <source>ADRS        </source>
        <translation>アドレス    </translation>
    </message>
    <message>
        <source>+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F    </source>
        <translation>+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F    </translation>
    </message>
    <message>
        <source>ASCII  character    </source>
        <translation>ASCII  文字    </translation>
    </message>
</context>
<context>
    <name>orvane::AboutBox</name>
    <message>
        <source>About Orvane</source>
        <translation>Orvaneについて</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>バージョン %1</translation>
    </message>
</context>
<context>
    <name>orvane::COrvaneView</name>
    <message>
        <source>Transactions</source>
        <translation>トランザクション</translation>
    </message>
</context>
<context>
    <name>orvane::DlgInfo</name>
    <message>
        <source>Information</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>Temporary path</source>
        <translation>一時フォルダ</translation>
    </message>
    <message>
        <source>Software Version</source>
        <translation>ソフトウェアバージョン</translation>
    </message>
    <message>
        <source>Analyzer FW Version</source>
        <translation>アナライザFWバージョン</translation>
    </message>
    <message>
        <source>Analyzer CPLD Version</source>
        <translation>アナライザCPLDバージョン</translation>
    </message>
    <message>
        <source>Driver Version</source>
        <translation>ドライババージョン</translation>
    </message>
    <message>
        <source>Physical memory</source>
        <translation>物理メモリ</translation>
    </message>
    <message>
        <source>Free physical memory</source>
        <translation>空き物理メモリ</translation>
    </message>
    <message>
        <source>Allocate Physical Memory</source>
        <translation>確保した物理メモリ</translation>
    </message>
    <message>
        <source>VELIX Connect</source>
        <translation>VELIX接続中</translation>
    </message>
    <message>
        <source>VELIX Not connect</source>
        <translation>VELIX未接続</translation>
    </message>
    <message>
        <source>BUS ANALYZER MODE</source>
        <translation>バスアナライザモード</translation>
    </message>
    <message>
        <source>MONITOR MODE</source>
        <translation>モニタモード</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
</context>
<context>
    <name>orvane::DlgTitle</name>
    <message>
        <source>SW Version : </source>
        <translation>SWバージョン : </translation>
    </message>
    <message>
        <source>VELIX SPI/I2C Bus monitor</source>
        <translation>VELIX SPI/I2C バスモニタ</translation>
    </message>
</context>
<context>
    <name>orvane::ui::CMainFrame</name>
    <message>
        <source>Transaction details</source>
        <translation>トランザクション詳細</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>最近使ったファイル</translation>
    </message>
    <message>
        <source>Write Transaction Info to Text</source>
        <translation>トランザクション情報をテキストに出力</translation>
    </message>
    <message>
        <source>Write Transaction Info to CSV</source>
        <translation>トランザクション情報をCSVに出力</translation>
    </message>
    <message>
        <source>TextFile (*.txt)</source>
        <translation>テキストファイル (*.txt)</translation>
    </message>
    <message>
        <source>CSV File (*.csv)</source>
        <translation>CSVファイル (*.csv)</translation>
    </message>
    <message>
        <source>Writing transaction information...</source>
        <translation>トランザクション情報を書き込み中...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>出力の進行状況</translation>
    </message>
    <message>
        <source>Export cancelled: %1 of %2 transactions written to %3</source>
        <translation>出力を中止しました: %2 件中 %1 件のトランザクションを %3 に書き込みました</translation>
    </message>
</context>
<context>
    <name>orvane::ui::ViewDump</name>
    <message>
        <source>[S] Start,  [R] Repeat,  [P] Stop,   . ACK,   ? NACK</source>
        <translation>[S] スタート,  [R] リピート,  [P] ストップ,   . ACK,   ? NACK</translation>
    </message>
</context>
</TS>
