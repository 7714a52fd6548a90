<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Check</name>
    <message>
        <source>missing</source>
        <translation>ありません</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>空です</translation>
    </message>
    <message>
        <source>does not load as a picture (%1)</source>
        <translation>画像として読み込めません（%1）</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1。%2</translation>
    </message>
    <message>
        <source>missing; the game plays without music</source>
        <translation>ありません。ゲームは音楽なしで進みます</translation>
    </message>
    <message>
        <source>the opening scene</source>
        <translation>オープニングのシーン</translation>
    </message>
    <message>
        <source>scene %1</source>
        <translation>シーン %1</translation>
    </message>
    <message>
        <source>the game stops with an error when %1 starts</source>
        <translation>%1が始まると、ゲームはエラーで止まります</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>読めません</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>%1 というオプションはありません</translation>
    </message>
    <message>
        <source>only one folder can be checked at a time</source>
        <translation>一度に調べられるフォルダーは一つだけです</translation>
    </message>
    <message>
        <source>%1: not a folder</source>
        <translation>%1: フォルダーではありません</translation>
    </message>
    <message>
        <source>1 error, 1 warning</source>
        <translation>エラー 1 件、警告 1 件</translation>
    </message>
    <message>
        <source>1 error, %1 warnings</source>
        <translation>エラー 1 件、警告 %1 件</translation>
    </message>
    <message>
        <source>%1 errors, 1 warning</source>
        <translation>エラー %1 件、警告 1 件</translation>
    </message>
    <message>
        <source>%1 errors, %2 warnings</source>
        <translation>エラー %1 件、警告 %2 件</translation>
    </message>
    <message>
        <source>the repeat line has no count; the game stops here</source>
        <translation>繰り返し行に回数がありません。ゲームはここで止まります</translation>
    </message>
    <message>
        <source>the repeat count &quot;%1&quot; is too large; the game stops here</source>
        <translation>繰り返しの回数「%1」が大きすぎます。ゲームはここで止まります</translation>
    </message>
    <message>
        <source>the repeat count &quot;%1&quot; does not read as a number; the game stops here</source>
        <translation>繰り返しの回数「%1」が数として読めません。ゲームはここで止まります</translation>
    </message>
    <message>
        <source>the end of the script, which opens the chooser</source>
        <translation>選択画面を開くスクリプトの終わり</translation>
    </message>
    <message>
        <source>this line is never read: the scene ends at %1</source>
        <translation>この行は読まれません。シーンは%1で終わります</translation>
    </message>
    <message>
        <source>this line and the 1 line after it are never read: the scene ends at %1</source>
        <translation>この行とその後の 1 行は読まれません。シーンは%1で終わります</translation>
    </message>
    <message>
        <source>this line and the %1 lines after it are never read: the scene ends at %2</source>
        <translation>この行とその後の %1 行は読まれません。シーンは%2で終わります</translation>
    </message>
    <message>
        <source>the opening scene returns to the title here, which starts it again: the chooser can never open</source>
        <translation>オープニングのシーンがここでタイトルに戻り、また最初から始まります。これでは選択画面が開きません</translation>
    </message>
    <message>
        <source>it is not a wave file the game can play; save it as a WAV file (16-bit PCM plays everywhere)</source>
        <translation>ゲームが再生できる WAVE ファイルではありません。WAV 形式で保存し直してください（16 ビット PCM ならどこでも再生できます）</translation>
    </message>
    <message>
        <source>it cannot be read; check that you may read it</source>
        <translation>読めません。読む権限があるか確かめてください</translation>
    </message>
    <message>
        <source>it is too large to open</source>
        <translation>大きすぎて開けません</translation>
    </message>
    <message>
        <source>no sound output could be opened to try it</source>
        <translation>試すための音の出力を開けません</translation>
    </message>
    <message>
        <source>it cannot be opened as music</source>
        <translation>音楽として開けません</translation>
    </message>
    <message>
        <source>%1; the game plays without music</source>
        <translation>%1。ゲームは音楽なしで進みます</translation>
    </message>
    <message>
        <source>this system&apos;s iconv cannot write code page 932</source>
        <translation>このシステムの iconv はコードページ 932 を書けません</translation>
    </message>
    <message>
        <source>line ends CR CR LF to CR LF</source>
        <translation>行末 CR CR LF を CR LF に</translation>
    </message>
    <message>
        <source>line ends LF to CR LF</source>
        <translation>行末 LF を CR LF に</translation>
    </message>
    <message>
        <source>&quot;%1&quot; (%2) is not in code page 932, so the script is left as it was; replace it, then run pirokko-check --fix again</source>
        <translation>「%1」（%2）はコードページ 932 にないため、このスクリプトは元のままにしました。別の文字に書き換えてから、もう一度 pirokko-check --fix を実行してください</translation>
    </message>
    <message>
        <source>UTF-8 to code page 932</source>
        <translation>UTF-8 をコードページ 932 に</translation>
    </message>
    <message>
        <source>cannot be written (%1); it is left as it was</source>
        <translation>書き込めません（%1）。元のままにしました</translation>
    </message>
    <message>
        <source>%1: converted: %2</source>
        <translation>%1: 変換しました: %2</translation>
    </message>
    <message>
        <source>usage: pirokko-check [--json] [FOLDER]
       pirokko-check --fix [FOLDER]
       pirokko-check --version
