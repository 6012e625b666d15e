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
    {100,
     "Welcome wanderer. Walk with the arrow keys or A and D. Down or S takes the next weapon and Escape "
     "pauses the game. Clear each place of its monsters before the time runs out.",
     ""},
    {101, "The night holds its breath. Press Enter to fight on or Space to save your road and leave.", ""},
    {102,
     "No tale of yours is written yet. Up or W jumps and Space strikes. Press Enter to walk into the ruins.",
     ""},
    {103,
     "A bone walker with a cinder gun! It fires glowing shots at you. Close in quickly or cut its shots out "
     "of the air with your blade.",
     ""},
    {104, "This crawler spits burning bile from its mouth. Do not stand and wait for it. Strike first.", ""},
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
     "You found the moon blade. Long and swift it cuts whatever stands in the way of its swing. Down or S "
     "takes it in hand.",
     ""},
    {111,
     "You found the old sword. It strikes late in the swing but it strikes hard. Down or S takes it in hand.",
     ""},
    {112, "The stones are silent here.", ""},
    {113,
     "You found the ember pistol. Its shots fly in an arc and burst on whatever they touch. Down or S takes "
     "it in hand.",
     ""},
    {114,
     "You found the thunder gun. Its heavy charge bounces off the walls before it bursts. Down or S takes it "
     "in hand.",
     ""},
    {115,
     "Your saved road waits where you left it. Up or W jumps and Space strikes. Press Enter to go on with it "
     "or Space to begin anew.",
     ""},
    {116,
     "The moon has cracked and its grey light falls on the old keep by the lake. Things that hunt by night "
     "fill its ruins and vaults. Take up your blade and walk into the dark.",
     ""},
    {117,
     "A great leaper! It crashes down from above and its claws tear the ground. Guns cannot hurt it: only "
     "your blade can.",
     ""},
    {118, "The ruins are free. The way down into the vaults under the keep is open.", ""},
    {119,
     "You fell before the way down was open. The night takes you back to where your road was last saved.",
     ""},
    {120,
     "The vaults let no one fall through before they are cleared. Back you go to where your road was last "
     "saved.",
     ""},
    {121, "The vaults are cleared. The way leads further down into the depths.", ""},
    {122,
     "A great flyer! It breeds small ones as it circles. Kill the brood mother first or the air will fill "
     "with wings.",
     ""},
    {123, "The blade grows long. Your sword now reaches further than before.", ""},
    {124, "Moon steel armour. Every wound you take now hurts only half as much.", ""},
    {125, "Twin charge. Your guns fire twice and the thunder gun shoots early in the swing.", ""},
    {126,
     "No tale of yours is written yet. Space jumps and Ctrl strikes. Press Enter to walk into the ruins.",
     ""},
    {127,
     "Your saved road waits where you left it. Space jumps and Ctrl strikes. Press Enter to go on with it or "
     "Space to begin anew.",
     ""},
    {128,
     "A hoverer drifts in the dark and sends its brood down at you. Guns cannot reach it: strike it with "
     "your blade when it sinks low.",
     ""},
    {129, "Heart of ash. Your wounds now close by themselves while the danger lasts.", ""},
    {130, "The ground itself rises! The warden of the deep breaks from the stones and turns its gaze on you.",
     ""},
    {131,
     "It brings rocks down from above: keep moving. Strike hard and often. Only many blows will break it.",
     ""},
    {132, "The blade grows broad. Your sword now cuts a wider path.", ""},
    {133, "Another great leaper and this one is older and angrier than the first.", ""},
    {134,
     "The depths let no one fall through before they are cleared. Back you go to where your road was last "
     "saved.",
     ""},
    {135, "The last of them falls and all is still. High above the moon begins to mend.", ""},
    {136, "So the wanderer has won the night. Walk on then. The dark will remember your name.", ""},
    {137, "Dawn comes to the old keep at last. Thank you for playing.", ""},
};

