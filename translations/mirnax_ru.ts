<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Gallery</name>
    <message>
        <source>Calendar</source>
        <translation>Календарь</translation>
    </message>
    <message>
        <source>Colour grid</source>
        <translation>Цветовая сетка</translation>
    </message>
    <message>
        <source>Gauge</source>
        <translation>Индикатор</translation>
    </message>
    <message>
        <source>Performance graph</source>
        <translation>График загрузки</translation>
    </message>
    <message>
        <source>Memo</source>
        <translation>Мемо</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Искомый текст</translation>
    </message>
    <message>
        <source>Words to highlight</source>
        <translation>Выделяемые слова</translation>
    </message>
    <message>
        <source>Words the memo shows highlighted, separated by commas; * matches any ending</source>
        <translation>Слова, которые мемо показывает выделенными, через запятую; * соответствует любому окончанию</translation>
    </message>
    <message>
        <source>Directory outline</source>
        <translation>Дерево каталогов</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Архив</translation>
    </message>
    <message>
        <source>Archive members</source>
        <translation>Содержимое архива</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Ход выполнения</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>Сообщения</translation>
    </message>
    <message>
        <source>Compression level</source>
        <translation>Степень сжатия</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>Volume size (KB)</source>
        <translation>Размер тома (КБ)</translation>
    </message>
    <message>
        <source>Zip</source>
        <translation>Zip-архив</translation>
    </message>
    <message>
        <source>Mirnax component gallery</source>
        <translation>Галерея компонентов Mirnax</translation>
    </message>
    <message>
        <source> (today)</source>
        <translation> (сегодня)</translation>
    </message>
    <message>
        <source>1 Monday</source>
        <translation>1 Понедельник</translation>
    </message>
    <message>
        <source>2 Tuesday</source>
        <translation>2 Вторник</translation>
    </message>
    <message>
        <source>3 Wednesday</source>
        <translation>3 Среда</translation>
    </message>
    <message>
        <source>4 Thursday</source>
        <translation>4 Четверг</translation>
    </message>
    <message>
        <source>5 Friday</source>
        <translation>5 Пятница</translation>
    </message>
    <message>
        <source>6 Saturday</source>
        <translation>6 Суббота</translation>
    </message>
    <message>
        <source>7 Sunday</source>
        <translation>7 Воскресенье</translation>
    </message>
    <message>
        <source>(disabled)</source>
        <translation>(отключён)</translation>
    </message>
    <message>
        <source>Left button: foreground. Other buttons: background.
Keys: arrows, Home, End, Space move; F and B pick.</source>
        <translation>Левая кнопка — цвет переднего плана, остальные — цвет фона.
Клавиши: стрелки, Home, End и пробел перемещают; F и B выбирают.</translation>
    </message>
    <message>
        <source>CPU %1 %, memory %2 %</source>
        <translation>ЦП %1 %, память %2 %</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>ЦП</translation>
    </message>
    <message>
        <source>memory</source>
        <translation>память</translation>
    </message>
    <message>
        <source>Jump to %1: line %2</source>
        <translation>Переход к %1: строка %2</translation>
    </message>
    <message>
        <source>Picture %1 (the viewer shows no images)</source>
        <translation>Рисунок %1 (просмотрщик не показывает изображения)</translation>
    </message>
    <message>
        <source>Copied %1 bytes</source>
        <translation>Скопировано байт: %1</translation>
    </message>
    <message>
        <source>Help asked for topic %1 (F1)</source>
        <translation>Запрошена справка по теме %1 (F1)</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Следующее</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Предыдущее</translation>
    </message>
    <message>
        <source>Found on line %1</source>
        <translation>Найдено в строке %1</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Не найдено</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Открыть...</translation>
    </message>
    <message>
        <source>Open a text</source>
        <translation>Открыть текст</translation>
    </message>
    <message>
        <source>Texts (*.txt);;All files (*)</source>
        <translation>Тексты (*.txt);;Все файлы (*)</translation>
    </message>
    <message>
        <source>%1: %2 lines</source>
        <translation>%1: строк: %2</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Nothing selected to copy</source>
        <translation>Для копирования ничего не выделено</translation>
    </message>
    <message>
        <source>Print to PDF</source>
        <translation>Печать в PDF</translation>
    </message>
    <message>
        <source>Printed to %1</source>
        <translation>Напечатано в %1</translation>
    </message>
    <message>
        <source>Page markers</source>
        <translation>Метки страниц</translation>
    </message>
    <message>
        <source>Words to highlight, separated by commas; a trailing * matches a prefix</source>
        <translation>Выделяемые слова через запятую; * в конце соответствует любому окончанию</translation>
    </message>
    <message>
        <source>Highlight:</source>
        <translation>Выделять:</translation>
    </message>
    <message>
        <source>Click a green jump, or open a text of your own.</source>
        <translation>Щёлкните зелёную ссылку или откройте свой текст.</translation>
    </message>
    <message>
        <source>Click a folder to make it current.
Double click or Enter opens and closes;
+ opens, - closes, * opens everything below.</source>
        <translation>Щёлкните папку, чтобы сделать её текущей.
Двойной щелчок или Enter открывает и закрывает;
+ открывает, - закрывает, * открывает всё вложенное.</translation>
    </message>
    <message>
        <source>Archive file</source>
        <translation>Файл архива</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Packed</source>
        <translation>Сжато</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>Сжатие</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>Folder names</source>
        <translation>Имена папок</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Перезаписывать</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Simulated removable drive</source>
        <translation>Имитация дисковода</translation>
    </message>
    <message>
        <source>Add files...</source>
        <translation>Добавить файлы...</translation>
    </message>
    <message>
        <source>Add folder...</source>
        <translation>Добавить папку...</translation>
    </message>
    <message>
        <source>Delete selected</source>
        <translation>Удалить выбранные</translation>
    </message>
    <message>
        <source>Extract to...</source>
        <translation>Извлечь в...</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Проверить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Span to volumes...</source>
        <translation>Разбить на тома...</translation>
    </message>
    <message>
        <source>Join volumes...</source>
        <translation>Собрать тома...</translation>
    </message>
    <message>
        <source>Make self-extracting</source>
        <translation>Создать SFX</translation>
    </message>
    <message>
        <source>Convert back</source>
        <translation>Обратно в zip</translation>
    </message>
    <message>
        <source>Archive:</source>
        <translation>Архив:</translation>
    </message>
    <message>
        <source>Level:</source>
        <translation>Уровень:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Volume size:</source>
        <translation>Размер тома:</translation>
    </message>
    <message>
        <source>  %1 (%2 bytes)</source>
        <translation>  %1 (байт: %2)</translation>
    </message>
    <message>
        <source>Open or create an archive</source>
        <translation>Открыть или создать архив</translation>
    </message>
    <message>
        <source>Zip archives (*.zip);;All files (*)</source>
        <translation>Архивы zip (*.zip);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Add files</source>
        <translation>Добавить файлы</translation>
    </message>
    <message>
        <source>Add a folder</source>
        <translation>Добавить папку</translation>
    </message>
    <message>
        <source>Extract to</source>
        <translation>Извлечь в</translation>
    </message>
    <message>
        <source>Span into folder</source>
        <translation>Разбить на тома в папку</translation>
    </message>
    <message>
        <source>Spanned onto %1</source>
        <translation>Разбито на тома: %1</translation>
    </message>
    <message>
        <source>Last volume of the set</source>
        <translation>Последний том набора</translation>
    </message>
    <message>
        <source>Archives (*.zip)</source>
        <translation>Архивы (*.zip)</translation>
    </message>
    <message>
        <source>Done: %1 file(s)</source>
        <translation>Готово, файлов: %1</translation>
    </message>
    <message>
        <source>%1 member(s)%2</source>
        <translation>Элементов: %1%2</translation>
    </message>
    <message>
        <source>; comment: %1</source>
        <translation>; комментарий: %1</translation>
    </message>
    <message>
        <source>memo, freez*</source>
        <translation>мемо, замор*</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Содержание</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Searching</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Рисунки</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Страницы</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Welcome to the hyper-text memo. Click a green word, or put the caret on it and press Enter.</source>
        <translation>Добро пожаловать в гипертекстовое мемо. Щёлкните зелёное слово или поставьте на него курсор и нажмите Enter.</translation>
    </message>
    <message>
        <source>moving around with the keys and the mouse</source>
        <translation>перемещение клавишами и мышью</translation>
    </message>
    <message>
        <source>finding words, highlighting them</source>
        <translation>поиск слов и их выделение</translation>
    </message>
    <message>
        <source>references to images</source>
        <translation>ссылки на изображения</translation>
    </message>
    <message>
        <source>page markers and printing</source>
        <translation>метки страниц и печать</translation>
    </message>
    <message>
        <source>text in Windows-1251</source>
        <translation>текст в Windows-1251</translation>
    </message>
    <message>
        <source>Back to the ~%1.</source>
        <translation>Назад к ~%1.</translation>
    </message>
    <message>
        <source>Up, Down, Page Up and Page Down move the caret by lines and pages; with Ctrl,
