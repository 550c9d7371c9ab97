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
        <source>Nothing to add: no file specifications were given</source>
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
        <source>Nothing to delete: no file specifications were given</source>
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