const std::vector<TextRecord> kRussian = {
    {1, "ПЕПЕЛ ПОД ЛУНОЙ", ""},
    {2, "Загрузка...", ""},
    {13, "Время", ""},
    {80, "Ввод", "дальше"},
    {81, "Пробел", "сохранить и выйти"},
    {580, "Ввод", "продолжить путь"},
    {581, "Пробел", "начать заново"},
    {100,
     "Здравствуй странник. Ходи стрелками или клавишами Ф и В. Вниз или Ы берёт следующее оружие. Эскейп "
     "ставит игру на паузу. Очисти каждое место от чудовищ пока не вышло время.",
     ""},
    {101, "Ночь затаила дыхание. Ввод вернёт тебя в бой. Пробел сохранит путь и закончит игру.", ""},
    {102, "Твой путь ещё не записан. Вверх или Ц прыжок. Пробел удар. Нажми Ввод и войди в руины.", ""},
    {103,
     "Костяной ходок с пепельным ружьём! Он стреляет светящимися зарядами. Подойди быстро или сбивай заряды "
     "клинком.",
     ""},
    {104, "Эта тварь плюётся горящей желчью. Не стой на месте и бей первым.", ""},
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
     "Ты нашёл лунный клинок. Длинный и быстрый он рубит всё на пути удара. Вниз или Ы возьмёт его в руку.",
     ""},
    {111, "Ты нашёл старый меч. Он бьёт поздно но сильно. Вниз или Ы возьмёт его в руку.", ""},
    {112, "Здесь камни молчат.", ""},
    {113,
     "Ты нашёл угольный пистолет. Его заряды летят дугой и взрываются от касания. Вниз или Ы возьмёт его в "
     "руку.",
     ""},
    {114,
     "Ты нашёл громовое ружьё. Тяжёлый заряд отскакивает от стен и потом взрывается. Вниз или Ы возьмёт его "
     "в руку.",
     ""},
    {115, "Твой путь сохранён. Вверх или Ц прыжок. Пробел удар. Ввод продолжит путь. Пробел начнёт заново.",
     ""},
    {116,
     "Луна треснула и её серый свет падает на старую крепость у озера. Её руины и подземелья полны ночных "
     "охотников. Возьми клинок и шагни во тьму.",
     ""},
    {117, "Большой прыгун! Он рушится сверху и рвёт землю когтями. Ружья его не берут. Только клинок.", ""},
    {118, "Руины свободны. Путь вниз в подземелья под крепостью открыт.", ""},
    {119, "Ты упал раньше чем открылся путь вниз. Ночь возвращает тебя туда где путь был сохранён.", ""},
    {120, "Подземелья не пропустят тебя вниз пока не очищены. Назад туда где путь был сохранён.", ""},
    {121, "Подземелья очищены. Путь ведёт ещё глубже.", ""},
    {122, "Большой летун! Кружа он рождает малых. Убей мать первой иначе воздух наполнится крыльями.", ""},
    {123, "Клинок удлинился. Твой меч теперь достаёт дальше.", ""},
    {124, "Доспех из лунной стали. Каждая рана теперь вдвое слабее.", ""},
    {125, "Двойной заряд. Оружие стреляет дважды а громовое ружьё стреляет раньше.", ""},
    {126, "Твой путь ещё не записан. Пробел прыжок и Контрол удар. Нажми Ввод и войди в руины.", ""},
    {127, "Твой путь сохранён. Пробел прыжок и Контрол удар. Ввод продолжит путь. Пробел начнёт заново.", ""},
    {128,
     "Парящий дрейфует во тьме и шлёт на тебя свой выводок. Ружья его не берут. Бей клинком когда он "
     "опустится.",
     ""},
    {129, "Сердце из пепла. Твои раны теперь затягиваются сами.", ""},
    {130, "Сама земля встаёт! Страж глубин вырывается из камня и обращает на тебя свой взгляд.", ""},
    {131,
     "Он обрушивает сверху камни. Не стой на месте. Бей часто и сильно. Сломить его можно лишь многими "
     "ударами.",
     ""},
    {132, "Клинок стал шире. Твой меч теперь рубит широкой полосой.", ""},
    {133, "Ещё один большой прыгун. Этот старше и злее первого.", ""},
    {134, "Глубины не пропустят тебя вниз пока не очищены. Назад туда где путь был сохранён.", ""},
    {135, "Последний из них пал и всё затихло. Высоко над тобой луна начинает срастаться.", ""},
    {136, "Итак странник победил эту ночь. Иди же. Тьма запомнит твоё имя.", ""},
    {137, "Рассвет наконец пришёл в старую крепость. Спасибо за игру.", ""},
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