Checks the game folder FOLDER (by default the current folder), the one that
`pirokko FOLDER` plays: the scene scripts in txt/, the pictures in img/ and
bgm.wav. Prints one line per finding,
  FILE:LINE[:COLUMN]: error|warning: MESSAGE
(FILE relative to FOLDER, LINE left out for a finding about a whole file), then a
summary; with --json, a JSON array of {file, line (0 for a whole file), column
(when known), severity, message} instead. Exits 1 when there is an error, 0 otherwise,
2 when it cannot check.
--fix converts each script saved as UTF-8, or with LF or doubled (CR CR LF) line
ends, into code page 932 with CR LF, replacing the file in one step; a script
holding a character that code page 932 lacks is left as it was and the character
named. It prints what it converted and exits as the check does.
</source>
        <translation>使い方: pirokko-check [--json] [FOLDER]
        pirokko-check --fix [FOLDER]
        pirokko-check --version
ゲームのフォルダー FOLDER（省略すると今のフォルダー。`pirokko FOLDER` で遊ぶフォルダー）
にある txt/ のシーンスクリプト、img/ の画像と bgm.wav を調べます。見つかったことを
1 件 1 行で
  FILE:LINE[:COLUMN]: error|warning: MESSAGE
の形に書き（FILE は FOLDER からの相対パス。ファイル全体のことなら LINE は省きます）、
最後に件数を書きます。--json を付けると、代わりに {file, line（ファイル全体なら 0）,
column（分かるとき）, severity, message} の JSON 配列を書きます。エラーがあれば 1、
なければ 0、調べられないときは 2 で終わります。
--fix は、UTF-8 で保存されたスクリプトや、行末が LF か二重（CR CR LF）のスクリプトを、
コードページ 932 で行末が CR LF のものに変換し、ファイルを一度に置き換えます。
コードページ 932 にない文字を含むスクリプトは元のままにし、その文字を示します。
変換したものを書き、調べるときと同じように終わります。
</translation>
    </message>
    <message>
        <source>--fix and --json cannot be used together</source>
        <translation>--fix と --json は一緒に使えません</translation>
    </message>
    <message>
        <source>nothing to convert: every script is code page 932 with CR LF line ends</source>
        <translation>変換するものはありません。どのスクリプトもコードページ 932 で、行末は CR LF です</translation>
    </message>
    <message>
        <source>a byte here is not code page 932 text; the game shows &quot;�&quot; in its place</source>
        <translation>ここに、コードページ 932 の文字ではないバイトがあります。ゲームではその代わりに「�」と表示されます</translation>
    </message>
    <message>
        <source>%1 bytes on this line, the first here, are not code page 932 text; the game shows &quot;�&quot; in place of each</source>
        <translation>この行には、コードページ 932 の文字ではないバイトが %1 個あります（最初のものはここです）。ゲームではそれぞれの代わりに「�」と表示されます</translation>
    </message>
    <message>
        <source>convert it with: pirokko-check --fix</source>
        <translation>次のコマンドで変換してください: pirokko-check --fix</translation>
    </message>
    <message>
        <source>every line ends in LF alone, as Linux editors save: the game starts a new line only at CR LF, so it shows the whole script as one page; %1</source>
        <translation>行末がすべて LF だけです（Linux のエディターの保存形式です）。ゲームは CR LF でしか次の行に移らないので、スクリプト全体を 1 ページとして表示します。%1</translation>
    </message>
    <message>
        <source>this line holds an LF without a CR before it: the game shows it as a row break inside the line, not as a new line</source>
        <translation>この行には、前に CR のない LF があります。ゲームはこれを新しい行ではなく、行の中の改行として表示します</translation>
    </message>
    <message>
        <source>every line ends in CR CR LF (its line ends were converted twice): the game reads an empty line after each line, so every line shows as a page of its own; %1</source>
        <translation>行末がすべて CR CR LF です（行末を 2 回変換したためです）。ゲームは各行の後に空行を読むので、どの行も 1 行だけのページになります。%1</translation>
    </message>
    <message>
        <source>the script is saved as UTF-8, but the game reads code page 932 (Shift_JIS) and would show its Japanese text garbled; %1</source>
        <translation>このスクリプトは UTF-8 で保存されています。ゲームはコードページ 932（Shift_JIS）として読むので、日本語が文字化けします。%1</translation>
    </message>
    <message>
        <source>the &quot;&gt;end&quot; line on line %1</source>
        <translation>%1 行目の &quot;&gt;end&quot; の行</translation>
    </message>
    <message>
        <source>the &quot;tugi&quot; line on line %1</source>
        <translation>%1 行目の &quot;tugi&quot; の行</translation>
    </message>
    <message>
        <source>this repeat line goes on 1 line too many, past %1</source>
        <translation>この繰り返し行は、%1を越えて 1 行多く進みます</translation>
    </message>
    <message>
        <source>this repeat line goes on %1 lines too many, past %2</source>
        <translation>この繰り返し行は、%2を越えて %1 行多く進みます</translation>
    </message>
    <message>
        <source>%1: the opening scene, which starts there, skips as many of its first lines</source>
        <translation>%1。そこで始まるオープニングのシーンは、最初のその行数分が飛ばされます</translation>
    </message>
    <message>
        <source>%1 ends without &quot;&gt;end&quot;, so the chooser opens, but every scene has been played by then: the player is stuck there; end it with &quot;&gt;end&quot; to start a new game</source>
        <translation>%1が &quot;&gt;end&quot; なしで終わるので、選択画面が開きます。そのときにはすべてのシーンを見終えているため、そこから先に進めません。&quot;&gt;end&quot; で終えると、新しいゲームが始まります</translation>
    </message>
    <message>
        <source>%1 opens the chooser here, but every scene has been played by then: the player is stuck there; use &quot;&gt;end&quot; to start a new game</source>
        <translation>%1がここで選択画面を開きます。そのときにはすべてのシーンを見終えているため、そこから先に進めません。&quot;&gt;end&quot; を使うと、新しいゲームが始まります</translation>
    </message>
    <message>
        <source>the window shows only the first %1 rows of a page: this line falls below them and is not seen</source>
        <translation>ウィンドウに見えるのはページの最初の %1 行だけです。この行はその下になり、見えません</translation>
    </message>
    <message>
        <source>the window shows only the first %1 rows of a page: this line and the 1 line after it on its page fall below them and are not seen</source>
        <translation>ウィンドウに見えるのはページの最初の %1 行だけです。この行と、同じページのその後の 1 行はその下になり、見えません</translation>
    </message>
    <message>
        <source>the window shows only the first %1 rows of a page: this line and the %2 lines after it on its page fall below them and are not seen</source>
        <translation>ウィンドウに見えるのはページの最初の %1 行だけです。この行と、同じページのその後の %2 行はその下になり、見えません</translation>
    </message>
    <message>
        <source>%1, after the scene is over: those lines are never shown, and a script must not ask for them</source>
        <translation>%1。シーンが終わった後なので、それらの行は表示されません。スクリプトでこうしてはいけません</translation>
    </message>
    <message>
        <source>the game reads this line after &quot;tugi&quot; and, with the chooser open, the text would move on to it by itself after the scene is over, which a script must not ask for; make it an empty line (or one that starts with &quot;-&quot;, &quot;&gt;end&quot;, &quot;&gt;game&quot; or &quot;tugi&quot;)</source>
        <translation>ゲームは &quot;tugi&quot; の次のこの行も読みます。選択画面が開いた後、シーンが終わっているのに文章がこの行へ自動的に進もうとします。スクリプトでこうしてはいけません。空行にしてください（&quot;-&quot;、&quot;&gt;end&quot;、&quot;&gt;game&quot;、&quot;tugi&quot; で始まる行でもかまいません）</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>The game folder does not exist</source>
        <translation>ゲームのフォルダーがありません</translation>
    </message>
    <message>
        <source>The game folder is not a folder</source>
        <translation>ゲームのフォルダーとして指定されたものはフォルダーではありません</translation>
    </message>
    <message>
        <source>The game folder cannot be read</source>
        <translation>ゲームのフォルダーを読めません</translation>
    </message>
    <message>
        <source>there is no scene %1: the scenes are opn and 0 to 7</source>
        <translation>シーン %1 はありません。シーンは opn と 0 から 7 です</translation>
    </message>
    <message>
        <source>%1 is not a line number: lines count from 1</source>
        <translation>%1 は行番号ではありません。行は 1 から数えます</translation>
    </message>
    <message>
        <source>%1 has %2 lines: there is no line %3</source>
        <translation>%1 は %2 行なので、%3 行目はありません</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>%1 というオプションはありません</translation>
    </message>
    <message>
        <source>%1 needs a value: SCENE[:LINE]</source>
        <translation>%1 には値 SCENE[:LINE] が要ります</translation>
    </message>
    <message>
        <source>only one game folder can be played at a time</source>
        <translation>一度に遊べるゲームのフォルダーは一つだけです</translation>
    </message>
    <message>
        <source>usage: pirokko [FOLDER]
       pirokko --preview SCENE[:LINE] [FOLDER]
       pirokko --export-web OUT [FOLDER]
