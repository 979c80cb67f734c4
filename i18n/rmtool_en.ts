<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>Forms</name>
    <message>
        <source>再接続中 (%1 回目)・・・</source>
        <translation>Reconnecting (attempt %1)...</translation>
    </message>
    <message>
        <source>接続が切れました。</source>
        <translation>Connection lost. </translation>
    </message>
    <message>
        <source>再接続できませんでした。</source>
        <translation>Reconnection failed. </translation>
    </message>
    <message>
        <source>%1 秒後に再接続します (%2 回目)</source>
        <translation>Reconnecting in %1 s (attempt %2)</translation>
    </message>
    <message>
        <source>再接続待ち (%1 回目、%2 秒後)</source>
        <translation>Waiting to reconnect (attempt %1, in %2 s)</translation>
    </message>
    <message>
        <source>再接続しました (%1 回目)</source>
        <translation>Reconnected (attempt %1)</translation>
    </message>
    <message>
        <source>接続されていません</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>FrameText</name>
    <message>
        <source>記録</source>
        <translation>recording</translation>
    </message>
    <message>
        <source>コイル </source>
        <translation>coil </translation>
    </message>
    <message>
        <source>アドレス </source>
        <translation>address </translation>
    </message>
    <message>
        <source>タグ%1 %2  </source>
        <translation>tag %1 %2  </translation>
    </message>
    <message>
        <source>  値 %1</source>
        <translation>  value %1</translation>
    </message>
    <message>
        <source>不完全なフレーム (%1 バイト)</source>
        <translation>Incomplete frame (%1 bytes)</translation>
    </message>
    <message>
        <source>モニターデータ</source>
        <translation>monitor data</translation>
    </message>
    <message>
        <source>ヘッダーワード</source>
        <translation>header words</translation>
    </message>
    <message>
        <source>モジュール情報</source>
        <translation>module information</translation>
    </message>
    <message>
        <source>時計</source>
        <translation>clock</translation>
    </message>
    <message>
        <source>ターミナル設定</source>
        <translation>terminal settings</translation>
    </message>
    <message>
        <source>カウンター読み返し</source>
        <translation>counter read-back</translation>
    </message>
    <message>
        <source>書き込み</source>
        <translation>write</translation>
    </message>
    <message>
        <source>一括点検</source>
        <translation>survey</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>other</translation>
    </message>
    <message>
        <source>保持レジスタ読出し</source>
        <translation>Read holding registers</translation>
    </message>
    <message>
        <source>入力レジスタ読出し</source>
        <translation>Read input registers</translation>
    </message>
    <message>
        <source>単一コイル書込み</source>
        <translation>Write single coil</translation>
    </message>
    <message>
        <source>単一レジスタ書込み</source>
        <translation>Write single register</translation>
    </message>
    <message>
        <source>複数レジスタ書込み</source>
        <translation>Write multiple registers</translation>
    </message>
    <message>
        <source>不正ファンクション</source>
        <translation>Illegal function</translation>
    </message>
    <message>
        <source>不正データアドレス</source>
        <translation>Illegal data address</translation>
    </message>
    <message>
        <source>不正データ値</source>
        <translation>Illegal data value</translation>
    </message>
    <message>
        <source>スレーブ機器異常</source>
        <translation>Server device failure</translation>
    </message>
    <message>
        <source>処理受付(応答保留)</source>
        <translation>Acknowledge (pending)</translation>
    </message>
    <message>
        <source>スレーブ機器ビジー</source>
        <translation>Server device busy</translation>
    </message>
    <message>
        <source>メモリパリティエラー</source>
        <translation>Memory parity error</translation>
    </message>
    <message>
        <source>ゲートウェイ異常</source>
        <translation>Gateway fault</translation>
    </message>
    <message>
        <source>不明な例外</source>
        <translation>Unknown exception</translation>
    </message>
    <message>
        <source>  個数 %1</source>
        <translation>  count %1</translation>
    </message>
    <message>
        <source>  個数 %1  値</source>
        <translation>  count %1  values</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>例外 %1 %2  (%3 の例外応答)</source>
        <translation>exception %1 %2  (exception response to %3)</translation>
    </message>
</context>
<context>
    <name>FtpClient</name>
    <message>
        <source>FTPサーバーに接続されていません。</source>
        <translation>Not connected to the FTP server.</translation>
    </message>
    <message>
        <source>ファイル名が指定されていません。</source>
        <translation>No file name given.</translation>
    </message>
    <message>
        <source>ファイル %1 に書き込めません。
%2</source>
        <translation>Cannot write file %1.
%2</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込めません。
%2</source>
        <translation>Cannot read file %1.
%2</translation>
    </message>
    <message>
        <source>ホストアドレス「%1」が正しくありません。</source>
        <translation>Host address &quot;%1&quot; is not valid.</translation>
    </message>
    <message>
        <source>ポート番号 %1 が正しくありません。</source>
        <translation>Port number %1 is not valid.</translation>
    </message>
    <message>
        <source>FTPサーバーが応答しません（時間切れ）。</source>
        <translation>The FTP server does not answer (timed out).</translation>
    </message>
    <message>
        <source>FTPサーバーに接続できません。</source>
        <translation>Cannot connect to the FTP server.</translation>
    </message>
    <message>
        <source>FTPサーバーのホスト名を解決できません。</source>
        <translation>Cannot resolve the host name of the FTP server.</translation>
    </message>
    <message>
        <source>FTPサーバーにログインできません。</source>
        <translation>Cannot log in to the FTP server.</translation>
    </message>
    <message>
        <source>FTPの操作に失敗しました。</source>
        <translation>The FTP operation failed.</translation>
    </message>
</context>
<context>
    <name>JournalModel</name>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>画面</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>機能</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>書込値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Outcome</translation>
    </message>
</context>
<context>
    <name>ModbusLink</name>
    <message>
        <source>使用中のソケットは値を変更できません</source>
        <translation>Cannot change this while the socket is in use</translation>
    </message>
    <message>
        <source>接続エラー</source>
        <translation>Connection error</translation>
    </message>
    <message>
        <source>ソケット接続に書き込もうとしたときにエラーが発生した</source>
        <translation>An error occurred while writing to the socket connection</translation>
    </message>
    <message>
        <source>ソケット接続から読み出そうとしたときにエラーが発生した</source>
        <translation>An error occurred while reading from the socket connection</translation>
    </message>
    <message>
        <source>以前に受け付けられた接続要求が完了できなかった</source>
        <translation>A previously accepted connection request could not be completed</translation>
    </message>
    <message>
        <source>接続を閉じようとしたときにエラーが発生した</source>
        <translation>An error occurred while closing the connection</translation>
    </message>
    <message>
        <source>クライアント接続要求を受け付けようとしたときに問題が発生した</source>
        <translation>A problem occurred while accepting a client connection request</translation>
    </message>
</context>
<context>
    <name>Survey</name>
    <message>
        <source>一括点検は実行中です。</source>
        <translation>A survey is running already.</translation>
    </message>
    <message>
        <source>設置構成が開かれていません。
設定 → 設置構成 で設置構成ファイルを開いてから点検してください。</source>
        <translation>No installation is open.
Open an installation file under Settings → Installation, then start the survey.</translation>
    </message>
    <message>
        <source>リレイモに接続されていません。</source>
        <translation>Not connected to the Relaymo.</translation>
    </message>