Page Up and Page Down go to the first and last visible line, Home and End to the
start and the end of the text. Shift with any of them selects; so does dragging.
Drag past the bottom edge and the view scrolls on by itself. Ctrl+Insert copies.
F1 asks the program for help on the memo&apos;s topic. See also ~%1.</source>
        <translation>Стрелки вверх и вниз, Page Up и Page Down перемещают курсор по строкам и страницам;
с Ctrl клавиши Page Up и Page Down ведут к первой и последней видимой строке, а Home
и End - к началу и концу текста. С Shift любая из них выделяет, как и перетаскивание.
Если увести мышь за нижний край, текст прокручивается сам. Ctrl+Insert копирует.
F1 просит у программы справку по теме мемо. См. также ~%1.</translation>
    </message>
    <message>
        <source>Type a word into the search field and press Next or Previous. Letter case does
not matter, and Latin letters match their Cyrillic look-alikes: cab finds CAB.
Words in the highlight field are shown in red; a trailing * matches a prefix,
so freez* lights freeze, freezes and freezing. Try it on the ~%1 page.</source>
        <translation>Введите слово в поле поиска и нажмите &quot;Следующее&quot; или &quot;Предыдущее&quot;. Регистр букв
не важен, а латинские буквы совпадают с похожими кириллическими: cab найдёт САВ.
Слова из поля выделения показаны красным; * в конце означает любое окончание, так
что замор* подсвечивает заморозка, заморозки и заморозить. Попробуйте на странице ~%1.</translation>
    </message>
    <message>
        <source>A name behind a caret refers to a picture: ^map_01.bmp is drawn in a dotted frame,
its underscores shown as dots. Clicking one reports it: ^statics_index.png
Pictures are not jumps; they do not lead anywhere. Back to ~%1.</source>
        <translation>Имя со значком-крышкой впереди ссылается на рисунок: ^map_01.bmp рисуется
в пунктирной рамке, подчёркивания в имени показаны точками. Щелчок по рисунку
сообщает о нём: ^statics_index.png
Рисунки - не ссылки, они никуда не ведут. Назад к ~%1.</translation>
    </message>
    <message>
        <source>With page markers on, every 50 lines are opened by a line such as - Page 2 - in
blue. Printing writes pages of 51 lines; Print to PDF puts the whole text into a
file in the temporary folder.</source>
        <translation>Когда метки страниц включены, каждые 50 строк открываются синей строкой вида
- Page 2 -. Печать выводит страницы по 51 строке; &quot;Печать в PDF&quot; помещает весь
текст в файл во временной папке.</translation>
    </message>
    <message>
        <source>Filler line %1 of the appendix, to scroll through.</source>
        <translation>Строка %1 приложения, чтобы было что прокручивать.</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Нагрузка</translation>
    </message>
</context>
<context>
    <name>mirnax</name>
    <message>
        <source>Usage: mirnax [FOLDER] | --help | --version