Plays the game in FOLDER (its txt/, img/ and bgm.wav), by default the
program&apos;s own folder. --preview starts at scene SCENE (opn, or 0 to 7), at
the page that holds line LINE of its script, and follows the game&apos;s files
as they are saved. --export-web checks the game and writes it with the web
edition&apos;s engine into the folder OUT, for any static web server.
</source>
        <translation>使い方: pirokko [FOLDER]
        pirokko --preview SCENE[:LINE] [FOLDER]
        pirokko --export-web OUT [FOLDER]
フォルダー FOLDER のゲーム（その txt/、img/ と bgm.wav）で遊びます。省略するとプログラム
自身のフォルダーです。--preview を付けると、シーン SCENE（opn か 0 から 7）の、スクリプト
の LINE 行目を含むページから始め、ゲームのファイルが保存されるたびにそれに従います。
--export-web を付けると、ゲームを確かめてから、ウェブ版のエンジンと一緒にフォルダー OUT に
書き出します。どんな静的ウェブサーバーからでも配信できます。
</translation>
    </message>
    <message>
        <source>%1 needs a value: the folder to write, OUT</source>
        <translation>%1 には値が要ります: 書き出し先のフォルダー OUT</translation>
    </message>
    <message>
        <source>--export-web and --preview exclude each other</source>
        <translation>--export-web と --preview は一緒には使えません</translation>
    </message>
    <message>
        <source>this program cannot export for the web</source>
        <translation>このプログラムはウェブ向けに書き出せません</translation>
    </message>