</context>
<context>
    <name>SurveyReport</name>
    <message>
        <source>設置点検報告書</source>
        <translation>Commissioning Report</translation>
    </message>
    <message>
        <source>%1 / %2 ページ</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>サンプル</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>報告書 %1 を書き込めません: %2</source>
        <translation>Cannot write report %1: %2</translation>
    </message>
    <message>
        <source>PDF を作成できません</source>
        <translation>Cannot create the PDF</translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>範囲外</source>
        <translation>Out of range</translation>
    </message>
    <message>
        <source>応答なし</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>ターミナル</source>
        <translation>Terminals</translation>
    </message>
    <message>
        <source>点検したターミナルはありません。</source>
        <translation>No terminal was checked.</translation>
    </message>
    <message>
        <source>設置名</source>
        <translation>Installation</translation>
    </message>
    <message>
        <source>設置ファイル</source>
        <translation>Installation file</translation>
    </message>
    <message>
        <source>点検開始</source>
        <translation>Survey started</translation>
    </message>
    <message>
        <source>点検終了</source>
        <translation>Survey ended</translation>
    </message>
    <message>
        <source>実施</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>途中で中止されました</source>
        <translation>Stopped before the end</translation>
    </message>
    <message>
        <source>最後まで実施しました</source>
        <translation>Completed</translation>
    </message>
    <message>
        <source>ターミナルごとに %1 回、間隔 %2 ms</source>
        <translation>%1 per terminal, every %2 ms</translation>
    </message>
    <message>
        <source>概要</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>点検したターミナル</source>
        <translation>Terminals checked</translation>
    </message>
    <message>
        <source>チャンネル</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>ゲートウェイ</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>接続先</source>
        <translation>Gateway address</translation>
    </message>
    <message>
        <source>MACアドレス</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>PCボード H/W</source>
        <translation>PC board H/W</translation>
    </message>
    <message>
        <source>PCボード F/W</source>
        <translation>PC board F/W</translation>
    </message>
    <message>
        <source>バスボード H/W</source>
        <translation>Bus board H/W</translation>
    </message>
    <message>
        <source>バスボード F/W</source>
        <translation>Bus board F/W</translation>
    </message>
    <message>
        <source>ログインモード</source>
        <translation>Login mode</translation>
    </message>
    <message>
        <source>ロータリースイッチ</source>
        <translation>Rotary switch</translation>
    </message>
    <message>
        <source>伝送モード</source>
        <translation>Transmission mode</translation>
    </message>
    <message>
        <source>モジュール情報</source>
        <translation>Module information</translation>
    </message>
    <message>
        <source>ゲートウェイの時計</source>
        <translation>Gateway clock</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>時計の差 (ゲートウェイ − PC)</source>
        <translation>Clock difference (gateway − PC)</translation>
    </message>
    <message>
        <source>アドレス %1</source>
        <translation>Address %1</translation>
    </message>
    <message>
        <source>受信 %1 / %2 サンプル</source>
        <translation>%1 of %2 samples received</translation>
    </message>
    <message>
        <source>CH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>単位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>タグ</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>期待範囲</source>
        <translation>Expected range</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>平均</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>チャンネルがありません</source>
        <translation>No channels</translation>
    </message>
    <message>
        <source>トレンド</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>設定 (%1)</source>
        <translation>Settings (%1)</translation>
    </message>
    <message>
        <source>設定を読み出せませんでした: %1</source>
        <translation>The settings could not be read: %1</translation>
    </message>
    <message>
        <source>設定項目はありません</source>
        <translation>No settings</translation>
    </message>
    <message>
        <source>書き込み記録</source>
        <translation>Write journal</translation>
    </message>
    <message>
        <source>この点検では書き込みを送信していません。</source>
        <translation>No write was sent during this survey.</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ウィンドウ</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>機能</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>通信統計</source>
        <translation>Communication statistics</translation>
    </message>
    <message>
        <source>要求</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>応答</source>
        <translation>Responses</translation>
    </message>
    <message>
        <source>タイムアウト</source>
        <translation>Timeouts</translation>
    </message>
    <message>
        <source>遅延応答</source>
        <translation>Late responses</translation>
    </message>
    <message>
        <source>該当要求なし</source>
        <translation>Unmatched</translation>
    </message>
    <message>
        <source>最小 ms</source>
        <translation>Min ms</translation>
    </message>
    <message>
        <source>平均 ms</source>
        <translation>Mean ms</translation>
    </message>
    <message>
        <source>最大 ms</source>
        <translation>Max ms</translation>
    </message>
    <message>
        <source>応答数は例外応答を含みます。応答時間は要求の送信から応答の受信まで。</source>
        <translation>Responses include exceptions. Response time runs from sending the request to receiving the response.</translation>
    </message>
</context>
<context>
    <name>SiteFile</name>
    <message>
        <source>%1 番目のターミナル (アドレス %2)</source>
        <translation>terminal %1 (address %2)</translation>
    </message>
    <message>
        <source>%1 番目のターミナル</source>
        <translation>terminal %1</translation>
    </message>
    <message>
        <source>%1 番目のチャンネル</source>
        <translation>channel entry %1</translation>
    </message>
    <message>
        <source>チャンネル %1</source>
        <translation>channel %1</translation>
    </message>
    <message>
        <source>文字列</source>
        <translation>a string</translation>
    </message>
    <message>
        <source>整数</source>
        <translation>an integer</translation>
    </message>
    <message>
        <source>数値</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>オブジェクト</source>
        <translation>an object</translation>
    </message>
    <message>
        <source>配列</source>
        <translation>an array</translation>
    </message>
    <message>
        <source>&quot;%1&quot; には%2が必要です</source>
        <translation>&quot;%1&quot; must be %2</translation>
    </message>
    <message>
        <source>ポート %1 は 1..65535 の範囲外です</source>
        <translation>port %1 is outside 1..65535</translation>
    </message>
    <message>
        <source>アドレス %1 は 0..63 の範囲外です</source>
        <translation>address %1 is outside 0..63</translation>
    </message>
    <message>
        <source>種類 %1 は 0..12 の範囲外です</source>
        <translation>type %1 is outside 0..12</translation>
    </message>
    <message>
        <source>%1 番目のターミナルと同じアドレスです</source>
        <translation>at the same address as terminal %1</translation>
    </message>
    <message>
        <source>チャンネル %1 は 0..31 の範囲外です</source>
        <translation>channel %1 is outside 0..31</translation>
    </message>
    <message>
        <source>2 回記述されています</source>
        <translation>listed twice</translation>
    </message>
    <message>
        <source>下限 %1 が上限 %2 より大きくなっています</source>
        <translation>min %1 is greater than max %2</translation>
    </message>
    <message>
        <source>%1 の %2 行目: JSON として読めません (%3)</source>
        <translation>%1, line %2: not valid JSON (%3)</translation>
    </message>
    <message>
        <source>設置構成の JSON オブジェクトではありません</source>
        <translation>not an installation file (no JSON object)</translation>
    </message>
    <message>
        <source>&quot;format&quot; が &quot;%1&quot; ではありません</source>
        <translation>&quot;format&quot; is not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ファイルを開けません (%1)</source>
        <translation>cannot open the file (%1)</translation>
    </message>
    <message>
        <source>書き込めません (%1)</source>
        <translation>cannot write the file (%1)</translation>
    </message>
</context>
<context>
    <name>TermsetController</name>
    <message>
        <source>設定が無効です</source>
        <translation>Settings are not valid</translation>
    </message>
    <message>
        <source>中断しました</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>%1の値 &apos;%2&apos; は使えません。
0 以上の整数（100ms 単位）を入力してください。</source>
        <translation>%1: the value &apos;%2&apos; cannot be used.
Enter an integer of 0 or more (in 100 ms units).</translation>
    </message>
    <message>
        <source>実効アドレス %1 は範囲外です（アドレス %2 ＋ 電流CHのオフセット %3）。
実効アドレスが 0～%4 になるように指定してください。</source>
        <translation>Effective address %1 is out of range (address %2 + current CH offset %3).
Choose an address that gives an effective address of 0 to %4.</translation>
    </message>
    <message>
        <source>タイムアウト値</source>
        <translation>Timeout</translation>
    </message>
    <message>
        <source>設定読み込み待ち時間</source>
        <translation>Settings read wait</translation>
    </message>
    <message>
        <source>書き込み間隔</source>
        <translation>Write interval</translation>
    </message>