Opens the window that freezes the items of the world files STATICS/*.SCP of the server&apos;s
folder FOLDER (default: the current folder) into the statics files named in its mirnax.ini.
Started elsewhere, the window asks for the server&apos;s folder. Without a display, use
mirnax-freeze.

  --help     show this text
  --version  show the version

Exit status: 0 when the window was closed, 1 when no display could be opened or an error
ended the program, 2 for a wrong argument or a folder that cannot be opened.
</source>
        <translation>Использование: mirnax [ПАПКА] | --help | --version

Открывает окно, которое вмораживает предметы из файлов мира STATICS/*.SCP папки сервера
ПАПКА (по умолчанию: текущая папка) в файлы статики, указанные в её mirnax.ini.
Запущенное в другом месте, окно спрашивает папку сервера. Без дисплея используйте
mirnax-freeze.

  --help     показать этот текст
  --version  показать версию

Код завершения: 0, когда окно закрыто; 1, когда не удалось открыть дисплей или работу
прервала ошибка; 2 при неверном аргументе или папке, которую нельзя открыть.
</translation>
    </message>
    <message>
        <source>cannot work in &apos;%s&apos;: %s</source>
        <translation>нельзя работать в &apos;%s&apos;: %s</translation>
    </message>
</context>
<context>
    <name>mirnax-freeze</name>
    <message>
        <source> (see mirnax-freeze --help)</source>
        <translation> (см. mirnax-freeze --help)</translation>
    </message>
    <message>
        <source>option %s needs %s</source>
        <translation>после параметра %s нужно указать %s</translation>
    </message>
    <message>
        <source>a file name</source>
        <translation>имя файла</translation>
    </message>
    <message>
        <source>an area, X1,Y1,X2,Y2</source>
        <translation>область, X1,Y1,X2,Y2</translation>
    </message>
    <message>
        <source>unknown option %s</source>
        <translation>неизвестный параметр %s</translation>
    </message>
    <message>
        <source>option --map-size needs a size, WIDTHxHEIGHT</source>
        <translation>после параметра --map-size нужно указать размер, ШИРИНАxВЫСОТА</translation>
    </message>
    <message>
        <source>--check and --dry-run exclude each other</source>
        <translation>--check и --dry-run исключают друг друга</translation>
    </message>
    <message>
        <source>--check takes no world files and no other option than --staidx, --statics and --map-size</source>
        <translation>--check не принимает файлов мира и других параметров, кроме --staidx, --statics и --map-size</translation>
    </message>
    <message>
        <source>--dry-run and --undo exclude each other</source>
        <translation>--dry-run и --undo исключают друг друга</translation>
    </message>
    <message>
        <source>--clear and --keep exclude each other</source>
        <translation>--clear и --keep исключают друг друга</translation>
    </message>
    <message>
        <source>--undo takes no world files and no other option than --staidx and --statics</source>
        <translation>--undo не принимает файлов мира и других параметров, кроме --staidx и --statics</translation>
    </message>
    <message>
        <source>--check takes no --area and no --skip-duplicates: it looks at the pair as it is</source>
        <translation>--check не принимает --area и --skip-duplicates: он смотрит на пару файлов как она есть</translation>
    </message>
    <message>
        <source>--out, --copy and --force go with --unfreeze only</source>
        <translation>--out, --copy и --force применяются только с --unfreeze</translation>
    </message>
    <message>
        <source>--unfreeze needs --area X1,Y1,X2,Y2 and --out FILE</source>
        <translation>--unfreeze нужны --area X1,Y1,X2,Y2 и --out ФАЙЛ</translation>
    </message>
    <message>
        <source>--unfreeze takes no world files and does not go with --clear, --skip-duplicates, --undo, --check or --dry-run</source>
        <translation>--unfreeze не принимает файлов мира и не сочетается с --clear, --skip-duplicates, --undo, --check и --dry-run</translation>
    </message>
    <message>
        <source>Usage: mirnax-freeze [--clear | --keep] [--area X1,Y1,X2,Y2] [--skip-duplicates] [--staidx FILE]
                     [--statics FILE] [WORLDFILE ...]
       mirnax-freeze --dry-run [--clear | --keep] [--staidx FILE] [--statics FILE] [WORLDFILE ...]
       mirnax-freeze --check [--staidx FILE] [--statics FILE]
       mirnax-freeze --unfreeze [--copy] --area X1,Y1,X2,Y2 --out FILE [--force] [--no-backup]
                     [--staidx FILE] [--statics FILE]

Freezes the items of the world files into the statics files.

  WORLDFILE       a world file, relative to the current folder; without any, every file
                  that matches STATICS/*.SCP here
  --staidx FILE   the statics index file (default: Staidx0 of ./mirnax.ini)
  --statics FILE  the statics data file (default: Statics0 of ./mirnax.ini)
  --clear         clear the current statics first
  --keep          keep the current statics and add to them (the default)
  --no-backup     do not keep the replaced statics as FILE.bak
  --undo          put back the statics the last freeze replaced, from FILE.bak
  --map-size WxH  the map&apos;s size in tiles, each side a multiple of 8 (default: MapSize of
                  ./mirnax.ini, else 6144x4096); the index has one entry per 8x8 block
  --area X1,Y1,X2,Y2
                  take only the world items inside this rectangle of tiles (corners
                  included); the log counts those left out per world file
  --skip-duplicates
                  leave out an item whose 7-byte static record its block has already
                  (among the statics kept, or added before in this run); the log counts
                  them per world file. Freezing a world file again then adds nothing
  --unfreeze      with --area and --out FILE: take the statics that stand in the area out of
                  the statics files and write them to FILE as a world file (SERIAL=040001
                  upward, the freeze&apos;s format), with a freeze&apos;s journal and backup: --undo
                  puts them back, a freeze of FILE with --keep puts them back too
  --copy          with --unfreeze: only write FILE, leaving the statics files as they are
  --force         with --unfreeze: replace FILE when it exists (never replaced otherwise)
  --dry-run       read everything a freeze reads and say what it would do, touching nothing
                  (no lock, no settling of an interrupted freeze, no backup, no record)
  --check         check the statics pair and report, writing nothing and taking no lock
  --help          show this text
  --version       show the version

--check exits 0 when the pair is consistent, 4 when it is not, 1 when it cannot be read.
--dry-run exits 0 when a freeze would go ahead, 1 when it would stop or a file cannot be read.

Files:
  ./mirnax.ini          section [KEVOMIRNAX], keys Staidx0 and Statics0: the statics paths
                        (and MapSize, optional: the map&apos;s size; never written)
  STATICS/*.SCP         the world files taken when none is given
  &lt;statics&gt;.xxx         the previous statics while the new ones are written; left behind
                        only by a killed run, which the next run settles or explains
  &lt;index&gt;.freeze        the run&apos;s journal beside the index file
  &lt;index&gt;.lock          held while a run works on the pair
  &lt;statics&gt;.bak         the pair the last freeze replaced, put back by --undo
  &lt;index&gt;.frozen        the world files frozen into the pair, by checksum and date
  FILE.new              an unfreeze&apos;s world file until the statics are rewritten

Exit status: 0 done, 1 the run stopped on an error or found no world files or no statics
paths, 2 bad arguments, 3 the statics were frozen but the log could not be written.
</source>
        <translation>Использование: mirnax-freeze [--clear | --keep] [--area X1,Y1,X2,Y2] [--skip-duplicates] [--staidx ФАЙЛ]
                             [--statics ФАЙЛ] [ФАЙЛ_МИРА ...]
       mirnax-freeze --dry-run [--clear | --keep] [--staidx ФАЙЛ] [--statics ФАЙЛ] [ФАЙЛ_МИРА ...]
       mirnax-freeze --check [--staidx ФАЙЛ] [--statics ФАЙЛ]
       mirnax-freeze --unfreeze [--copy] --area X1,Y1,X2,Y2 --out ФАЙЛ [--force] [--no-backup]
                     [--staidx ФАЙЛ] [--statics ФАЙЛ]

Вмораживает предметы из файлов мира в файлы статики.

  ФАЙЛ_МИРА       файл мира относительно текущей папки; если не указан ни один, берутся
                  все файлы, подходящие под STATICS/*.SCP здесь
  --staidx ФАЙЛ   индексный файл статики (по умолчанию: Staidx0 из ./mirnax.ini)
  --statics ФАЙЛ  файл данных статики (по умолчанию: Statics0 из ./mirnax.ini)
  --clear         сначала очистить текущую статику
  --keep          сохранить текущую статику и дополнить её (по умолчанию)
  --no-backup     не сохранять заменённую статику как ФАЙЛ.bak
  --undo          вернуть статику, заменённую последней заморозкой, из ФАЙЛ.bak
  --map-size ШxВ  размер карты в тайлах, каждая сторона кратна 8 (по умолчанию: MapSize из
                  ./mirnax.ini, иначе 6144x4096); в индексе по одной записи на блок 8x8
  --area X1,Y1,X2,Y2
                  брать только предметы мира внутри этого прямоугольника тайлов (углы
                  включительно); журнал считает оставленные в стороне по каждому файлу мира
  --skip-duplicates
                  пропускать предмет, 7-байтовая запись статики которого в его блоке уже есть
                  (среди сохраняемой статики или добавленная раньше в этом запуске); журнал
                  считает их по каждому файлу мира. Повторная заморозка файла мира тогда
                  ничего не добавляет
  --unfreeze      с --area и --out ФАЙЛ: изъять статику, стоящую в области, из файлов
                  статики и записать её в ФАЙЛ как файл мира (SERIAL=040001 и выше, в формате
                  заморозки), с журналом и резервной копией, как у заморозки: --undo её
                  возвращает, заморозка ФАЙЛА с --keep тоже
  --copy          с --unfreeze: только записать ФАЙЛ, оставив файлы статики как есть
  --force         с --unfreeze: заменить ФАЙЛ, если он есть (иначе никогда не заменяется)
  --dry-run       прочитать всё, что читает заморозка, и сказать, что она сделала бы, ничего
                  не трогая (без блокировки, без доводки прерванной заморозки, без копии, без записи)
  --check         проверить пару файлов статики и сообщить, ничего не записывая и не блокируя
  --help          показать этот текст
  --version       показать версию

--check завершается с кодом 0, если пара согласована, 4 — если нет, 1 — если её не прочитать.
--dry-run завершается с кодом 0, если заморозка прошла бы, 1 — если она остановилась бы или
файл не прочитать.

Файлы:
  ./mirnax.ini          раздел [KEVOMIRNAX], ключи Staidx0 и Statics0: пути к статике
                        (и необязательный MapSize: размер карты; никогда не записывается)
  STATICS/*.SCP         файлы мира, которые берутся, если не указан ни один
  &lt;статика&gt;.xxx         прежняя статика, пока пишется новая; остаётся только после
                        убитого запуска, который следующий запуск доводит или объясняет
  &lt;индекс&gt;.freeze       журнал запуска рядом с индексным файлом
  &lt;индекс&gt;.lock         удерживается, пока запуск работает с парой
  &lt;статика&gt;.bak         пара, заменённая последней заморозкой; возвращается через --undo
  &lt;индекс&gt;.frozen       файлы мира, вмороженные в пару, по контрольной сумме и дате
  ФАЙЛ.new              файл мира разморозки, пока статика не переписана

Код завершения: 0 готово, 1 запуск остановлен ошибкой или не нашёл файлов мира или путей
к статике, 2 неверные аргументы, 3 статика вморожена, но журнал не удалось записать.
</translation>
    </message>
    <message>
        <source>cannot write the log to standard output: %s</source>
        <translation>не удаётся записать журнал в стандартный вывод: %s</translation>
    </message>
    <message>
        <source>cannot write to standard output: %s</source>
        <translation>не удаётся писать в стандартный вывод: %s</translation>
    </message>
    <message>
        <source>no world files given</source>
        <translation>не указано ни одного файла мира</translation>
    </message>
    <message>
        <source>no world files: none given and none matches %s in %s</source>
        <translation>нет файлов мира: ни один не указан и ни один не подходит под %s в %s</translation>
    </message>
    <message>
        <source>no statics index path: give --staidx FILE and --statics FILE, or set Staidx0 and Statics0 in ./mirnax.ini</source>
        <translation>нет пути к индексному файлу статики: укажите --staidx ФАЙЛ и --statics ФАЙЛ или задайте Staidx0 и Statics0 в ./mirnax.ini</translation>
    </message>
    <message>
        <source>no statics data path: give --staidx FILE and --statics FILE, or set Staidx0 and Statics0 in ./mirnax.ini</source>
        <translation>нет пути к файлу данных статики: укажите --staidx ФАЙЛ и --statics ФАЙЛ или задайте Staidx0 и Statics0 в ./mirnax.ini</translation>
    </message>
    <message>
        <source>%s came after the new statics were complete; the freeze was finished.</source>
        <translation>%s пришёл, когда новая статика была уже готова; заморозка доведена до конца.</translation>
    </message>
    <message>
        <source>the statics were frozen, but the log could not be written to standard output: %s</source>
        <translation>статика вморожена, но журнал не удалось записать в стандартный вывод: %s</translation>
    </message>
    <message>
        <source>Statics index file %s: %lld entries (a map of %s tiles has %d)</source>
        <translation>Индексный файл статики %s: записей: %lld (у карты %s тайлов их %d)</translation>
    </message>
    <message>
        <source>Statics data file %s: %lld bytes</source>
        <translation>Файл данных статики %s: байт: %lld</translation>
    </message>
    <message>
        <source>Fault: %s</source>
        <translation>Ошибка: %s</translation>
    </message>
    <message>
        <source>Note: %s</source>
        <translation>Примечание: %s</translation>
    </message>
    <message>
        <source>%lld blocks with statics, %lld statics</source>
        <translation>блоков со статикой: %lld, статики: %lld</translation>
    </message>
    <message>
        <source>The statics files are consistent.</source>
        <translation>Файлы статики согласованы.</translation>
    </message>
    <message>
        <source>The statics files are not consistent: %lld faults.</source>
        <translation>Файлы статики не согласованы: ошибок: %lld.</translation>
    </message>
    <message>
        <source>cannot write the report to standard output: %s</source>
        <translation>не удаётся записать отчёт в стандартный вывод: %s</translation>
    </message>
</context>
<context>
    <name>mirnax-gallery</name>
    <message>
        <source>Usage: mirnax-gallery [--page NAME] [--grab FILE.png]

Shows each control of the component library live, one page per control.

  --page NAME  open on that page
  --grab FILE  render the window to FILE (PNG) and quit
  --help       show this text
  --version    show the version

Pages: %s
</source>
        <translation>Использование: mirnax-gallery [--page ИМЯ] [--grab ФАЙЛ.png]

Показывает вживую каждый элемент управления библиотеки компонентов, по странице на элемент.

  --page ИМЯ   открыть на этой странице
  --grab ФАЙЛ  отрисовать окно в ФАЙЛ (PNG) и выйти
  --help       показать этот текст
  --version    показать версию

Страницы: %s
</translation>
    </message>
    <message>
        <source>Open on page NAME.</source>
        <translation>Открыть на странице ИМЯ.</translation>
    </message>
    <message>
        <source>Render the window to FILE and quit.</source>
        <translation>Отрисовать окно в ФАЙЛ и выйти.</translation>
    </message>
    <message>
        <source>no page named &apos;%s&apos; (pages: %s)</source>
        <translation>нет страницы с именем &apos;%s&apos; (страницы: %s)</translation>
    </message>
    <message>
        <source>cannot write %s</source>
        <translation>не удаётся записать %s</translation>
    </message>
</context>
<context>
    <name>mirnax::ArgumentError</name>
    <message>
        <source>unexpected argument &apos;%s&apos;</source>
        <translation>лишний аргумент &apos;%s&apos;</translation>
    </message>
    <message>
        <source>unknown option &apos;%s&apos;</source>
        <translation>неизвестный параметр &apos;%s&apos;</translation>
    </message>
    <message>
        <source>option &apos;%s&apos; needs a value</source>
        <translation>после параметра &apos;%s&apos; нужно указать значение</translation>
    </message>
    <message>
        <source> (see &apos;%s --help&apos;)</source>
        <translation> (см. &apos;%s --help&apos;)</translation>
    </message>
</context>
<context>
    <name>mirnax::ClearStatics</name>
    <message>
        <source>The statics index file was cleared; the statics data file was left as it was.</source>
        <translation>Индексный файл статики очищен; файл данных статики оставлен как был.</translation>
    </message>
    <message>
        <source>The statics files were left as they were.</source>
        <translation>Файлы статики оставлены как были.</translation>
    </message>
</context>
<context>
    <name>mirnax::DryRunFreeze</name>
    <message>
        <source>%lld bytes</source>
        <translation>%lld байт</translation>
    </message>
    <message>
        <source>no file</source>
        <translation>файла нет</translation>
    </message>
    <message>
        <source>%s: %s now, %s after the freeze</source>
        <translation>%s: сейчас %s, после заморозки %s</translation>
    </message>
    <message>
        <source>A freeze would clear the current statics and write %lld items into %lld blocks.</source>
        <translation>Заморозка очистила бы текущую статику и записала бы предметы (%lld) в блоки (%lld).</translation>
    </message>
    <message>
        <source>A freeze would keep the current statics and add %lld items to %lld blocks, %lld of which have statics now.</source>
        <translation>Заморозка сохранила бы текущую статику и добавила бы предметы (%lld) в блоки (%lld), из которых статика сейчас есть в %lld.</translation>
    </message>
    <message>
        <source>Statics index file %s (%d blocks of a map of %s tiles).</source>
        <translation>Индексный файл статики %s (блоков: %d, карта %s тайлов).</translation>
    </message>
    <message>
        <source>Statics data file %s.</source>
        <translation>Файл данных статики %s.</translation>
    </message>
    <message>
        <source>the free space cannot be told</source>
        <translation>свободное место определить нельзя</translation>
    </message>
    <message>
        <source>%s free</source>
        <translation>свободно %s</translation>
    </message>
    <message>
        <source>Free space needed: %s beside %s (%s).</source>
        <translation>Нужно свободного места: %s рядом с %s (%s).</translation>
    </message>
    <message>
        <source>The replaced statics would be kept as %s and %s.</source>
        <translation>Заменённая статика была бы сохранена как %s и %s.</translation>
    </message>
    <message>
        <source>The replaced statics would not be kept.</source>
        <translation>Заменённая статика не была бы сохранена.</translation>
    </message>
    <message>
        <source>Dry run: nothing is written, locked, settled or kept.</source>
        <translation>Пробный запуск: ничего не записывается, не блокируется, не доводится и не сохраняется.</translation>
    </message>
    <message>
        <source>A freeze of these statics did not finish: its journal %s is there. A freeze would settle it first; the figures below are for the files as they are now.</source>
        <translation>Заморозка этой статики не завершилась: её журнал %s на месте. Заморозка сначала довела бы её; цифры ниже — для файлов в их нынешнем виде.</translation>
    </message>
    <message>
        <source>A freeze would stop: %s</source>
        <translation>Заморозка остановилась бы: %s</translation>
    </message>
</context>
<context>
    <name>mirnax::Exception</name>
    <message>
        <source>Too many data points in one time step (at most 16)</source>
        <translation>Слишком много точек данных за один шаг времени (не больше 16)</translation>
    </message>
    <message>
        <source>No block device holds %s</source>
        <translation>Ни одно блочное устройство не содержит %s</translation>
    </message>
    <message>
        <source>The device %s cannot be found</source>
        <translation>Устройство %s не найдено</translation>
    </message>
    <message>
        <source>The system bus is not reachable, so disks cannot be labelled or formatted</source>
        <translation>Системная шина недоступна, поэтому дискам нельзя задать метку или отформатировать их</translation>
    </message>
    <message>
        <source>The disk service udisks2 is not running, so disks cannot be labelled or formatted</source>
        <translation>Служба дисков udisks2 не запущена, поэтому дискам нельзя задать метку или отформатировать их</translation>
    </message>
    <message>
        <source>udisks2 did not answer %s</source>
        <translation>udisks2 не ответила на %s</translation>
    </message>
    <message>
        <source>The disk was formatted but cannot be mounted again: %s</source>
        <translation>Диск отформатирован, но его не удаётся снова подключить: %s</translation>
    </message>
    <message>
        <source>The disk was formatted but is now mounted at %s instead of %s, so the span cannot go on there</source>
        <translation>Диск отформатирован, но теперь подключён в %s вместо %s, поэтому продолжить разбиение там нельзя</translation>
    </message>
    <message>
        <source>Cannot open file %s</source>
        <translation>Не удаётся открыть файл %s</translation>
    </message>
    <message>
        <source>Cannot create file %s</source>
        <translation>Не удаётся создать файл %s</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>файл только для чтения</translation>
    </message>
    <message>
        <source>Read error on %s: %s</source>
        <translation>Ошибка чтения %s: %s</translation>
    </message>
    <message>
        <source>Write error on %s: %s</source>
        <translation>Ошибка записи %s: %s</translation>
    </message>
    <message>
        <source>&apos;%s&apos; is not a valid integer value</source>
        <translation>&apos;%s&apos; не является допустимым целым числом</translation>
    </message>
    <message>
        <source>List index out of bounds (%d)</source>
        <translation>Индекс списка вне границ (%d)</translation>
    </message>
    <message>
        <source>Value must be between %d and %d</source>
        <translation>Значение должно быть от %d до %d</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Недостаточно памяти</translation>
    </message>
    <message>
        <source>Operation not allowed on sorted list</source>
        <translation>Операция недопустима для отсортированного списка</translation>
    </message>
    <message>
        <source>String list does not allow duplicates</source>
        <translation>Список строк не допускает повторов</translation>
    </message>
    <message>
        <source>Grid index out of range</source>
        <translation>Индекс сетки вне диапазона</translation>
    </message>
    <message>
        <source>Invalid argument to date encode</source>
        <translation>Недопустимый аргумент при кодировании даты</translation>
    </message>
    <message>
        <source>Outline index not found</source>
        <translation>Индекс дерева не найден</translation>
    </message>
    <message>
        <source>Invalid selection</source>
        <translation>Недопустимый выбор</translation>
    </message>
    <message>
        <source>Seek error on %s: %s</source>
        <translation>Ошибка позиционирования в %s: %s</translation>
    </message>
    <message>
        <source>Read error on %s: the file ends %zu bytes short at offset %lld</source>
        <translation>Ошибка чтения %s: файлу не хватает %zu байт на смещении %lld</translation>
    </message>
    <message>
        <source>cannot load %s</source>
        <translation>не удаётся загрузить %s</translation>
    </message>
    <message>
        <source>Cannot rename %s to %s: %s</source>
        <translation>Не удаётся переименовать %s в %s: %s</translation>
    </message>
    <message>
        <source>Cannot write the folder %s to disk: %s</source>
        <translation>Не удаётся записать папку %s на диск: %s</translation>
    </message>
    <message>
        <source>Cannot set the owner of %s: %s</source>
        <translation>Не удаётся сменить владельца %s: %s</translation>
    </message>
    <message>
        <source>Cannot set the permissions of %s: %s</source>
        <translation>Не удаётся задать права доступа %s: %s</translation>
    </message>
    <message>
        <source>No disk in the drive</source>
        <translation>В дисководе нет диска</translation>
    </message>
    <message>
        <source>List capacity out of bounds (%d)</source>
        <translation>Ёмкость списка вне границ (%d)</translation>
    </message>
    <message>
        <source>List count out of bounds (%d)</source>
        <translation>Число элементов списка вне границ (%d)</translation>
    </message>
    <message>
        <source>Another disk is being formatted</source>
        <translation>Уже форматируется другой диск</translation>
    </message>
    <message>
        <source>Read error on %s: the file ends short of offset %lld</source>
        <translation>Ошибка чтения %s: файл кончается раньше смещения %lld</translation>
    </message>
</context>
<context>
    <name>mirnax::FormatDialog</name>
    <message>
        <source>Format disk</source>
        <translation>Форматирование диска</translation>
    </message>
    <message>
        <source>Quick format</source>
        <translation>Быстрое форматирование</translation>
    </message>
    <message>
        <source>Everything on the disk will be erased.</source>
        <translation>Всё содержимое диска будет стёрто.</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Начать</translation>
    </message>
    <message>
        <source>Drive:</source>
        <translation>Дисковод:</translation>
    </message>
    <message>
        <source>Volume label:</source>
        <translation>Метка тома:</translation>
    </message>
    <message>
        <source>Formatting...</source>
        <translation>Форматирование...</translation>
    </message>
    <message>
        <source>Format complete.</source>
        <translation>Форматирование завершено.</translation>
    </message>
    <message>
        <source>Format failed: %1</source>
        <translation>Форматирование не удалось: %1</translation>
    </message>
</context>
<context>
    <name>mirnax::FreezeChecks</name>
    <message>
        <source>%.1f MB</source>
        <translation>%.1f МБ</translation>
    </message>
    <message>
        <source>%s and %s</source>
        <translation>%s и %s</translation>
    </message>
    <message>
        <source>%s as %s</source>
        <translation>%s под именем %s</translation>
    </message>
    <message>
        <source>A freeze was interrupted after it had completed the new statics files %s and %s. The previous statics left as %s are no longer needed: delete %s, then start again.</source>
        <translation>Заморозка была прервана, когда новые файлы статики %s и %s уже были готовы. Прежняя статика, оставленная как %s, больше не нужна: удалите %s и запустите снова.</translation>
    </message>
    <message>
        <source>A freeze did not finish: the previous statics are kept as %s, and what it wrote under the configured names is not complete. Put back %s, then start again.</source>
        <translation>Заморозка не завершилась: прежняя статика сохранена как %s, а то, что записано под настроенными именами, неполно. Верните %s и запустите снова.</translation>
    </message>
    <message>
        <source>The file %s is left from a freeze that did not finish and may hold the only copy of the previous statics; nothing tells whether %s is whole. Keep it: put it back as %s if the statics files are not whole, or else move it out of this folder, then start again.</source>
        <translation>Файл %s остался от незавершённой заморозки и может хранить единственную копию прежней статики; неизвестно, цел ли %s. Не удаляйте его: верните под именем %s, если файлы статики не целы, иначе уберите его из этой папки, затем запустите снова.</translation>
    </message>
    <message>
        <source>The statics file %s has the extension %s, which is kept for the previous files while the statics are rewritten. Rename it.</source>
        <translation>У файла статики %s расширение %s, которое отведено для прежних файлов на время перезаписи статики. Переименуйте его.</translation>
    </message>
    <message>
        <source>The statics index file and the statics data file must be two different files (%s, %s).</source>
        <translation>Индексный файл статики и файл данных статики должны быть разными файлами (%s, %s).</translation>
    </message>
    <message>
        <source>The statics index file %s and the statics data file %s would both be kept as %s while the statics are rewritten. Give them different names.</source>
        <translation>Индексный файл статики %s и файл данных статики %s оба сохранялись бы как %s на время перезаписи статики. Дайте им разные имена.</translation>
    </message>
    <message>
        <source>The statics file %s has the name %s, which a freeze uses for its own working file beside the index. Give the statics file another name.</source>
        <translation>Файл статики %s назван %s — это имя заморозка использует для своего рабочего файла рядом с индексом. Дайте файлу статики другое имя.</translation>
    </message>
    <message>
        <source>Not enough free space for the new statics: %s is needed beside %s, %s is free.</source>
        <translation>Недостаточно свободного места для новой статики: нужно %s рядом с %s, свободно %s.</translation>
    </message>
    <message>
        <source>The statics index file %s is %lld bytes long: %lld blocks%s. The statics index of a map of %s tiles has exactly %lld bytes (%d blocks of 8x8 tiles, an entry of %d bytes each).</source>
        <translation>Индексный файл статики %s имеет длину %lld байт: блоков %lld%s. Индекс статики карты %s тайлов занимает ровно %lld байт (%d блоков 8x8 тайлов, по записи в %d байт на каждый).</translation>
    </message>
    <message>
        <source> and %lld bytes more</source>
        <translation> и ещё %lld байт</translation>
    </message>
    <message>
        <source>%lld blocks are those of a map of %s tiles; give its size with --map-size or MapSize= in mirnax.ini.</source>
        <translation>Столько блоков (%lld) у карты %s тайлов; укажите её размер через --map-size или MapSize= в mirnax.ini.</translation>
    </message>
    <message>
        <source>The statics index file %s is damaged: entry %d points outside the statics data file %s (offset %d, length %d; the data file has %lld bytes).</source>
        <translation>Индексный файл статики %s повреждён: запись %d указывает за пределы файла данных статики %s (смещение %d, длина %d; в файле данных %lld байт).</translation>
    </message>
    <message>
        <source>The statics data would grow to %lld bytes, more than a statics index can address (%d bytes).</source>
        <translation>Данные статики выросли бы до %lld байт — больше, чем может адресовать индекс статики (%d байт).</translation>
    </message>
    <message>
        <source>No statics index file is given: the path of Staidx0 is empty.</source>
        <translation>Индексный файл статики не указан: путь Staidx0 пуст.</translation>
    </message>
    <message>
        <source>No statics data file is given: the path of Statics0 is empty.</source>
        <translation>Файл данных статики не указан: путь Statics0 пуст.</translation>
    </message>
</context>
<context>
    <name>mirnax::MapPicture</name>
    <message>
        <source>Statics now</source>
        <translation>Статика сейчас</translation>
    </message>
    <message>
        <source>New items</source>
        <translation>Новые предметы</translation>
    </message>
    <message>
        <source>Items outside the map: %1</source>
        <translation>Предметов вне карты: %1</translation>
    </message>
</context>
<context>
    <name>mirnax::RunFreeze</name>
    <message>
        <source>Clear current statics</source>
        <translation>Очистить текущую статику</translation>
    </message>
    <message>
        <source>Process finished</source>
        <translation>Процесс завершён</translation>
    </message>
    <message>
        <source>Loading ... </source>
        <translation>Загрузка ... </translation>
    </message>
    <message>
        <source>Parsing ... </source>
        <translation>Разбор ... </translation>
    </message>
    <message>
        <source>The Worldfile contains ... </source>
        <translation>Файл мира содержит ... </translation>
    </message>
    <message>
        <source> Items</source>
        <translation> предметов</translation>
    </message>
    <message>
        <source>No items found</source>
        <translation>Предметы не найдены</translation>
    </message>
    <message>
        <source>Clean statics....</source>
        <translation>Очистка статики....</translation>
    </message>
    <message>
        <source>Start freezing....</source>
        <translation>Начало заморозки....</translation>
    </message>
    <message>
        <source> OK</source>
        <translation> OK</translation>
    </message>
    <message>
        <source>Skipped </source>
        <translation>Пропущено </translation>
    </message>
    <message>
        <source> items outside the map</source>
        <translation> предметов вне карты</translation>
    </message>
    <message>
        <source>Left out </source>
        <translation>Не взято </translation>
    </message>
    <message>
        <source> items outside the area </source>
        <translation> предметов вне области </translation>
    </message>
    <message>
        <source> duplicates of statics already in their blocks</source>
        <translation> повторов статики, которая уже есть в своих блоках</translation>
    </message>
    <message>
        <source>%s was frozen into these statics before, on %s</source>
        <translation>%s уже был вморожен в эту статику раньше, %s</translation>
    </message>
    <message>
        <source>Error in %s, line %lld</source>
        <translation>Ошибка в %s, строка %lld</translation>
    </message>
    <message>
        <source>%s looks like UTF-16 text, but world files are 8-bit text: save it as such to freeze its items</source>
        <translation>%s похож на текст в UTF-16, но файлы мира — 8-битный текст: сохраните его так, чтобы вморозить его предметы</translation>
    </message>
    <message>
        <source>The file %s exists; give --force to replace it.</source>
        <translation>Файл %s уже есть; чтобы заменить его, укажите --force.</translation>
    </message>
    <message>
        <source>The statics files were put back as they were before the freeze.</source>
        <translation>Файлы статики возвращены в то состояние, в каком были до заморозки.</translation>
    </message>
    <message>
        <source>%s and %s</source>
        <translation>%s и %s</translation>
    </message>
    <message>
        <source>The previous statics are kept as %s; put them back by hand.</source>
        <translation>Прежняя статика сохранена как %s; верните её на место вручную.</translation>
    </message>
    <message>
        <source>Read error on %s: the file could not be read whole</source>
        <translation>Ошибка чтения %s: файл не удалось прочитать целиком</translation>
    </message>
    <message>
        <source>The file %s is in the way of the world file the unfreeze writes; move it away, then start again.</source>
        <translation>Файл %s мешает файлу мира, который записывает разморозка; уберите его и запустите снова.</translation>
    </message>
    <message>
        <source>no file</source>
        <translation>нет файла</translation>
    </message>
    <message>
        <source>%lld bytes, checksum %s</source>
        <translation>%lld байт, контрольная сумма %s</translation>
    </message>
    <message>
        <source>A freeze of %s and %s did not finish, and the files it left are not the ones its journal %s recorded:%s
Which statics are whole cannot be told, so nothing was changed. Keep every copy: put the whole pair under the configured names, move the other files out of this folder and the journal with them, then start again.</source>
        <translation>Заморозка %s и %s не завершилась, а оставленные ею файлы не те, что записаны в её журнале %s:%s
Нельзя сказать, какая статика цела, поэтому ничего не изменено. Сохраните все копии: поставьте целую пару под настроенными именами, уберите остальные файлы из этой папки вместе с журналом и запустите снова.</translation>
    </message>
    <message>
        <source>An unfreeze that did not finish was undone: the previous statics are back as %s and %s.</source>
        <translation>Незавершённая разморозка отменена: прежняя статика возвращена как %s и %s.</translation>
    </message>
    <message>
        <source>A freeze that did not finish was undone: the previous statics are back as %s and %s.</source>
        <translation>Незавершённая заморозка отменена: прежняя статика возвращена как %s и %s.</translation>
    </message>
    <message>
        <source>An unfreeze that was stopped after completing the new statics %s and %s was finished; the previous files are kept as its backup.</source>
        <translation>Разморозка, остановленная после того, как новая статика %s и %s была готова, доведена до конца; прежние файлы сохранены как её резервная копия.</translation>
    </message>
    <message>
        <source>A freeze that was stopped after completing the new statics %s and %s was finished; the previous files are kept as its backup.</source>
        <translation>Заморозка, остановленная после того, как новая статика %s и %s была готова, доведена до конца; прежние файлы сохранены как её резервная копия.</translation>
    </message>
    <message>
        <source>The statics were frozen, but %s could not be deleted: %s</source>
        <translation>Статика вморожена, но %s не удалось удалить: %s</translation>
    </message>
    <message>
        <source>The statics taken out of the statics files are kept in %s.</source>
        <translation>Статика, изъятая из файлов статики, сохранена в %s.</translation>
    </message>
    <message>
        <source>The record of the world files frozen into these statics could not be written: </source>
        <translation>Не удалось записать перечень файлов мира, вмороженных в эту статику: </translation>
    </message>
    <message>
        <source>The journal %s is kept: the next run finishes what is left.</source>
        <translation>Журнал %s сохранён: следующий запуск доделает оставшееся.</translation>
    </message>
    <message>
        <source>%s cannot be read: %s</source>
        <translation>%s не удаётся прочитать: %s</translation>
    </message>
    <message>
        <source>%s holds %s where the journal recorded %s</source>
        <translation>В %s находится %s, а журнал записал %s</translation>
    </message>
    <message>
        <source>Nothing was put back: the statics files are as they were before the undo.</source>
        <translation>Ничего не возвращено: файлы статики такие же, какими были до отмены.</translation>
    </message>
    <message>
        <source>Read error on %s: the file ends early</source>
        <translation>Ошибка чтения %s: файл кончается раньше времени</translation>
    </message>
    <message>
        <source>The backup of %s and %s cannot be put back: its record %s cannot be read: %s
Nothing was put back.</source>
        <translation>Резервную копию %s и %s нельзя вернуть: её запись %s не читается: %s
Ничего не возвращено.</translation>
    </message>
    <message>
        <source>There is no backup of %s and %s to put back: no freeze kept one (%s is missing).</source>
        <translation>Нет резервной копии %s и %s, которую можно вернуть: ни одна заморозка её не сохранила (нет %s).</translation>
    </message>
    <message>
        <source>The backup beside %s is of the statics files %s and %s, not of %s; nothing was put back.</source>
        <translation>Резервная копия рядом с %s относится к файлам статики %s и %s, а не к %s; ничего не возвращено.</translation>
    </message>
    <message>
        <source>The statics files or their backup cannot be read:%s
Nothing was put back.</source>
        <translation>Файлы статики или их резервную копию не удаётся прочитать:%s
Ничего не возвращено.</translation>
    </message>
    <message>
        <source>The statics files are not the ones the last freeze wrote, or its backup has changed since:%s
Nothing was put back.</source>
        <translation>Файлы статики не те, что записала последняя заморозка, или её резервная копия с тех пор изменилась:%s
Ничего не возвращено.</translation>
    </message>
    <message>
        <source>Nothing was put back, but the statics files the undo moved aside could not all be moved back:%s
The journal %s is kept: the next run puts them back.</source>
        <translation>Ничего не возвращено, но не все файлы статики, которые отмена отодвинула, удалось вернуть на место:%s
Журнал %s сохранён: следующий запуск вернёт их.</translation>
    </message>
    <message>
        <source>The record of the world files frozen into these statics could not be put back with them: </source>
        <translation>Перечень файлов мира, вмороженных в эту статику, не удалось вернуть вместе с ней: </translation>
    </message>
    <message>
        <source>No statics files are given.</source>
        <translation>Файлы статики не указаны.</translation>
    </message>
    <message>
        <source>The statics from before the last freeze were put back as %s and %s.</source>
        <translation>Статика, бывшая до последней заморозки, возвращена как %s и %s.</translation>
    </message>
    <message>
        <source>The statics from before the last unfreeze were put back as %s and %s. The world file %s that the unfreeze wrote is left where it is.</source>
        <translation>Статика, бывшая до последней разморозки, возвращена как %s и %s. Файл мира %s, записанный разморозкой, оставлен на месте.</translation>
    </message>
    <message>
        <source>Reading the statics of the area %s ...</source>
        <translation>Чтение статики области %s ...</translation>
    </message>
    <message>
        <source>Taking the statics of the area %s out of the statics files ...</source>
        <translation>Изъятие статики области %s из файлов статики ...</translation>
    </message>
    <message>
        <source>%lld statics of the area&apos;s blocks cannot be placed again (their place in the block is outside 0 to 7, or their block is no whole number of 7-byte records): they stay in the statics files.</source>
        <translation>Статику блоков области (%lld шт.) нельзя поставить обратно (её место в блоке вне 0–7 или длина блока не кратна 7-байтовой записи): она остаётся в файлах статики.</translation>
    </message>
    <message>
        <source>No statics stand in the area: %s is not written.</source>
        <translation>В области нет статики: %s не записан.</translation>
    </message>
    <message>
        <source>No statics stand in the area: the statics files are left as they are, and %s is not written.</source>
        <translation>В области нет статики: файлы статики оставлены как есть, %s не записан.</translation>
    </message>
    <message>
        <source>%lld statics of %lld blocks written to %s; the statics files are left as they are.</source>
        <translation>Статика (%lld шт.) из блоков (%lld шт.) записана в %s; файлы статики оставлены как есть.</translation>
    </message>
    <message>
        <source>%lld statics left the statics files, from %lld blocks; they are written to %s.</source>
        <translation>Статика (%lld шт.) изъята из файлов статики, из блоков (%lld шт.); она записана в %s.</translation>
    </message>
    <message>
        <source>No statics files are given: the paths of Staidx0 and Statics0 are needed.</source>
        <translation>Файлы статики не указаны: нужны пути Staidx0 и Statics0.</translation>
    </message>
    <message>
        <source>... and %lld more like it</source>
        <translation>... и ещё таких же: %lld</translation>
    </message>
    <message>
        <source>The data of the blocks is not in block order: %lld blocks have their data before that of the previous block with statics, the first of them block %d (before block %d). A freeze writes them in order.</source>
        <translation>Данные блоков идут не по порядку блоков: у %lld блоков данные стоят перед данными предыдущего блока со статикой, первый из них — блок %d (перед блоком %d). Заморозка записывает их по порядку.</translation>
    </message>
    <message>
        <source>Block %d has %lld bytes of statics, not a whole number of %d-byte records.</source>
        <translation>В блоке %d байт статики: %lld — это не целое число %d-байтовых записей.</translation>
    </message>
    <message>
        <source>Blocks %d and %d share data: bytes %lld to %lld of the data file belong to both.</source>
        <translation>Блоки %d и %d делят данные: байты с %lld по %lld файла данных принадлежат обоим.</translation>
    </message>
    <message>
        <source>%lld bytes of the data file, in %lld places, belong to no block. A freeze drops them.</source>
        <translation>Байты файла данных (%lld, в местах: %lld) не принадлежат ни одному блоку. Заморозка их отбрасывает.</translation>
    </message>
    <message>
        <source>Block %d: static %lld (tile 0x%04X) lies at cell (%u, %u), outside 0 to %d.</source>
        <translation>Блок %d: статика №%lld (тайл 0x%04X) стоит в клетке (%u, %u), вне 0–%d.</translation>
    </message>
    <message>
        <source>A freeze of these statics did not finish and left %s; the next freeze settles it. What is checked here are the files under the configured names.</source>
        <translation>Заморозка этой статики не завершилась и оставила %s; следующая заморозка это уладит. Здесь проверяются файлы под настроенными именами.</translation>
    </message>
    <message>
        <source>Block %d is outside the map</source>
        <translation>Блок %d вне карты</translation>
    </message>
    <message>
        <source>The freeze was stopped by %s.</source>
        <translation>Заморозка остановлена сигналом %s.</translation>
    </message>
</context>
<context>
    <name>mirnax::TCColorGrid</name>
    <message>
        <source>FG</source>
        <translation>ПП</translation>
    </message>
    <message>
        <source>BG</source>
        <translation>ФН</translation>
    </message>
    <message>
        <source>FB</source>
        <translation>ПФ</translation>
    </message>
</context>
<context>
    <name>mirnax::TDisplayGuard</name>
    <message>
        <source>cannot open a display</source>
        <translation>не удаётся открыть дисплей</translation>
    </message>
</context>
<context>
    <name>mirnax::TForm1</name>
    <message>
        <source>Kevo - MIRNAX SPECIAL EDITION - V1.00.00</source>
        <translation>Kevo - MIRNAX SPECIAL EDITION - V1.00.00</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Файлы</translation>
    </message>
    <message>
        <source>Staidx0</source>
        <translation>Staidx0</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Statics0</source>
        <translation>Statics0</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Все</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ни одного</translation>
    </message>
    <message>
        <source>Statics</source>
        <translation>Статика</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Пуск</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Всего</translation>
    </message>
    <message>
        <source>Choose the server&apos;s folder...</source>
        <translation>Выбрать папку сервера...</translation>
    </message>
    <message>
        <source>Statics index file (Staidx0)</source>
        <translation>Индексный файл статики (Staidx0)</translation>
    </message>
    <message>
        <source>Full path of the statics index file; stored at every change</source>
        <translation>Полный путь к индексному файлу статики; сохраняется при каждом изменении</translation>
    </message>
    <message>
        <source>Choose the statics index file</source>
        <translation>Выбрать индексный файл статики</translation>
    </message>
    <message>
        <source>Statics data file (Statics0)</source>
        <translation>Файл данных статики (Statics0)</translation>
    </message>
    <message>
        <source>Full path of the statics data file; stored at every change</source>
        <translation>Полный путь к файлу данных статики; сохраняется при каждом изменении</translation>
    </message>
    <message>
        <source>Choose the statics data file</source>
        <translation>Выбрать файл данных статики</translation>
    </message>
    <message>
        <source>World files</source>
        <translation>Файлы мира</translation>
    </message>
    <message>
        <source>The world files of the STATICS folder; a click selects or unselects one</source>
        <translation>Файлы мира из папки STATICS; щелчок выбирает файл или снимает выбор</translation>
    </message>
    <message>
        <source>List the world files of the STATICS folder again</source>
        <translation>Заново перечислить файлы мира папки STATICS</translation>
    </message>
    <message>
        <source>Select every world file</source>
        <translation>Выбрать все файлы мира</translation>
    </message>
    <message>
        <source>Select no world file</source>
        <translation>Снять выбор со всех файлов мира</translation>
    </message>
    <message>
        <source>Run log</source>
        <translation>Журнал запуска</translation>
    </message>
    <message>
        <source>What the last run did</source>
        <translation>Что сделал последний запуск</translation>
    </message>
    <message>
        <source>Progress of the current step</source>
        <translation>Ход текущего шага</translation>
    </message>
    <message>
        <source>Freeze the selected world files into the statics files</source>
        <translation>Вморозить выбранные файлы мира в файлы статики</translation>
    </message>
    <message>
        <source>Progress of the whole run</source>
        <translation>Ход всего запуска</translation>
    </message>
    <message>
        <source>World file loader</source>
        <translation>Загрузчик файлов мира</translation>
    </message>
    <message>
        <source>There is neither a STATICS folder nor mirnax.ini in %1.
Choose the server&apos;s folder (Ctrl+O, or the window&apos;s context menu);
until then no path typed here is stored.</source>
        <translation>В папке %1 нет ни папки STATICS, ни файла mirnax.ini.
Выберите папку сервера (Ctrl+O или контекстное меню окна);
до тех пор введённые здесь пути не сохраняются.</translation>
    </message>
    <message>
        <source>Choose the server&apos;s folder</source>
        <translation>Выберите папку сервера</translation>
    </message>
    <message>
        <source>Cannot work in %1: it is not a folder that can be opened</source>
        <translation>Нельзя работать в %1: это не папка, которую можно открыть</translation>
    </message>
    <message>
        <source>The path cannot be stored: </source>
        <translation>Путь не удаётся сохранить: </translation>
    </message>
</context>
<context>
    <name>mirnax::TJumpMemo</name>
    <message>
        <source>Не могу загрузить документ из файла !</source>
        <translation>Не могу загрузить документ из файла !</translation>
    </message>
    <message>
        <source>Не могу добавить строку в документ !</source>
        <translation>Не могу добавить строку в документ !</translation>
    </message>
    <message>
        <source>Не могу вставить указатель страницы !</source>
        <translation>Не могу вставить указатель страницы !</translation>
    </message>
    <message>
        <source>Не могу убрать указатель страницы !</source>
        <translation>Не могу убрать указатель страницы !</translation>
    </message>
    <message>
        <source>Can`t create List for text lines</source>
        <translation>Не могу создать список строк текста</translation>
    </message>
    <message>
        <source>Can`t create List for Selected words</source>
        <translation>Не могу создать список выделяемых слов</translation>
    </message>
    <message>
        <source>Can`t create List for Jump words</source>
        <translation>Не могу создать список слов-ссылок</translation>
    </message>
    <message>
        <source>Can`t create List for Jump coordinates</source>
        <translation>Не могу создать список координат ссылок</translation>
    </message>
    <message>
        <source>Can`t create List for Pictures coordinates</source>
        <translation>Не могу создать список координат рисунков</translation>
    </message>
    <message>
        <source>Не могу распознать слово под курсором!</source>
        <translation>Не могу распознать слово под курсором!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Can`t put document on printer</source>
        <translation>Не могу отправить документ на принтер</translation>
    </message>
    <message>
        <source>Can`t put document on the printer</source>
        <translation>Не могу отправить документ на принтер</translation>
    </message>
    <message>
        <source>Printing Doc</source>
        <translation>Печать документа</translation>
    </message>
    <message>
        <source>Wrong pages range. Call printer procedure again</source>
        <translation>Неверный диапазон страниц. Вызовите печать ещё раз</translation>
    </message>
</context>
<context>
    <name>mirnax::TMapSize</name>
    <message>
        <source>give X1,Y1,X2,Y2 in tiles, the corners of a rectangle</source>
        <translation>укажите X1,Y1,X2,Y2 в тайлах, углы прямоугольника</translation>
    </message>
    <message>
        <source>&apos;%s&apos; is not a map size: give WIDTHxHEIGHT in tiles, each a multiple of %d from %d to %d (%s by default)</source>
        <translation>&apos;%s&apos; — не размер карты: укажите ШИРИНАxВЫСОТА в тайлах, каждая сторона кратна %d, от %d до %d (по умолчанию %s)</translation>
    </message>
    <message>
        <source>&apos;%s&apos; is not an area of the map: %s</source>
        <translation>&apos;%s&apos; — не область карты: %s</translation>
    </message>
    <message>
        <source>X1 must not be greater than X2, nor Y1 than Y2</source>
        <translation>X1 не должен быть больше X2, а Y1 — больше Y2</translation>
    </message>
    <message>
        <source>the map of %s tiles ends at %d,%d</source>
        <translation>карта %s тайлов кончается на %d,%d</translation>
    </message>
</context>
<context>
    <name>mirnax::TStaticsLock</name>
    <message>
        <source>it is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>это символическая ссылка</translation>
    </message>
    <message>
        <source>another freeze of these files is running (process %s)</source>
        <translation>уже идёт другая заморозка этих файлов (процесс %s)</translation>
    </message>
    <message>
        <source>Cannot lock file %s: %s</source>
        <translation>Не удаётся заблокировать файл %s: %s</translation>
    </message>
</context>
<context>
    <name>mirnax::TZipBuilder</name>
    <message>
        <source>The archive library failed unexpectedly</source>
        <translation>Библиотека архивации неожиданно дала сбой</translation>
    </message>
    <message>
        <source>The archive file was not found, or no archive file name was given</source>
        <translation>Файл архива не найден, или имя файла архива не указано</translation>
    </message>
    <message>
        <source>Not enough memory</source>
        <translation>Недостаточно памяти</translation>
    </message>
    <message>
        <source>The two passwords do not match</source>
        <translation>Два пароля не совпадают</translation>
    </message>
    <message>
        <source>Copying: </source>
        <translation>Копирование: </translation>
    </message>
    <message>
        <source>A password is needed to add files, but no prompt may be shown</source>
        <translation>Для добавления файлов нужен пароль, но запрос показывать нельзя</translation>
    </message>
    <message>
        <source>A password is needed to extract files, but no prompt may be shown</source>
        <translation>Для извлечения файлов нужен пароль, но запрос показывать нельзя</translation>
    </message>
    <message>
        <source>Seek error while reading the archive directory</source>
        <translation>Ошибка позиционирования при чтении каталога архива</translation>
    </message>
    <message>
        <source>Error while reading the archive directory</source>
        <translation>Ошибка при чтении каталога архива</translation>
    </message>
    <message>
        <source>Warning: the central directory is not where the archive says; data was added in front of the archive</source>
        <translation>Предупреждение: центральный каталог не там, где указывает архив; перед архивом добавлены данные</translation>
    </message>
    <message>
        <source>Warning: there are extra bytes after the end of the archive</source>
        <translation>Предупреждение: после конца архива есть лишние байты</translation>
    </message>
    <message>
        <source>Nothing to add: no file names or masks were given</source>
        <translation>Нечего добавлять: не указаны маски файлов</translation>
    </message>
    <message>
        <source>Encryption was asked for, but there is no password and no prompt may be shown</source>
        <translation>Запрошено шифрование, но пароля нет, а запрос показывать нельзя</translation>
    </message>
    <message>
        <source>Freshen or update cannot be combined with spanning disks</source>
        <translation>Освежение или обновление нельзя совмещать с разбиением на диски</translation>
    </message>
    <message>
        <source>Nothing to delete: no file names or masks were given</source>
        <translation>Нечего удалять: не указаны маски файлов</translation>
    </message>
    <message>
        <source>The unzip library failed unexpectedly</source>
        <translation>Библиотека распаковки неожиданно дала сбой</translation>
    </message>
    <message>
        <source>No password was given for an unattended extraction; encrypted members will fail</source>
        <translation>Для извлечения без участия пользователя не задан пароль; зашифрованные члены архива не извлекутся</translation>
    </message>
    <message>
        <source>Zip library loaded: </source>
        <translation>Загружена библиотека архивации: </translation>
    </message>
    <message>
        <source>The zip library has no &quot;ZipDllExec&quot; entry point</source>
        <translation>В библиотеке архивации нет точки входа &quot;ZipDllExec&quot;</translation>
    </message>
    <message>
        <source>The zip library has no &quot;GetZipDllVersion&quot; entry point</source>
        <translation>В библиотеке архивации нет точки входа &quot;GetZipDllVersion&quot;</translation>
    </message>
    <message>
        <source>The zip library cannot be loaded</source>
        <translation>Библиотеку архивации не удаётся загрузить</translation>
    </message>
    <message>
        <source>Unzip library loaded: </source>
        <translation>Загружена библиотека распаковки: </translation>
    </message>
    <message>
        <source>The unzip library has no &quot;UnzDllExec&quot; entry point</source>
        <translation>В библиотеке распаковки нет точки входа &quot;UnzDllExec&quot;</translation>
    </message>
    <message>
        <source>The unzip library has no &quot;GetUnzDllVersion&quot; entry point</source>
        <translation>В библиотеке распаковки нет точки входа &quot;GetUnzDllVersion&quot;</translation>
    </message>
    <message>
        <source>The unzip library cannot be loaded</source>
        <translation>Библиотеку распаковки не удаётся загрузить</translation>
    </message>
    <message>
        <source>The self-extractor texts are too long</source>
        <translation>Тексты самораспаковщика слишком длинные</translation>
    </message>
    <message>
        <source>The self-extractor program was not found</source>
        <translation>Программа самораспаковщика не найдена</translation>
    </message>
    <message>
        <source>Only an archive with the extension .zip can be made self-extracting</source>
        <translation>Самораспаковывающимся можно сделать только архив с расширением .zip</translation>
    </message>
    <message>
        <source>The self-extracting archive was not found</source>
        <translation>Самораспаковывающийся архив не найден</translation>
    </message>
    <message>
        <source>Only a file with the extension .exe can be converted back to an archive</source>
        <translation>Обратно в архив можно превратить только файл с расширением .exe</translation>
    </message>
    <message>
        <source>There is no self-extractor in front of this archive</source>
        <translation>Перед этим архивом нет самораспаковщика</translation>
    </message>
    <message>
        <source>The archive cannot be opened</source>
        <translation>Архив не удаётся открыть</translation>
    </message>
    <message>
        <source>Not a valid drive: %s</source>
        <translation>Недопустимый диск: %s</translation>
    </message>
    <message>
        <source>The drive %s does not exist or is not ready</source>
        <translation>Диск %s не существует или не готов</translation>
    </message>
    <message>
        <source>The volume label cannot be set</source>
        <translation>Не удаётся задать метку тома</translation>
    </message>
    <message>
        <source>No answer to the free space question</source>
        <translation>Нет ответа на вопрос о свободном месте</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>Отменено пользователем</translation>
    </message>
    <message>
        <source>Seek error at the end of the archive</source>
        <translation>Ошибка позиционирования в конце архива</translation>
    </message>
    <message>
        <source>The output file cannot be created</source>
        <translation>Не удаётся создать выходной файл</translation>
    </message>
    <message>
        <source>Write error on the output file</source>
        <translation>Ошибка записи в выходной файл</translation>
    </message>
    <message>
        <source>Read error at the end of the archive</source>
        <translation>Ошибка чтения в конце архива</translation>
    </message>
    <message>
        <source>A local header cannot be read</source>
        <translation>Не удаётся прочитать локальный заголовок</translation>
    </message>
    <message>
        <source>A central directory header cannot be read</source>
        <translation>Не удаётся прочитать заголовок центрального каталога</translation>
    </message>
    <message>
        <source>A local header has a wrong signature</source>
        <translation>У локального заголовка неверная сигнатура</translation>
    </message>
    <message>
        <source>A central directory header has a wrong signature</source>
        <translation>У заголовка центрального каталога неверная сигнатура</translation>
    </message>
    <message>
        <source>The name in a local header cannot be read</source>
        <translation>Не удаётся прочитать имя в локальном заголовке</translation>
    </message>
    <message>
        <source>The name in a central directory header cannot be read</source>
        <translation>Не удаётся прочитать имя в заголовке центрального каталога</translation>
    </message>
    <message>
        <source>Error while copying a local extra field</source>
        <translation>Ошибка при копировании локального дополнительного поля</translation>
    </message>
    <message>
        <source>Error while copying a central extra field</source>
        <translation>Ошибка при копировании центрального дополнительного поля</translation>
    </message>
    <message>
        <source>Error while copying a data descriptor</source>
        <translation>Ошибка при копировании дескриптора данных</translation>
    </message>
    <message>
        <source>Error while copying compressed data</source>
        <translation>Ошибка при копировании сжатых данных</translation>
    </message>
    <message>
        <source>A file comment cannot be read</source>
        <translation>Не удаётся прочитать комментарий к файлу</translation>
    </message>
    <message>
        <source>Error while copying the archive comment</source>
        <translation>Ошибка при копировании комментария к архиву</translation>
    </message>
    <message>
        <source>Error while spanning or joining the archive</source>
        <translation>Ошибка при разбиении или объединении архива</translation>
    </message>
    <message>
        <source>A disk or a confirmation is needed, but no prompt may be shown</source>
        <translation>Нужен диск или подтверждение, но запрос показывать нельзя</translation>
    </message>
    <message>
        <source>A member of the central directory was not found</source>
        <translation>Член центрального каталога не найден</translation>
    </message>
    <message>
        <source>No temporary file name could be made</source>
        <translation>Не удалось составить имя временного файла</translation>
    </message>
    <message>
        <source>Write error on a local header of the joined archive</source>
        <translation>Ошибка записи локального заголовка объединённого архива</translation>
    </message>
    <message>
        <source>Write error on a central header of the joined archive</source>
        <translation>Ошибка записи центрального заголовка объединённого архива</translation>
    </message>
    <message>
        <source>Write error on the end record of the joined archive</source>
        <translation>Ошибка записи конечной записи объединённого архива</translation>
    </message>
    <message>
        <source>The first volume does not start with the spanning signature</source>
        <translation>Первый том не начинается с сигнатуры разбиения</translation>
    </message>
    <message>
        <source>This disk has not enough free space available</source>
        <translation>На этом диске недостаточно свободного места</translation>
    </message>
    <message>
        <source>Please insert last disk in set</source>
        <translation>Вставьте последний диск набора</translation>
    </message>
    <message>
        <source>Please insert disk volume %.1d of %.1d</source>
        <translation>Вставьте том %.1d из %.1d</translation>
    </message>
    <message>
        <source>
in drive: %s</source>
        <translation>
в дисковод: %s</translation>
    </message>
    <message>
        <source>This is not a zip archive</source>
        <translation>Это не zip-архив</translation>
    </message>
    <message>
        <source>This is the first disk of a set; please insert the last disk</source>
        <translation>Это первый диск набора; вставьте последний диск</translation>
    </message>
    <message>
        <source>This is disk %d of a set, not the last one</source>
        <translation>Это диск %d набора, а не последний</translation>
    </message>
    <message>
        <source>Overwrite previous file %s</source>
        <translation>Перезаписать прежний файл %s</translation>
    </message>
    <message>
        <source>Overwrite previous disk no %d</source>
        <translation>Перезаписать прежний диск номер %d</translation>
    </message>
    <message>
        <source>A self-extracting archive cannot be spread over disks</source>
        <translation>Самораспаковывающийся архив нельзя разбить на диски</translation>
    </message>
    <message>
        <source>Error while copying a central directory entry</source>
        <translation>Ошибка при копировании записи центрального каталога</translation>
    </message>
    <message>
        <source>Seek error at the end record</source>
        <translation>Ошибка позиционирования у конечной записи</translation>
    </message>
    <message>
        <source>Please insert disk volume %.1d</source>
        <translation>Вставьте том %.1d</translation>
    </message>
    <message>
        <source>central directory</source>
        <translation>центральный каталог</translation>
    </message>
    <message>
        <source>%s cannot be erased; the new file is kept as %s</source>
        <translation>%s не удаётся удалить; новый файл сохранён как %s</translation>
    </message>
    <message>
        <source>The new file cannot be renamed to %s; it is kept as %s</source>
        <translation>Новый файл не удаётся переименовать в %s; он сохранён как %s</translation>
    </message>
    <message>
        <source>%s member(s) deleted from %s, but its directory cannot be read again</source>
        <translation>Удалено членов архива: %s из %s, но его каталог не удаётся прочитать заново</translation>
    </message>
</context>
</TS>