</context>
<context>
    <name>GifDecoder</name>
    <message>
        <source>%1 (the file ends too soon)</source>
        <translation>%1（ファイルが途中で終わっています）</translation>
    </message>
    <message>
        <source>%1 (its image data is damaged)</source>
        <translation>%1（画像のデータが壊れています）</translation>
    </message>
    <message>
        <source>%1 x %2 pixels is too large to show</source>
        <translation>%1 x %2 ピクセルは大きすぎて表示できません</translation>
    </message>
    <message>
        <source>the file holds no image</source>
        <translation>ファイルに画像がありません</translation>
    </message>
    <message>
        <source>its first image is empty (%1 x %2 pixels)</source>
        <translation>最初の画像が空です（%1 x %2 ピクセル）</translation>
    </message>
    <message>
        <source>there is not enough memory for %1 x %2 pixels</source>
        <translation>%1 x %2 ピクセルの画像を入れるメモリが足りません</translation>
    </message>
    <message>
        <source>its first image uses colour %1 of a table of %2</source>
        <translation>最初の画像が、%2 色しかないカラーテーブルの色番号 %1 を使っています</translation>
    </message>
</context>
<context>
    <name>Label</name>
    <message>
        <source>Text: Space goes on</source>
        <translation>本文：スペースキーで進みます</translation>
    </message>
    <message>
        <source>Text: Tab goes to the boxes and the scene buttons</source>
        <translation>本文：タブキーでチェックボックスとシーンのボタンへ移ります</translation>
    </message>