</context>
<context>
    <name>TfrmCntrPreset</name>
    <message>
        <source>カウンターターミナル&#x3000;プリセット</source>
        <translation>Counter Terminal Preset</translation>
    </message>
    <message>
        <source>チャンネル</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>ﾁｬﾝﾈﾙ</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>プリセット値／現在値</source>
        <translation>Preset / current</translation>
    </message>
    <message>
        <source>表示桁数</source>
        <translation>Digits</translation>
    </message>
    <message>
        <source>CH0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>4桁</source>
        <translation>4 digits</translation>
    </message>
    <message>
        <source>5桁</source>
        <translation>5 digits</translation>
    </message>
    <message>
        <source>6桁</source>
        <translation>6 digits</translation>
    </message>
    <message>
        <source>7桁</source>
        <translation>7 digits</translation>
    </message>
    <message>
        <source>CH1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>IN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OUT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>連動</source>
        <translation>Linked</translation>
    </message>
    <message>
        <source>モード</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>8：24bit 16W</source>
        <translation>8: 24bit 16W</translation>
    </message>
    <message>
        <source>9：24bit 8W</source>
        <translation>9: 24bit 8W</translation>
    </message>
    <message>
        <source>A：24bit 4W</source>
        <translation>A: 24bit 4W</translation>
    </message>
    <message>
        <source>B：24bit 2W</source>
        <translation>B: 24bit 2W</translation>
    </message>
    <message>
        <source>C：16bit 1W</source>
        <translation>C: 16bit 1W</translation>
    </message>
    <message>
        <source>D：13bit 1W</source>
        <translation>D: 13bit 1W</translation>
    </message>
    <message>
        <source>E：CRC   2W</source>
        <translation>E: CRC   2W</translation>
    </message>
    <message>
        <source>プリセット</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>カウンタ値リセット</source>
        <translation>Reset counters</translation>
    </message>
    <message>
        <source>桁指定</source>
        <translation>Set digits</translation>
    </message>
    <message>
        <source>現在値読み込み</source>
        <translation>Read current</translation>
    </message>
    <message>
        <source>※ K*7TR-M*QX□&#x3000;：モード 8～D で使用します</source>
        <translation>* K*7TR-M*QX□  : use modes 8 to D</translation>
    </message>
    <message>
        <source>※ K*7TR-M*QX□/R：モード 8～E で使用します</source>
        <translation>* K*7TR-M*QX□/R: use modes 8 to E</translation>
    </message>
    <message>
        <source>アドレスの指定範囲が誤っています</source>
        <translation>The address is out of range</translation>
    </message>
    <message>
        <source>CH%1 のプリセット値が16ビットの範囲(0～65535)を超えています</source>
        <translation>The preset value of CH%1 exceeds the 16-bit range (0 to 65535)</translation>
    </message>
    <message>
        <source>CH%1 の桁数が選択されていません</source>
        <translation>No digit count chosen for CH%1</translation>
    </message>
</context>
<context>
    <name>TfrmCommStats</name>
    <message>
        <source>通信統計</source>
        <translation>Communication Statistics</translation>
    </message>
    <message>
        <source>接続してから (またはリセットから) の合計</source>
        <translation>Totals since connecting (or since reset)</translation>
    </message>
    <message>
        <source>要求</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>-</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>応答</source>
        <translation>Responses</translation>
    </message>
    <message>
        <source>例外応答</source>
        <translation>Exceptions</translation>
    </message>
    <message>
        <source>タイムアウト</source>
        <translation>Timeouts</translation>
    </message>
    <message>
        <source>遅延応答</source>
        <translation>Late responses</translation>
    </message>
    <message>
        <source>該当要求なし</source>
        <translation>Unmatched</translation>
    </message>
    <message>
        <source>再同期</source>
        <translation>Resyncs</translation>
    </message>
    <message>
        <source>接続時間</source>
        <translation>Connected for</translation>
    </message>
    <message>
        <source>送信バイト</source>
        <translation>Bytes sent</translation>
    </message>
    <message>
        <source>受信バイト</source>
        <translation>Bytes received</translation>
    </message>
    <message>
        <source>自動再接続</source>
        <translation>Auto reconnects</translation>
    </message>
    <message>
        <source>応答時間 (ms)</source>
        <translation>Response time (ms)</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>平均</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>99%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>要求の種類別</source>
        <translation>By request type</translation>
    </message>
    <message>
        <source>例外コード別</source>
        <translation>By exception code</translation>
    </message>
    <message>
        <source>応答数は例外応答を含みます。応答時間は要求の送信から応答の受信まで。</source>
        <translation>Responses include exceptions. Response time runs from sending the request to receiving the response.</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>最小 ms</source>
        <translation>Min ms</translation>
    </message>
    <message>
        <source>平均 ms</source>
        <translation>Mean ms</translation>
    </message>
    <message>
        <source>最大 ms</source>
        <translation>Max ms</translation>
    </message>
    <message>
        <source>コード</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>件数</source>
        <translation>Count</translation>
    </message>
</context>
<context>
    <name>TfrmConnect</name>
    <message>
        <source>接続</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Mobus/TCP 接続先</source>
        <translation>Modbus/TCP server</translation>
    </message>
    <message>
        <source>接続先IPアドレス</source>
        <translation>IP address of the gateway</translation>
    </message>
    <message>
        <source>接続先ポート番号</source>
        <translation>Port number of the gateway</translation>
    </message>
    <message>
        <source>リレイモにModbus/TCPで接続</source>
        <translation>Connect to the Relaymo over Modbus/TCP</translation>
    </message>
    <message>
        <source>リレイモから切断</source>
        <translation>Disconnect from the Relaymo</translation>
    </message>
    <message>
        <source>切断</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>接続先を設定</source>
        <translation>Set the gateway address</translation>
    </message>
    <message>
        <source>ﾎｽﾄ</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TfrmFTPtool</name>
    <message>
        <source>FTPツール</source>
        <translation>FTP Tool</translation>
    </message>
    <message>
        <source>FTP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ホスト</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>接続</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>リレイモとｆｔｐで接続</source>
        <translation>Connect to the Relaymo over FTP</translation>
    </message>
    <message>
        <source>切断</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>リレイモから切断</source>
        <translation>Disconnect from the Relaymo</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>ftpサーバーの設定</source>
        <translation>FTP server settings</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>設定ファイル</source>
        <translation>Configuration file</translation>
    </message>
    <message>
        <source>マスター設定</source>
        <translation>Master settings</translation>
    </message>
    <message>
        <source>トレンドデータ設定</source>
        <translation>Trend data settings</translation>
    </message>
    <message>
        <source>リニアライズ設定</source>
        <translation>Linearization</translation>
    </message>
    <message>
        <source>工学単位変換設定</source>
        <translation>Engineering units</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>その他のファイル名</source>
        <translation>Other file name</translation>
    </message>
    <message>
        <source>ethcfg.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ethcfg2.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mpxcfg.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ntp.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ftpcl.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>internet.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip_accs.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>onoffln.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rsdrv.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rstc.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rswm.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fam3.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>telwel.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ssi.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ssi_str.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>trap.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>syslog-ng.cfg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>alm.csv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>para.csv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>指定したファイルをダウンロード</source>
        <translation>Download the chosen file</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ローカルファイルをリレイモにアップロード</source>
        <translation>Upload a local file to the Relaymo</translation>
    </message>
    <message>
        <source>接続：</source>
        <translation>Connected: </translation>
    </message>
    <message>
        <source>接続失敗</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>切断されました</source>
        <translation>Disconnected</translation>
    </message>
