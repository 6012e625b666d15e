// The game's messages. Texts cannot hold commas (the record files split on
// them), and each uses only what its font draws: the English font has
// letters, digits and . ? _ * \ : - > ! ' (one case); the Cyrillic font has
// the Cyrillic letters, digits and . ? ! (also one case). So the Russian
// texts name the letter keys by the Cyrillic letters printed on them (A, D,
// W, S carry Ф, В, Ц, Ы), and the keys named match the README's controls.
#include "datagen/texts.h"

#include "datagen/data_set.h"

namespace datagen {
namespace {

const std::vector<TextRecord> kEnglish = {
    {1, "ASHES UNDER THE MOON", ""},
    {2, "Loading...", ""},
    {13, "Time left", ""},
    {80, "Enter", "go on"},
    {81, "Space", "save and quit"},
    {580, "Enter", "continue the game"},
    {581, "Space", "start afresh"},
    {582, "Enter", "try again"},
    {583, "Space", "quit without saving"},
    {584, "Space", "back without writing"},
    {100,
     "Welcome wanderer. Walk with the arrow keys or A and D. Down or S takes the next weapon and Escape "
     "pauses the game. Clear each place of its monsters before the time runs out.",
     ""},
    {101, "The night holds its breath. Press Enter to fight on or Space to save your road and leave.", ""},
    {102,
     "No tale of yours is written yet. Up or W jumps and Space strikes. Press Enter to walk into the ruins.",
     ""},
    {103,
     "A horned caster in a purple robe! Its burning third eye hurls sparks at you: some burn and some only "
     "shove you back. Close in fast or cut the sparks out of the air with your blade.",
     ""},
    {104,
     "A bloated spitter waddles this way. Burning bile wobbles out of its glowing maw. Do not stand before "
     "it: strike first.",
     ""},
    {105,
     "You have fallen. You wake where your road was last saved and the night grows a little kinder to you. "
     "Rise and try once more.",
     ""},
    {106,
     "The fight has begun! The bar shows the time you have left. Slay every monster here before the bar runs "
     "dry or the fight starts over.",
     ""},
    {107, "It is quiet here again. Follow the blinking arrow onward.", ""},
    {108, "Well fought. Only ashes remain of them. The way onward is open.", ""},
    {109, "Silence returns to the stones. Go on while the moon still gives you light.", ""},
    {110,
     "The moon blade! The curved glowing blade is in your hand now and it bites through the whole swing. "
     "Your old sword stays behind. Down or S changes weapons.",
     ""},
    {111,
     "Your old sword with the straight blade and the brass guard is in your hand again. It bites only in the "
     "middle of the swing. Down or S changes weapons.",
     ""},
    {112, "The stones are silent here.", ""},
    {113,
     "A long pistol with a banded barrel is in your hand now! Its shots fly in an arc and burst on whatever "
     "they touch. Down or S changes weapons.",
     ""},
    {114,
     "The hand cannon is in your hand now! Its heavy charge bounces off the walls and bursts on the first "
     "monster it meets. Down or S changes weapons.",
     ""},
    {115,
     "Your saved road waits where you left it. Up or W jumps and Space strikes. Press Enter to go on with it "
     "or Space to begin anew.",
     ""},
    {116,
     "The moon has cracked and its grey light falls on the drowned keep in the lake. Things that hunt by "
     "night fill the ruins on the shore and the vaults and the foundry beneath. Take up your blade and walk "
     "into the dark.",
     ""},
    {117,
     "A furnace toad! It squats still while your blade rests. Once the blade comes out it leaps about and "
     "spits fire from the furnace in its belly. Guns cannot hurt it: only the blade can.",
     ""},
    {118,
     "The ruins are free. The crypt's mouth in the fallen chapel and the hole by the broken aqueduct now "
     "lead down into the vaults.",
     ""},
    {119,
     "You fell into the dark before the way down was open. The night takes you back to where your road was "
     "last saved.",
     ""},
    {120,
     "The well will not let you down before the vaults are cleared. Back you go to where your road was last "
     "saved.",
     ""},
    {121, "The vaults are cleared. The well in the well chamber now leads down the shaft to the foundry.",
     ""},
    {122,
     "A night drake! The great bat-winged demon circles above and lets wisp bats loose as it flies. Blade "
     "and guns both hurt it. Bring it down before the air fills with wings.",
     ""},
    {123,
     "A violet shard. Its light runs into your sword: the blade grows long and reaches further than before.",
     ""},
    {124, "A medallion with a shield and a crescent. It guards you: every wound now hurts only half as much.",
     ""},
    {125,
     "Twin cartridges with glowing tips. The pistol now fires two shots at once and the hand cannon fires "
     "twice in each swing.",
     ""},
    {126,
     "No tale of yours is written yet. Space jumps and Ctrl strikes. Press Enter to walk into the ruins.",
     ""},
    {127,
     "Your saved road waits where you left it. Space jumps and Ctrl strikes. Press Enter to go on with it or "
     "Space to begin anew.",
     ""},
    {128,
     "A brood eye floats above! It spits at you and drops young demons from among its tentacles. No weapon "
     "touches it: only its own spit cut down by your blade wounds it.",
     ""},
    {129, "A medallion with a radiant heart. Your wounds now close faster after every hit.", ""},
    {130,
     "The stone warden of the deep! It leaps up and crushes whatever lies beneath it when it lands. Its "
     "single eye sweeps fire along the floor.",
     ""},
    {131,
     "Rocks fall when it lands: keep moving. No blade can scratch its stone. Only your guns can break it: "
     "shoot and shoot again.",
     ""},
    {132, "A sea green stone. Its glow runs into your sword: the blade grows broad and cuts a wider path.",
     ""},
    {133,
     "A brood stalker! It leaps about on long legs and lets its young out of the glowing sac on its back. "
     "Blade and guns both wound it.",
     ""},
    {134,
     "The last well of the foundry lets no one down before its halls are cleared. Back you go to where your "
     "road was last saved.",
     ""},
    {135, "The last of them falls and all is still. Through the round window the moon begins to mend.", ""},
    {136, "So the wanderer has won the night. Walk on then. The dark will remember your name.", ""},
    {137, "Dawn comes to the drowned keep at last. Thank you for playing.", ""},
    {138,
     "Your road could not be saved. The disk may be full or the folder read only or something that is not a "
     "file stands in the way. The error output names the file. Your last saved road is kept.",
     ""},
    {139,
     "Your road could not be saved just now. The disk may be full or the folder read only. Your last saved "
     "road is kept and the game tries again at the next saving place. The error output names the file.",
     ""},
    {140,
     "Your saved road was damaged and could not be read. It is kept aside under a name ending in .damaged "
     "and the error output says which and why. The game goes on from the last whole save or from the start.",
     ""},
    {141,
     "The level file could not be written. The disk may be full or the folder read only. The old file is "
     "kept as it was. The error output names the file.",
     ""},
    // The options screen.
    {600, "OPTIONS", "Up and down choose. Left and right change. Enter opens. Escape goes back."},
    {602, "off", "on"},
    {603, "Russian", "English"},
    {604, "arrows: up jumps", "space jumps: ctrl strikes"},
    {605, "window", "desktop full screen"},
    {606, "full screen", ""},
    {607, "sharp", "smooth fit"},
    {608, "stretch", "whole factors"},
    {609, "pause and shrink", "only pause"},
    {610, "The settings are written.", "The settings could not be written. The old file is kept."},
    {611, "Enter and then a key or pad button for the action. Escape cancels.", "key or button"},
    {612, "was", "no key"},
    {613, "options", ""},
    {614, "takes effect after a restart", ""},
    {620, "sound volume", ""},
    {621, "music volume", ""},
    {622, "low detail", ""},
    {623, "language", ""},
    {624, "controls", ""},
    {625, "display", ""},
    {626, "scaling", ""},
    {627, "window size", ""},
    {628, "losing the focus", ""},
    {629, "gamepads", ""},
    {630, "keys", ""},
    {631, "back", ""},
    {640, "walk left", ""},
    {641, "walk right", ""},
    {642, "jump", "up: unused"},
    {643, "next weapon", ""},
    {644, "strike", "jump"},
    {645, "ctrl: unused", "strike"},
    {646, "pause", ""},
    {647, "reset to defaults", ""},
};

const std::vector<TextRecord> kRussian = {
    {1, "ПЕПЕЛ ПОД ЛУНОЙ", ""},
    {2, "Загрузка...", ""},
    {13, "Время", ""},
    {80, "Ввод", "дальше"},
    {81, "Пробел", "сохранить и выйти"},
    {580, "Ввод", "продолжить путь"},
    {581, "Пробел", "начать заново"},
    {582, "Ввод", "попробовать снова"},
    {583, "Пробел", "выйти без сохранения"},
    {584, "Пробел", "вернуться без записи"},
    {100,
     "Здравствуй странник. Ходи стрелками или клавишами Ф и В. Вниз или Ы берёт следующее оружие. Эскейп "
     "ставит игру на паузу. Очисти каждое место от чудовищ пока не вышло время.",
     ""},
    {101, "Ночь затаила дыхание. Ввод вернёт тебя в бой. Пробел сохранит путь и закончит игру.", ""},
    {102, "Твой путь ещё не записан. Вверх или Ц прыжок. Пробел удар. Нажми Ввод и войди в руины.", ""},
    {103,
     "Рогатый заклинатель в лиловой мантии! Его горящий третий глаз мечет в тебя искры. Одни жгут. Другие "
     "лишь отбрасывают. Подойди быстро или сбивай искры клинком.",
     ""},
    {104,
     "Раздутый плевун ковыляет к тебе. Из его светящейся пасти летит горящая желчь. Не стой перед ним и бей "
     "первым.",
     ""},
    {105,
     "Ты пал. Ты очнёшься там где путь был сохранён и ночь станет к тебе чуть мягче. Встань и попробуй ещё "
     "раз.",
     ""},
    {106,
     "Бой начался! Полоса показывает оставшееся время. Убей здесь всех чудовищ пока полоса не опустела иначе "
     "бой начнётся заново.",
     ""},
    {107, "Здесь снова тихо. Иди за мигающей стрелкой.", ""},
    {108, "Хороший бой. От них остался лишь пепел. Путь дальше открыт.", ""},
    {109, "Тишина вернулась к камням. Иди дальше пока луна ещё светит.", ""},
    {110,
     "Лунный клинок! Изогнутый светящийся клинок теперь в твоей руке и рубит весь взмах. Старый меч остался "
     "позади. Вниз или Ы меняет оружие.",
     ""},
    {111,
     "Твой старый прямой меч с медной гардой снова в руке. Он рубит лишь в середине взмаха. Вниз или Ы "
     "меняет оружие.",
     ""},
    {112, "Здесь камни молчат.", ""},
    {113,
     "Длинный пистолет с окованным стволом теперь в твоей руке! Его заряды летят дугой и взрываются от "
     "касания. Вниз или Ы меняет оружие.",
     ""},
    {114,
     "Ручная пушка теперь в твоей руке! Тяжёлый заряд отскакивает от стен и взрывается о первое чудовище. "
     "Вниз или Ы меняет оружие.",
     ""},
    {115, "Твой путь сохранён. Вверх или Ц прыжок. Пробел удар. Ввод продолжит путь. Пробел начнёт заново.",
     ""},
    {116,
     "Луна треснула и её серый свет падает на затонувшую крепость в озере. Ночные охотники заполнили руины "
     "на берегу и подземелья и литейню под ними. Возьми клинок и шагни во тьму.",
     ""},
    {117,
     "Печная жаба! Она сидит смирно пока твой клинок в покое. Стоит ему сверкнуть и она скачет и плюётся "
     "огнём из печи в брюхе. Ружья её не берут. Только клинок.",
     ""},
    {118,
     "Руины свободны. Устье склепа в разрушенной часовне и провал у сломанного акведука ведут вниз в "
     "подземелья.",
     ""},
    {119, "Ты упал во тьму раньше чем открылся путь вниз. Ночь возвращает тебя туда где путь был сохранён.",
     ""},
    {120, "Колодец не пустит тебя вниз пока подземелья не очищены. Назад туда где путь был сохранён.", ""},
    {121, "Подземелья очищены. Колодец в колодезном зале ведёт вниз по шахте в литейню.", ""},
    {122,
     "Ночной дракон! Огромный демон на перепончатых крыльях кружит над тобой и выпускает летучих мышей. Его "
     "ранят и клинок и ружья. Сбей его пока воздух не наполнился крыльями.",
     ""},
    {123, "Лиловый осколок. Его свет вошёл в твой меч. Клинок удлинился и достаёт дальше.", ""},
    {124, "Медальон со щитом и полумесяцем. Он хранит тебя. Каждая рана теперь вдвое слабее.", ""},
    {125,
     "Два патрона с горящими концами. Пистолет теперь стреляет двумя зарядами сразу. Ручная пушка стреляет "
     "дважды за взмах.",
     ""},
    {126, "Твой путь ещё не записан. Пробел прыжок и Контрол удар. Нажми Ввод и войди в руины.", ""},
    {127, "Твой путь сохранён. Пробел прыжок и Контрол удар. Ввод продолжит путь. Пробел начнёт заново.", ""},
    {128,
     "Выводковый глаз парит над тобой! Он плюётся и роняет молодых демонов из своих щупалец. Никакое оружие "
     "его не берёт. Ранит его лишь его же плевок сбитый твоим клинком.",
     ""},
    {129, "Медальон с сияющим сердцем. Твои раны теперь затягиваются быстрее после каждого удара.", ""},
    {130,
     "Каменный страж глубин! Он взмывает и давит всё что окажется под ним. Его единственный глаз метёт огнём "
     "по полу.",
     ""},
    {131,
     "Когда он приземляется сверху падают камни. Не стой на месте. Клинок не оставит на его камне и "
     "царапины. Сломить его можно лишь выстрелами. Стреляй снова и снова.",
     ""},
    {132, "Зелёный как море камень. Его свет вошёл в твой меч. Клинок стал шире и рубит широкой полосой.",
     ""},
    {133,
     "Выводковый паук! Он скачет на длинных ногах и выпускает детёнышей из светящегося мешка на спине. Его "
     "ранят и клинок и ружья.",
     ""},
    {134,
     "Последний колодец литейни не пустит тебя вниз пока её залы не очищены. Назад туда где путь был "
     "сохранён.",
     ""},
    {135, "Последний из них пал и всё затихло. За круглым окном луна начинает срастаться.", ""},
    {136, "Итак странник победил эту ночь. Иди же. Тьма запомнит твоё имя.", ""},
    {137, "Рассвет наконец пришёл в затонувшую крепость. Спасибо за игру.", ""},
    {138,
     "Твой путь не удалось сохранить. Может быть диск полон или папка только для чтения или на месте файла "
     "стоит что то другое. Имя файла есть в выводе ошибок. Прежнее сохранение цело.",
     ""},
    {139,
     "Твой путь сейчас не удалось сохранить. Может быть диск полон или папка только для чтения. Прежнее "
     "сохранение цело и игра попробует снова на следующем месте сохранения. Имя файла есть в выводе ошибок.",
     ""},
    {140,
     "Сохранение было повреждено и не читается. Оно отложено в сторону рядом с ним и в выводе ошибок "
     "сказано почему. Игра идёт от последнего целого сохранения или с начала.",
     ""},
    {141,
     "Файл уровня не удалось записать. Может быть диск полон или папка только для чтения. Старый файл "
     "остался как был. Имя файла есть в выводе ошибок.",
     ""},
    // Экран настроек.
    {600, "НАСТРОЙКИ", "Вверх и вниз выбирают. Влево и вправо меняют. Ввод открывает. Эскейп возвращает."},
    {602, "выключено", "включено"},
    {603, "русский", "английский"},
    {604, "стрелки. вверх прыжок", "пробел прыжок. контрол удар"},
    {605, "окно", "окно во весь экран"},
    {606, "полный экран", ""},
    {607, "чёткий", "сглаженный"},
    {608, "растянуть", "целые кратные"},
    {609, "пауза и свернуть", "только пауза"},
    {610, "Настройки записаны.", "Настройки не удалось записать. Старый файл остался как был."},
    {611, "Ввод и затем клавиша или кнопка геймпада для действия. Эскейп отменяет.", "клавиша или кнопка"},
    {612, "было", "нет клавиши"},
    {613, "настройки", ""},
    {614, "после перезапуска", ""},
    {620, "громкость звука", ""},
    {621, "громкость музыки", ""},
    {622, "меньше деталей", ""},
    {623, "язык", ""},
    {624, "управление", ""},
    {625, "экран", ""},
    {626, "масштаб", ""},
    {627, "размер окна", ""},
    {628, "потеря фокуса", ""},
    {629, "геймпады", ""},
    {630, "клавиши", ""},
    {631, "назад", ""},
    {640, "идти влево", ""},
    {641, "идти вправо", ""},
    {642, "прыжок", "вверх без дела"},
    {643, "следующее оружие", ""},
    {644, "удар", "прыжок"},
    {645, "контрол без дела", "удар"},
    {646, "пауза", ""},
    {647, "вернуть как было", ""},
};

}  // namespace

const std::vector<TextRecord>& EnglishTexts() { return kEnglish; }
const std::vector<TextRecord>& RussianTexts() { return kRussian; }

bool ToCodePage866(const std::string& utf8, std::string& out) {
  out.clear();
  for (size_t i = 0; i < utf8.size();) {
    const uint8_t c = static_cast<uint8_t>(utf8[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if ((c & 0xe0) != 0xc0 || i + 1 >= utf8.size()) return false;
    const uint32_t code = ((c & 0x1fu) << 6) | (static_cast<uint8_t>(utf8[i + 1]) & 0x3fu);
    i += 2;
    uint32_t byte = 0;
    if (code >= 0x410 && code <= 0x42f)
      byte = 0x80 + (code - 0x410);  // А..Я
    else if (code >= 0x430 && code <= 0x43f)
      byte = 0xa0 + (code - 0x430);  // а..п
    else if (code >= 0x440 && code <= 0x44f)
      byte = 0xe0 + (code - 0x440);  // р..я
    else if (code == 0x401)
      byte = 0xf0;  // Ё
    else if (code == 0x451)
      byte = 0xf1;  // ё
    else
      return false;
    out.push_back(static_cast<char>(byte));
  }
  return true;
}

int32_t GlyphOf(int32_t set, uint8_t c) {
  const bool digit = c >= '0' && c <= '9';
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  const int32_t latin = (c | 0x20) - 'a';
  switch (set) {
    case 0:
      return c - 32;
    case 1: {
      int32_t g = 16;
      if (digit) g = c - '0';
      if (c >= 128 && c <= 159) g = c - 104;
      if (c >= 160 && c <= 175) g = c - 136;
      if (c >= 224 && c <= 239) g = c - 184;
      if (c == 240 || c == 241) g = 56;
      switch (c) {
        case '*':
          g = 13;
          break;
        case '+':
          g = 18;
          break;
        case ',':
        case '#':
          g = 19;
          break;
        case '-':
          g = 17;
          break;
        case '.':
          g = 10;
          break;
        case ':':
          g = 15;
          break;
        case '?':
          g = 11;
          break;
        case '\\':
          g = 14;
          break;
        case '_':
          g = 12;
          break;
        default:
          break;
      }
      return g;
    }
    case 2: {
      if (digit) return c - 22;
      if (letter) return latin;
      if (c == '$') return 37;
      if (c == '.') return 36;
      return 38;
    }
    case 3: {
      if (digit) return c - 22;
      if (letter) return latin;
      switch (c) {
        case '.':
          return 36;
        case '?':
          return 37;
        case '_':
          return 38;
        case '*':
          return 39;
        case '\\':
          return 40;
        case ':':
          return 41;
        case '-':
          return 43;
        case '>':
          return 44;
        case ',':
        case '#':
          return 45;
        case '!':
          return 46;
        case '\'':
        case '`':
          return 47;
        default:
          return 42;
      }
    }
    case 4: {
      int32_t g = 47;
      if (digit) g = c - '0';
      if (c >= 128 && c <= 159) g = c - 115;
      if (c >= 160 && c <= 175) g = c - 147;
      if (c >= 224 && c <= 239) g = c - 195;
      if (c == 240 || c == 241) g = 45;
      switch (c) {
        case ',':
        case '#':
          g = 12;
          break;
        case '.':
          g = 10;
          break;
        case '?':
          g = 11;
          break;
        case '!':
          g = 46;
          break;
        default:
          break;
      }
      return g;
    }
    default:
      return -1;
  }
}

int32_t BlankGlyph(int32_t set) {
  switch (set) {
    case 0:
      return 0;
    case 1:
      return 16;
    case 2:
      return 38;
    case 3:
      return 42;
    case 4:
      return 47;
    default:
      return -1;
  }
}

bool Drawable(int32_t set, uint8_t c) { return c == ' ' || GlyphOf(set, c) != BlankGlyph(set); }

std::string RecordFile(const std::vector<TextRecord>& records, bool russian, bool& ok) {
  ok = true;
  std::string file;
  for (const TextRecord& r : records) {
    std::string t1 = r.text1, t2 = r.text2;
    if (russian) ok = ToCodePage866(r.text1, t1) && ToCodePage866(r.text2, t2) && ok;
    file += std::to_string(r.id) + "," + t1 + "," + t2 + "\n";
  }
  file += "13131313,,\n";
  return file;
}

void WriteTexts(DataSetWriter& out) {
  bool ok = true;
  out.WriteBytes("data/text1.txt", RecordFile(kEnglish, false, ok));
  if (!ok) out.Fail("an English text is not ASCII");
  out.WriteBytes("data/text.txt", RecordFile(kRussian, true, ok));
  if (!ok) out.Fail("a Russian text has a character outside code page 866");
}

}  // namespace datagen