</context>
<context>
    <name>Preview</name>
    <message>
        <source>The scene does not play on to line %1</source>
        <translation>シーンが %1 行目まで進みません</translation>
    </message>
    <message>
        <source>The preview tries again when a file of the game is saved.</source>
        <translation>ゲームのファイルが保存されると、プレビューはもう一度試します。</translation>
    </message>
    <message>
        <source>The script is saved as UTF-8, but the game reads code page 932 (Shift_JIS): its Japanese text would show garbled.</source>
        <translation>このスクリプトは UTF-8 で保存されています。ゲームはコードページ 932（Shift_JIS）として読むので、日本語が文字化けします。</translation>
    </message>
    <message>
        <source>The script&apos;s lines end in LF alone, as Linux editors save them: the game would show the whole script as one page.</source>
        <translation>このスクリプトの行末は LF だけです（Linux のエディターの保存形式です）。ゲームはスクリプト全体を 1 ページとして表示します。</translation>
    </message>
    <message>
        <source>Every line of the script ends in CR CR LF (its line ends were converted twice): the game would show each line as a page of its own.</source>
        <translation>このスクリプトの行末はすべて CR CR LF です（行末を 2 回変換したためです）。ゲームはどの行も 1 行だけのページとして表示します。</translation>
    </message>
    <message>
        <source>This line holds bytes that are not code page 932 text: the game would show &quot;�&quot; in their place. Correct them; pirokko-check lists every such place.</source>
        <translation>この行には、コードページ 932 の文字ではないバイトがあります。ゲームではその代わりに「�」と表示されます。直してください。pirokko-check で、そのような箇所がすべて分かります。</translation>
    </message>
    <message>
        <source>Convert it with: pirokko-check --fix %1</source>
        <translation>次のコマンドで変換してください: pirokko-check --fix %1</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>The game has ended.</source>
        <translation>ゲームは終了しました。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>RuntimeError</name>
    <message>
        <source>Invalid property value: %1</source>
        <translation>プロパティの値が正しくありません: %1</translation>
    </message>
    <message>
        <source>Control array element %1 doesn&apos;t exist</source>
        <translation>コントロール配列の要素 %1 がありません</translation>
    </message>
    <message>
        <source>Control array element %1 already loaded</source>
        <translation>コントロール配列の要素 %1 はもう読み込まれています</translation>
    </message>
    <message>
        <source>Invalid picture: nothing to paint</source>
        <translation>画像が正しくありません: 描くものがありません</translation>
    </message>
    <message>
        <source>Internal error: %1</source>
        <translation>内部エラー: %1</translation>
    </message>
    <message>
        <source>Run-time error %1: %2</source>
        <translation>実行時エラー %1: %2</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>ファイル: %1</translation>
    </message>
    <message>
        <source>This system&apos;s iconv cannot decode code page 932</source>
        <translation>このシステムの iconv はコードページ 932 を読めません</translation>
    </message>
    <message>
        <source>Bad file number %1</source>
        <translation>ファイル番号 %1 が正しくありません</translation>
    </message>
    <message>
        <source>Too many files open</source>
        <translation>開いているファイルが多すぎます</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>ファイルはもう開いています</translation>
    </message>
    <message>
        <source>The file cannot be read as a text file</source>
        <translation>このファイルはテキストファイルとして読めません</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>ファイルが見つかりません</translation>
    </message>
    <message>
        <source>Input past end of file: the file is empty</source>
        <translation>ファイルの終わりを越えて読もうとしました: ファイルが空です</translation>
    </message>
    <message>
        <source>Input past end of file</source>
        <translation>ファイルの終わりを越えて読もうとしました</translation>
    </message>
    <message>
        <source>The picture is not a file</source>
        <translation>画像がファイルではありません</translation>
    </message>
    <message>
        <source>The picture cannot be read</source>
        <translation>画像を読めません</translation>
    </message>
    <message>
        <source>Invalid picture: %1</source>
        <translation>画像が正しくありません: %1</translation>
    </message>