</context>
<context>
    <name>TfrmGWcfg</name>
    <message>
        <source>リレイモ設定</source>
        <translation>Relaymo Settings</translation>
    </message>
    <message>
        <source>Modbus/TCP接続</source>
        <translation>Modbus/TCP</translation>
    </message>
    <message>
        <source>HOSTアドレス</source>
        <translation>Host address</translation>
    </message>
    <message>
        <source>192.168.1.200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポート番号</source>
        <translation>Port number</translation>
    </message>
    <message>
        <source>502</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FTP接続</source>
        <translation>FTP</translation>
    </message>
    <message>
        <source>USER ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PASSWORD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOG形式</source>
        <translation>Log format</translation>
    </message>
    <message>
        <source>ヘッダー</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>カウント</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>経過時間</source>
        <translation>Elapsed time</translation>
    </message>
    <message>
        <source>ﾀｲﾑｽﾀﾝﾌﾟ、ｶｳﾝﾄ</source>
        <translation>Time, count</translation>
    </message>
    <message>
        <source>数値</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>16bit符号なし整数</source>
        <translation>16-bit unsigned</translation>
    </message>
    <message>
        <source>16bit符号付き整数</source>
        <translation>16-bit signed</translation>
    </message>
    <message>
        <source>倍率</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自動ﾌｧｲﾙ保存</source>
        <translation>Auto save to file</translation>
    </message>
    <message>
        <source>保存間隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>3600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ｶｳﾝﾄ毎</source>
        <translation>counts</translation>
    </message>
    <message>
        <source>保存ﾌｫﾙﾀﾞ</source>
        <translation>Save folder</translation>
    </message>
    <message>
        <source>C:\</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名ﾍｯﾀﾞ</source>
        <translation>Name prefix</translation>
    </message>
    <message>
        <source>LOG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>開始番号  桁数</source>
        <translation>First no.  Digits</translation>
    </message>
    <message>
        <source>2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C:\LOG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>時計</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>リレイモの日付時刻</source>
        <translation>Relaymo date and time</translation>
    </message>
    <message>
        <source>読み出し</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>自動読み出し</source>
        <translation>Auto read</translation>
    </message>
    <message>
        <source>PC時計/設定日付時間</source>
        <translation>PC clock / date and time to set</translation>
    </message>
    <message>
        <source>2001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>/</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>火</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>水</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>木</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>金</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>土</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCと同期</source>
        <translation>Follow PC clock</translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポート番号 %1 は 0 から 65535 の範囲にありません</source>
        <translation>Port number %1 is not in the range 0 to 65535</translation>
    </message>
    <message>
        <source>フォルダを選択してください</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>リレイモの時計の応答が短すぎます (%1 バイト)</source>
        <translation>The clock answer of the Relaymo is too short (%1 bytes)</translation>
    </message>
    <message>
        <source>応答タイムアウト(ms)</source>
        <translation>Timeout (ms)</translation>
    </message>
    <message>
        <source>1000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>応答タイムアウト %1 は 1 から %2 の範囲にありません</source>
        <translation>Response timeout %1 is not in the range 1 to %2</translation>
    </message>
    <message>
        <source>自動再接続</source>
        <translation>Auto reconnect</translation>
    </message>
    <message>
        <source>接続が切れたとき 1, 2, 4, 8, 16 秒後、その後は 30 秒ごとに再接続します</source>
        <translation>When the connection drops, reconnects after 1, 2, 4, 8, 16 s, then every 30 s</translation>
    </message>
</context>
<context>
    <name>TfrmJournal</name>
    <message>
        <source>書込履歴</source>
        <translation>Write journal</translation>
    </message>
    <message>
        <source>ファイル: %1</source>
        <translation>File: %1</translation>
    </message>