</context>
<context>
    <name>Scene</name>
    <message>
        <source>The opening scene returns to the title before it shows a line, so it would restart forever</source>
        <translation>オープニングのシーンが 1 行も表示しないうちにタイトルに戻るため、いつまでも最初からやり直しになります</translation>
    </message>
    <message>
        <source>A repeat run keeps returning to the title and would never end</source>
        <translation>繰り返しがタイトルに戻り続け、いつまでも終わりません</translation>
    </message>
    <message>
        <source>Type mismatch: the repeat count &quot;%1&quot; is not a number</source>
        <translation>型が一致しません: 繰り返しの回数「%1」が数ではありません</translation>
    </message>
    <message>
        <source>Overflow: the repeat count &quot;%1&quot; is too large</source>
        <translation>オーバーフローしました: 繰り返しの回数「%1」が大きすぎます</translation>
    </message>
</context>
<context>
    <name>WebExport</name>
    <message>
        <source> and %1 more</source>
        <translation> ほか %1 件</translation>
    </message>
    <message>
        <source>%1 lies inside the game&apos;s folder %2, which the export copies; choose a folder outside it</source>
        <translation>%1 は書き出しで写すゲームのフォルダー %2 の中にあります。その外のフォルダーを選んでください</translation>
    </message>
    <message>
        <source>%1 is not a folder; nothing was exported</source>
        <translation>%1 はフォルダーではありません。何も書き出していません</translation>
    </message>
    <message>
        <source>%1 is neither empty nor an earlier export: it holds %2. Nothing was touched: export into a new or empty folder, or into one an earlier export wrote</source>
        <translation>%1 は空でも、以前の書き出しでもありません: %2 があります。何も変えていません。新しいフォルダーか空のフォルダー、または以前に書き出したフォルダーに書き出してください</translation>
    </message>
    <message>
        <source>the web engine is missing: there is no %1; nothing was exported</source>
        <translation>ウェブ版のエンジンがありません: %1 がありません。何も書き出していません</translation>
    </message>
    <message>
        <source>the game in %1 has errors (%2); nothing was exported</source>
        <translation>%1 のゲームにエラーがあります（%2）。何も書き出していません</translation>
    </message>
    <message>
        <source>%1 changed since it was exported, and exporting again would replace it. Nothing was touched: copy it into the game folder %2 or move it out of %3 first</source>
        <translation>%1 は書き出した後に変更されていて、もう一度書き出すと置き換えられてしまいます。何も変えていません。先にゲームのフォルダー %2 に写すか、%3 の外に移してください</translation>
    </message>
    <message>
        <source>%1 was added to the earlier export after it was written; it was kept, in %2</source>
        <translation>%1 は以前の書き出しの後に加えられたものなので、%2 に残しました</translation>
    </message>
    <message>
        <source>Exported the game in %1 to %2 (%3 files). Any static web server can serve that folder as it is; a file replaced in its txt/, img/ or bgm.wav changes the game.</source>
        <translation>%1 のゲームを %2 に書き出しました（ファイル %3 個）。どんな静的ウェブサーバーでもそのフォルダーをそのまま配信できます。その中の txt/、img/ や bgm.wav のファイルを置き換えると、ゲームが変わります。</translation>
    </message>
    <message>
        <source>cannot export to %1: %2 (%3); nothing was exported</source>
        <translation>%1 に書き出せません: %2（%3）。何も書き出していません</translation>
    </message>
</context>
</TS>