</context>
<context>
    <name>TfrmLadderConsole</name>
    <message>
        <source>Ladder console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ｱﾄﾞﾚｽ</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Modbus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SET</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>間隔が 0 ms では記録できません。</source>
        <translation>Cannot record at an interval of 0 ms.</translation>
    </message>
    <message>
        <source>記録を止めました: %1</source>
        <translation>Recording stopped: %1</translation>
    </message>
    <message>
        <source>記録中: %1  %2 行  %3 MB</source>
        <translation>Recording: %1  %2 rows  %3 MB</translation>
    </message>
    <message>
        <source>記録を開く</source>
        <translation>Open recording</translation>
    </message>
    <message>
        <source>記録停止</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>記録開始</source>
        <translation>Start recording</translation>
    </message>
    <message>
        <source>RM Tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>接続</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>接</source>
        <translation>C</translation>
    </message>
    <message>
        <source>切断</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>切</source>
        <translation>D</translation>
    </message>
    <message>
        <source>自動モニター開始/停止</source>
        <translation>Start/stop monitoring</translation>
    </message>
    <message>
        <source>▶</source>
        <translation>▶</translation>
    </message>
    <message>
        <source>モニターカウント</source>
        <translation>Monitor count</translation>
    </message>
    <message>
        <source>モニター経過時間</source>
        <translation>Monitor elapsed time</translation>
    </message>
    <message>
        <source>400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>モニター間隔(ms)</source>
        <translation>Monitor interval (ms)</translation>
    </message>
    <message>
        <source>ログ開始</source>
        <translation>Start logging</translation>
    </message>
    <message>
        <source>●</source>
        <translation>●</translation>
    </message>
    <message>
        <source>ログ停止</source>
        <translation>Stop logging</translation>
    </message>
    <message>
        <source>■</source>
        <translation>■</translation>
    </message>
    <message>
        <source>ログカウント</source>
        <translation>Log count</translation>
    </message>
    <message>
        <source>ログ経過時間</source>
        <translation>Log elapsed time</translation>
    </message>
    <message>
        <source>Nexiloﾀｰﾐﾅﾙﾀｲﾌﾟ/ｱﾄﾞﾚｽ</source>
        <translation>Nexilo terminal type / address</translation>
    </message>
    <message>
        <source>DB/D2ﾜｰﾄﾞ</source>
        <translation>DB/D2 word</translation>
    </message>
    <message>
        <source>ﾜｰﾄﾞｱﾄﾞﾚｽ</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Modbusﾜｰﾄﾞ</source>
        <translation>Modbus word</translation>
    </message>
    <message>
        <source>30033</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0：熱電対ターミナル</source>
        <translation>0: Thermocouple terminal</translation>
    </message>
    <message>
        <source>1：カウンタターミナル(13bit)</source>
        <translation>1: Counter terminal (13bit)</translation>
    </message>
    <message>
        <source>2：カウンタターミナル(24bit)</source>
        <translation>2: Counter terminal (24bit)</translation>
    </message>
    <message>
        <source>3：電力７回路ターミナル</source>
        <translation>3: Power 7-circuit terminal</translation>
    </message>
    <message>
        <source>4：電力14回路ターミナル</source>
        <translation>4: Power 14-circuit terminal</translation>
    </message>
    <message>
        <source>5：電力７回路高機能ターミナル</source>
        <translation>5: Power 7-circuit advanced</translation>
    </message>
    <message>
        <source>6：電流8回路ターミナル</source>
        <translation>6: Current 8-circuit terminal</translation>
    </message>
    <message>
        <source>7：電流16回路ターミナル</source>
        <translation>7: Current 16-circuit terminal</translation>
    </message>
    <message>
        <source>8：電流32回路ターミナル</source>
        <translation>8: Current 32-circuit terminal</translation>
    </message>
    <message>
        <source>9：コンセントバーPDU</source>
        <translation>9: Outlet bar PDU</translation>
    </message>
    <message>
        <source>10：サーミスタ温度</source>
        <translation>10: Thermistor temperature</translation>
    </message>
    <message>
        <source>11：温湿度ターミナル</source>
        <translation>11: Temperature/humidity</translation>
    </message>
    <message>
        <source>99：その他</source>
        <translation>99: Other</translation>
    </message>
    <message>
        <source>DBﾋﾞｯﾄ</source>
        <translation>DB bit</translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄｱﾄﾞﾚｽ</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Modbusﾋﾞｯﾄ/ﾜｰﾄﾞ</source>
        <translation>Modbus bit/word</translation>
    </message>
    <message>
        <source>10001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>30001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄ出力</source>
        <translation>Bit output</translation>
    </message>
    <message>
        <source>00001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄ出力をｵﾝします</source>
        <translation>Turns the bit output on</translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄ出力をｵﾌします</source>
        <translation>Turns the bit output off</translation>
    </message>
    <message>
        <source>D2ﾋﾞｯﾄ</source>
        <translation>D2 bit</translation>
    </message>
    <message>
        <source>11001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>04001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modbus/TCP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modbusｱﾄﾞﾚｽ</source>
        <translation>Modbus addr</translation>
    </message>
    <message>
        <source>連動</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>ﾓﾆﾀｰｻｲｽﾞ</source>
        <translation>Monitor size</translation>
    </message>
    <message>
        <source>データ領域指定</source>
        <translation>Data area</translation>
    </message>
    <message>
        <source>ワードバス入力データ</source>
        <translation>Word bus input</translation>
    </message>
    <message>
        <source>拡張512W入力データ</source>
        <translation>Extended 512W input</translation>
    </message>
    <message>
        <source>工学単位変換後データ</source>
        <translation>Engineering units</translation>
    </message>
    <message>
        <source>入力積算ソフトカウンタ</source>
        <translation>Input soft counters</translation>
    </message>
    <message>
        <source>一定時間積算ソフトカウンタ</source>
        <translation>Timed soft counters</translation>
    </message>
    <message>
        <source>任意：16ビット符号なし整数</source>
        <translation>Any: 16-bit unsigned</translation>
    </message>
    <message>
        <source>任意：32ビット符号なし整数</source>
        <translation>Any: 32-bit unsigned</translation>
    </message>
    <message>
        <source>任意：単精度実数(real)</source>
        <translation>Any: 32-bit real</translation>
    </message>
    <message>
        <source>ビットバス入力</source>
        <translation>Bit bus input</translation>
    </message>
    <message>
        <source>入力エッジソフトカウンタ</source>
        <translation>Input edge soft counters</translation>
    </message>
    <message>
        <source>追加起動</source>
        <translation>Launch</translation>
    </message>
    <message>
        <source>RMﾀｲﾌﾟ</source>
        <translation>RM type</translation>
    </message>
    <message>
        <source>RM1.x</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RM2.x</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>◆</source>
        <translation>◆</translation>
    </message>
    <message>
        <source>color: red;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>color: red; font-weight: bold;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16ビット符号なし整数</source>
        <translation>16-bit unsigned integer</translation>
    </message>
    <message>
        <source>32ビット符号なし整数</source>
        <translation>32-bit unsigned integer</translation>
    </message>
    <message>
        <source>32ビット単精度実数</source>
        <translation>32-bit single-precision real</translation>
    </message>
    <message>
        <source>24ビット符号なし整数</source>
        <translation>24-bit unsigned integer</translation>
    </message>
    <message>
        <source>16ビット符号付き整数</source>
        <translation>16-bit signed integer</translation>
    </message>
    <message>
        <source>ON/OFF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WORD 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>右クリックで表示モード変更</source>
        <translation>Right-click to change the display mode</translation>
    </message>
    <message>
        <source>CH0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>℃</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>CH1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WORD 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WORD 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WORD 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>32ﾋﾞｯﾄﾃﾞｰﾀSWAP設定(&amp;S)</source>
        <translation>32-bit data &amp;swap</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>接続(&amp;C)</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>切断(&amp;D)</source>
        <translation>&amp;Disconnect</translation>
    </message>
    <message>
        <source>変換ﾃｰﾌﾞﾙ読込(&amp;T)</source>
        <translation>Load conversion &amp;table</translation>
    </message>
    <message>
        <source>ログ保存(&amp;S)</source>
        <translation>&amp;Save log</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ﾘﾚｲﾓ情報(&amp;M)</source>
        <translation>Relaymo &amp;module information</translation>
    </message>
    <message>
        <source>ログ領域表示(&amp;L)</source>
        <translation>Show &amp;log area</translation>
    </message>
    <message>
        <source>標準(&amp;Z)</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>SWAP(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modbus設定(&amp;M)</source>
        <translation>&amp;Modbus settings</translation>
    </message>
    <message>
        <source>設置構成(&amp;I)</source>
        <translation>&amp;Installation</translation>
    </message>
    <message>
        <source>一括点検(&amp;U)</source>
        <translation>S&amp;urvey</translation>
    </message>
    <message>
        <source>FTP設定(&amp;F)</source>
        <translation>&amp;FTP settings</translation>
    </message>
    <message>
        <source>ログ詳細設定(&amp;L)</source>
        <translation>&amp;Log settings</translation>
    </message>
    <message>
        <source>時計設定(&amp;T)</source>
        <translation>&amp;Clock settings</translation>
    </message>
    <message>
        <source>FTPｸﾗｲｱﾝﾄ(&amp;F)</source>
        <translation>&amp;FTP client</translation>
    </message>
    <message>
        <source>電力・電流ﾀｰﾐﾅﾙ設定(&amp;P)</source>
        <translation>&amp;Power/current terminal settings</translation>
    </message>
    <message>
        <source>任意書き込み(&amp;W)</source>
        <translation>&amp;Write any register</translation>
    </message>
    <message>
        <source>ｶｳﾝﾀｰﾀｰﾐﾅﾙﾌﾟﾘｾｯﾄ(&amp;C)</source>
        <translation>&amp;Counter terminal preset</translation>
    </message>
    <message>
        <source>ｿﾌﾄｶﾝﾀﾘｾｯﾄ(&amp;S)</source>
        <translation>&amp;Soft counter reset</translation>
    </message>
    <message>
        <source>ﾗﾀﾞｰｺﾝｿｰﾙ(&amp;L)</source>
        <translation>&amp;Ladder console</translation>
    </message>
    <message>
        <source>生値・10進数</source>
        <translation>Raw, decimal</translation>
    </message>
    <message>
        <source>生値・16進数</source>
        <translation>Raw, hexadecimal</translation>
    </message>
    <message>
        <source>係数計算値・10進数</source>
        <translation>Scaled, decimal</translation>
    </message>
    <message>
        <source>文字表示</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>言語(&amp;L)</source>
        <translation>L&amp;anguage</translation>
    </message>
    <message>
        <source>日本語</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>(次回起動時に有効)</source>
        <translation>(takes effect at next start)</translation>
    </message>
    <message>
        <source>接続しました</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>例外応答を受信しました (タグ %1, 機能コード %2, 例外コード %3)</source>
        <translation>Exception response received (tag %1, function code %2, exception code %3)</translation>
    </message>
    <message>
        <source>受信データの区切りが失われたため、受信済みのデータを破棄しました</source>
        <translation>Frame boundaries were lost; the data received so far was discarded</translation>
    </message>
    <message>
        <source>終了しますか ?</source>
        <translation>Do you want to exit?</translation>
    </message>
    <message>
        <source>リレイモに接続されていません</source>
        <translation>Not connected to the Relaymo</translation>
    </message>
    <message>
        <source>接続中・・・</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>接続されていません</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>接続エラー</source>
        <translation>Connection error</translation>
    </message>
    <message>
        <source>言語の設定は次回起動時に有効になります。</source>
        <translation>The language setting takes effect at the next start.</translation>
    </message>
    <message>
        <source>保存間隔 %1 では自動ファイル保存ができません。1 以上の整数を指定してください。</source>
        <translation>Cannot save to file automatically with the save interval %1. Enter an integer of 1 or more.</translation>
    </message>
    <message>
        <source>
保存間隔が直るまで自動ファイル保存は行いません。</source>
        <translation>
Automatic saving is off until the save interval is corrected.</translation>
    </message>
    <message>
        <source>
ログは消去せずに残しています。</source>
        <translation>
The log is kept, not cleared.</translation>
    </message>
    <message>
        <source>ログを保存しました: %1</source>
        <translation>Log saved: %1</translation>
    </message>
    <message>
        <source>%1 は既にあるため、ログを %2 に保存しました</source>
        <translation>%1 already exists; log saved to %2</translation>
    </message>
    <message>
        <source>コンフィグファイル (*.cfg);;全てのファイル (*.*)</source>
        <translation>Configuration files (*.cfg);;All files (*.*)</translation>
    </message>
    <message>
        <source>
(%1 の %2 行目)</source>
        <translation>
(%1, line %2)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は有効な整数値ではありません</source>
        <translation>&apos;%1&apos; is not a valid integer</translation>
    </message>
    <message>
        <source>モニター間隔 &apos;%1&apos; は 0 以上の整数で指定してください</source>
        <translation>Monitor interval &apos;%1&apos;: enter an integer of 0 or more</translation>
    </message>
    <message>
        <source>16点ビット入力ターミナル</source>
        <translation>16-point bit input terminal</translation>
    </message>
    <message>
        <source>起動に失敗しました</source>
        <translation>Could not start the program</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>リレイモから応答がありません。モジュール情報の一部を読み込めませんでした。</source>
        <translation>No answer from the Relaymo. Part of the module information could not be read.</translation>
    </message>
    <message>
        <source>通信統計(&amp;C)</source>
        <translation>&amp;Communication statistics</translation>
    </message>
    <message>
        <source>通信ログ(&amp;R)</source>
        <translation>T&amp;raffic log</translation>
    </message>
    <message>
        <source>トレンド(&amp;G)</source>
        <translation>Trend &amp;graph</translation>
    </message>
    <message>
        <source>書込履歴(&amp;J)</source>
        <translation>Write &amp;journal</translation>
    </message>
    <message>
        <source>メイン画面</source>
        <translation>Main window</translation>
    </message>
</context>
<context>
    <name>TfrmModInfo</name>
    <message>
        <source>モジュール情報</source>
        <translation>Module Information</translation>
    </message>
    <message>
        <source>PC-Board</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H/W Ver.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F/W Ver.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Linux Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nexilo-Board</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FPGA Ver.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ﾛｰﾀﾘｰDIPSW</source>
        <translation>Rotary DIP SW</translation>
    </message>
    <message>
        <source>内部DIPSW</source>
        <translation>Internal DIP SW</translation>
    </message>
    <message>
        <source>単一ｻｲｸﾙ</source>
        <translation>Single cycle</translation>
    </message>
    <message>
        <source>ﾏｽﾀｰｸﾛｯｸ</source>
        <translation>Master clock</translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>ｱﾗｰﾑﾘｾｯﾄ</source>
        <translation>Alarm reset</translation>
    </message>
    <message>
        <source>断線エラーフラグをクリアします</source>
        <translation>Clears the wire-break error flags</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TfrmSite</name>
    <message>
        <source>設置構成</source>
        <translation>Installation</translation>
    </message>
    <message>
        <source>設置名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>最後の空の行に入力するとチャンネルを追加します。タグと下限・上限を空にした行は削除されます。</source>
        <translation>Type into the empty last row to add a channel. A row whose tag, min and max are emptied is removed.</translation>
    </message>
    <message>
        <source>チャンネル</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>タグ</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>下限</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>上限</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>開く...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>ファイルのゲートウェイ: %1:%2 (接続先は変更していません。Modbus設定で変更できます)</source>
        <translation>Gateway in the file: %1:%2 (the connection is left as it is; change it in the Modbus settings)</translation>
    </message>
    <message>
        <source>ファイルのゲートウェイ: なし (Modbus設定の接続先を使います)</source>
        <translation>Gateway in the file: none (the Modbus settings' gateway is used)</translation>
    </message>
    <message>
        <source>設置構成 - %1</source>
        <translation>Installation - %1</translation>
    </message>
    <message>
        <source>設置構成の保存</source>
        <translation>Save installation</translation>
    </message>
    <message>
        <source>設置構成を開く</source>
        <translation>Open installation</translation>
    </message>
    <message>
        <source>設置構成 (*.rmsite)</source>
        <translation>Installation (*.rmsite)</translation>
    </message>
</context>
<context>
    <name>TfrmSoftCntr</name>
    <message>
        <source>ｿﾌﾄｶｳﾝﾀﾘｾｯﾄ</source>
        <translation>Soft counter reset</translation>
    </message>
    <message>
        <source>Word入力</source>
        <translation>Word input</translation>
    </message>
    <message>
        <source>ﾀｰﾐﾅﾙｱﾄﾞﾚｽ</source>
        <translation>Term. addr</translation>
    </message>
    <message>
        <source>一括ﾘｾｯﾄ</source>
        <translation>Reset all</translation>
    </message>
    <message>
        <source>41239</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8個まとめてﾘｾｯﾄ</source>
        <translation>Resets all 8 counters</translation>
    </message>
    <message>
        <source>個別ﾘｾｯﾄ</source>
        <translation>Reset one</translation>
    </message>
    <message>
        <source>3001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>個別にﾘｾｯﾄ</source>
        <translation>Resets one counter</translation>
    </message>
    <message>
        <source>Bit入力</source>
        <translation>Bit input</translation>
    </message>
    <message>
        <source>41223</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16個まとめてﾘｾｯﾄ</source>
        <translation>Resets all 16 counters</translation>
    </message>
    <message>
        <source>2001</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アドレスの指定範囲が誤っています</source>
        <translation>The address is out of range</translation>
    </message>
</context>
<context>
    <name>TfrmSurvey</name>
    <message>
        <source>一括点検</source>
        <translation>Survey</translation>
    </message>
    <message>
        <source>サンプル数</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>ターミナルごとに読む応答の数 (モニター間隔ごと)</source>
        <translation>Answers read per terminal (one per monitor interval)</translation>
    </message>
    <message>
        <source>点検開始</source>
        <translation>Start survey</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>報告書...</source>
        <translation>Report...</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>CH</source>
        <translation>CH</translation>
    </message>
    <message>
        <source>ラベル</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>タグ</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>範囲</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>平均</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>点検中...</source>
        <translation>Surveying...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>範囲外</source>
        <translation>Out of range</translation>
    </message>
    <message>
        <source>応答なし</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>点検を中止しました。</source>
        <translation>Survey stopped.</translation>
    </message>
    <message>
        <source>点検が終わりました。</source>
        <translation>Survey finished.</translation>
    </message>
    <message>
        <source>MAC %1</source>
        <translation>MAC %1</translation>
    </message>
    <message>
        <source>時計の差 %1 秒 (リレイモ − PC)</source>
        <translation>Clock difference %1 s (Relaymo − PC)</translation>
    </message>
    <message>
        <source>報告書の保存</source>
        <translation>Save report</translation>
    </message>
</context>
<context>
    <name>TfrmTraffic</name>
    <message>
        <source>通信ログ</source>
        <translation>Traffic Log</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>0 件</source>
        <translation>0 entries</translation>
    </message>
    <message>
        <source>%1 件 (最新 %2 件まで保持)</source>
        <translation>%1 entries (keeps the latest %2)</translation>
    </message>
    <message>
        <source>  一時停止中: %1 件を記録せず</source>
        <translation>  Paused: %1 not recorded</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>通信ログの保存</source>
        <translation>Save Traffic Log</translation>
    </message>
    <message>
        <source>テキストファイル (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>全てのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>TfrmTrend</name>
    <message>
        <source>トレンド</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>1分</source>
        <translation>1 min</translation>
    </message>
    <message>
        <source>10分</source>
        <translation>10 min</translation>
    </message>
    <message>
        <source>1時間</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>8時間</source>
        <translation>8 hours</translation>
    </message>
    <message>
        <source>24時間</source>
        <translation>24 hours</translation>
    </message>
    <message>
        <source>全体</source>
        <translation>All</translation>
    </message>
    <message>
        <source>追従</source>
        <translation>Follow</translation>
    </message>
    <message>
        <source>画像保存</source>
        <translation>Save image</translation>
    </message>
    <message>
        <source>CSV保存</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>ホイール・ドラッグ: 時間軸の拡大&#x3000;Shift+ドラッグ: 移動</source>
        <translation>Wheel, drag: zoom the time axis   Shift+drag: pan</translation>
    </message>
    <message>
        <source>ファイル %1 に書き込めません: %2</source>
        <translation>Cannot write file %1: %2</translation>
    </message>
    <message>
        <source>同時に表示できるチャンネルは %1 までです。ほかのチャンネルを外してから選んでください。</source>
        <translation>At most %1 channels can be shown at once. Uncheck another channel first.</translation>
    </message>
</context>
<context>
    <name>TfrmWattorSet</name>
    <message>
        <source>電力・電流ターミナル設定</source>
        <translation>Power/Current Terminal Settings</translation>
    </message>
    <message>
        <source>電力7・28回路</source>
        <translation>Power 7/28 circuits</translation>
    </message>
    <message>
        <source>設定項目</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周波数</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>電圧ﾚﾝｼﾞ</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>タイプ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>電流CH</source>
        <translation>Current CH</translation>
    </message>
    <message>
        <source>&#x3000;7回路 1～7</source>
        <translation>7 circuits: 1-7</translation>
    </message>
    <message>
        <source>28回路 1～ 7</source>
        <translation>28 circuits: 1-7</translation>
    </message>
    <message>
        <source>28回路 8～14</source>
        <translation>28 circuits: 8-14</translation>
    </message>
    <message>
        <source>28回路15～21</source>
        <translation>28 circuits: 15-21</translation>
    </message>
    <message>
        <source>28回路22～28</source>
        <translation>28 circuits: 22-28</translation>
    </message>
    <message>
        <source>電流レンジ</source>
        <translation>Current range</translation>
    </message>
    <message>
        <source>I1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>読み出し</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>書き込み</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>background-color: white; color: black; border: 1px solid #a0a0a0;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>電流8回路</source>
        <translation>Current 8 circuits</translation>
    </message>
    <message>
        <source>color: red;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CRC mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>電力14回路</source>
        <translation>Power 14 circuits</translation>
    </message>
    <message>
        <source>I1, 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I3, 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I5, 6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I7, 8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I9,10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I11,12</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I13,14</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>電流16・32回路</source>
        <translation>Current 16/32 circuits</translation>
    </message>
    <message>
        <source> 1～16</source>
        <translation> 1-16</translation>
    </message>
    <message>
        <source>17～32</source>
        <translation>17-32</translation>
    </message>
    <message>
        <source>I9</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I11</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I12</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I13</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I14</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I15</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ｺﾝｾﾝﾄﾊﾞｰ</source>
        <translation>Outlet bar</translation>
    </message>
    <message>
        <source>電流値ｸﾘｱ</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>40</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>設定読み込み待ち時間 (100ms単位)</source>
        <translation>Settings read wait (100 ms units)</translation>
    </message>
    <message>
        <source>10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>書き込み間隔 (100ms単位)</source>
        <translation>Write interval (100 ms units)</translation>
    </message>
    <message>
        <source>待ち時間カウンタ</source>
        <translation>Wait counter</translation>
    </message>
    <message>
        <source>100</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイムアウト値 (100ms単位)</source>
        <translation>Timeout (100 ms units)</translation>
    </message>
    <message>
        <source>タイムアウトカウンタ</source>
        <translation>Timeout counter</translation>
    </message>
    <message>
        <source>製品タイプの書き換えを許可</source>
        <translation>Allow changing the product type</translation>
    </message>
    <message>
        <source>タイムアウト値を変更</source>
        <translation>Change the timeout</translation>
    </message>
    <message>
        <source>書き込み間隔を変更</source>
        <translation>Change the write interval</translation>
    </message>
    <message>
        <source>設定読み込み待ち時間を変更</source>
        <translation>Change the settings read wait</translation>
    </message>
</context>
<context>
    <name>TfrmWriteTool</name>
    <message>
        <source>任意書き込み</source>
        <translation>Write Any Register</translation>
    </message>
    <message>
        <source>書き込みModbusアドレス</source>
        <translation>Modbus address to write</translation>
    </message>
    <message>
        <source>ビットバス出力</source>
        <translation>Bit bus output</translation>
    </message>
    <message>
        <source>ワードバス出力</source>
        <translation>Word bus output</translation>
    </message>
    <message>
        <source>拡張ワードバス出力</source>
        <translation>Extended word bus output</translation>
    </message>
    <message>
        <source>エラーリセット</source>
        <translation>Error reset</translation>
    </message>
    <message>
        <source>ｻｲｼﾞﾝｸﾞ・再起動</source>
        <translation>Sizing / restart</translation>
    </message>
    <message>
        <source>ワークエリア(NV)</source>
        <translation>Work area (NV)</translation>
    </message>
    <message>
        <source>ﾗﾀﾞｰﾒﾓﾘ(B0-511)</source>
        <translation>Ladder memory (B0-511)</translation>
    </message>
    <message>
        <source>ﾗﾀﾞｰﾒﾓﾘ(B1280-1791)</source>
        <translation>Ladder memory (B1280-1791)</translation>
    </message>
    <message>
        <source>ﾗﾀﾞｰﾒﾓﾘ(QD4)</source>
        <translation>Ladder memory (QD4)</translation>
    </message>
    <message>
        <source>ﾗﾀﾞｰﾒﾓﾘ(QD2)</source>
        <translation>Ladder memory (QD2)</translation>
    </message>
    <message>
        <source>32ビットワーク(1)</source>
        <translation>32-bit work (1)</translation>
    </message>
    <message>
        <source>32ビットワーク(2)</source>
        <translation>32-bit work (2)</translation>
    </message>
    <message>
        <source>フリー</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>ｵﾌｾｯﾄ</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>書き込みデータ</source>
        <translation>Data to write</translation>
    </message>
    <message>
        <source>10進数</source>
        <translation>Dec</translation>
    </message>
    <message>
        <source>16進数</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>上位</source>
        <translation>High</translation>
    </message>
    <message>
        <source>下位</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>データ長</source>
        <translation>Data length</translation>
    </message>
    <message>
        <source>16ビット符号なし整数</source>
        <translation>16-bit unsigned integer</translation>
    </message>
    <message>
        <source>32ビット符号なし整数</source>
        <translation>32-bit unsigned integer</translation>
    </message>
    <message>
        <source>書き込み</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>ON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OFF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アドレスの指定範囲が誤っています</source>
        <translation>The address is out of range</translation>
    </message>
</context>
<context>
    <name>TrafficLog</name>
    <message>
        <source>送信</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>受信</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>  (タイムアウト後の応答)</source>
        <translation>  (response after timeout)</translation>
    </message>
    <message>
        <source>  (該当する要求なし)</source>
        <translation>  (no matching request)</translation>
    </message>
    <message>
        <source>タイムアウト</source>
        <translation>Timeout</translation>
    </message>
    <message>
        <source> (%1 ms 応答なし)</source>
        <translation> (no response for %1 ms)</translation>
    </message>
    <message>
        <source>受信データの区切りが失われました (受信済みのデータを破棄)</source>
        <translation>Lost frame boundary in received data (received data discarded)</translation>
    </message>
    <message>
        <source>受信データの区切りが失われました (%1 バイト破棄)</source>
        <translation>Lost frame boundary in received data (%1 bytes discarded)</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>データ (16進)</source>
        <translation>Data (hex)</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Summary</translation>
    </message>
</context>
<context>
    <name>WriteAreas</name>
    <message>
        <source>ﾋﾞｯﾄﾊﾞｽ出力</source>
        <translation>Bit bus output</translation>
    </message>
    <message>
        <source>ﾜｰﾄﾞﾊﾞｽ出力</source>
        <translation>Word bus output</translation>
    </message>
    <message>
        <source>ｴﾗｰﾘｾｯﾄ</source>
        <translation>Error reset</translation>
    </message>
    <message>
        <source>再起動[1],ｻｲｼﾞﾝｸﾞ[2]</source>
        <translation>Restart[1], sizing[2]</translation>
    </message>
    <message>
        <source>拡張ﾜｰﾄﾞﾊﾞｽ出力  %1:%2</source>
        <translation>Ext. word bus output  %1:%2</translation>
    </message>
    <message>
        <source>ﾜｰｸｴﾘｱ(NVRAM)</source>
        <translation>Work area (NVRAM)</translation>
    </message>
    <message>
        <source>ﾗﾀﾞｰﾒﾓﾘ(予約)</source>
        <translation>Ladder memory (reserved)</translation>
    </message>
    <message>
        <source>32ﾋﾞｯﾄﾜｰｸｴﾘｱ(RAM)</source>
        <translation>32-bit work area (RAM)</translation>
    </message>
</context>
<context>
    <name>WriteJournal</name>
    <message>
        <source>書込履歴をファイル %1 に書き込めません: %2</source>
        <translation>Cannot write the write journal to %1: %2</translation>
    </message>
</context>
<context>
    <name>ftpfiles</name>
    <message>
        <source>ファイル名が指定されていません。</source>
        <translation>No file name given.</translation>
    </message>
    <message>
        <source>ファイル名「%1」は使えません。
</source>
        <translation>The file name &quot;%1&quot; cannot be used.
</translation>
    </message>
    <message>
        <source>フォルダ区切り（/ や \）を含まないファイル名だけを指定してください。</source>
        <translation>Give a file name without folder separators (/ or \).</translation>
    </message>
    <message>
        <source>「.」や「..」はファイル名として使えません。</source>
        <translation>&quot;.&quot; and &quot;..&quot; cannot be used as file names.</translation>
    </message>
    <message>
        <source>制御文字を含むファイル名は使えません。</source>
        <translation>File names cannot contain control characters.</translation>
    </message>
    <message>
        <source>次の文字はファイル名に使えません: : * ? &quot; &lt; &gt; |</source>
        <translation>These characters cannot be used in file names: : * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>ファイル名の前後に空白は付けられません。</source>
        <translation>File names cannot begin or end with a space.</translation>
    </message>
    <message>
        <source>ファイル %1 を読み込めません。
%2</source>
        <translation>Cannot read file %1.
%2</translation>
    </message>
    <message>
        <source>ファイル %1 に書き込めません。
%2</source>
        <translation>Cannot write file %1.
%2</translation>
    </message>
</context>
<context>
    <name>gwclock</name>
    <message>
        <source> (日) </source>
        <translation> (Sun) </translation>
    </message>
    <message>
        <source> (月) </source>
        <translation> (Mon) </translation>
    </message>
    <message>
        <source> (火) </source>
        <translation> (Tue) </translation>
    </message>
    <message>
        <source> (水) </source>
        <translation> (Wed) </translation>
    </message>
    <message>
        <source> (木) </source>
        <translation> (Thu) </translation>
    </message>
    <message>
        <source> (金) </source>
        <translation> (Fri) </translation>
    </message>
    <message>
        <source> (土) </source>
        <translation> (Sat) </translation>
    </message>
</context>
<context>
    <name>monitor</name>
    <message>
        <source>ファイル %1 を開けません: %2</source>
        <translation>Cannot open file %1: %2</translation>
    </message>
    <message>
        <source>ファイル %1 に書き込めません: %2</source>
        <translation>Cannot write file %1: %2</translation>
    </message>
    <message>
        <source>温度測定&#x3000;熱電対ターミナル</source>
        <translation>Thermocouple terminal</translation>
    </message>
    <message>
        <source>カウンターターミナル(13bit)</source>
        <translation>Counter terminal (13bit)</translation>
    </message>
    <message>
        <source>カウンターターミナル(24bit)</source>
        <translation>Counter terminal (24bit)</translation>
    </message>
    <message>
        <source>電力７回路標準ターミナル</source>
        <translation>Power 7-circuit terminal</translation>
    </message>
    <message>
        <source>電力14回路ターミナル</source>
        <translation>Power 14-circuit terminal</translation>
    </message>
    <message>
        <source>電力７回路高機能ターミナル</source>
        <translation>Power 7-circuit advanced</translation>
    </message>
    <message>
        <source>電流8回路ターミナル</source>
        <translation>Current 8-circuit terminal</translation>
    </message>
    <message>
        <source>電流16回路ターミナル</source>
        <translation>Current 16-circuit terminal</translation>
    </message>
    <message>
        <source>電流32回路ターミナル</source>
        <translation>Current 32-circuit terminal</translation>
    </message>
    <message>
        <source>コンセントバーPDU</source>
        <translation>Outlet bar PDU</translation>
    </message>
    <message>
        <source>サーミスタ温度</source>
        <translation>Thermistor temperature</translation>
    </message>
    <message>
        <source>温湿度ターミナル</source>
        <translation>Temperature/humidity</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>℃</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>回</source>
        <translation>cnt</translation>
    </message>
    <message>
        <source>生存</source>
        <translation>Alive</translation>
    </message>
    <message>
        <source>A電流</source>
        <translation>Acur</translation>
    </message>
    <message>
        <source>B電流</source>
        <translation>Bcur</translation>
    </message>
    <message>
        <source>A直前</source>
        <translation>Aprv</translation>
    </message>
    <message>
        <source>B直前</source>
        <translation>Bprv</translation>
    </message>
    <message>
        <source>温度1</source>
        <translation>T1</translation>
    </message>
    <message>
        <source>温度2</source>
        <translation>T2</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temp</translation>
    </message>
    <message>
        <source>湿度</source>
        <translation>RH</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は有効な整数値ではありません</source>
        <translation>&apos;%1&apos; is not a valid integer</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は有効な浮動小数点数値ではありません</source>
        <translation>&apos;%1&apos; is not a valid floating-point number</translation>
    </message>
    <message>
        <source>%RH</source>
        <translation>%</translation>
    </message>
    <message>
        <source>応答なし (応答を受信していません)</source>
        <translation>No response (none received yet)</translation>
    </message>
    <message>
        <source>応答なし (最後の応答から %1.%2 秒)</source>
        <translation>No response (%1.%2 s since the last one)</translation>
    </message>
</context>
<context>
    <name>msg</name>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>termset</name>
    <message>
        <source>設定値が読み出せませんでした</source>
        <translation>Could not read the settings</translation>
    </message>
    <message>
        <source>読み出せませんでした</source>
        <translation>Could not read</translation>
    </message>
    <message>
        <source>実効アドレス %1 は範囲外です</source>
        <translation>Effective address %1 is out of range</translation>
    </message>
    <message>
        <source>0: 無効</source>
        <translation>0: Off</translation>
    </message>
    <message>
        <source>1: 三相3線式電力7回路(4W)</source>
        <translation>1: 3P3W power 7ch (4W)</translation>
    </message>
    <message>
        <source>2: 単相3線式電力7回路(4W)</source>
        <translation>2: 1P3W power 7ch (4W)</translation>
    </message>
    <message>
        <source>3: 単相2線式電力7回路(4W)</source>
        <translation>3: 1P2W power 7ch (4W)</translation>
    </message>
    <message>
        <source>4: 三相3線式電力1回路</source>
        <translation>4: 3P3W power 1ch</translation>
    </message>
    <message>
        <source>5: 単相3線式電力1回路</source>
        <translation>5: 1P3W power 1ch</translation>
    </message>
    <message>
        <source>6: 単相2線式電力1回路</source>
        <translation>6: 1P2W power 1ch</translation>
    </message>
    <message>
        <source>7: 電流16回路</source>
        <translation>7: Current 16ch</translation>
    </message>
    <message>
        <source>8: 電圧16回路</source>
        <translation>8: Voltage 16ch</translation>
    </message>
    <message>
        <source>9: 三相3線式電力7回路(2W)</source>
        <translation>9: 3P3W power 7ch (2W)</translation>
    </message>
    <message>
        <source>10: 単相3線式電力7回路(2W)</source>
        <translation>10: 1P3W power 7ch (2W)</translation>
    </message>
    <message>
        <source>11: 単相2線式電力７回路(2W)</source>
        <translation>11: 1P2W power 7ch (2W)</translation>
    </message>
    <message>
        <source>12: 電流32/16回路</source>
        <translation>12: Current 32/16ch</translation>
    </message>
    <message>
        <source>13: 単相2線式電力28/14回路</source>
        <translation>13: 1P2W power 28/14ch</translation>
    </message>
    <message>
        <source>14: マルチメータ</source>
        <translation>14: Multimeter</translation>
    </message>
    <message>
        <source>16: 単回路電力</source>
        <translation>16: Power 1ch</translation>
    </message>
    <message>
        <source>17: 電力7回路標準/高機能</source>
        <translation>17: Power 7ch std/adv</translation>
    </message>
    <message>
        <source>18: ｺﾝｾﾝﾄﾊﾞｰ</source>
        <translation>18: Outlet bar</translation>
    </message>
    <message>
        <source>19: 4回路電力高機能</source>
        <translation>19: Power 4ch adv</translation>
    </message>
    <message>
        <source>20: 単相4回路電力</source>
        <translation>20: 1P power 4ch</translation>
    </message>
    <message>
        <source>22: 電流8回路</source>
        <translation>22: Current 8ch</translation>
    </message>
    <message>
        <source>1: クリア</source>
        <translation>1: Clear</translation>
    </message>
</context>
<context>
    <name>trend::TrendChart</name>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>記録 %1 をディスクに書き込めないため、記録を止めました: %2</source>
        <translation>Recording stopped: %1 cannot be written to the disk: %2</translation>
    </message>
    <message>
        <source>%1 は記録のファイルではありません。</source>
        <translation>%1 is not a recording file.</translation>
    </message>
    <message>
        <source>記録 %1 を開けません: %2</source>
        <translation>Cannot open recording %1: %2</translation>
    </message>
    <message>
        <source>記録 %1 を開けません: ファイルがありません。</source>
        <translation>Cannot open recording %1: the file does not exist.</translation>
    </message>
    <message>
        <source>記録 %1 は既にあります。</source>
        <translation>Recording %1 already exists.</translation>
    </message>
    <message>
        <source>記録 %1 に書き込めません (%2): %3</source>
        <translation>Cannot write to recording %1 (%2): %3</translation>
    </message>
    <message>
        <source>ディスクがいっぱいのため、記録 %1 を止めました。それまでに記録した行はファイルに残っています。</source>
        <translation>The disk is full: recording %1 stopped. The rows recorded until then are in the file.</translation>
    </message>
</context>
</TS>
